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

// Where the page came from: the "qxurl" item of an address with "qxsource=", else the
// source marker of the page's HTML, else the address itself.
Text OriginAddress(WebBrowser& page) {
  const Text shown = page.LocationURL();
  if (Contains(LowerAscii(shown), u"qxsource=")) {
    return URLDecode(GetQueryValue(page.LocationURL(), u"qxurl"));
  }
  if (Contains(page.Document()->documentElement()->innerHTML(), u"<QXSOURCE value=")) {
    return ReturnTagInfo(page.Document()->documentElement()->innerHTML());
  }
  return shown;
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

DownloadJobs::DownloadJobs(Platform& platform, JobChannel& channel, AppPath& app_path,
                           int wait_milliseconds)
    : platform_(platform),
      channel_(channel),
      app_path_(app_path),
      registry_(platform.registry),
      wait_milliseconds_(wait_milliseconds) {}

void DownloadJobs::SendDownloadJobs(WebBrowser& page, const std::vector<Text>& MediaURLs,
                                    const Text& save_folder) {
  channel_.channel = platform_.channels.Create();
  channel_.channel->OpenChannel(u"my server", u"my client");
  channel_.ChannelOpen = true;

  const Text origin = OriginAddress(page);
  Text group;
  if (registry_.ReadSetting(kSettingsKey, setting::dAddGroup) != u"0") {
    group = GetGroupNumber(registry_);
    AdvanceGroupNumber(registry_, group);
    if (registry_.ReadSetting(kSettingsKey, setting::dLogSource) != u"0") {
      WriteSourceLog(group, origin);
    }
  }
  const Text path = FixPath(save_folder);

  // Slot 0 stays empty; the found addresses are slots 1 to N.
  const std::size_t n = MediaURLs.empty() ? 0 : MediaURLs.size() - 1;
  for (std::size_t k = n; k >= 1; --k) {
    const Text message = JobMessage(MediaURLs[k], path, origin, group, k);
    const std::int32_t peer = WaitForHaulbeam();
    if (peer != NoPeer) channel_.channel->SendData(peer, kJobMessageNumber, message);
  }
  platform_.ui.UnloadMainForm();
  platform_.ui.End();
}

std::int32_t DownloadJobs::WaitForHaulbeam() {
  // A query that fails leaves the last answer standing, as the wait ignores its errors.
  std::int32_t peer = 0;
  const auto ask = [&] {
    if (!channel_.channel) return;
    try {
      peer = channel_.channel->PeerHandle();
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
      throw Failure(
          u"The download program Haulbeam.exe did not answer. It was looked for "
          u"in the folder " +
          folder);
    }
    platform_.clock.Sleep(kHaulbeamPollMilliseconds);
  }
}

void DownloadJobs::WriteSourceLog(const Text& group, const Text& origin) {
  FileSystemObject& fs = platform_.file_system;
  Text folder = registry_.ReadSetting(kSettingsKey, setting::dLogPath);
  if (!fs.FolderExists(folder)) folder = DefaultFolder(platform_.shell_folders, fs);
  if (!fs.FolderExists(folder)) return;
  fs.AppendToFile(FixPath(folder) + u"SourceLog.txt",
                  platform_.clock.GeneralDateNow() + u"\t" + group + u"\t" + origin + u"\r\n");
}

}  // namespace harvelo
