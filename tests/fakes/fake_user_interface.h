#ifndef HARVELO_TESTS_FAKES_FAKE_USER_INTERFACE_H_
#define HARVELO_TESTS_FAKES_FAKE_USER_INTERFACE_H_

#include <functional>
#include <string>
#include <vector>

#include "platform/user_interface.h"

namespace harvelo {

// Thrown by FakeUserInterface::End so that the end of the program unwinds to the test.
// Deliberately not a std::exception, so that no handler of the program can catch it.
struct ProgramEnded {};

// Records the boxes, the main form and the end of the program in `events_` ("box TITLE:
// PROMPT", "show main form CAPTION: LINE", "unload main form", "end"); counts the yields.
struct FakeUserInterface : UserInterface {
  void MessageBox(const Text& prompt, const Text& title) override {
    events_.push_back("box " + ToUtf8(title) + ": " + ToUtf8(prompt));
  }
  void DoEvents() override {
    ++do_events_;
    if (on_do_events_) on_do_events_();
  }
  void ShowMainForm(const Text& caption, const Text& line,
                    std::function<void()> on_close) override {
    events_.push_back("show main form " + ToUtf8(caption) + ": " + ToUtf8(line));
    on_close_ = std::move(on_close);
  }
  void UnloadMainForm() override { events_.push_back("unload main form"); }
  [[noreturn]] void End() override {
    events_.push_back("end");
    throw ProgramEnded{};
  }

  std::vector<std::string> events_;
  int do_events_ = 0;
  std::function<void()> on_do_events_;  // runs at each yield: the test acts while we wait
  std::function<void()> on_close_;      // what closing the main form runs
};

}  // namespace harvelo

#endif  // HARVELO_TESTS_FAKES_FAKE_USER_INTERFACE_H_
