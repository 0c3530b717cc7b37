#ifndef HARVELO_SCANNER_PAGE_SCAN_H_
#define HARVELO_SCANNER_PAGE_SCAN_H_

// The scan of the attached page: collects the addresses of its pictures and movies, lets
// the user confirm the save folder and hands the folder on to the job builder.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/browser.h"
#include "platform/platform.h"
#include "run/no_pics_notice.h"
#include "run/run_state.h"
#include "text/text.h"

namespace harvelo {

class PageScan {
 public:
  // Hands the chosen folder to the job builder, which reads state.MediaURLs and ends the
  // program itself.
  using SendDownloadJobs = std::function<void(const Text& save_folder)>;

  // `platform` and `state` must remain live while this object is; state.AttachedBrowser
  // must be set before ScanPage.
  PageScan(Platform& platform, RunState& state, SendDownloadJobs send_download_jobs)
      : platform_(platform), state_(state), send_download_jobs_(std::move(send_download_jobs)) {}

  // The whole scan, from resetting state.MediaURLs to handing over the folder. Returns only
  // when nothing was found (with the notice shown unless switched off); ends the program
  // when the dialog is cancelled, and after an error box on any failure.
  void ScanPage();

  // True once the no-files notice is open; it stays open until it ends the program.
  bool NoticeShown() const { return notice_ != nullptr; }

  // True when the element's href can be read.
  static bool IsLinkElement(HtmlElement& element);
  // True when one of slots 1 to N of state.MediaURLs equals `address` exactly.
  bool IsInMediaList(const Text& address) const;
  // The movies among slots 1 to N. Throws Failure when there are more than 32767.
  static std::int16_t CountMovies(const std::vector<Text>& list);

 private:
  void Scan();
  void ScanMarkerPage(HtmlDocument& document);
  void ScanSource();
  void Append(Text address) { state_.MediaURLs.push_back(std::move(address)); }

  Platform& platform_;
  RunState& state_;
  SendDownloadJobs send_download_jobs_;
  // The notice, made on first use; it must outlive its window.
  std::unique_ptr<NoPicsNotice> notice_;
};

}  // namespace harvelo

#endif  // HARVELO_SCANNER_PAGE_SCAN_H_
