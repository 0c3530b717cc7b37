#ifndef HARVELO_TESTS_SUPPORT_FIREFOX_SESSION_H_
#define HARVELO_TESTS_SUPPORT_FIREFOX_SESSION_H_

// A Firefox (firefox-esr) of the test's own: a throw-away profile, WebDriver BiDi on a port the
// kernel picks; ended and its profile removed with the object.

#include <memory>
#include <string>
#include <vector>

#include "support/child_process.h"

namespace harvelo::testing {

class FirefoxSession {
 public:
  struct Options {
    // Empty: headless. Else the X display to show its windows on, at 800 by 600.
    std::string display;
    // The pages of the first window; none opens about:blank.
    std::vector<std::string> urls;
  };

  // Waits until the endpoint is known; throws std::runtime_error after 60 s. Without a
  // `launcher`, Firefox is started with the test's switches. With one (harvelo-browser), the
  // launcher starts it with --firefox, as a person would, with data_home() as the user's data
  // folder; that needs a display.
  explicit FirefoxSession(const Options& options, const std::string& launcher = "");
  ~FirefoxSession();

  // "ws://127.0.0.1:<port>".
  const std::string& endpoint() const { return endpoint_; }
  // The user's data folder that the launcher was given; empty without a launcher.
  const std::string& data_home() const { return data_home_; }
  pid_t pid() const { return process_->pid(); }
  // Ends the browser at once, as a crash would.
  void Kill() { process_->Kill(); }

 private:
  std::unique_ptr<TemporaryFolder> profile_;
  std::unique_ptr<ChildProcess> process_;
  std::string endpoint_;
  std::string data_home_;
};

}  // namespace harvelo::testing

#endif  // HARVELO_TESTS_SUPPORT_FIREFOX_SESSION_H_
