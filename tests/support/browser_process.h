#ifndef HARVELO_TESTS_SUPPORT_BROWSER_PROCESS_H_
#define HARVELO_TESTS_SUPPORT_BROWSER_PROCESS_H_

// A browser of the test's own, kept off the network: a throw-away profile, remote control on a
// port the kernel picks; ended, and its profile removed, with the object.

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "support/child_process.h"

namespace harvelo::testing {

// The protocol of a browser: Chromium's DevTools protocol, or WebDriver BiDi for Firefox.
enum class BrowserProtocol { kDevTools, kBidi };
inline void PrintTo(BrowserProtocol protocol, std::ostream* out) {
  *out << (protocol == BrowserProtocol::kBidi ? "Firefox" : "Chromium");
}

// Chromium, whose endpoint is "http://127.0.0.1:<port>", or Firefox (firefox-esr) in windows of
// 800 by 600, whose endpoint is "ws://127.0.0.1:<port>".
class BrowserProcess {
 public:
  struct Options {
    std::string display;            // empty: headless
    std::vector<std::string> urls;  // of the first window; none opens about:blank
  };

  // Waits until the endpoint is known; throws std::runtime_error after 60 s or when the browser
  // ends first. With a `launcher` (harvelo-browser), the launcher starts the browser as a person
  // would, with data_home() as the user's data folder; that needs a display. Without one,
  // `switches` go on Chromium's command line.
  explicit BrowserProcess(BrowserProtocol protocol, const Options& options = {},
                          const std::string& launcher = "",
                          const std::vector<std::string>& switches = {});

  const std::string& endpoint() const { return endpoint_; }
  const std::string& data_home() const { return data_home_; }  // empty without a launcher
  pid_t pid() const { return process_->pid(); }
  void Kill() { process_->Kill(); }  // at once, as a crash would

 private:
  TemporaryFolder home_;
  std::string data_home_;
  std::unique_ptr<ChildProcess> process_;
  std::string endpoint_;
};

}  // namespace harvelo::testing

#endif  // HARVELO_TESTS_SUPPORT_BROWSER_PROCESS_H_
