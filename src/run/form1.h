#ifndef HARVELO_RUN_FORM1_H_
#define HARVELO_RUN_FORM1_H_

#include "handoff/download_jobs.h"
#include "platform/platform.h"
#include "run/run_state.h"
#include "scanner/page_scan.h"
#include "settings/app_path.h"
#include "text/text.h"

namespace harvelo {

// The main form: it has no controls. Its load event runs the one pass of a run; it owns
// what the run holds and is the only place the channel to the download program closes.
class Form1 {
 public:
  // `platform` and `app_path` must remain live while the form is.
  Form1(Platform& platform, AppPath& app_path);

  // The load event: the pass, then, if the pass returned without opening the no-files
  // notice, the form shows itself, saying that nothing was found, so that the user can
  // close it, which runs Terminate.
  void Load();

  // Takes the foreground window, attaches to it, reads its page, lets the robots gate
  // judge it and scans it. Ends the program on every path except one (nothing found with
  // the notice switched off). A failure reading the page or starting the notice program is
  // not handled here: it leaves Load for the program's failure report.
  void HarvestCurrentPage();

  // The termination handler: closes the channel when it was opened. A failure of the
  // close is not caught.
  void Terminate();

  RunState& state() { return state_; }

 private:
  // What follows the reading of the page: `page_html` is its HTML in lower case.
  void HarvestPage(const Text& page_html);

  Platform& platform_;
  AppPath& app_path_;
  RunState state_;
  DownloadJobs jobs_;
  // Holds the no-files notice, which must outlive the pass.
  PageScan scan_;
};

}  // namespace harvelo

#endif  // HARVELO_RUN_FORM1_H_
