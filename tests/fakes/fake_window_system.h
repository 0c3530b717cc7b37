#ifndef HARVELO_TESTS_FAKES_FAKE_WINDOW_SYSTEM_H_
#define HARVELO_TESTS_FAKES_FAKE_WINDOW_SYSTEM_H_

#include <map>
#include <utility>
#include <vector>

#include "platform/window_system.h"

namespace harvelo {

// Windows as numbers: the one in front, the maximised ones, who owns whom; and every
// ShowWindow asked for, as {window, command}.
struct FakeWindowSystem : WindowSystem {
  WindowHandle GetForegroundWindow() override { return foreground_; }
  bool IsZoomed(WindowHandle window) override { return zoomed_[window]; }
  bool ShowWindow(WindowHandle window, int command) override {
    shown_.emplace_back(window, command);
    return true;
  }
  std::int32_t SetWindowLongA(WindowHandle window, int index, std::int32_t value) override {
    return index == GWL_HWNDPARENT ? std::exchange(owner_[window], value) : 0;
  }

  WindowHandle foreground_ = 0;
  std::map<WindowHandle, bool> zoomed_;
  std::map<WindowHandle, std::int32_t> owner_;
  std::vector<std::pair<WindowHandle, int>> shown_;
};

}  // namespace harvelo

#endif  // HARVELO_TESTS_FAKES_FAKE_WINDOW_SYSTEM_H_
