// The built program, started as a user starts it, on a private X display with a window
// manager and a Chromium showing a page served on 127.0.0.1.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QJsonObject>
#include <QThread>
#include <cstdlib>

#include "platform/linux/devtools/devtools_client.h"
#include "support/chromium_session.h"
#include "support/page_server.h"
#include "support/qt_application.h"
#include "support/x_session.h"

namespace harvelo {
namespace {

using namespace std::chrono_literals;

// The page tells, in its title, whether someone read its elements' names, as reading its
// HTML does.
const char kPage[] = R"(<title>untouched</title>
<script>
  const tagName = Object.getOwnPropertyDescriptor(Element.prototype, 'tagName');
  let seen = false;
  Object.defineProperty(Element.prototype, 'tagName', {
    configurable: true,
    get() {
      if (!seen) {
        seen = true;
        setTimeout(() => { document.title = 'read'; });
      }
      return tagName.get.call(this);
    },
  });
</script>
<body><a href="big.jpg"><img src="thumb.jpg"></a></body>)";

class HarveloTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    x_ = new testing::XSession();
    // The test reads the clipboard of the same display as a person would.
    setenv("DISPLAY", x_->display().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    testing::TestApplication<QGuiApplication>();
  }
  static void TearDownTestSuite() { delete x_; }

  HarveloTest() {
    server_.Add("/page.html", kPage);
    chromium_ = std::make_unique<testing::ChromiumSession>(
        testing::ChromiumSession::Options{x_->display(), {server_.Url("/page.html")}});
    devtools_ =
        std::make_unique<DevToolsClient>(QUrl(QString::fromStdString(chromium_->endpoint())), 10s);
  }

  std::unique_ptr<testing::ChildProcess> StartHarvelo() {
    return std::make_unique<testing::ChildProcess>(
        std::vector<std::string>{HARVELO_PROGRAM},
        std::map<std::string, std::string>{{"DISPLAY", x_->display()},
                                           {"HARVELO_DEVTOOLS", chromium_->endpoint()},
                                           {"XDG_CONFIG_HOME", config_.path()},
                                           {"HOME", config_.path()},
                                           {"WAYLAND_DISPLAY", ""},
                                           {"XDG_SESSION_TYPE", ""},
                                           {"QT_QPA_PLATFORM", "xcb"}});
  }

  std::string Run(const std::vector<std::string>& argv) {
    return testing::RunOnDisplay(x_->display(), argv);
  }

  // The page's title, read past the program.
  std::string PageTitle() {
    for (const QJsonValue& target : devtools_->ListAt("/json/list")) {
      if (target["type"].toString() == "page") return target["title"].toString().toStdString();
    }
    return {};
  }

  // Waits until the page has loaded in a browser window that has the focus.
  bool PageInFront() {
    for (int tries = 0; tries < 300; ++tries) {
      if (PageTitle() == "untouched" &&
          Run({"xdotool", "getactivewindow", "getwindowname"}).find("Chromium") !=
              std::string::npos) {
        return true;
      }
      QThread::msleep(50);
    }
    return false;
  }

  static testing::XSession* x_;
  testing::TemporaryFolder config_;
  testing::PageServer server_;
  std::unique_ptr<testing::ChromiumSession> chromium_;
  std::unique_ptr<DevToolsClient> devtools_;
};

testing::XSession* HarveloTest::x_ = nullptr;

TEST_F(HarveloTest, GivenChromiumShowingAPageWeShouldAttachReadItsHtmlAndEndWithoutABox) {
  ASSERT_TRUE(PageInFront());

  auto harvelo = StartHarvelo();

  EXPECT_EQ(harvelo->Wait(60s), 0);
  for (int tries = 0; tries < 100 && PageTitle() != "read"; ++tries) QThread::msleep(50);
  EXPECT_EQ(PageTitle(), "read");
  EXPECT_EQ(Run({"xdotool", "search", "--name", "^Harvelo$"}), "");
}

TEST_F(HarveloTest, GivenAPlainWindowInFrontWeShouldShowTheAttachErrorAndEnd) {
  ASSERT_TRUE(PageInFront());
  testing::ChildProcess other({"xmessage", "-name", "plain", "a plain X window"},
                              {{"DISPLAY", x_->display()}});
  for (int tries = 0; tries < 300; ++tries) {
    if (Run({"xdotool", "getactivewindow", "getwindowname"}).find("Chromium") ==
        std::string::npos) {
      break;
    }
    QThread::msleep(50);
  }

  auto harvelo = StartHarvelo();
  // Four attempts 300 ms apart come first; a loaded machine may take a while more.
  std::string found;
  for (int tries = 0; tries < 6 && found.empty(); ++tries) {
    found = Run({"xdotool", "search", "--sync", "--onlyvisible", "--name", "^Harvelo$"});
  }
  ASSERT_FALSE(found.empty()) << "no box titled Harvelo";
  const std::string box = found.substr(0, found.find('\n'));

  // The text of the box is selectable: a person can copy it from there.
  Run({"xdotool", "windowactivate", "--sync", box});
  // A click on the text (right of the icon, on the first line) gives it the focus.
  Run({"xdotool", "mousemove", "--window", box, "80", "22", "click", "1"});
  Run({"xdotool", "key", "ctrl+a", "ctrl+c"});
  QString copied;
  for (int tries = 0; tries < 100 && copied.isEmpty(); ++tries) {
    QThread::msleep(50);
    QCoreApplication::processEvents();  // learns who owns the clipboard now
    copied = QGuiApplication::clipboard()->text();
  }
  // The label shows the line breaks of the text, the last one included.
  EXPECT_EQ(copied.toStdString(),
            "Error: Could not attach to IE.\nPlease close all Internet Explorer windows and "
            "try again.\n");
  EXPECT_EQ(PageTitle(), "untouched");
  EXPECT_FALSE(harvelo->Wait(0ms));  // the box holds the program until it is answered

  Run({"xdotool", "key", "Return"});

  EXPECT_EQ(harvelo->Wait(30s), 0);
}

}  // namespace
}  // namespace harvelo
