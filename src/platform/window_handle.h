#ifndef HARVELO_PLATFORM_WINDOW_HANDLE_H_
#define HARVELO_PLATFORM_WINDOW_HANDLE_H_

#include <cstdint>

namespace harvelo {

// A top-level window as the window system names it: a 32-bit number, 0 for "none".
using WindowHandle = std::int32_t;

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_WINDOW_HANDLE_H_
