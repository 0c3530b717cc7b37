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

// Records every box shown, every yield, the main form and the end of the program.
struct FakeUserInterface : UserInterface {
  struct Box {
    Text prompt;
    Text title;
  };

  void MessageBox(const Text& prompt, const Text& title) override {
    boxes_.push_back({prompt, title});
    events_.push_back("box");
  }
  void DoEvents() override {
    ++do_events_;
    if (on_do_events_) on_do_events_();
  }
  void ShowMainForm(const Text& caption, const Text& line,
                    std::function<void()> on_close) override {
    main_form_caption_ = caption;
    main_form_line_ = line;
    main_form_on_close_ = std::move(on_close);
    events_.push_back("show main form");
  }
  void UnloadMainForm() override { events_.push_back("unload main form"); }
  [[noreturn]] void End() override {
    ended_ = true;
    events_.push_back("end");
    throw ProgramEnded{};
  }

  std::vector<Box> boxes_;
  std::vector<std::string> events_;
  int do_events_ = 0;
  // Runs at each yield: lets a test act while the program waits.
  std::function<void()> on_do_events_;
  Text main_form_caption_;
  Text main_form_line_;
  std::function<void()> main_form_on_close_;
  bool ended_ = false;
};

}  // namespace harvelo

#endif  // HARVELO_TESTS_FAKES_FAKE_USER_INTERFACE_H_
