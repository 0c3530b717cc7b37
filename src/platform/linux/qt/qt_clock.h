#ifndef HARVELO_PLATFORM_LINUX_QT_QT_CLOCK_H_
#define HARVELO_PLATFORM_LINUX_QT_QT_CLOCK_H_

#include <memory>

#include "platform/clock.h"

namespace harvelo {

// Pauses that hold the calling thread; the date in the user's locale (the short date, a
// space, the long time).
std::unique_ptr<Clock> NewQtClock();

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_QT_QT_CLOCK_H_
