#ifndef HARVELO_PLATFORM_LINUX_DEVTOOLS_DEVTOOLS_WINDOW_SYSTEM_H_
#define HARVELO_PLATFORM_LINUX_DEVTOOLS_DEVTOOLS_WINDOW_SYSTEM_H_

// Windows as the browser itself knows them, for sessions where no program may ask the
// window system which window is active (no X display, or Wayland).

#include <memory>

#include "platform/linux/browser_windows.h"
#include "platform/linux/devtools/devtools_client.h"

namespace harvelo {

// Handles are the browser's own window ids; the foreground window is the window of the
// most recently active page; maximising goes through the browser. Windows have no
// owners here: SetWindowLongA changes nothing and answers 0. `client` must remain live
// while the answer is.
std::unique_ptr<BrowserWindows> NewDevToolsWindowSystem(DevToolsClient& client);

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_DEVTOOLS_DEVTOOLS_WINDOW_SYSTEM_H_
