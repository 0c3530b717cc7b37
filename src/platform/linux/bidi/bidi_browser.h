#ifndef HARVELO_PLATFORM_LINUX_BIDI_BIDI_BROWSER_H_
#define HARVELO_PLATFORM_LINUX_BIDI_BIDI_BROWSER_H_

#include <memory>

#include "platform/browser.h"
#include "platform/linux/bidi/bidi_client.h"
#include "platform/linux/browser_windows.h"

namespace harvelo {

// The browser automation of Firefox over WebDriver BiDi. The window collection is the tabs of
// every browser window: the tab that each window shows (its document is visible) first, then
// the tabs behind, each group in the browser's order (window by window, tab by tab); so the
// first page of the window in front is the one on screen, never a tab opened in the
// background. A tab's handle is its window's, as `finder` names it. Every property read is
// one protocol call, run in a sandbox of the adapter's own beside the page's scripts (its
// built-ins and prototypes are its own, the document is the page's), which those scripts
// cannot bend; elements are the session's node references. `client` and `finder` must remain
// live while the automation and everything it hands out are.
std::unique_ptr<BrowserAutomation> NewBidiBrowser(BidiClient& client, BrowserWindowFinder& finder);

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_BIDI_BIDI_BROWSER_H_
