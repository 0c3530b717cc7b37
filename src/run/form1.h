#ifndef HARVELO_RUN_FORM1_H_
#define HARVELO_RUN_FORM1_H_

#include <memory>

#include "handoff/download_jobs.h"
#include "platform/platform.h"
#include "run/no_pics_notice.h"
#include "run/run_state.h"
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

  // The scan of the attached page: its pictures and movies, the folder the user confirms
  // for them, and the hand-off. Returns only when nothing was found (with the no-files
  // notice shown unless switched off); ends the program when the dialog is cancelled, and
  // after an error box on any failure of the scan or the hand-off. state().AttachedBrowser
  // must be set.
  void ScanPage();

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
  // The no-files notice, made on first use; it must outlive its window, and so the pass.
  std::unique_ptr<NoPicsNotice> notice_;
};

}  // namespace harvelo

#endif  // HARVELO_RUN_FORM1_H_
