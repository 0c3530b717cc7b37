#ifndef HARVELO_COMPANIONS_HAULBEAM_PROGRAM_H_
#define HARVELO_COMPANIONS_HAULBEAM_PROGRAM_H_

// Haulbeam at work: the channel's jobs go into the download queue, the queue's news to the
// window and to standard output, and the program ends once it has had nothing to do for a
// while.

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QTimer>
#include <memory>
#include <string_view>

#include "channel_pump.h"
#include "download_queue.h"
#include "job_table_model.h"
#include "job_window.h"
#include "options.h"
#include "platform/linux/channel/channel_server.h"

namespace haulbeam {

class Program : public QueueObserver {
 public:
  // Listens as "my server" in the user's channel folder and shows the window when the
  // options ask for one, as `window_style` says. Throws harvelo::ServerNameTaken when
  // another Haulbeam listens, harvelo::Failure when it cannot listen. `network` and
  // `cookies` must remain live while the program is; a QApplication must exist for a window.
  Program(const Options& options, QNetworkAccessManager& network, BrowserCookies& cookies,
          const QByteArray& window_style);
  ~Program() override;

  void JobAdded(int row) override;
  void JobChanged(int row) override;
  void JobEnded(int row) override;

 private:
  bool Take(std::int32_t message_number, std::string_view data);
  bool MayClose();
  bool Idle() const;
  void WatchIdle();
  void EndIfIdle();

  DownloadQueue queue_;
  std::unique_ptr<JobTableModel> model_;
  std::unique_ptr<JobWindow> window_;
  std::unique_ptr<harvelo::ChannelServer> server_;
  std::unique_ptr<ChannelPump> pump_;
  const std::chrono::milliseconds end_after_;
  bool had_client_ = false;
  QTimer end_timer_;
};

}  // namespace haulbeam

#endif  // HARVELO_COMPANIONS_HAULBEAM_PROGRAM_H_
