#include "platform/linux/posix/local_clock.h"

#include <gtest/gtest.h>
#include <locale.h>

#include <chrono>
#include <cstdlib>

namespace harvelo {
namespace {

TEST(LocalClockTest, GivenAPauseWeShouldNotReturnBeforeItHasPassed) {
  auto clock = NewLocalClock();
  const auto started = std::chrono::steady_clock::now();

  clock->Sleep(30);

  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(30));
}

struct GeneralDateCase {
  const char* locale;  // as passed; empty for the user's settings, which LC_ALL gives here
  const char* lc_all;
  const char* needs;  // installed by scripts/setup; the row is skipped without it
  const char* expected;
};

class GeneralDateTest : public ::testing::TestWithParam<GeneralDateCase> {};

TEST_P(GeneralDateTest, GivenALocaleWeShouldWriteItsShortDateASpaceAndItsTimeWithoutAZone) {
  const GeneralDateCase& row = GetParam();
  const locale_t needed = row.needs ? newlocale(LC_TIME_MASK, row.needs, nullptr) : nullptr;
  if (row.needs && !needed) GTEST_SKIP() << row.needs << " is not installed here";
  if (needed) freelocale(needed);
  setenv("LC_ALL", row.lc_all, 1);
  std::tm time{};  // 5 December 2026, 19:30:57
  time.tm_year = 126, time.tm_mon = 11, time.tm_mday = 5;
  time.tm_hour = 19, time.tm_min = 30, time.tm_sec = 57;

  const std::string written = ToUtf8(FormatGeneralDate(time, row.locale));

  unsetenv("LC_ALL");
  EXPECT_EQ(written, row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, GeneralDateTest,
    ::testing::Values(GeneralDateCase{"C", "", nullptr, "12/05/26 19:30:57"},
                      GeneralDateCase{"C.UTF-8", "", nullptr, "12/05/26 19:30:57"},
                      GeneralDateCase{"en_US.UTF-8", "", "en_US.UTF-8", "12/05/2026 07:30:57 PM"},
                      GeneralDateCase{"de_DE.UTF-8", "", "de_DE.UTF-8", "05.12.2026 19:30:57"},
                      GeneralDateCase{"ja_JP.UTF-8", "", "ja_JP.UTF-8",
                                      "2026年12月05日 19時30分57秒"},
                      GeneralDateCase{"", "de_DE.UTF-8", "de_DE.UTF-8", "05.12.2026 19:30:57"},
                      // A locale that is not installed reads as the plain one.
                      GeneralDateCase{"xx_XX.UTF-8", "", nullptr, "12/05/26 19:30:57"},
                      GeneralDateCase{"", "xx_XX.UTF-8", nullptr, "12/05/26 19:30:57"}));

}  // namespace
}  // namespace harvelo
