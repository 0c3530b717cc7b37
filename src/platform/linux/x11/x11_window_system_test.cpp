#include "platform/linux/x11/x11_window_system.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <functional>
#include <map>

#include "fakes/fake_clock.h"
#include "fakes/fake_user_interface.h"
#include "fakes/recording_registry.h"
#include "platform/linux/devtools/devtools_browser.h"
#include "run/attach_browser.h"
#include "support/chromium_session.h"
#include "support/devtools_pages.h"
#include "support/eventually.h"
#include "support/page_server.h"
#include "support/qt_application.h"
#include "support/x_session.h"

namespace harvelo {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using namespace std::chrono_literals;
using testing::Eventually;

// A display with openbox and a headed Chromium showing one page, for the whole suite.
class X11WindowSystemTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    testing::TestApplication<QCoreApplication>();
    x_ = new testing::XSession();
    server_ = new testing::PageServer();
    server_->Add("/first.html", "<title>first</title><body>first</body>");
    server_->Add("/second.html", "<title>second</title><body>second</body>");
    server_->Add("/other.html", "<title>other</title><body>other window</body>");
    server_->Add("/owned.html", "<title>owned</title><body>owned window</body>");
    chromium_ = new testing::ChromiumSession(
        {.display = x_->display(), .urls = {server_->Url("/first.html")}});
  }
  static void TearDownTestSuite() {
    delete chromium_;
    delete server_;
    delete x_;
  }

  X11WindowSystemTest()
      : client_(QUrl(QString::fromStdString(chromium_->endpoint())), 10s),
        windows_(NewX11WindowSystem(x_->display())),
        browser_(NewDevToolsBrowser(client_, *windows_)) {}

  // Opens `path` in a new tab, or in a new window, and waits until it is in front.
  void Open(const std::string& path, bool new_window) {
    testing::OpenTarget(client_, server_->Url(path), new_window);
    ASSERT_TRUE(Eventually([&] { return Locations().at(0) == server_->Url(path); }));
  }

  std::vector<std::string> Locations() {
    std::vector<std::string> locations;
    for (const auto& page : browser_->CreateShellWindows()->Elements()) {
      locations.push_back(ToUtf8(page->LocationURL()));
    }
    return locations;
  }

  std::shared_ptr<WebBrowser> Attach(FakeClock& clock) { return Attach(clock, *browser_); }
  std::shared_ptr<WebBrowser> Attach(FakeClock& clock, BrowserAutomation& browser) {
    FakeUserInterface ui;
    RecordingRegistry registry;
    RunState state;
    if (!AttachBrowser({browser, *windows_, registry, ui, clock}, state,
                       windows_->GetForegroundWindow(), false)) {
      return nullptr;
    }
    return state.AttachedBrowser;
  }

  static testing::XSession* x_;
  static testing::PageServer* server_;
  static testing::ChromiumSession* chromium_;
  DevToolsClient client_;
  std::unique_ptr<BrowserWindows> windows_;
  std::unique_ptr<BrowserAutomation> browser_;
};

testing::XSession* X11WindowSystemTest::x_ = nullptr;
testing::PageServer* X11WindowSystemTest::server_ = nullptr;
testing::ChromiumSession* X11WindowSystemTest::chromium_ = nullptr;

// The cases share one browser when run together, each in its own process otherwise: each
// opens what it needs.
TEST_F(X11WindowSystemTest, GivenChromiumInFrontWeShouldAttachToThePageItShows) {
  ASSERT_NE(windows_, nullptr);
  ASSERT_TRUE(Eventually([&] { return windows_->GetForegroundWindow() != 0; }));
  FakeClock clock;

  auto page = Attach(clock);

  ASSERT_NE(page, nullptr);
  EXPECT_EQ(ToUtf8(page->LocationURL()), server_->Url("/first.html"));
  EXPECT_TRUE(clock.sleeps_.empty());
  EXPECT_THAT(testing::RunOnDisplay(x_->display(),
                                    {"xprop", "-id", std::to_string(page->HWND()), "_NET_WM_PID"}),
              HasSubstr(std::to_string(chromium_->pid())));
}

TEST_F(X11WindowSystemTest, GivenTwoTabsInOneWindowWeShouldGiveBothOneHandleActiveFirst) {
  Open("/second.html", false);
  auto pages = browser_->CreateShellWindows()->Elements();

  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(ToUtf8(pages[0]->LocationURL()), server_->Url("/second.html"));
  EXPECT_EQ(pages[0]->HWND(), pages[1]->HWND());
  EXPECT_EQ(pages[0]->HWND(), windows_->GetForegroundWindow());
  FakeClock clock;
  auto attached = Attach(clock);
  ASSERT_NE(attached, nullptr);
  EXPECT_EQ(ToUtf8(attached->LocationURL()), server_->Url("/second.html"));
}

// Both windows open at the same place and size: only their order tells them apart.
TEST_F(X11WindowSystemTest, GivenASecondWindowInFrontWeShouldAttachToItsPage) {
  const WindowHandle first_window = windows_->GetForegroundWindow();
  Open("/other.html", true);
  // The focus passes through no window at all on its way to the new one.
  ASSERT_TRUE(Eventually([&] {
    const WindowHandle front = windows_->GetForegroundWindow();
    return front != first_window && front != 0 &&
           testing::RunOnDisplay(x_->display(), {"xdotool", "getwindowname", std::to_string(front)})
               .starts_with("other");
  }));
  FakeClock clock;

  auto page = Attach(clock);

  ASSERT_NE(page, nullptr);
  EXPECT_EQ(ToUtf8(page->LocationURL()), server_->Url("/other.html"));
  EXPECT_NE(page->HWND(), first_window);
}

