// The built program, as Harvelo starts it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/child_process.h"

namespace {

TEST(TelloraTest, GivenAWrongStartWeShouldSayWhyAndEndWithTwo) {
  const struct {
    std::vector<std::string> arguments;
    const char* says;
  } kCases[] = {
      {{}, "expected one argument from Harvelo"},
      {{"a", "b"}, "expected one argument from Harvelo"},
      {{"<wHWND>1</wHWND>"}, "unreadable argument: no </wHWND> before <FormName>"},
      {{"<wHWND>1</wHWND><FormName>frmOther</FormName><URL>u</URL><ProgType>DL</ProgType>"
        "<LoadingURL>u</LoadingURL>"},
       "no notice named \"frmOther\""},
  };
  for (const auto& c : kCases) {
    std::vector<std::string> argv = {HARVELO_TELLORA};
    argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
    // Without a display, errors go to the standard error only.
    const harvelo::testing::Ran ran = harvelo::testing::RunProgram(
        argv, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", "offscreen"}});
    EXPECT_EQ(ran.status, 2) << c.says;
    EXPECT_THAT(ran.err, ::testing::HasSubstr(c.says));
  }
}

}  // namespace
