#ifndef HARVELO_TESTS_SUPPORT_FIREFOX_SESSION_H_
#define HARVELO_TESTS_SUPPORT_FIREFOX_SESSION_H_

#include <string>

#include "support/browser_process.h"

namespace harvelo::testing {

// A Firefox (firefox-esr) of the test's own, driven over WebDriver BiDi; its windows are
// 800 by 600. The endpoint is "ws://127.0.0.1:<port>".
class FirefoxSession : public BrowserProcess {
 public:
  // Waits until the endpoint is known. Without a `launcher`, Firefox is started with the
  // test's switches. With one (harvelo-browser), the launcher starts it with --firefox, as a
  // person would, with data_home() as the user's data folder; that needs a display.
  explicit FirefoxSession(const Options& options, const std::string& launcher = "");
};

}  // namespace harvelo::testing

#endif  // HARVELO_TESTS_SUPPORT_FIREFOX_SESSION_H_
