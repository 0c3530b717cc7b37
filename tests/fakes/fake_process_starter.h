#ifndef HARVELO_TESTS_FAKES_FAKE_PROCESS_STARTER_H_
#define HARVELO_TESTS_FAKES_FAKE_PROCESS_STARTER_H_

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
    return 4242;
  }

  std::vector<Start> starts_;
  bool fails_ = false;
};

}  // namespace harvelo

#endif  // HARVELO_TESTS_FAKES_FAKE_PROCESS_STARTER_H_
