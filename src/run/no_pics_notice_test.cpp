#include "run/no_pics_notice.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "run/window_on_top.h"

namespace harvelo {

TEST(NoPicsNoticeTest, GivenOKOrCloseWeShouldStoreZeroOnlyOnOKWhenTickedThenEnd) {
  const struct {
    bool ok;
    int check1;
    Text stored;
  } cases[] = {{true, vbUnchecked, u""},
               {true, vbChecked, u"0"},
               {true, vbGrayed, u""},
               {false, vbChecked, u""}};  // the box is not looked at on closing
  for (const auto& c : cases) {
    FakePlatform f;
    RunState state;
    state.AttachedBrowser = f.page;
    NoPicsNotice notice(f.notice, f.windows, f.registry, f.ui, state);
    f.notice.check1_ = c.check1;
    notice.Show();
    EXPECT_EQ(f.windows.owner_[0x777], 0x1234);  // the browser window owns it once loaded
    EXPECT_EQ(
        f.Story([&] { c.ok ? f.notice.events_->OnCommand1Click() : f.notice.events_->OnUnload(); }),
        "|unload main form|end");
    EXPECT_EQ(Registry(f.registry).ReadSetting(kSettingsKey, u"dMsgNoPicsFound"), c.stored);
  }
  FakeWindowSystem windows;
  SetWindowOwner(windows, 5, 9, true);
  SetWindowOwner(windows, 5, 9, false);
  EXPECT_EQ(windows.owner_[5], 0);
}

}  // namespace harvelo
