#ifndef HARVELO_PLATFORM_LINUX_DEVTOOLS_DEVTOOLS_BROWSER_H_
#define HARVELO_PLATFORM_LINUX_DEVTOOLS_DEVTOOLS_BROWSER_H_

#include <memory>

#include "platform/browser.h"
#include "platform/linux/browser_windows.h"
#include "platform/linux/devtools/devtools_client.h"

namespace harvelo {

// The browser automation over the DevTools protocol. The window collection is the
// browser's page targets: the pages that their windows show (their documents are visible)
// first, then the pages behind other tabs, each group in the order the endpoint lists them
// (most recently active first); so the first page of the window in front is the one on
// screen, never a tab opened in the background. Every property read is one protocol call,
// read from a world of the adapter's own in the page (page_reader.h), which the page's
// scripts cannot bend; except that reading the length of the document's links or images takes
// what the scan reads of every item in one run (collection_snapshot.h), and the items answer
// those reads as the document stood then. `client` and `finder` must remain live while the
// automation and everything it hands out are.
std::unique_ptr<BrowserAutomation> NewDevToolsBrowser(DevToolsClient& client,
                                                      BrowserWindowFinder& finder);

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_DEVTOOLS_DEVTOOLS_BROWSER_H_
