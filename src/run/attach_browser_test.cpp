#include "run/attach_browser.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "settings/registry.h"

namespace harvelo {
namespace {

// A browser with windows of the given handles (nothing: the read raises), and the run
// state that attaching fills.
struct Attachment {
  explicit Attachment(const std::vector<std::optional<WindowHandle>>& handles) {
    for (const auto& handle : handles) AddWindow(handle);
    state.AttachedBrowser = std::make_shared<FakeWebBrowser>();  // from an earlier attachment
  }
  void AddWindow(std::optional<WindowHandle> hwnd) {
    browser.windows_.push_back(std::make_shared<FakeWebBrowser>());
    static_cast<FakeWebBrowser&>(*browser.windows_.back()).hwnd = hwnd;
  }
  bool Attach(WindowHandle window, bool maximize = false) {
    return AttachBrowser({browser, windows, registry, ui, clock}, state, window, maximize);
  }
  // The index of the window attached, -1 for none.
  int Attached() const {
    const auto& all = browser.windows_;
    if (!state.AttachedBrowser) return -1;
    return int(std::find(all.begin(), all.end(), state.AttachedBrowser) - all.begin());
  }

  FakeBrowserAutomation browser;
  FakeWindowSystem windows;
  RecordingRegistry registry;
  FakeUserInterface ui;
  FakeClock clock;
  RunState state;
};

TEST(AttachBrowserTest, GivenTheWindowsWeShouldAttachTheFirstMatchOrFailAfterFourWalks) {
  const struct {
    std::vector<std::optional<WindowHandle>> handles;
    WindowHandle window;
    int attached;
    int walks, yields;
  } cases[] = {
      {{0x100, 0x200}, 0x100, 0, 1, 1},  // one yield before each element looked at
      {{0x100, 0x500, 0x500}, 0x500, 1, 1, 2},   {{std::nullopt, 0x100}, 0x100, 1, 1, 2},
      {{0x100, 0x200}, 0x999, -1, 4, 4 * 2 + 3},  // and one after each pause
      {{std::nullopt}, 0, -1, 4, 4 + 3},          // an unread handle is not 0
  };
  for (const auto& c : cases) {
    Attachment f(c.handles);
    EXPECT_EQ(f.Attach(c.window), c.attached >= 0) << c.window;
    EXPECT_EQ(f.Attached(), c.attached) << c.window;
    EXPECT_EQ(f.browser.walks_, c.walks) << c.window;
    EXPECT_EQ(f.ui.do_events_, c.yields) << c.window;
    EXPECT_EQ(f.clock.sleeps_, std::vector<int>(c.walks - 1, 300)) << c.window;
    EXPECT_TRUE(f.windows.shown_.empty());
  }
}

TEST(AttachBrowserTest, GivenTheBrowserOrTheWindowLateWeShouldAttachAtTheNextWalk) {
  for (const bool browser_late : {false, true}) {
    Attachment f({0x100});
    f.browser.unreachable_ = browser_late;
    // The yield after a pause is when other window events run; the second one brings it.
    f.ui.on_do_events_ = [&] {
      if (f.clock.sleeps_.size() < 2) return;
      if (f.browser.unreachable_) f.browser.unreachable_ = false;
      if (!browser_late && f.browser.windows_.size() == 1) f.AddWindow(0x300);
    };
    EXPECT_TRUE(f.Attach(browser_late ? 0x100 : 0x300));
    EXPECT_EQ(f.Attached(), browser_late ? 0 : 1);
    EXPECT_EQ(f.clock.sleeps_, std::vector<int>(2, 300));
  }
}

TEST(AttachBrowserTest, GivenTheFlagAndSettingWeShouldMaximiseOnlyWhenAsked) {
  const struct {
    bool flag;
    Text vMaximize;
    bool zoomed, maximised;
  } cases[] = {{false, u"1", false, false}, {true, u"1", false, true},   {true, u"1", true, false},
               {true, u"0", false, false},  {true, u"1 ", false, false}, {true, u"", false, false}};
  for (const auto& c : cases) {
    Attachment f({0x100});
    Registry(f.registry).WriteSetting(kSettingsKey, u"vMaximize", c.vMaximize);
    f.windows.zoomed_[0x100] = c.zoomed;
    EXPECT_TRUE(f.Attach(0x100, c.flag));
    EXPECT_EQ(f.windows.shown_.size(), c.maximised ? 1u : 0u) << c.flag << ToUtf8(c.vMaximize);
    if (c.maximised) {
      EXPECT_EQ(f.windows.shown_[0], std::pair(WindowHandle{0x100}, SW_MAXIMIZE));
    }
  }
}

}  // namespace
}  // namespace harvelo
