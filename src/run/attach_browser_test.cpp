#include "run/attach_browser.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_browser.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_user_interface.h"
#include "fakes/fake_window_system.h"
#include "fakes/recording_registry.h"
#include "settings/registry.h"

namespace harvelo {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A browser with windows that a test adds, and the run state that attaching fills.
struct Attachment {
  std::shared_ptr<FakeWebBrowser> AddWindow(std::optional<WindowHandle> hwnd) {
    auto window = std::make_shared<FakeWebBrowser>();
    window->hwnd = hwnd;
    browser_.windows_.push_back(window);
    return window;
  }
  bool Attach(WindowHandle window, bool maximize = false) {
    return AttachBrowser({browser_, windows_, registry_, ui_, clock_}, state_, window, maximize);
  }
  bool RegistryWasRead() const {
    for (const std::string& call : registry_.calls_) {
      if (call.starts_with("query") || call.starts_with("open")) return true;
    }
    return false;
  }

  FakeBrowserAutomation browser_;
  FakeWindowSystem windows_;
  RecordingRegistry registry_;
  FakeUserInterface ui_;
  FakeClock clock_;
  RunState state_;
};

class AttachBrowserTest : public ::testing::Test, public Attachment {};

TEST_F(AttachBrowserTest, GivenTheForegroundBrowserFirstWeShouldAttachInOneWalkWithoutPause) {
  auto page = AddWindow(0x100);
  AddWindow(0x200);

  EXPECT_TRUE(Attach(0x100));

  EXPECT_EQ(state_.AttachedBrowser, page);
  EXPECT_EQ(browser_.walks_, 1);
  EXPECT_THAT(clock_.sleeps_, IsEmpty());
  EXPECT_EQ(ui_.do_events_, 1);  // one yield, before the one element looked at
}

TEST_F(AttachBrowserTest, GivenNoMatchingWindowWeShouldWalkFourTimesPauseThreeTimesAndFail) {
  AddWindow(0x100);
  AddWindow(0x200);
  state_.AttachedBrowser = std::make_shared<FakeWebBrowser>();

  EXPECT_FALSE(Attach(0x999));

  EXPECT_EQ(state_.AttachedBrowser, nullptr);
  EXPECT_EQ(browser_.walks_, 4);
  EXPECT_EQ(browser_.created_, 1);
  EXPECT_THAT(clock_.sleeps_, ElementsAre(300, 300, 300));
  // Two elements per walk, and one yield after each pause.
  EXPECT_EQ(ui_.do_events_, 4 * 2 + 3);
  EXPECT_EQ(windows_.is_zoomed_calls_, 0);
}

TEST_F(AttachBrowserTest, GivenTheWindowAppearsDuringTheSecondPauseWeShouldAttachInTheThirdWalk) {
  AddWindow(0x100);
  // The yield after a pause is when other window events run; the second one opens it.
  ui_.on_do_events_ = [this] {
    if (clock_.sleeps_.size() == 2 && browser_.windows_.size() == 1) AddWindow(0x300);
  };

  EXPECT_TRUE(Attach(0x300));

  EXPECT_EQ(browser_.walks_, 3);
  EXPECT_THAT(clock_.sleeps_, ElementsAre(300, 300));
  EXPECT_EQ(state_.AttachedBrowser, browser_.windows_.back());
}

TEST(AttachBrowserHandlesTest, GivenHandlesThatReadOrRaiseWeShouldAttachTheFirstThatMatches) {
  const struct {
    const char* name;
    std::vector<std::optional<WindowHandle>> handles;  // nothing: the read raises
    WindowHandle window;
    int attached;  // the index of the window attached, -1 for none
  } cases[] = {
      {"two with the handle", {0x100, 0x500, 0x500}, 0x500, 1},
      {"an unreadable one first", {std::nullopt, 0x100}, 0x100, 1},
      {"only unreadable ones", {std::nullopt}, 0, -1},  // an unread handle is not 0
  };
  for (const auto& c : cases) {
    Attachment f;
    for (const auto& handle : c.handles) f.AddWindow(handle);
    EXPECT_EQ(f.Attach(c.window), c.attached >= 0) << c.name;
    EXPECT_EQ(f.state_.AttachedBrowser, c.attached >= 0 ? f.browser_.windows_[c.attached] : nullptr)
        << c.name;
  }
}

TEST_F(AttachBrowserTest, GivenNoBrowserAtAllWeShouldRetryTheCollectionAndFailWithoutRaising) {
  browser_.unreachable_ = true;

  EXPECT_FALSE(Attach(0x100));

  EXPECT_EQ(browser_.created_, 4);
  EXPECT_THAT(clock_.sleeps_, ElementsAre(300, 300, 300));
}

struct MaximizeCase {
  const char* name;
  bool flag;
  const char16_t* vMaximize;  // nullptr: not stored
  bool zoomed;
  bool setting_read;
  int is_zoomed_calls;
  bool maximised;
};

void PrintTo(const MaximizeCase& c, std::ostream* os) { *os << c.name; }

class AttachBrowserMaximizeTest : public AttachBrowserTest,
                                  public ::testing::WithParamInterface<MaximizeCase> {};

TEST_P(AttachBrowserMaximizeTest, GivenTheFlagAndSettingWeShouldMaximiseOnlyWhenAsked) {
  const MaximizeCase& c = GetParam();
  if (c.vMaximize) Registry(registry_).WriteSetting(kSettingsKey, u"vMaximize", c.vMaximize);
  registry_.calls_.clear();
  windows_.zoomed_[0x100] = c.zoomed;
  AddWindow(0x100);

  EXPECT_TRUE(Attach(0x100, c.flag));

  EXPECT_EQ(RegistryWasRead(), c.setting_read);
  EXPECT_EQ(windows_.is_zoomed_calls_, c.is_zoomed_calls);
  if (c.maximised) {
    ASSERT_EQ(windows_.shown_.size(), 1u);
    EXPECT_EQ(windows_.shown_[0].window, 0x100);
    EXPECT_EQ(windows_.shown_[0].command, 3);
  } else {
    EXPECT_THAT(windows_.shown_, IsEmpty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AttachBrowserMaximizeTest,
    ::testing::Values(MaximizeCase{"FlagOffSettingOne", false, u"1", false, false, 0, false},
                      MaximizeCase{"FlagOffNoSetting", false, nullptr, false, false, 0, false},
                      MaximizeCase{"FlagOnSettingOne", true, u"1", false, true, 1, true},
                      MaximizeCase{"FlagOnAlreadyMaximised", true, u"1", true, true, 1, false},
                      MaximizeCase{"FlagOnSettingZero", true, u"0", false, true, 0, false},
                      MaximizeCase{"FlagOnSettingOnePadded", true, u"1 ", false, true, 0, false},
                      MaximizeCase{"FlagOnNoSetting", true, nullptr, false, true, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace harvelo
