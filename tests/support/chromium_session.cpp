#include "support/chromium_session.h"

#include <sstream>

namespace harvelo::testing {

ChromiumSession::ChromiumSession(const Options& options, const std::string& launcher,
                                 const std::vector<std::string>& switches) {
  std::vector<std::string> argv = {"chromium",
                                   "--user-data-dir=" + profile(),
                                   "--remote-debugging-port=0",
                                   "--no-first-run",
                                   "--no-default-browser-check",
                                   "--disable-background-networking",
                                   "--disable-component-update",
                                   "--disable-sync",
                                   "--no-sandbox",
                                   "--password-store=basic",
                                   "--disable-dev-shm-usage",
                                   "--log-level=3"};
  std::string port_file = profile() + "/DevToolsActivePort";
  std::map<std::string, std::string> environment = {{"WAYLAND_DISPLAY", ""}};
  if (!launcher.empty()) {
    argv = {launcher};
    data_home_ = profile();
    environment["XDG_DATA_HOME"] = data_home_;
    environment["HARVELO_BROWSER"] = "chromium";
    environment["DISPLAY"] = options.display;
    port_file = data_home_ + "/harvelo/browser/DevToolsActivePort";
  } else if (options.display.empty()) {
    argv.push_back("--headless=new");
    environment["DISPLAY"] = "";
  } else {
    argv.push_back("--ozone-platform=x11");
    argv.push_back("--window-position=0,0");
    argv.push_back("--window-size=800,600");
    environment["DISPLAY"] = options.display;
  }
  if (launcher.empty()) argv.insert(argv.end(), switches.begin(), switches.end());
  for (const std::string& url : options.urls) argv.push_back(url);
  if (options.urls.empty()) argv.push_back("about:blank");
  // The port is on the first line, the browser's path on the second.
  Start(
      argv, environment, port_file,
      [](const std::string& text) -> std::string {
        std::istringstream lines(text);
        std::string port;
        std::string path;
        if (!std::getline(lines, port) || port.empty() || !std::getline(lines, path)) return {};
        return "http://127.0.0.1:" + port;
      },
      "Chromium");
}

}  // namespace harvelo::testing
