#ifndef HARVELO_PLATFORM_LINUX_BIDI_BROWSER_CHOICE_H_
#define HARVELO_PLATFORM_LINUX_BIDI_BROWSER_CHOICE_H_

// The browser that a run works with: a Chromium-family browser over the DevTools protocol, or
// Firefox over WebDriver BiDi, whichever the user has in front.

#include <QUrl>
#include <chrono>
#include <memory>
#include <optional>

#include "platform/browser.h"
#include "platform/linux/browser_windows.h"
#include "platform/user_interface.h"

namespace harvelo {

class ChosenBrowser {
 public:
  virtual ~ChosenBrowser() = default;
  virtual BrowserAutomation& automation() = 0;
  virtual BrowserWindows& windows() = 0;
  // The user interface to run with: with Firefox, ending the program lets the browser go
  // first (session_ending_ui.h).
  virtual UserInterface& ui() = 0;
};

struct BrowserEndpoints {
  QUrl devtools;             // a Chromium-family browser's, listening or not
  std::optional<QUrl> bidi;  // a Firefox that listens, when there is one
};

// Without a Firefox, the Chromium-family browser; with a Firefox but no Chromium-family browser
// listening, Firefox. With both: with `x11_windows`, Firefox when the active window of the X11
// session is one of its windows, else the Chromium-family browser; without (Wayland, where no
// program may ask which window is active, and where Firefox takes itself for active whether or
// not it is), the Chromium-family browser, as before there was a choice. The windows are
// `x11_windows` when there are any, else as the chosen browser knows them. Nothing here raises:
// a browser that fails is found out by the first read. `ui` must remain live while the answer
// is; every call to a browser waits at most `time_limit`. A QCoreApplication must exist and
// remain live while the answer is.
std::unique_ptr<ChosenBrowser> ChooseBrowser(const BrowserEndpoints& endpoints,
                                             std::unique_ptr<BrowserWindows> x11_windows,
                                             UserInterface& ui,
                                             std::chrono::milliseconds time_limit);

// The same with the endpoints found as the user's setup implies (FindDevToolsEndpoint,
// FindBidiEndpoint) and the windows of the X11 session when the session is one.
std::unique_ptr<ChosenBrowser> ChooseBrowser(UserInterface& ui,
                                             std::chrono::milliseconds time_limit);

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_BIDI_BROWSER_CHOICE_H_
