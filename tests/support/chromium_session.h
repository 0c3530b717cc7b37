#ifndef HARVELO_TESTS_SUPPORT_CHROMIUM_SESSION_H_
#define HARVELO_TESTS_SUPPORT_CHROMIUM_SESSION_H_

#include <string>
#include <vector>

#include "support/browser_process.h"

namespace harvelo::testing {

// A Chromium of the test's own, driven over the DevTools protocol and kept off the network.
// The endpoint is "http://127.0.0.1:<port>".
class ChromiumSession : public BrowserProcess {
 public:
  // Waits until the endpoint is known. Without a `launcher`, Chromium is started with the
  // test's switches. With one (harvelo-browser), the launcher starts it, as a person would,
  // with data_home() as the user's data folder; that needs a display. Without a launcher,
  // `switches` go on the browser's command line as well.
  explicit ChromiumSession(const Options& options, const std::string& launcher = "",
                           const std::vector<std::string>& switches = {});
};

}  // namespace harvelo::testing

#endif  // HARVELO_TESTS_SUPPORT_CHROMIUM_SESSION_H_
