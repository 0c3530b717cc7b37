#ifndef HARVELO_PLATFORM_USER_INTERFACE_H_
#define HARVELO_PLATFORM_USER_INTERFACE_H_

// What the program shows and how it ends. Abstract so tests can answer boxes and catch
// the end; the real implementation uses Qt Widgets.

#include <functional>

#include "text/text.h"

namespace harvelo {

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // A modal box with the OK button only and the critical-stop icon.
  virtual void MessageBox(const Text& prompt, const Text& title) = 0;
  // Lets pending window events be processed, then returns.
  virtual void DoEvents() = 0;
  // Shows the main form, which has no controls, with `line` as its only text, so the user
  // can end the program by closing it; `on_close` runs when the user does.
  virtual void ShowMainForm(const Text& caption, const Text& line,
                            std::function<void()> on_close) = 0;
  // Takes the main form down without running its close handler.
  virtual void UnloadMainForm() = 0;
  // Ends the program at once, from wherever it is: no handler runs, nothing is saved.
  [[noreturn]] virtual void End() = 0;
};

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_USER_INTERFACE_H_
