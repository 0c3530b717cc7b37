#include "run/form1.h"

#include "run/attach_browser.h"
#include "run/error_box.h"

namespace harvelo {

void Form1::Load() {
  HarvestCurrentPage();
  platform_.ui.ShowMainForm(kProgramTitle, [this] { Terminate(); });
}

void Form1::HarvestCurrentPage() {
  const WindowHandle foreground = platform_.windows.GetForegroundWindow();
  const AttachServices services{platform_.browser, platform_.windows, platform_.registry,
                                platform_.ui, platform_.clock};
  if (!AttachBrowser(services, state_, foreground, /*maximize=*/false)) {
    ShowErrorMessageBox(platform_.ui,
                        u"Could not attach to IE.\r\n"
                        u"Please close all Internet Explorer windows and try again.");
    platform_.ui.End();
  }
  HarvestPage(LowerAscii(state_.AttachedBrowser->Document()->documentElement()->innerHTML()));
}

void Form1::HarvestPage(const Text& /*page_html*/) {
  // The robots gate (refused: the notice program starts, then the end) and the page scan
  // (which returns only when nothing was found and the notice is switched off) take the
  // page from here. Until they exist, the run ends once the page has been read.
  platform_.ui.End();
}

void Form1::Terminate() {
  if (state_.ChannelOpen) state_.channel->CloseChannel();
}

}  // namespace harvelo
