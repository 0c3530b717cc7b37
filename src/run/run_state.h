#ifndef HARVELO_RUN_RUN_STATE_H_
#define HARVELO_RUN_RUN_STATE_H_

// What one run of the program holds from start to end, in the pieces that each part owns.
// The main form owns it and lends the pieces to the parts of the pass, so that tests can run
// many passes in one process.

#include <memory>

#include "handoff/download_jobs.h"
#include "platform/browser.h"
#include "scanner/page_scan.h"

namespace harvelo {

struct RunState {
  // The browser window the run works on; set once by the attachment, never released.
  std::shared_ptr<WebBrowser> AttachedBrowser;
  // What the scan found: MediaURLs and the link sets.
  MediaScan scan;
  // The channel to the download program, and whether it was opened.
  JobChannel job_channel;
};

}  // namespace harvelo

#endif  // HARVELO_RUN_RUN_STATE_H_
