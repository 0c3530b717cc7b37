#include "platform/linux/qt/qt_clock.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QLocale>
#include <chrono>

namespace harvelo {
namespace {

TEST(QtClockTest, GivenAPauseWeShouldNotReturnBeforeItHasPassed) {
  auto clock = NewQtClock();
  const auto started = std::chrono::steady_clock::now();

  clock->Sleep(30);

  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(30));
}

TEST(QtClockTest, GivenTheDateWeShouldWriteTheShortDateThenASpaceThenTheTime) {
  const std::string today =
      QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();

  const std::string now = ToUtf8(NewQtClock()->GeneralDateNow());

  ASSERT_GT(now.size(), today.size() + 1);
  EXPECT_EQ(now.substr(0, today.size() + 1), today + " ");
  EXPECT_NE(now.find(':', today.size()), std::string::npos);
}

}  // namespace
}  // namespace harvelo
