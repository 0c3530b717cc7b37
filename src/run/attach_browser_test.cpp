#include "run/attach_browser.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace harvelo {

using Handles = std::vector<std::optional<WindowHandle>>;

// Browser windows of the given handles (nothing: reading it raises).
struct Attachment : FakePlatform {
  explicit Attachment(const Handles& handles) {
    browsers.windows_.clear();
    for (const auto& handle : handles) AddWindow(handle);
  }
  void AddWindow(std::optional<WindowHandle> hwnd) {
    browsers.windows_.push_back(std::make_shared<FakeWebBrowser>());
    static_cast<FakeWebBrowser&>(*browsers.windows_.back()).hwnd = hwnd;
  }
  // Which window was attached (-1: none) after how many walks, and the story.
  std::string Attach(WindowHandle window, bool maximize = false) {
    RunState state;
    state.AttachedBrowser = std::make_shared<FakeWebBrowser>();  // from an earlier attachment
    bool attached = false;
    const std::string story = Story([&] {
      attached = AttachBrowser({browsers, windows, registry, ui, clock}, state, window, maximize);
    });
    const auto& all = browsers.windows_;
    const auto at = std::find(all.begin(), all.end(), state.AttachedBrowser) - all.begin();
    return (attached ? "attached " : "not attached ") +
           std::to_string(state.AttachedBrowser ? at : -1) + " after " +
           std::to_string(browsers.walks_) + story;
  }
};

TEST(AttachBrowserTest, GivenTheWindowsWeShouldAttachTheFirstMatchOrFailAfterFourWalks) {
  const auto none = [](Attachment&) {};
  const struct {
    Handles handles;
    WindowHandle window;
    std::function<void(Attachment&)> arrange;
    std::string story;
  } cases[] = {
      // One yield before each element looked at, and one after each pause.
      {{0x100, 0x200}, 0x100, none, "attached 0 after 1|yields 1"},
      {{0x100, 0x500, 0x500}, 0x500, none, "attached 1 after 1|yields 2"},
      {{std::nullopt, 0x100}, 0x100, none, "attached 1 after 1|yields 2"},
      {{0x100, 0x200}, 0x999, none, "not attached -1 after 4|yields 11|slept 900"},
      // An unread handle is not 0.
      {{std::nullopt}, 0, none, "not attached -1 after 4|yields 7|slept 900"},
      // The browser, or the window, comes at the yield after the second pause.
      {{0x100},
       0x100,
       [](Attachment& a) {
         a.browsers.unreachable_ = true;
         a.ui.on_do_events_ = [&a] { a.browsers.unreachable_ = a.clock.sleeps_.size() < 2; };
       },
       "attached 0 after 1|yields 3|slept 600"},
      {{0x100},
       0x300,
       [](Attachment& a) {
         a.ui.on_do_events_ = [&a] {
           if (a.clock.sleeps_.size() == 2 && a.browsers.windows_.size() == 1) a.AddWindow(0x300);
         };
       },
       "attached 1 after 3|yields 6|slept 600"},
  };
  for (const auto& c : cases) {
    Attachment a(c.handles);
    c.arrange(a);
    EXPECT_EQ(a.Attach(c.window), c.story);
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
    Attachment a({0x100});
    a.Store(u"vMaximize", c.vMaximize);
    a.windows.zoomed_[0x100] = c.zoomed;
    a.Attach(0x100, c.flag);
    EXPECT_EQ(a.windows.shown_, decltype(a.windows.shown_)(c.maximised, {0x100, SW_MAXIMIZE}))
        << c.flag << ToUtf8(c.vMaximize);
  }
}

}  // namespace harvelo
