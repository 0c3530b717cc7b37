#ifndef HARVELO_PLATFORM_LINUX_BIDI_BIDI_WINDOW_SYSTEM_H_
#define HARVELO_PLATFORM_LINUX_BIDI_BIDI_WINDOW_SYSTEM_H_

// Firefox's windows as Firefox itself knows them, for sessions where no program may ask the
// window system which window is active (no X display, or Wayland).

#include <memory>

#include "platform/linux/bidi/bidi_client.h"
#include "platform/linux/browser_windows.h"

namespace harvelo {

// Handles are the client's numbers of the browser's windows (ClientWindows); the foreground
// window is the one the browser calls active, else its first, 0 when it has none; maximising goes
// through the browser. Windows have no owners here: SetWindowLongA changes nothing and answers 0.
// `client` must remain live while the answer is.
std::unique_ptr<BrowserWindows> NewBidiWindowSystem(BidiClient& client);

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_BIDI_BIDI_WINDOW_SYSTEM_H_
