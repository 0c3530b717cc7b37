// Firefox's windows on an X display with a window manager as Firefox alone knows them; and the
// choice between Firefox and Chromium by the window in front.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <map>

#include "fakes/fake_platform.h"
#include "platform/linux/bidi/browser_choice.h"
#include "platform/linux/x11/x11_window_system.h"
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
using testing::Eventually;

// A display with openbox and a page server for each test, which starts its browsers.
class BidiX11Test : public ::testing::Test {
 protected:
  BidiX11Test() { testing::TestApplication<QCoreApplication>(); }
  // The first line xdotool prints for `argv`.
  std::string Xdotool(const std::vector<std::string>& argv) {
    std::vector<std::string> command = {"xdotool"};
    command.insert(command.end(), argv.begin(), argv.end());
    const std::string said = testing::RunOnDisplay(x_.display(), command);
    return said.substr(0, said.find('\n'));
  }

  testing::XSession x_;
  testing::PageServer server_;
};

// Without a window system to ask, Firefox says which of its windows is active.
TEST_F(BidiX11Test, GivenNoWindowSystemWeShouldTakeTheActiveWindowAndMaximiseItThroughFirefox) {
  server_.Add("/first.html", "<title>first</title>");
  server_.Add("/second.html", "<title>second</title>");
  testing::BrowserProcess firefox(testing::BrowserProtocol::kBidi,
                                  {.display = x_.display(), .urls = {server_.Url("/first.html")}});
  testing::BrowserConnection program(testing::BrowserProtocol::kBidi, firefox.endpoint(), 60s);
  ASSERT_TRUE(program.Loaded(server_.Url("/first.html")));
  ASSERT_TRUE(program.Open(server_.Url("/second.html"), true));
  ASSERT_TRUE(Eventually([&] {
    return Xdotool({"getwindowname", Xdotool({"getactivewindow"})}).starts_with("second ");
  }));

  FakeClock clock;
  auto page = AttachToFront(*program.browser, *program.windows, clock);

  ASSERT_NE(page, nullptr);
  EXPECT_EQ(ToUtf8(page->LocationURL()), server_.Url("/second.html"));
  const WindowHandle front = page->HWND();
  ASSERT_FALSE(program.windows->IsZoomed(front));
  EXPECT_TRUE(program.windows->ShowWindow(front, SW_MAXIMIZE));
  EXPECT_TRUE(Eventually([&] { return program.windows->IsZoomed(front); }));
  EXPECT_EQ(program.windows->SetWindowLongA(front, GWL_HWNDPARENT, 1), 0);
}

// Chromium and Firefox side by side: harvelo works with the one whose window the user has
// brought to the front, as the X11 session tells it.
TEST_F(BidiX11Test, GivenChromiumAndFirefoxWeShouldWorkWithTheOneInFront) {
  server_.Add("/in-chromium.html", "<title>in chromium</title>");
  server_.Add("/in-firefox.html", "<title>in firefox</title>");
  testing::BrowserProcess chromium(
      testing::BrowserProtocol::kDevTools,
      {.display = x_.display(), .urls = {server_.Url("/in-chromium.html")}});
  testing::BrowserProcess firefox(
      testing::BrowserProtocol::kBidi,
      {.display = x_.display(), .urls = {server_.Url("/in-firefox.html")}});
  BrowserEndpoints endpoints{QUrl(QString::fromStdString(chromium.endpoint())),
                             QUrl(QString::fromStdString(firefox.endpoint()))};
  std::map<std::string, std::string> window_of;
  ASSERT_TRUE(Eventually([&] {
    for (const std::string browser : {"chromium", "firefox"}) {
      window_of[browser] = Xdotool({"search", "--onlyvisible", "--name", "^in " + browser});
    }
    return !window_of["chromium"].empty() && !window_of["firefox"].empty();
  }));
  FakeUserInterface ui;
  FakeClock clock;
  for (const std::string browser : {"chromium", "firefox"}) {
    Xdotool({"windowactivate", "--sync", window_of[browser]});
    ASSERT_TRUE(Eventually([&] { return Xdotool({"getactivewindow"}) == window_of[browser]; }));

    // Without a window system to ask, Chromium as ever, as long as it listens.
    for (const bool with_x11 : {true, false}) {
      auto chosen =
          ChooseBrowser(endpoints, with_x11 ? NewX11WindowSystem(x_.display()) : nullptr, ui, 10s);
      auto page = AttachToFront(chosen->automation(), chosen->windows(), clock);

      ASSERT_NE(page, nullptr) << browser << (with_x11 ? " with X11" : " without");
      EXPECT_EQ(ToUtf8(page->LocationURL()),
                server_.Url("/in-" + (with_x11 ? browser : "chromium") + ".html"))
          << browser << (with_x11 ? " with X11" : " without");
    }
  }
  auto alone = ChooseBrowser({QUrl("http://127.0.0.1:1"), endpoints.bidi}, nullptr, ui, 10s);
  auto page = AttachToFront(alone->automation(), alone->windows(), clock);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(ToUtf8(page->LocationURL()), server_.Url("/in-firefox.html"));
}

}  // namespace
}  // namespace harvelo
