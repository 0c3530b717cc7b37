#include "run/no_pics_notice.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "fakes/fake_browser.h"
#include "fakes/fake_notice_window.h"
#include "fakes/fake_user_interface.h"
#include "fakes/fake_window_system.h"
#include "fakes/recording_registry.h"
#include "run/window_on_top.h"
#include "settings/registry.h"

namespace harvelo {
namespace {

using ::testing::ElementsAre;

// A notice over a browser window, with every collaborator faked.
struct Notice {
  Notice() { state_.AttachedBrowser = std::make_shared<FakeWebBrowser>(); }
  Text Stored() { return Registry(registry_).ReadSetting(kSettingsKey, u"dMsgNoPicsFound"); }

  FakeNoticeWindow window_;
  FakeWindowSystem windows_;
  RecordingRegistry registry_;
  FakeUserInterface ui_;
  RunState state_;
  NoPicsNotice notice_{window_, windows_, registry_, ui_, state_};
};

TEST(NoPicsNoticeTest, GivenTheNoticeLoadsWeShouldMakeTheBrowserItsOwner) {
  Notice f;
  f.notice_.Show();
  EXPECT_EQ(f.window_.shown_, 1);
  EXPECT_EQ(f.windows_.owner_[0x777], 0x1234);
}

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
    Notice f;
    f.window_.check1_ = c.check1;
    f.notice_.Show();
    if (c.ok) {
      EXPECT_THROW(f.window_.events_->OnCommand1Click(), ProgramEnded);
    } else {
      EXPECT_THROW(f.window_.events_->OnUnload(), ProgramEnded);
    }
    EXPECT_EQ(f.Stored(), c.stored) << c.ok << " " << c.check1;
    EXPECT_THAT(f.ui_.events_, ElementsAre("unload main form", "end"));
  }
}

TEST(SetWindowOwnerTest, GivenTheFlagWeShouldSetOrClearTheOwner) {
  FakeWindowSystem windows;
  SetWindowOwner(windows, 5, 9, true);
  EXPECT_EQ(windows.owner_[5], 9);
  SetWindowOwner(windows, 5, 9, false);
  EXPECT_EQ(windows.owner_[5], 0);
}

}  // namespace
}  // namespace harvelo
