#ifndef HARVELO_PLATFORM_LINUX_X11_X11_WINDOW_SYSTEM_H_
#define HARVELO_PLATFORM_LINUX_X11_X11_WINDOW_SYSTEM_H_

#include <memory>
#include <string>

#include "platform/linux/browser_windows.h"

namespace harvelo {

// The window system of an X11 session with an EWMH window manager: the foreground
// window is _NET_ACTIVE_WINDOW, maximised means both _NET_WM_STATE_MAXIMIZED states,
// maximising is a _NET_WM_STATE request to the window manager, and the owner of a window
// is its WM_TRANSIENT_FOR. A browser window is the managed window of the browser's
// process (_NET_WM_PID) that alone is named after the page it shows, else the one whose
// place and size come nearest to the browser's own account, windows at one place and size
// taken in the order of their creation.
// Answers nothing when `display` ("" for $DISPLAY) cannot be opened.
std::unique_ptr<BrowserWindows> NewX11WindowSystem(const std::string& display);

// True when the session is X11: a display is named and no Wayland compositor is running
// the session (where windows of native Wayland programs are out of sight).
bool IsX11Session();

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_X11_X11_WINDOW_SYSTEM_H_
