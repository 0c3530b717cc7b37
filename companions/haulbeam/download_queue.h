#ifndef HARVELO_COMPANIONS_HAULBEAM_DOWNLOAD_QUEUE_H_
#define HARVELO_COMPANIONS_HAULBEAM_DOWNLOAD_QUEUE_H_

// The jobs of a run of Haulbeam, downloaded a few at once in the order they came, each
// tried again after a pause when it fails in a way that may pass. Every job ends saved or
// failed, and its observer hears of it.

#include <QNetworkAccessManager>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <vector>

#include "job.h"
#include "transfer.h"

namespace haulbeam {

struct JobStatus {
  enum class State { kQueued, kDownloading, kRetrying, kSaved, kFailed };
  Job job;
  State state = State::kQueued;
  int retries = 0;      // attempts made after the first
  qint64 received = 0;  // bytes in the part file
  qint64 total = -1;    // the file's size, -1 while unknown
  double bytes_per_second = 0;
  QString result;  // saved: the file's path; failed or retrying: the reason
};

// Told of every change, on the event loop's thread. Calls must not add jobs or stop the
// queue.
class QueueObserver {
 public:
  virtual ~QueueObserver() = default;
  virtual void JobAdded(int row) = 0;
  virtual void JobChanged(int row) = 0;  // state, progress or speed
  virtual void JobEnded(int row) = 0;    // saved or failed, for good
};

struct QueueSettings {
  int downloads_at_once = 4;
  // The pause before each retry; as many retries as pauses.
  std::vector<std::chrono::milliseconds> retry_pauses{
      std::chrono::seconds(1), std::chrono::seconds(2), std::chrono::seconds(4)};
  // A file larger than this fails, announced or not: a body that never ends must not fill
  // the disk.
  qint64 largest_file = qint64{4096} << 20;
};

class DownloadQueue {
 public:
  // `network`, `observer` and `cookies` must remain live while the queue is. Without
  // `cookies` the downloads go out without the browser's cookies.
  DownloadQueue(QNetworkAccessManager& network, QueueSettings settings, QueueObserver& observer,
                BrowserCookies* cookies = nullptr);
  ~DownloadQueue();

  // Queues `job` as the last row, and starts it when a place is free.
  void Add(const Job& job);
  // Ends every job that is not saved yet as failed with `reason`; part files are kept.
  void Stop(const QString& reason);

  int Rows() const { return static_cast<int>(jobs_.size()); }
  const JobStatus& Status(int row) const { return jobs_[static_cast<std::size_t>(row)]; }
  // True while a job waits, downloads or waits to retry.
  bool Busy() const { return !waiting_.empty() || !active_.empty(); }

 private:
  struct Active {
    std::unique_ptr<Transfer> transfer;  // none while it waits to retry
    qint64 counted = 0;                  // bytes at the last speed reading
  };

  void StartWaiting();
  bool SamePartFileActive(int row) const;
  void Attempt(int row);
  void Done(int row, const Outcome& outcome);
  void End(int row, JobStatus::State state, const QString& result);
  void Tick();

  QNetworkAccessManager& network_;
  const QueueSettings settings_;
  QueueObserver& observer_;
  BrowserCookies* const cookies_;
  std::vector<JobStatus> jobs_;
  std::deque<int> waiting_;
  std::map<int, Active> active_;
  QTimer ticker_;    // progress and speed, while anything downloads
  QObject context_;  // of the retry timers: they end with the queue
};

}  // namespace haulbeam

#endif  // HARVELO_COMPANIONS_HAULBEAM_DOWNLOAD_QUEUE_H_
