#ifndef HARVELO_PLATFORM_LINUX_POSIX_LOCAL_CLOCK_H_
#define HARVELO_PLATFORM_LINUX_POSIX_LOCAL_CLOCK_H_

#include <ctime>
#include <memory>
#include <string>

#include "platform/clock.h"
#include "text/text.h"

namespace harvelo {

// Pauses that hold the calling thread; the local date and time in the user's regional
// format, as the C library's locale (LC_ALL, LC_TIME, LANG) gives it.
std::unique_ptr<Clock> NewLocalClock();

// `time` as the general date of `locale_name`'s time conventions: its date representation
// (D_FMT), a space, its time representation (T_FMT), with no time zone. The empty name
// stands for the user's settings; a locale that is not installed reads as "C".
Text FormatGeneralDate(const std::tm& time, const std::string& locale_name);

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_POSIX_LOCAL_CLOCK_H_
