#ifndef HARVELO_COMPANIONS_HAULBEAM_TRANSFER_H_
#define HARVELO_COMPANIONS_HAULBEAM_TRANSFER_H_

// One attempt at one job: the request (resuming the job's part file where the server
// allows it), the body written to the part file as it arrives, the complete file named.

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

#include "browser_cookies.h"
#include "job.h"
#include "part_file.h"

namespace haulbeam {

struct Outcome {
  enum class Kind { kSaved, kRetry, kFailed };
  Kind kind;
  QString text;  // the saved file's path, or why the attempt failed
};

class Transfer {
 public:
  // Bytes in the part file, and the whole file's size (-1 while unknown).
  using Progress = std::function<void(qint64 received, qint64 total)>;
  using Done = std::function<void(const Outcome&)>;

  // Starts at once, first asking `cookies` (when there is one) what the user's browser would
  // send. Both callbacks come from the event loop; `done` comes once, last, and may destroy
  // the transfer. Destroying it earlier aborts the request and keeps the part file.
  // A file larger than `largest_file` bytes fails, and its part file is emptied.
  // `network` and `cookies` must remain live while the transfer is.
  Transfer(QNetworkAccessManager& network, BrowserCookies* cookies, const Job& job,
           qint64 largest_file, Progress progress, Done done);
  ~Transfer();
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

 private:
  void Request();
  void Drop();
  // Reads the answer's status once its headers are there; false when it restarted.
  bool Decide();
  // Takes what has arrived; false when the transfer ended (and may be gone) or restarted.
  bool Take();
  // Ends the transfer as failed when `size` bytes are more than it may save; whether it did.
  bool TooLarge(qint64 size);
  void Finished();
  QString FinalName() const;
  void End(Outcome::Kind kind, const QString& text);

  QNetworkAccessManager& network_;
  const Job job_;
  const qint64 largest_file_;
  Progress progress_;
  Done done_;
  std::unique_ptr<PartFile> part_;
  QPointer<QNetworkReply> reply_;
  bool decided_ = false;
  bool keep_body_ = false;
  bool restarted_ = false;
  qint64 total_ = -1;
  QByteArray user_agent_;
  QObject context_;  // of the connections and the timer: they end with the transfer
};

}  // namespace haulbeam

#endif  // HARVELO_COMPANIONS_HAULBEAM_TRANSFER_H_
