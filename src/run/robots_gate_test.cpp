#include "run/robots_gate.h"

#include <gtest/gtest.h>

#include <optional>

#include "fakes/fake_browser.h"
#include "fakes/fake_machine.h"
#include "fakes/fake_process_starter.h"
#include "fakes/recording_registry.h"
#include "platform/failure.h"

namespace harvelo {
namespace {

struct GateCase {
  const char* name;
  Text page;
  std::optional<Text> obey_robot;
  bool allowed;
};

TEST(IsHarvestAllowedTest, GivenPagesAndTheRobotsSettingWeShouldRefuseExactlyAsDescribed) {
  const Text robots_nofollow = u"<META NAME=\"Robots\" CONTENT=\"NoFollow\">";
  const Text own_a = u"<meta name=\"quorvex\" content=\"nofollow\">";
  const Text own_b = u"<META CONTENT=NOFOLLOW NAME=\"QUORVEX\">";
  const GateCase cases[] = {
      {"robots nofollow in mixed case, setting missing", robots_nofollow, std::nullopt, false},
      {"robots nofollow, setting 0", robots_nofollow, u"0", true},
      {"robots nofollow, setting 1", robots_nofollow, u"1", false},
      {"robots nofollow, setting empty", robots_nofollow, u"", false},
      {"robots nofollow, setting 00", robots_nofollow, u"00", false},
      {"robots nofollow, setting ' 0'", robots_nofollow, u" 0", false},
      {"own tag A, setting 0", own_a, u"0", false},
      {"own tag B in capitals, setting 0", own_b, u"0", false},
      {"own tag A with extra blank, setting 0", u"<meta name=\"quorvex\"  content=\"nofollow\">",
       u"0", true},
      {"robots follow and a nofollow link",
       u"<meta name=\"robots\" content=\"index,follow\"><a rel=\"nofollow\" href=x>", std::nullopt,
       false},
      {"word alone", u"<p>we never nofollow anyone</p>", std::nullopt, true},
      {"name alone", u"<meta name=robots content=all>", std::nullopt, true},
      {"name=quorvex unquoted", u"<meta name=quorvex content=x> nofollow", std::nullopt, false},
      {"name=\"quorvex\"", u"<meta name=\"quorvex\" content=\"NOFOLLOW\" >", std::nullopt, false},
      {"name after the word", u"nofollow ... name=robots", std::nullopt, false},
      {"other name", u"<meta name=\"googlebot\" content=\"nofollow\">", std::nullopt, true},
      {"spaced name", u"<meta name = \"robots\" content=\"nofollow\">", std::nullopt, true},
      {"empty page", u"", std::nullopt, true},
  };
  for (const GateCase& c : cases) {
    RecordingRegistry api;
    Registry registry(api);
    if (c.obey_robot) registry.WriteSetting(kSettingsKey, u"vObeyRobot", *c.obey_robot);
    EXPECT_EQ(IsHarvestAllowed(registry, c.page), c.allowed) << c.name;
  }
}

TEST(RobotNoticeTest, GivenARefusedPageWeShouldStartTelloraMinimisedWithTheExactArgument) {
  const Text address = u"http://h.example/a b?x=\"1\"&y='$(rm -rf ~)';é|<>";
  FakeWebBrowser page;
  page.hwnd = 4194311;
  page.location = address;
  FakeMachine machine;
  machine.executable_folder = u"/opt/my apps/harvelo";
  AppPath app_path(machine);
  FakeProcessStarter processes;

  StartRobotNotice(processes, page, app_path);

  ASSERT_EQ(processes.starts_.size(), 1u);
  EXPECT_EQ(processes.starts_[0].command_line,
            u"\"/opt/my apps/harvelo/Tellora.exe\" <wHWND>4194311</wHWND><FormName>"
            u"frmRobotExclude</FormName><URL>" +
                address + u"</URL><ProgType>DL</ProgType><LoadingURL>" + address +
                u"</LoadingURL>");
  EXPECT_EQ(processes.starts_[0].window_style, kMinimizedFocus);
  EXPECT_EQ(page.reads["HWND"], 1);
  EXPECT_EQ(page.reads["LocationURL"], 2);
}

TEST(RobotNoticeTest, GivenAnAddressThatChangesBetweenReadsWeShouldPutInEachReadAsItCame) {
  struct MovingPage : FakeWebBrowser {
    Text LocationURL() override {
      reads.Add("LocationURL");
      return reads["LocationURL"] == 1 ? Text(u"http://first/") : Text(u"http://second/");
    }
  } page;
  page.hwnd = 7;
  EXPECT_EQ(RobotNoticeArgument(page),
            u"<wHWND>7</wHWND><FormName>frmRobotExclude</FormName><URL>http://first/</URL>"
            u"<ProgType>DL</ProgType><LoadingURL>http://second/</LoadingURL>");
}

TEST(RobotNoticeTest, GivenAnUnreadableHandleOrAFailingStartWeShouldLetTheFailureThrough) {
  for (const bool handle_reads : {false, true}) {
    FakeWebBrowser page;
    if (!handle_reads) page.hwnd.reset();
    FakeMachine machine;
    AppPath app_path(machine);
    FakeProcessStarter processes;
    processes.fails_ = handle_reads;
    EXPECT_THROW(StartRobotNotice(processes, page, app_path), Failure) << handle_reads;
    // Nothing is started without the handle the argument names.
    EXPECT_EQ(processes.starts_.size(), handle_reads ? 1u : 0u);
  }
}

}  // namespace
}  // namespace harvelo
