#ifndef HARVELO_RUN_WINDOW_ON_TOP_H_
#define HARVELO_RUN_WINDOW_ON_TOP_H_

#include "platform/window_handle.h"
#include "platform/window_system.h"

namespace harvelo {

// Makes `owner` the owner of `window` when `on` is true, so that the window stays above
// it and hides and shows with it; clears the owner when `on` is false.
void SetWindowOwner(WindowSystem& windows, WindowHandle window, WindowHandle owner, bool on);

}  // namespace harvelo

#endif  // HARVELO_RUN_WINDOW_ON_TOP_H_
