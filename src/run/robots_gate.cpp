#include "run/robots_gate.h"

namespace harvelo {

bool IsHarvestAllowed(Registry& registry, const Text& page_html) {
  const Text page = LowerAscii(page_html);
  if (Contains(page, u"<meta name=\"quorvex\" content=\"nofollow\">") ||
      Contains(page, u"<meta content=nofollow name=\"quorvex\">")) {
    return false;
  }
  if (registry.ReadSetting(kSettingsKey, setting::vObeyRobot) == u"0") return true;
  const bool robots_name = Contains(page, u"name=\"quorvex\"") ||
                           Contains(page, u"name=\"robots\"") || Contains(page, u"name=robots") ||
                           Contains(page, u"name=quorvex");
  return !(robots_name && Contains(page, u"nofollow"));
}

Text RobotNoticeArgument(WebBrowser& browser) {
  Text argument = u"<wHWND>" + DecimalText(browser.HWND());
  argument += u"</wHWND><FormName>frmRobotExclude</FormName><URL>" + browser.LocationURL();
  argument += u"</URL><ProgType>DL</ProgType><LoadingURL>" + browser.LocationURL();
  return argument + u"</LoadingURL>";
}

void StartRobotNotice(ProcessStarter& processes, WebBrowser& browser, AppPath& app_path) {
  const Text argument = RobotNoticeArgument(browser);
  const Text folder = app_path.GetProgramFolder();
  processes.Shell(u"\"" + folder + u"Tellora.exe\" " + argument, kMinimizedFocus);
}

}  // namespace harvelo
