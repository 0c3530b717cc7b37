#ifndef HARVELO_TESTS_SUPPORT_DEVTOOLS_PAGES_H_
#define HARVELO_TESTS_SUPPORT_DEVTOOLS_PAGES_H_

// Looking at a browser's pages past the program: what a test sets up and checks with.

#include <QString>
#include <string>

#include "platform/linux/devtools/devtools_client.h"

namespace harvelo::testing {

// The browser-wide socket of the endpoint `client` talks to.
QString BrowserSocket(DevToolsClient& client);

// The socket of page target `target` at `endpoint` ("http://127.0.0.1:<port>").
QString PageSocket(const std::string& endpoint, const QString& target);

// Waits up to 10 s until a page target has loaded `url`; answers its id, empty when none
// did.
QString LoadedTarget(DevToolsClient& client, const std::string& endpoint, const std::string& url);

// Opens `url` in a new tab, or a new window, of the browser; a tab in the background when
// `background`. Answers the target's id.
QString OpenTarget(DevToolsClient& client, const std::string& url, bool new_window = false,
                   bool background = false);

// The value of `expression` evaluated in the page behind `socket`, as text.
std::string EvaluateIn(DevToolsClient& client, const QString& socket, const QString& expression);

}  // namespace harvelo::testing

#endif  // HARVELO_TESTS_SUPPORT_DEVTOOLS_PAGES_H_
