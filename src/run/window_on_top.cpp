#include "run/window_on_top.h"

namespace harvelo {

void SetWindowOwner(WindowSystem& windows, WindowHandle window, WindowHandle owner, bool on) {
  windows.SetWindowLongA(window, GWL_HWNDPARENT, on ? owner : 0);
}

}  // namespace harvelo
