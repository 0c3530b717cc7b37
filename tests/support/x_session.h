#ifndef HARVELO_TESTS_SUPPORT_X_SESSION_H_
#define HARVELO_TESTS_SUPPORT_X_SESSION_H_

// A private X display with a window manager: Xvfb on a display number of its own choice
// and openbox, both ended with the object.

#include <functional>
#include <memory>
#include <string>

#include "support/child_process.h"

namespace harvelo::testing {

class XSession {
 public:
  // Waits until both answer; throws std::runtime_error when they do not within 20 s.
  XSession();
  ~XSession();

  // ":N", for DISPLAY.
  const std::string& display() const { return display_; }

 private:
  std::unique_ptr<ChildProcess> server_;
  std::unique_ptr<ChildProcess> window_manager_;
  std::string display_;
};

// The standard output of the X tool `argv` (xdotool, xprop...) run on `display`; empty when
// it failed or did not end within 10 s.
std::string RunOnDisplay(const std::string& display, const std::vector<std::string>& argv);

// Clicks `window` at (400, 300) with the control key held, as a person opens a link in a
// background tab, until `opened` (which waits for the tab) answers true, five times at most:
// a window that has only just shown its page may miss a click. Answers `opened`.
bool ControlClick(const std::string& display, const std::string& window,
                  const std::function<bool()>& opened);

}  // namespace harvelo::testing

#endif  // HARVELO_TESTS_SUPPORT_X_SESSION_H_
