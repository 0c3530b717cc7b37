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

class NoPicsNoticeTest : public ::testing::Test {
 protected:
  NoPicsNoticeTest() { state_.AttachedBrowser = std::make_shared<FakeWebBrowser>(); }
  Text Stored() { return Registry(registry_).ReadSetting(kSettingsKey, u"dMsgNoPicsFound"); }

  FakeNoticeWindow window_;
  FakeWindowSystem windows_;
  RecordingRegistry registry_;
  FakeUserInterface ui_;
  RunState state_;
  NoPicsNotice notice_{window_, windows_, registry_, ui_, state_};
};

TEST_F(NoPicsNoticeTest, GivenTheNoticeLoadsWeShouldMakeTheBrowserItsOwner) {
  notice_.Show();
  EXPECT_EQ(window_.shown_, 1);
  EXPECT_EQ(windows_.owner_[0x777], 0x1234);
}

struct ButtonCase {
  int check1;
  Text stored;
};

class NoPicsNoticeButton : public NoPicsNoticeTest,
                           public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(NoPicsNoticeButton, GivenOKWeShouldStoreZeroOnlyWhenTickedThenEnd) {
  window_.check1_ = GetParam().check1;
  notice_.Show();
  EXPECT_THROW(window_.events_->OnCommand1Click(), ProgramEnded);
  EXPECT_EQ(Stored(), GetParam().stored);
  EXPECT_THAT(ui_.events_, ElementsAre("unload main form", "end"));
}

INSTANTIATE_TEST_SUITE_P(Ticks, NoPicsNoticeButton,
                         ::testing::Values(ButtonCase{vbUnchecked, u""},
                                           ButtonCase{vbChecked, u"0"},
                                           ButtonCase{vbGrayed, u""}));

TEST_F(NoPicsNoticeTest, GivenTheNoticeClosedWhileTickedWeShouldStoreNothingAndEnd) {
  window_.check1_ = vbChecked;
  notice_.Show();
  EXPECT_THROW(window_.events_->OnUnload(), ProgramEnded);
  EXPECT_EQ(Stored(), u"");
  EXPECT_THAT(ui_.events_, ElementsAre("unload main form", "end"));
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
