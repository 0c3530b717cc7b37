#ifndef HARVELO_TESTS_FAKES_FAKE_WINDOW_SYSTEM_H_
#define HARVELO_TESTS_FAKES_FAKE_WINDOW_SYSTEM_H_

#include <map>
#include <vector>

#include "platform/window_system.h"

namespace harvelo {

// Windows as numbers: which one has the focus, which are maximised, who owns whom; and
// every ShowWindow asked for.
struct FakeWindowSystem : WindowSystem {
  struct ShowCall {
    WindowHandle window;
    int command;
  };

  WindowHandle GetForegroundWindow() override { return foreground_; }
  bool IsZoomed(WindowHandle window) override {
    ++is_zoomed_calls_;
    return zoomed_.count(window) != 0 && zoomed_[window];
  }
  bool ShowWindow(WindowHandle window, int command) override {
    shown_.push_back({window, command});
    if (command == SW_MAXIMIZE) zoomed_[window] = true;
    return true;
  }
  std::int32_t SetWindowLongA(WindowHandle window, int index, std::int32_t value) override {
    if (index != GWL_HWNDPARENT) return 0;
    const std::int32_t previous = owner_[window];
    owner_[window] = value;
    return previous;
  }

  WindowHandle foreground_ = 0;
  std::map<WindowHandle, bool> zoomed_;
  std::map<WindowHandle, std::int32_t> owner_;
  std::vector<ShowCall> shown_;
  int is_zoomed_calls_ = 0;
};

}  // namespace harvelo

#endif  // HARVELO_TESTS_FAKES_FAKE_WINDOW_SYSTEM_H_
