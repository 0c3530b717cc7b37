#ifndef HARVELO_TESTS_FAKES_FAKE_CLOCK_H_
#define HARVELO_TESTS_FAKES_FAKE_CLOCK_H_

#include <vector>

#include "platform/clock.h"

namespace harvelo {

// Records the pauses asked for instead of waiting; tells a fixed date.
struct FakeClock : Clock {
  void Sleep(int milliseconds) override { sleeps_.push_back(milliseconds); }
  Text GeneralDateNow() override { return u"05/12/2026 15:30:00"; }

  std::vector<int> sleeps_;
};

}  // namespace harvelo

#endif  // HARVELO_TESTS_FAKES_FAKE_CLOCK_H_
