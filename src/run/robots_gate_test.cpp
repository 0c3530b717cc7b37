#include "run/robots_gate.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace harvelo {

TEST(RobotsGateTest, GivenPagesAndTheRobotsSettingWeShouldRefuseExactlyAsDescribed) {
  const Text robots = u"<META NAME=\"Robots\" CONTENT=\"NoFollow\">";
  const struct {
    Text page, obey_robot;
    bool allowed;
  } cases[] = {
      {robots, u"", false},
      {robots, u"0", true},
      {robots, u"1", false},
      {robots, u" 0", false},
      {u"<meta name=\"quorvex\" content=\"nofollow\">", u"0", false},
      {u"<META CONTENT=NOFOLLOW NAME=\"QUORVEX\">", u"0", false},
      {u"<meta name=\"quorvex\"  content=\"nofollow\">", u"0", true},
      {u"<meta name=\"robots\" content=\"index\"><a rel=\"nofollow\" href=x>", u"", false},
      {u"<p>we never nofollow anyone</p>", u"", true},
      {u"<meta name=robots content=all>", u"", true},
      {u"<meta name=quorvex content=x> nofollow", u"", false},
      {u"nofollow ... name=robots", u"", false},
      {u"<meta name=\"googlebot\" content=\"nofollow\">", u"", true},
      {u"<meta name = \"robots\" content=\"nofollow\">", u"", true},
  };
  for (const auto& c : cases) {
    FakePlatform f;
    f.Store(u"vObeyRobot", c.obey_robot);
    Registry registry(f.registry);
    EXPECT_EQ(IsHarvestAllowed(registry, c.page), c.allowed) << ToUtf8(c.page + c.obey_robot);
  }
}

TEST(RobotsGateTest, GivenARefusedPageWeShouldStartTelloraWithEachReadAsItCameOrFail) {
  // Every read goes to the browser: the address may change between the two.
  struct MovingPage : FakeWebBrowser {
    Text LocationURL() override { return reads++ == 0 ? location : u"http://second/"; }
    int reads = 0;
  };
  for (const bool fails : {false, true}) {
    FakePlatform f;
    MovingPage page;
    page.hwnd = 4194311;
    page.location = u"http://h.example/a b?x=\"1\"&y='$(rm -rf ~)';é|<>";
    f.machine.executable_folder = u"/opt/my apps/harvelo";
    f.processes.fails_ = fails;
    AppPath app_path(f.machine);
    EXPECT_EQ(f.Story([&] { StartRobotNotice(f.processes, page, app_path); }),
              std::string(fails ? "|failed File not found" : "") +
                  "|start \"/opt/my apps/harvelo/Tellora.exe\" <wHWND>4194311</wHWND><FormName>"
                  "frmRobotExclude</FormName><URL>" +
                  ToUtf8(page.location) +
                  "</URL><ProgType>DL</ProgType><LoadingURL>http://second/</LoadingURL> 2");
    page.hwnd.reset();  // nothing is started without the handle the argument names
    EXPECT_THROW(StartRobotNotice(f.processes, page, app_path), Failure);
    EXPECT_EQ(f.processes.starts_.size(), 1u);
  }
}

}  // namespace harvelo
