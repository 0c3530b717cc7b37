#ifndef HARVELO_PLATFORM_CLOCK_H_
#define HARVELO_PLATFORM_CLOCK_H_

// Time: pauses and the current date. Abstract so tests neither wait nor depend on the
// date; the real implementation sleeps the thread and formats in the user's locale.

#include "text/text.h"

namespace harvelo {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual void Sleep(int milliseconds) = 0;
  // The current local date and time in the user's general format: the short date, a
  // space, the long time.
  virtual Text GeneralDateNow() = 0;
};

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_CLOCK_H_
