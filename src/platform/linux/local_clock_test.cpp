#include "platform/linux/local_clock.h"

#include <locale.h>

#include <gtest/gtest.h>

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
  const char* locale;       // as passed; empty for the user's settings
  const char* user_locale;  // LC_ALL while formatting, when set
  const char* needs;        // a locale that must be installed for the row, when set
  const char* expected;     // 5 December 2026, 19:30:57
};

class GeneralDateTest : public ::testing::TestWithParam<GeneralDateCase> {};

bool Installed(const char* name) {
  const locale_t found = newlocale(LC_TIME_MASK, name, static_cast<locale_t>(0));
  if (found == static_cast<locale_t>(0)) return false;
  freelocale(found);
  return true;
}

TEST_P(GeneralDateTest, GivenALocaleWeShouldWriteItsShortDateASpaceAndItsTimeWithoutAZone) {
  const GeneralDateCase& row = GetParam();
  if (row.needs != nullptr && !Installed(row.needs)) {
    GTEST_SKIP() << row.needs << " is not installed here; scripts/setup generates it";
  }
  if (row.user_locale != nullptr) setenv("LC_ALL", row.user_locale, 1);
  std::tm time{};
  time.tm_year = 2026 - 1900;
  time.tm_mon = 11;
  time.tm_mday = 5;
  time.tm_hour = 19;
  time.tm_min = 30;
  time.tm_sec = 57;

  const std::string written = ToUtf8(FormatGeneralDate(time, row.locale));

  unsetenv("LC_ALL");
  EXPECT_EQ(written, row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, GeneralDateTest,
    ::testing::Values(
        GeneralDateCase{"C", nullptr, nullptr, "12/05/26 19:30:57"},
        GeneralDateCase{"POSIX", nullptr, nullptr, "12/05/26 19:30:57"},
        GeneralDateCase{"C.UTF-8", nullptr, nullptr, "12/05/26 19:30:57"},
        GeneralDateCase{"en_US.UTF-8", nullptr, "en_US.UTF-8", "12/05/2026 07:30:57 PM"},
        GeneralDateCase{"de_DE.UTF-8", nullptr, "de_DE.UTF-8", "05.12.2026 19:30:57"},
        GeneralDateCase{"ja_JP.UTF-8", nullptr, "ja_JP.UTF-8", "2026年12月05日 19時30分57秒"},
        // The user's settings, from the environment.
        GeneralDateCase{"", "de_DE.UTF-8", "de_DE.UTF-8", "05.12.2026 19:30:57"},
        // A locale that is not installed reads as the plain one.
        GeneralDateCase{"xx_XX.UTF-8", nullptr, nullptr, "12/05/26 19:30:57"},
        GeneralDateCase{"", "xx_XX.UTF-8", nullptr, "12/05/26 19:30:57"}));

}  // namespace
}  // namespace harvelo
