#ifndef HARVELO_HANDOFF_DOWNLOAD_JOBS_H_
#define HARVELO_HANDOFF_DOWNLOAD_JOBS_H_

// The last act of a run: every found address goes to the download program Haulbeam as one
// job message, the run's group number and origin with it; then the program ends.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/browser.h"
#include "platform/message_channel.h"
#include "platform/platform.h"
#include "settings/app_path.h"
#include "settings/registry.h"
#include "text/text.h"

namespace harvelo {

// The message number under which job messages travel.
inline constexpr std::int32_t kJobMessageNumber = 401;
// How long the program waits for the download program to appear.
inline constexpr int kHaulbeamWaitMilliseconds = 30000;
// The pause between two questions for the download program.
inline constexpr int kHaulbeamPollMilliseconds = 10;

// The channel to the download program, and whether it was opened. The main form keeps it
// for the whole run: the job builder opens it, the form's termination closes it.
struct JobChannel {
  std::unique_ptr<MessageChannel> channel;
  bool ChannelOpen = false;
};

class DownloadJobs {
 public:
  // `platform`, `channel` and `app_path` must remain live while this object is.
  // `wait_milliseconds` bounds WaitForHaulbeam, counted in the pauses it takes.
  DownloadJobs(Platform& platform, JobChannel& channel, AppPath& app_path,
               int wait_milliseconds = kHaulbeamWaitMilliseconds);

  // Sends the job messages of `MediaURLs` (slot 0 empty, the found addresses in slots 1 to
  // N), last found first, with the origin read from `page`; then unloads the main form and
  // ends the program, so it never returns. Catches nothing: a Failure (channel, page, log,
  // group number, the download program that never came) leaves the items not yet sent
  // unsent.
  void SendDownloadJobs(WebBrowser& page, const std::vector<Text>& MediaURLs,
                        const Text& save_folder);

  // The download program's peer handle, starting the program when no peer is present.
  // Errors of the channel and of the start are swallowed; throws Failure naming the
  // program and its folder when no peer appears within the wait bound.
  std::int32_t WaitForHaulbeam();

 private:
  void WriteSourceLog(const Text& group, const Text& origin);

  Platform& platform_;
  JobChannel& channel_;
  AppPath& app_path_;
  Registry registry_;
  int wait_milliseconds_;
};

}  // namespace harvelo

#endif  // HARVELO_HANDOFF_DOWNLOAD_JOBS_H_
