#include "run/form1.h"

#include "run/attach_browser.h"
#include "run/error_box.h"
#include "run/robots_gate.h"
#include "settings/registry.h"

namespace harvelo {

Form1::Form1(Platform& platform, AppPath& app_path)
    : platform_(platform),
      app_path_(app_path),
      jobs_(platform, state_, app_path),
      scan_(platform, state_, [this](const Text& folder) { jobs_.SendDownloadJobs(folder); }) {}

void Form1::Load() {
  HarvestCurrentPage();
  // The open notice is the way out, and keeps the focus for the keys the user types: the
  // form stays loaded but out of sight.
  if (scan_.NoticeShown()) return;
  platform_.ui.ShowMainForm(
      kProgramTitle, u"No files were found on this page. Close this window to end Harvelo.",
      [this] { Terminate(); });
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

void Form1::HarvestPage(const Text& page_html) {
  Registry registry(platform_.registry);
  if (!IsHarvestAllowed(registry, page_html)) {
    StartRobotNotice(platform_.processes, *state_.AttachedBrowser, app_path_);
    platform_.ui.End();
  }
  scan_.ScanPage();
}

void Form1::Terminate() {
  if (state_.ChannelOpen) state_.channel->CloseChannel();
}

}  // namespace harvelo
