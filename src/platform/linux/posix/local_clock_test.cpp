#include "platform/linux/posix/local_clock.h"

#include <gtest/gtest.h>
#include <locale.h>

#include <chrono>
#include <cstdlib>

namespace harvelo {
namespace {

TEST(LocalClockTest, GivenAPauseWeShouldNotReturnBeforeItHasPassed) {
  const auto started = std::chrono::steady_clock::now();
  NewLocalClock()->Sleep(30);
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(30));
}

TEST(LocalClockTest, GivenALocaleWeShouldWriteItsShortDateASpaceAndItsTimeWithoutAZone) {
  // The locale as passed (empty: the user's settings, which LC_ALL gives here); a locale that
  // is not installed reads as the plain one. Rows whose locale scripts/setup installs are
  // skipped without it.
  // clang-format off
  const struct { const char* locale; const char* lc_all; const char* expected; } cases[] = {
      {"C", "", "12/05/26 19:30:57"}, {"C.UTF-8", "", "12/05/26 19:30:57"},
      {"en_US.UTF-8", "", "12/05/2026 07:30:57 PM"}, {"de_DE.UTF-8", "", "05.12.2026 19:30:57"},
      {"ja_JP.UTF-8", "", "2026年12月05日 19時30分57秒"}, {"", "de_DE.UTF-8", "05.12.2026 19:30:57"},
      {"xx_XX.UTF-8", "", "12/05/26 19:30:57"}, {"", "xx_XX.UTF-8", "12/05/26 19:30:57"}};
  // clang-format on
  std::tm time{};  // 5 December 2026, 19:30:57
  time.tm_year = 126, time.tm_mon = 11, time.tm_mday = 5;
  time.tm_hour = 19, time.tm_min = 30, time.tm_sec = 57;
  for (const auto& c : cases) {
    const std::string needs = std::string(c.locale) + c.lc_all;
    const locale_t needed = newlocale(LC_TIME_MASK, needs.c_str(), nullptr);
    if (needed) freelocale(needed);
    if (!needed && !needs.starts_with("xx") && !needs.starts_with("C")) continue;
    setenv("LC_ALL", c.lc_all, 1);
    EXPECT_EQ(ToUtf8(FormatGeneralDate(time, c.locale)), c.expected) << needs;
    unsetenv("LC_ALL");
  }
}

}  // namespace
}  // namespace harvelo
