#include "handoff/download_jobs.h"

#include <cstddef>

#include "handoff/group_number.h"
#include "handoff/text_helpers.h"
#include "platform/failure.h"
#include "scanner/folders.h"

namespace harvelo {

namespace {

// `k` with at least two digits.
Text OrderNumber(std::size_t k) {
  Text digits = DecimalText(static_cast<std::int64_t>(k));
  return digits.size() < 2 ? u"0" + digits : digits;
}

Text JobMessage(const Text& address, const Text& path, const Text& origin, const Text& group,
                std::size_t k) {
  Text message = u"<DataURL>" + address + u"</DataURL><DataPath>" + path +
                 u"</DataPath><DataOrgin>" + origin + u"</DataOrgin>";
  if (group.empty()) return message + u"<DataGroup></DataGroup><DataOrder></DataOrder>";
  return message + u"<DataGroup>" + group + u"</DataGroup><DataOrder>" + OrderNumber(k) +
         u"</DataOrder>";
}

}  // namespace

DownloadJobs::DownloadJobs(Platform& platform, RunState& state, AppPath& app_path,
                           int wait_milliseconds)
    : platform_(platform),
      state_(state),
      app_path_(app_path),
      registry_(platform.registry),
      wait_milliseconds_(wait_milliseconds) {}

void DownloadJobs::SendDownloadJobs(const Text& save_folder) {
  state_.channel = platform_.channels.Create();
  state_.channel->OpenChannel(u"my server", u"my client");
  state_.ChannelOpen = true;

  const Text origin = OriginAddress();
  Text group;
  if (registry_.ReadSetting(kSettingsKey, u"dAddGroup") != u"0") {
    group = GetGroupNumber(registry_);
    AdvanceGroupNumber(registry_, group);
    if (registry_.ReadSetting(kSettingsKey, u"dLogSource") != u"0") {
      WriteSourceLog(group, origin);
    }
  }
  const Text path = FixPath(save_folder);

  // Slot 0 stays empty; the found addresses are slots 1 to N.
  const std::size_t n = state_.MediaURLs.empty() ? 0 : state_.MediaURLs.size() - 1;
  for (std::size_t k = n; k >= 1; --k) {
    const Text message = JobMessage(state_.MediaURLs[k], path, origin, group, k);
    const std::int32_t peer = WaitForHaulbeam();
    if (peer != NoPeer) state_.channel->SendData(peer, kJobMessageNumber, message);
  }
  platform_.ui.UnloadMainForm();
  platform_.ui.End();
}

std::int32_t DownloadJobs::WaitForHaulbeam() {
  // A query that fails leaves the last answer standing, as the wait ignores its errors.
  std::int32_t peer = 0;
  const auto ask = [&] {
    if (!state_.channel) return;
    try {
      peer = state_.channel->PeerHandle();
    } catch (const Failure&) {
    }
  };
  ask();
  if (peer != NoPeer) return peer;

  const Text folder = app_path_.GetProgramFolder();
  try {
    platform_.processes.Shell(u"\"" + folder + u"Haulbeam.exe\"", kNormalNoFocus);
  } catch (const Failure&) {
  }
  for (int waited = 0;; waited += kHaulbeamPollMilliseconds) {
    platform_.ui.DoEvents();
    ask();
    if (peer != NoPeer) return peer;
    if (waited >= wait_milliseconds_) {
      throw Failure(u"The download program Haulbeam.exe did not answer. It was looked for "
                    u"in the folder " + folder);
    }
    platform_.clock.Sleep(kHaulbeamPollMilliseconds);
  }
}

Text DownloadJobs::OriginAddress() {
  if (!state_.AttachedBrowser) throw Failure(u"Object variable not set");
  WebBrowser& browser = *state_.AttachedBrowser;
  const Text shown = browser.LocationURL();
  if (Contains(LowerAscii(shown), u"qxsource=")) {
    return URLDecode(GetQueryValue(browser.LocationURL(), u"qxurl"));
  }
  if (Contains(browser.Document()->documentElement()->innerHTML(), u"<QXSOURCE value=")) {
    return ReturnTagInfo(browser.Document()->documentElement()->innerHTML());
  }
  return shown;
}

void DownloadJobs::WriteSourceLog(const Text& group, const Text& origin) {
  FileSystemObject& fs = platform_.file_system;
  Text folder = registry_.ReadSetting(kSettingsKey, u"dLogPath");
  if (!fs.FolderExists(folder)) {
    folder = GetSpecialFolderPath(platform_.shell_folders, CSIDL_PERSONAL) + kPathSeparator +
             u"Quorvex";
    CreateFolderPath(fs, folder);
  }
  if (!fs.FolderExists(folder)) return;
  fs.AppendToFile(FixPath(folder) + u"SourceLog.txt",
                  platform_.clock.GeneralDateNow() + u"\t" + group + u"\t" + origin + u"\r\n");
}

}  // namespace harvelo
