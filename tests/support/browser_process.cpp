#include "support/browser_process.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "platform/linux/bidi/bidi_endpoint.h"

namespace harvelo::testing {

BrowserProcess::BrowserProcess(BrowserProtocol protocol, const Options& options,
                               const std::string& launcher,
                               const std::vector<std::string>& switches) {
  const bool firefox = protocol == BrowserProtocol::kBidi;
  // The profile where harvelo-browser keeps it, so that the program's own search finds the port.
  const std::string profile = home_.path() + (firefox ? "/harvelo/firefox" : "/harvelo/browser");
  const bool headless = options.display.empty();
  std::map<std::string, std::string> environment = {
      {"WAYLAND_DISPLAY", ""}, {"DISPLAY", options.display}, {"MOZ_CRASHREPORTER_DISABLE", "1"}};
  std::vector<std::string> argv;
  if (!launcher.empty()) {
    argv = {launcher};
    if (firefox) argv.push_back("--firefox");
    data_home_ = home_.path();
    environment["XDG_DATA_HOME"] = data_home_;
    environment["HARVELO_BROWSER"] = firefox ? "firefox-esr" : "chromium";
  } else if (firefox) {
    std::filesystem::create_directories(profile);
    // The browser's remote agent tells of every connection unless asked to keep to warnings.
    std::ofstream(profile + "/user.js") << "user_pref(\"remote.log.level\", \"Warn\");\n";
    argv = {"firefox-esr", "--profile", profile, "--no-remote", "--remote-debugging-port=0"};
    if (headless) argv.push_back("--headless");
    if (!headless) argv.insert(argv.end(), {"--width", "800", "--height", "600"});
  } else {
    argv = {"chromium",
            "--user-data-dir=" + profile,
            "--remote-debugging-port=0",
            "--no-first-run",
            "--no-default-browser-check",
            "--disable-background-networking",
            "--disable-component-update",
            "--disable-sync",
            "--no-sandbox",
            "--password-store=basic",
            "--disable-dev-shm-usage",
            "--log-level=3",
            headless ? "--headless=new" : "--ozone-platform=x11"};
    if (!headless) argv.insert(argv.end(), {"--window-position=0,0", "--window-size=800,600"});
    argv.insert(argv.end(), switches.begin(), switches.end());
  }
  argv.insert(argv.end(), options.urls.begin(), options.urls.end());
  if (options.urls.empty()) argv.push_back("about:blank");
  // The browser's own chatter goes to a file, so that a failing test's output shows its
  // failure; the end of that file comes with the error when the browser gives no port.
  const std::string log = home_.path() + "/browser.log";
  const int log_fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  process_ = std::make_unique<ChildProcess>(argv, environment, log_fd, log_fd);
  if (log_fd != -1) close(log_fd);
  const QString data = QString::fromStdString(home_.path());
  QFile port_file(data + "/harvelo/browser/DevToolsActivePort");
  for (QDeadlineTimer deadline(std::chrono::seconds(60)); !deadline.hasExpired();) {
    // Chromium writes the file in two steps: a port without its line end may still grow.
    if (!firefox && port_file.open(QIODevice::ReadOnly) && port_file.readLine().endsWith('\n')) {
      endpoint_ = FindDevToolsEndpoint("", {data, data}).toString().toStdString();
    } else if (const auto found =
                   firefox ? FindBidiEndpoint("", {data, data}, data) : std::nullopt) {
      endpoint_ = found->toString().toStdString();
    }
    port_file.close();
    if (!endpoint_.empty() || process_->Wait(std::chrono::milliseconds(0))) break;
    QThread::msleep(100);
  }
  if (endpoint_.empty()) {
    const std::string said = FileBytes(log);
    throw std::runtime_error(std::string(firefox ? "Firefox" : "Chromium") +
                             " gave no port for its remote control; it said:\n" +
                             said.substr(said.size() - std::min<std::size_t>(said.size(), 2000)));
  }
}

}  // namespace harvelo::testing
