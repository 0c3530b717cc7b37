#ifndef HARVELO_TESTS_SUPPORT_BROWSER_PAGES_H_
#define HARVELO_TESTS_SUPPORT_BROWSER_PAGES_H_

// Looking at a browser's pages past the program: what a test sets up and checks with. Over
// Chromium's DevTools client, pages are targets; over Firefox's WebDriver BiDi session, tabs
// named by their address, since the session's ids do not outlive it.

#include <QString>
#include <chrono>
#include <memory>
#include <string>

#include "platform/browser.h"
#include "platform/linux/bidi/bidi_client.h"
#include "platform/linux/browser_windows.h"
#include "platform/linux/devtools/devtools_client.h"
#include "support/browser_process.h"

namespace harvelo::testing {

// The socket of page target `target` at `endpoint` ("http://127.0.0.1:<port>").
QString PageSocket(const std::string& endpoint, const QString& target);

// Waits up to 60 s (a browser just started on a loaded machine takes long over its first
// page) until a page target has loaded `url`; answers its id, empty when none did.
QString LoadedTarget(DevToolsClient& client, const std::string& endpoint, const std::string& url);

// Opens `url` in a new tab, or window, in the background when asked; answers the target's id.
QString OpenTarget(DevToolsClient& client, const std::string& url, bool new_window = false,
                   bool background = false);

// The value of `expression` evaluated in the page behind `socket`, as text.
std::string EvaluateIn(DevToolsClient& client, const QString& socket, const QString& expression);

// Waits up to 60 s until a tab has loaded `url`; answers whether one did.
bool LoadedTab(BidiClient& client, const std::string& url);

// Opens `url` in a new tab, or window, in the background when asked.
void OpenTab(BidiClient& client, const std::string& url, bool new_window = false,
             bool background = false);

// What the program holds of a browser, over the protocol the browser speaks: its client, its
// windows (the browser's own account of them unless `windows` is given) and its automation;
// with what a test does past the program.
struct BrowserConnection {
  BrowserConnection(BrowserProtocol protocol, const std::string& endpoint,
                    std::chrono::milliseconds limit,
                    std::unique_ptr<BrowserWindows> windows = nullptr);

  // The element of the window collection that shows `url`, or nullptr.
  std::shared_ptr<WebBrowser> Page(const std::string& url);
  // Opens `url` as OpenTab does; answers whether it loaded.
  bool Open(const std::string& url, bool new_window = false, bool background = false);
  // Waits up to 60 s until a tab has loaded `url`; answers whether one did.
  bool Loaded(const std::string& url);
  // The value of `expression` in the tab that shows `url`, as text.
  std::string Evaluate(const std::string& url, const QString& expression);
  // Closes the tabs that show `url`.
  void Close(const std::string& url);

  std::string endpoint;
  std::unique_ptr<DevToolsClient> devtools;
  std::unique_ptr<BidiClient> bidi;
  std::unique_ptr<BrowserWindows> windows;
  std::unique_ptr<BrowserAutomation> browser;
};

}  // namespace harvelo::testing

#endif  // HARVELO_TESTS_SUPPORT_BROWSER_PAGES_H_
