#include "support/chromium_session.h"

#include <chrono>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace harvelo::testing {

ChromiumSession::ChromiumSession(const Options& options, const std::string& launcher)
    : profile_(std::make_unique<TemporaryFolder>()) {
  std::vector<std::string> argv = {"chromium",
                                   "--user-data-dir=" + profile_->path(),
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
  std::string port_file = profile_->path() + "/DevToolsActivePort";
  std::map<std::string, std::string> environment = {{"WAYLAND_DISPLAY", ""}};
  if (!launcher.empty()) {
    argv = {launcher};
    data_home_ = profile_->path();
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
  for (const std::string& url : options.urls) argv.push_back(url);
  if (options.urls.empty()) argv.push_back("about:blank");
  process_ = std::make_unique<ChildProcess>(argv, environment);

  for (int tries = 0; tries < 300; ++tries) {
    std::ifstream file(port_file);
    std::string port;
    if (file && std::getline(file, port) && !port.empty() && file.peek() != EOF) {
      endpoint_ = "http://127.0.0.1:" + port;
      return;
    }
    if (process_->Wait(std::chrono::milliseconds(0))) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  throw std::runtime_error("Chromium gave no DevTools port");
}

ChromiumSession::~ChromiumSession() {
  process_.reset();
  profile_.reset();
}

}  // namespace harvelo::testing
