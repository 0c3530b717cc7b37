#ifndef HARVELO_TESTS_SUPPORT_BIDI_PAGES_H_
#define HARVELO_TESTS_SUPPORT_BIDI_PAGES_H_

// Looking at Firefox's pages past the program, over the client's WebDriver BiDi session: what
// a test sets up and checks with. Tabs are named by their address, since the session's ids
// do not outlive it.

#include <QString>
#include <string>

#include "platform/linux/bidi/bidi_client.h"

namespace harvelo::testing {

// Waits up to 60 s until a tab has loaded `url`; answers whether one did.
bool LoadedTab(BidiClient& client, const std::string& url);

// Opens `url` in a new tab, or a new window, of the browser; a tab in the background when
// `background`.
void OpenTab(BidiClient& client, const std::string& url, bool new_window = false,
             bool background = false);

// Closes every tab that shows `url`.
void CloseTabs(BidiClient& client, const std::string& url);

// The value of `expression` evaluated by the page of the first tab that shows `url`, as text;
// empty when no tab shows it.
std::string EvaluateIn(BidiClient& client, const std::string& url, const QString& expression);

}  // namespace harvelo::testing

#endif  // HARVELO_TESTS_SUPPORT_BIDI_PAGES_H_
