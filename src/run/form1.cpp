#include "run/form1.h"

#include <exception>

#include "platform/failure.h"
#include "run/attach_browser.h"
#include "run/error_box.h"
#include "run/robots_gate.h"
#include "scanner/media_reach.h"
#include "settings/registry.h"

namespace harvelo {

Form1::Form1(Platform& platform, AppPath& app_path)
    : platform_(platform), app_path_(app_path), jobs_(platform, state_.job_channel, app_path) {}

void Form1::Load() {
  HarvestCurrentPage();
  // The open notice is the way out, and keeps the focus for the keys the user types: the
  // form stays loaded but out of sight.
  if (notice_) return;
  platform_.ui.ShowMainForm(kProgramTitle,
                            u"No files were found on this page. Close this window to end Harvelo.",
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
  ScanPage();
}

void Form1::ScanPage() {
  try {
    WebBrowser& page = *state_.AttachedBrowser;
    // MediaURLs is slot 0 alone from here on, whatever the scan raises.
    state_.scan = MediaScan();
    Registry registry(platform_.registry);
    const MediaReach reach = ReadMediaReach(registry);
    state_.scan = ScanForMedia(page, platform_.urls, platform_.ui, reach);
    if (state_.scan.MediaURLs.size() < 2) {
      if (registry.ReadSetting(kSettingsKey, setting::dMsgNoPicsFound) != u"0") {
        if (!notice_) {
          notice_ = std::make_unique<NoPicsNotice>(platform_.notice, platform_.windows,
                                                   platform_.registry, platform_.ui, state_);
        }
        notice_->Show();
      }
      return;
    }
    const Text folder = ChooseSaveFolder(platform_, page, state_.scan.MediaURLs, reach);
    if (folder.empty()) platform_.ui.End();
    jobs_.SendDownloadJobs(page, state_.scan.MediaURLs, folder);
  } catch (const Failure& failure) {
    ShowErrorMessageBox(platform_.ui, failure.description());
    platform_.ui.End();
  } catch (const std::exception& error) {
    ShowErrorMessageBox(platform_.ui, FromUtf8(error.what()));
    platform_.ui.End();
  }
}

void Form1::Terminate() {
  if (state_.job_channel.ChannelOpen) state_.job_channel.channel->CloseChannel();
}

}  // namespace harvelo
