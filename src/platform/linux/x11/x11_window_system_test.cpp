// The window system of an X11 session with a window manager, with the windows of real
// browsers on it: Chromium over the DevTools protocol, Firefox over WebDriver BiDi.

#include "platform/linux/x11/x11_window_system.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <map>

#include "fakes/fake_platform.h"
#include "support/browser_pages.h"
#include "support/browser_process.h"
#include "support/eventually.h"
#include "support/page_server.h"
#include "support/qt_application.h"
#include "support/x_session.h"

namespace harvelo {
namespace {

using ::testing::HasSubstr;
using namespace std::chrono_literals;
using testing::BrowserConnection;
using testing::Eventually;
using Kind = testing::BrowserProtocol;

// A display with openbox and a page server for each test, which starts its browser.
class X11WindowSystemTest : public ::testing::TestWithParam<Kind> {
 protected:
  X11WindowSystemTest() { testing::TestApplication<QCoreApplication>(); }

  // Starts the browser of the test on the display with `page` in its first window.
  BrowserConnection Start(const std::string& page) {
    browser_ = std::make_unique<testing::BrowserProcess>(
        GetParam(), testing::BrowserProcess::Options{x_.display(), {server_.Url(page)}});
    return BrowserConnection(GetParam(), browser_->endpoint(), 60s,
                             NewX11WindowSystem(x_.display()));
  }
  std::string Run(const std::vector<std::string>& argv) {
    return testing::RunOnDisplay(x_.display(), argv);
  }
  std::string Title(WindowHandle window) {
    return Run({"xdotool", "getwindowname", std::to_string(window)});
  }
  std::string Transient(WindowHandle window) {
    return Run({"xprop", "-id", std::to_string(window), "WM_TRANSIENT_FOR"});
  }

  testing::XSession x_;
  testing::PageServer server_;
  std::unique_ptr<testing::BrowserProcess> browser_;
};

// Two windows at one place and size, so that only their order tells them apart. Each shows its
// page with two tabs behind: one that the page's link opened on a click with the control key,
// titled as the page of the other window, and one that the browser opened in the background.
// Whichever window is in front, the page attached is the one it shows, at once, and each tab's
// handle is its own window's, which belongs to the browser's process.
TEST_P(X11WindowSystemTest, GivenTabsBehindTwoWindowsWeShouldAttachToTheShownPageOfTheOneInFront) {
  const std::map<std::string, std::string> other = {{"north", "south"}, {"south", "north"}};
  const auto url = [&](const std::string& page) { return server_.Url("/" + page + ".html"); };
  for (const auto& [page, across] : other) {
    server_.Add("/" + page + ".html", "<title>" + page + "</title><a href=\"" + page +
                                          "-linked.html\" style=\"position:fixed;inset:0\">.</a>");
    server_.Add("/" + page + "-linked.html", "<title>" + across + "</title>");
    server_.Add("/" + page + "-opened.html", "<title>opened</title>");
  }
  BrowserConnection program = Start("/north.html");
  std::map<std::string, WindowHandle> window_showing;
  for (const std::string page : {"north", "south"}) {
    ASSERT_TRUE(page == "north" ? program.Loaded(url(page)) : program.Open(url(page), true));
    ASSERT_TRUE(Eventually([&] {
      window_showing[page] = program.windows->GetForegroundWindow();
      return Title(window_showing[page]).starts_with(page);
    }));
    program.windows->ShowWindow(window_showing[page], SW_MAXIMIZE);
    ASSERT_TRUE(Eventually([&] { return program.windows->IsZoomed(window_showing[page]); }));
    ASSERT_TRUE(testing::ControlClick(x_.display(), std::to_string(window_showing[page]),
                                      [&] { return program.Loaded(url(page + "-linked")); }));
    ASSERT_TRUE(program.Open(url(page + "-opened"), false, true));
  }

  for (const std::string front : {"south", "north"}) {
    Run({"xdotool", "windowactivate", "--sync", std::to_string(window_showing[front])});
    ASSERT_TRUE(Eventually(
        [&] { return program.windows->GetForegroundWindow() == window_showing[front]; }));
    FakeClock clock;

    auto attached = AttachToFront(*program.browser, *program.windows, clock);

    ASSERT_NE(attached, nullptr) << front;
    EXPECT_EQ(ToUtf8(attached->LocationURL()), url(front));
    EXPECT_TRUE(clock.sleeps_.empty());
    for (const auto& tab : program.browser->CreateShellWindows()->Elements()) {
      const std::string address = ToUtf8(tab->LocationURL());
      const std::string page = address.find("/north") != std::string::npos ? "north" : "south";
      EXPECT_EQ(tab->HWND(), window_showing[page]) << address << ", " << front;
    }
  }
  EXPECT_THAT(Run({"xprop", "-id", std::to_string(window_showing["north"]), "_NET_WM_PID"}),
              HasSubstr(std::to_string(browser_->pid())));
}

TEST_P(X11WindowSystemTest, GivenAWindowWeShouldMaximiseItAndSetItsOwner) {
  server_.Add("/owned.html", "<title>owned</title>");
  BrowserConnection program = Start("/owned.html");
  auto& windows = *program.windows;
  ASSERT_TRUE(program.Loaded(server_.Url("/owned.html")));  // a slow start outlasts Eventually
  ASSERT_TRUE(Eventually([&] { return Title(windows.GetForegroundWindow()).starts_with("o"); }));
  const WindowHandle front = windows.GetForegroundWindow();
  testing::ChildProcess behind({"xmessage", "-name", "plain", "behind"},
                               {{"DISPLAY", x_.display()}});
  ASSERT_TRUE(Eventually([&] { return Title(windows.GetForegroundWindow()) == "plain\n"; }));
  const WindowHandle owner = windows.GetForegroundWindow();
  ASSERT_FALSE(windows.IsZoomed(front));

  EXPECT_TRUE(windows.ShowWindow(front, SW_MAXIMIZE));
  EXPECT_TRUE(Eventually([&] { return windows.IsZoomed(front); }));
  EXPECT_EQ(windows.SetWindowLongA(front, GWL_HWNDPARENT, owner), 0);
  EXPECT_THAT(Transient(front), HasSubstr("window id # 0x"));
  EXPECT_EQ(windows.SetWindowLongA(front, GWL_HWNDPARENT, 0), owner);
  EXPECT_THAT(Transient(front), HasSubstr("not found"));

  // A window of no browser in front (a browser may take the focus back once it has loaded):
  // the program gives up after four attempts.
  Run({"xdotool", "windowactivate", "--sync", std::to_string(owner)});
  FakeClock clock;
  EXPECT_EQ(AttachToFront(*program.browser, *program.windows, clock), nullptr);
  EXPECT_THAT(clock.sleeps_, ::testing::ElementsAre(300, 300, 300));
}

INSTANTIATE_TEST_SUITE_P(Browsers, X11WindowSystemTest,
                         ::testing::Values(Kind::kDevTools, Kind::kBidi),
                         ::testing::PrintToStringParamName());

TEST(X11SessionTest, GivenNoDisplayWeShouldAnswerNoWindowSystem) {
  EXPECT_EQ(NewX11WindowSystem(":987654"), nullptr);
}

}  // namespace
}  // namespace harvelo
