#include "support/firefox_session.h"

#include <chrono>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace harvelo::testing {

FirefoxSession::FirefoxSession(const Options& options, const std::string& launcher)
    : profile_(std::make_unique<TemporaryFolder>()) {
  std::vector<std::string> argv = {"firefox-esr", "--profile", profile_->path(), "--no-remote",
                                   "--remote-debugging-port=0"};
  std::string port_file = profile_->path() + "/WebDriverBiDiServer.json";
  // The browser's remote agent tells of every connection unless asked to keep to warnings.
  std::ofstream(profile_->path() + "/user.js") << "user_pref(\"remote.log.level\", \"Warn\");\n";
  std::map<std::string, std::string> environment = {
      {"WAYLAND_DISPLAY", ""}, {"MOZ_CRASHREPORTER_DISABLE", "1"}, {"DISPLAY", options.display}};
  if (!launcher.empty()) {
    argv = {launcher, "--firefox"};
    data_home_ = profile_->path();
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
  process_ = std::make_unique<ChildProcess>(argv, environment);

  static const std::regex port("\"ws_port\"\\s*:\\s*([0-9]+)");
  for (int tries = 0; tries < 600; ++tries) {
    std::ifstream file(port_file);
    std::stringstream text;
    text << file.rdbuf();
    const std::string content = text.str();
    std::smatch found;
    if (content.find('}') != std::string::npos && std::regex_search(content, found, port)) {
      endpoint_ = "ws://127.0.0.1:" + found[1].str();
      return;
    }
    if (process_->Wait(std::chrono::milliseconds(0))) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  throw std::runtime_error("Firefox gave no WebDriver BiDi port");
}

FirefoxSession::~FirefoxSession() {
  process_.reset();
  profile_.reset();
}

}  // namespace harvelo::testing
