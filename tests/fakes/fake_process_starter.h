#ifndef HARVELO_TESTS_FAKES_FAKE_PROCESS_STARTER_H_
#define HARVELO_TESTS_FAKES_FAKE_PROCESS_STARTER_H_

#include <functional>
#include <vector>

#include "platform/failure.h"
#include "platform/process_starter.h"

namespace harvelo {

// Records the command lines started instead of starting them.
struct FakeProcessStarter : ProcessStarter {
  struct Start {
    Text command_line;
    int window_style;
  };

  std::int64_t Shell(const Text& command_line, int window_style) override {
    starts_.push_back({command_line, window_style});
    if (fails_) throw Failure(u"File not found");
    if (on_start_) on_start_();
    return 4242;
  }

  std::vector<Start> starts_;
  bool fails_ = false;
  // Runs after each recorded start: lets a test bring the started program up.
  std::function<void()> on_start_;
};

}  // namespace harvelo

#endif  // HARVELO_TESTS_FAKES_FAKE_PROCESS_STARTER_H_
