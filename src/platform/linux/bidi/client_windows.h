#ifndef HARVELO_PLATFORM_LINUX_BIDI_CLIENT_WINDOWS_H_
#define HARVELO_PLATFORM_LINUX_BIDI_CLIENT_WINDOWS_H_

// Firefox's windows as it describes them over WebDriver BiDi ("client windows"), and as the
// window system must be told them.

#include <QString>
#include <cstdint>
#include <vector>

#include "platform/linux/bidi/bidi_client.h"
#include "platform/linux/browser_windows.h"

namespace harvelo {

struct ClientWindow {
  QString id;               // the session's id of the window
  std::int32_t number = 0;  // the client's number for that id (BidiClient::NumberOf)
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  QString state;        // "normal", "maximized", "minimized" or "fullscreen"
  bool active = false;  // the window has the focus
};

// The browser's windows, read afresh, in the browser's own order, which is the order of their
// creation: numbered in that order the first time they are seen.
std::vector<ClientWindow> ClientWindows(BidiClient& client);

// `window` of `all` for the window system: the browser's process, the window's number and
// place, and `shown_page_title`. Windows at one place and size are told apart by their
// numbers, which ascend in the order of their creation.
BrowserWindow Describe(const ClientWindow& window, const std::vector<ClientWindow>& all,
                       std::int64_t browser_process, std::u16string shown_page_title = {});

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_BIDI_CLIENT_WINDOWS_H_
