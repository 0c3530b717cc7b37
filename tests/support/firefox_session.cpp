#include "support/firefox_session.h"

#include <fstream>
#include <regex>

namespace harvelo::testing {

FirefoxSession::FirefoxSession(const Options& options, const std::string& launcher) {
  std::vector<std::string> argv = {"firefox-esr", "--profile", profile(), "--no-remote",
                                   "--remote-debugging-port=0"};
  std::string port_file = profile() + "/WebDriverBiDiServer.json";
  // The browser's remote agent tells of every connection unless asked to keep to warnings.
  std::ofstream(profile() + "/user.js") << "user_pref(\"remote.log.level\", \"Warn\");\n";
  std::map<std::string, std::string> environment = {
      {"WAYLAND_DISPLAY", ""}, {"MOZ_CRASHREPORTER_DISABLE", "1"}, {"DISPLAY", options.display}};
  if (!launcher.empty()) {
    argv = {launcher, "--firefox"};
    data_home_ = profile();
    environment["XDG_DATA_HOME"] = data_home_;
    environment["HARVELO_BROWSER"] = "firefox-esr";
    port_file = data_home_ + "/harvelo/firefox/WebDriverBiDiServer.json";
  } else if (options.display.empty()) {
    argv.push_back("--headless");
  } else {
    argv.insert(argv.end(), {"--width", "800", "--height", "600"});
  }
  for (const std::string& url : options.urls) argv.push_back(url);
  if (options.urls.empty()) argv.push_back("about:blank");
  Start(
      argv, environment, port_file,
      [](const std::string& text) -> std::string {
        static const std::regex port("\"ws_port\"\\s*:\\s*([0-9]+)");
        std::smatch found;
        if (text.find('}') == std::string::npos || !std::regex_search(text, found, port)) return {};
        return "ws://127.0.0.1:" + found[1].str();
      },
      "Firefox");
}

}  // namespace harvelo::testing