TEST_F(X11WindowSystemTest, GivenAWindowWeShouldMaximiseItAndSetItsOwner) {
  ASSERT_TRUE(Eventually([&] { return windows_->GetForegroundWindow() != 0; }));
  const WindowHandle behind = windows_->GetForegroundWindow();
  Open("/owned.html", true);
  ASSERT_TRUE(Eventually([&] { return windows_->GetForegroundWindow() != behind; }));
  const WindowHandle front = windows_->GetForegroundWindow();
  ASSERT_FALSE(windows_->IsZoomed(front));

  EXPECT_TRUE(windows_->ShowWindow(front, SW_MAXIMIZE));
  EXPECT_TRUE(Eventually([&] { return windows_->IsZoomed(front); }));

  EXPECT_EQ(windows_->SetWindowLongA(front, GWL_HWNDPARENT, behind), 0);
  EXPECT_THAT(testing::RunOnDisplay(x_->display(),
                                    {"xprop", "-id", std::to_string(front), "WM_TRANSIENT_FOR"}),
              HasSubstr("window id # 0x"));
  EXPECT_EQ(windows_->SetWindowLongA(front, GWL_HWNDPARENT, 0), behind);
  EXPECT_THAT(testing::RunOnDisplay(x_->display(),
                                    {"xprop", "-id", std::to_string(front), "WM_TRANSIENT_FOR"}),
              HasSubstr("not found"));
}

TEST_F(X11WindowSystemTest, GivenAPlainWindowInFrontWeShouldFailAfterFourAttempts) {
  ASSERT_TRUE(Eventually([&] { return windows_->GetForegroundWindow() != 0; }));
  const WindowHandle browser_window = windows_->GetForegroundWindow();
  testing::ChildProcess other({"xmessage", "-name", "plain", "a plain X window"},
                              {{"DISPLAY", x_->display()}});
  ASSERT_TRUE(Eventually([&] {
    const WindowHandle front = windows_->GetForegroundWindow();
    return front != 0 && front != browser_window;
  }));
  FakeClock clock;

  EXPECT_EQ(Attach(clock), nullptr);

  EXPECT_THAT(clock.sleeps_, ElementsAre(300, 300, 300));
}

// Two windows of a browser of its own, at one place and size, each showing a page with two
// more tabs behind it: one opened by a click with the control key, bearing the title that the
// other window shows, and one opened by the browser in the background.
TEST_F(X11WindowSystemTest, GivenTabsBehindTwoWindowsWeShouldAttachToTheShownPageOfTheOneInFront) {
  const std::string sides[] = {"alpha", "beta"};
  for (const std::string& side : sides) {
    server_->Add("/" + side + ".html",
                 "<title>" + side + "</title><a href=\"" + side +
                     "-clicked.html\" style=\"position:fixed;inset:0\">.</a>");
    server_->Add("/" + side + "-clicked.html",
                 side == sides[0] ? "<title>beta</title>" : "<title>alpha</title>");
    server_->Add("/" + side + "-created.html", "<title>created</title>");
  }
  testing::ChromiumSession chromium(
      {.display = x_->display(), .urls = {server_->Url("/alpha.html")}});
  DevToolsClient client(QUrl(QString::fromStdString(chromium.endpoint())), 10s);
  auto browser = NewDevToolsBrowser(client, *windows_);
  const auto loaded = [&](const std::string& path) {
    return !testing::LoadedTarget(client, chromium.endpoint(), server_->Url(path)).isEmpty();
  };
  std::map<std::string, WindowHandle> window_of;
  for (const std::string& side : sides) {
    if (side != sides[0]) testing::OpenTarget(client, server_->Url("/" + side + ".html"), true);
    ASSERT_TRUE(Eventually([&] {
      window_of[side] = windows_->GetForegroundWindow();
      return testing::RunOnDisplay(x_->display(),
                                   {"xdotool", "getwindowname", std::to_string(window_of[side])})
          .starts_with(side + " - ");
    }));
    ASSERT_TRUE(loaded("/" + side + ".html"));
    ASSERT_TRUE(testing::ControlClick(x_->display(), std::to_string(window_of[side]),
                                      [&] { return loaded("/" + side + "-clicked.html"); }));
    testing::OpenTarget(client, server_->Url("/" + side + "-created.html"), false, true);
    ASSERT_TRUE(loaded("/" + side + "-created.html"));
  }

  // The second window is in front as it was left; then the first one is brought there.
  for (const std::string& side : {sides[1], sides[0]}) {
    testing::RunOnDisplay(x_->display(),
                          {"xdotool", "windowactivate", "--sync", std::to_string(window_of[side])});
    ASSERT_TRUE(Eventually([&] { return windows_->GetForegroundWindow() == window_of[side]; }));
    FakeClock clock;

    auto page = Attach(clock, *browser);

    ASSERT_NE(page, nullptr) << side;
    EXPECT_EQ(ToUtf8(page->LocationURL()), server_->Url("/" + side + ".html"));
    for (const auto& tab : browser->CreateShellWindows()->Elements()) {
      const std::string location = ToUtf8(tab->LocationURL());
      const std::string holder = location.find("/alpha") != std::string::npos ? "alpha" : "beta";
      EXPECT_EQ(tab->HWND(), window_of[holder]) << location << " with " << side << " in front";
    }
  }
}

TEST(X11SessionTest, GivenNoDisplayWeShouldAnswerNoWindowSystem) {
  EXPECT_EQ(NewX11WindowSystem(":987654"), nullptr);
}

}  // namespace
}  // namespace harvelo
