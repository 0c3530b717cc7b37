#include "download_queue.h"

#include <algorithm>

namespace haulbeam {
namespace {

// How often the rows of running downloads show their progress and speed.
constexpr std::chrono::milliseconds kTick{500};

}  // namespace

DownloadQueue::DownloadQueue(QNetworkAccessManager& network, QueueSettings settings,
                             QueueObserver& observer, BrowserCookies* cookies)
    : network_(network), settings_(std::move(settings)), observer_(observer), cookies_(cookies) {
  ticker_.setInterval(kTick);
  QObject::connect(&ticker_, &QTimer::timeout, &context_, [this] { Tick(); });
}

DownloadQueue::~DownloadQueue() = default;

void DownloadQueue::Add(const Job& job) {
  jobs_.emplace_back().job = job;
  const int row = Rows() - 1;
  waiting_.push_back(row);
  observer_.JobAdded(row);
  StartWaiting();
}

void DownloadQueue::Stop(const QString& reason) {
  std::vector<int> rows(waiting_.begin(), waiting_.end());
  waiting_.clear();
  for (const auto& [row, active] : active_) rows.push_back(row);
  std::sort(rows.begin(), rows.end());
  for (const int row : rows) End(row, JobStatus::State::kFailed, reason);
}

void DownloadQueue::StartWaiting() {
  const auto at_once = static_cast<std::size_t>(settings_.downloads_at_once);
  for (auto next = waiting_.begin(); next != waiting_.end() && active_.size() < at_once;) {
    const int row = *next;
    if (SamePartFileActive(row)) {
      ++next;  // it would write into the same part file: it waits for that download
      continue;
    }
    next = waiting_.erase(next);
    active_[row];
    Attempt(row);
  }
}

bool DownloadQueue::SamePartFileActive(int row) const {
  const Job& job = Status(row).job;
  return std::any_of(active_.begin(), active_.end(), [&](const auto& active) {
    const Job& other = Status(active.first).job;
    return other.folder == job.folder && other.url.toEncoded() == job.url.toEncoded();
  });
}

void DownloadQueue::Attempt(int row) {
  JobStatus& status = jobs_[static_cast<std::size_t>(row)];
  status.state = status.retries == 0 ? JobStatus::State::kDownloading : JobStatus::State::kRetrying;
  Active& active = active_.at(row);
  active.counted = -1;
  active.transfer = std::make_unique<Transfer>(
      network_, cookies_, status.job, settings_.largest_file,
      [this, row](qint64 received, qint64 total) {
        JobStatus& progress = jobs_[static_cast<std::size_t>(row)];
        progress.received = received;
        progress.total = total;
      },
      [this, row](const Outcome& outcome) { Done(row, outcome); });
  ticker_.start();
  observer_.JobChanged(row);
}

void DownloadQueue::Done(int row, const Outcome& outcome) {
  JobStatus& status = jobs_[static_cast<std::size_t>(row)];
  const auto retries = static_cast<std::size_t>(status.retries);
  if (outcome.kind != Outcome::Kind::kRetry || retries >= settings_.retry_pauses.size()) {
    const bool saved = outcome.kind == Outcome::Kind::kSaved;
    return End(row, saved ? JobStatus::State::kSaved : JobStatus::State::kFailed, outcome.text);
  }
  active_.at(row).transfer.reset();
  ++status.retries;
  status.state = JobStatus::State::kRetrying;
  status.result = outcome.text;
  status.bytes_per_second = 0;
  QTimer::singleShot(settings_.retry_pauses[retries], &context_, [this, row] {
    if (active_.count(row) != 0) Attempt(row);
  });
  observer_.JobChanged(row);
}

void DownloadQueue::End(int row, JobStatus::State state, const QString& result) {
  JobStatus& status = jobs_[static_cast<std::size_t>(row)];
  status.state = state;
  status.result = result;
  status.bytes_per_second = 0;
  active_.erase(row);
  observer_.JobEnded(row);
  StartWaiting();
  if (active_.empty()) ticker_.stop();
}

void DownloadQueue::Tick() {
  const double seconds = std::chrono::duration<double>(kTick).count();
  for (auto& [row, active] : active_) {
    if (!active.transfer) continue;
    JobStatus& status = jobs_[static_cast<std::size_t>(row)];
    if (active.counted >= 0) {
      // Smoothed over the last few readings, so that the figure does not jump about.
      const double now = static_cast<double>(status.received - active.counted) / seconds;
      status.bytes_per_second = (status.bytes_per_second + now) / 2;
    }
    active.counted = status.received;
    observer_.JobChanged(row);
  }
}

}  // namespace haulbeam
