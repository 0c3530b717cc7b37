#ifndef HARVELO_PLATFORM_WINDOW_SYSTEM_H_
#define HARVELO_PLATFORM_WINDOW_SYSTEM_H_

// The few window-manager questions the program asks. Abstract so it can be faked in
// tests; the real implementation speaks X11 with the EWMH conventions.

#include <cstdint>

#include "platform/window_handle.h"

namespace harvelo {

inline constexpr int SW_MAXIMIZE = 3;
inline constexpr int GWL_HWNDPARENT = -8;

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  // The window that has the user's focus now, 0 when there is none.
  virtual WindowHandle GetForegroundWindow() = 0;
  // True when the window is maximised.
  virtual bool IsZoomed(WindowHandle window) = 0;
  // Changes the window's show state (SW_MAXIMIZE); answers whether it was visible before.
  virtual bool ShowWindow(WindowHandle window, int command) = 0;
  // With GWL_HWNDPARENT: makes `value` the owner of `window` (0 clears the owner), so the
  // window stays above its owner and hides and shows with it. Returns the previous value.
  virtual std::int32_t SetWindowLongA(WindowHandle window, int index, std::int32_t value) = 0;
};

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_WINDOW_SYSTEM_H_
