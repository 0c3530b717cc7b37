#ifndef HARVELO_HANDOFF_DOWNLOAD_JOBS_H_
#define HARVELO_HANDOFF_DOWNLOAD_JOBS_H_

// The last act of a run: every found address goes to the download program Haulbeam as one
// job message, the run's group number and origin with it; then the program ends.

#include <cstdint>

#include "platform/platform.h"
#include "run/run_state.h"
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

class DownloadJobs {
 public:
  // `platform`, `state` and `app_path` must remain live while this object is.
  // `wait_milliseconds` bounds WaitForHaulbeam, counted in the pauses it takes.
  DownloadJobs(Platform& platform, RunState& state, AppPath& app_path,
               int wait_milliseconds = kHaulbeamWaitMilliseconds);

  // Sends the job messages of state.MediaURLs, last found first, unloads the main form and
  // ends the program, so it never returns. Catches nothing: a Failure (channel, page, log, group number, the
  // download program that never came) leaves the items not yet sent unsent.
  void SendDownloadJobs(const Text& save_folder);

  // The download program's peer handle, starting the program when no peer is present.
  // Errors of the channel and of the start are swallowed; throws Failure naming the
  // program and its folder when no peer appears within the wait bound.
  std::int32_t WaitForHaulbeam();

 private:
  Text OriginAddress();
  void WriteSourceLog(const Text& group, const Text& origin);

  Platform& platform_;
  RunState& state_;
  AppPath& app_path_;
  Registry registry_;
  int wait_milliseconds_;
};

}  // namespace harvelo

#endif  // HARVELO_HANDOFF_DOWNLOAD_JOBS_H_
