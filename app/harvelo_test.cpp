// The built program, started as a user starts it, on a private X display with a window
// manager and a Chromium showing a page served on 127.0.0.1; its companions are stand-ins
// in its own folder that record what they were given.

#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QJsonObject>
#include <QThread>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/hive/hive.h"
#include "platform/linux/channel/frame.h"
#include "platform/linux/devtools/devtools_client.h"
#include "support/chromium_session.h"
#include "support/devtools_pages.h"
#include "support/page_server.h"
#include "support/qt_application.h"
#include "support/x_session.h"

namespace harvelo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string RealPage(const std::string& name) {
  return FileBytes(fs::path(HARVELO_REALPAGES) / name);
}

// "# 0x..." as xprop writes an owner, from xdotool's decimal window id.
std::string HexWindow(const std::string& decimal) {
  char hex[32];
  std::snprintf(hex, sizeof hex, "# 0x%lx\n", std::stoul(decimal));
  return hex;
}

// What a stand-in for the download program took: one job message per frame.
std::vector<std::string> TakenJobs(const fs::path& record) {
  std::vector<std::string> jobs;
  std::string bytes = FileBytes(record);
  std::string_view rest = bytes;
  while (std::optional<channel::Frame> frame = channel::DecodeFrame(rest)) {
    EXPECT_EQ(frame->message_number, 401);
    jobs.emplace_back(frame->data);
    rest.remove_prefix(frame->size);
  }
  EXPECT_TRUE(rest.empty()) << "a cut-off frame";
  return jobs;
}

// Every test starts its own browser on one shared display.
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
    // The program folder: harvelo with its two companions beside it.
    fs::copy_file(HARVELO_PROGRAM, program_folder_ / "harvelo");
    fs::copy_file(HARVELO_HAULBEAM_STANDIN, program_folder_ / "Haulbeam");
    fs::copy_file(HARVELO_RECORD_ARGS, program_folder_ / "Tellora");
    ::chmod(runtime_.path().c_str(), 0700);
  }

  // Shows `page` at `path` in a browser window that has the focus.
  void ShowPage(const std::string& path, const std::string& page) {
    server_.Add(path, page);
    page_url_ = server_.Url(path);
    chromium_ = std::make_unique<testing::ChromiumSession>(
        testing::ChromiumSession::Options{x_->display(), {page_url_}});
    devtools_ = std::make_unique<DevToolsClient>(
        QUrl(QString::fromStdString(chromium_->endpoint())), 10s);
    ASSERT_FALSE(testing::LoadedTarget(*devtools_, chromium_->endpoint(), page_url_).isEmpty())
        << "the page never loaded";
    for (int tries = 0; tries < 300; ++tries) {
      if (ActiveWindowName().find("Chromium") != std::string::npos) return;
      QThread::msleep(50);
    }
    FAIL() << "the page never came to the front";
  }

  std::string ActiveWindowName() { return Run({"xdotool", "getactivewindow", "getwindowname"}); }

  std::unique_ptr<testing::ChildProcess> StartHarvelo() {
    return std::make_unique<testing::ChildProcess>(
        std::vector<std::string>{(program_folder_ / "harvelo").string()},
        std::map<std::string, std::string>{{"DISPLAY", x_->display()},
                                           {"HARVELO_DEVTOOLS", chromium_->endpoint()},
                                           {"XDG_CONFIG_HOME", home_.path() + "/.config"},
                                           {"XDG_RUNTIME_DIR", runtime_.path()},
                                           {"HOME", home_.path()},
                                           {"WAYLAND_DISPLAY", ""},
                                           {"XDG_SESSION_TYPE", ""},
                                           {"QT_QPA_PLATFORM", "xcb"}});
  }

  // The first visible window whose name is exactly `name`, waiting for it; empty, with the
  // names of the windows that are visible instead, when none comes.
  std::string FindWindow(const std::string& name) {
    const std::string found =
        Run({"xdotool", "search", "--sync", "--onlyvisible", "--name", "^" + name + "$"});
    if (found.empty()) {
      std::istringstream ids(Run({"xdotool", "search", "--onlyvisible", "--name", "."}));
      std::string names;
      for (std::string id; std::getline(ids, id);) names += Run({"xdotool", "getwindowname", id});
      ADD_FAILURE() << "no window \"" << name << "\"; visible:\n" << names;
    }
    return found.substr(0, found.find('\n'));
  }

  std::string Run(const std::vector<std::string>& argv) {
    return testing::RunOnDisplay(x_->display(), argv);
  }

  std::string Setting(const std::string& name) {
    std::optional<Hive> hive = Hive::Parse(FileBytes(home_.path() + "/.config/Quorvex/registry.reg"));
    if (!hive) return "(no settings file)";
    HiveKey* key = hive->FindKey("HKEY_CURRENT_USER\\SOFTWARE\\Quorvex");
    HiveValue* value = key ? key->FindValue(name) : nullptr;
    if (!value || value->data.empty()) return "(missing)";
    return std::string(value->data.begin(), value->data.end() - 1);
  }

  static testing::XSession* x_;
  testing::TemporaryFolder home_;
  testing::TemporaryFolder runtime_;
  testing::TemporaryFolder program_folder_holder_;
  fs::path program_folder_ = program_folder_holder_.path();
  testing::PageServer server_;
  std::string page_url_;
  std::unique_ptr<testing::ChromiumSession> chromium_;
  std::unique_ptr<DevToolsClient> devtools_;
};

testing::XSession* HarveloTest::x_ = nullptr;

TEST_F(HarveloTest, GivenAGalleryWeShouldHandEveryPictureToTheDownloadProgramAfterTheFolder) {
  ShowPage("/gallery/index.html", RealPage("photoswipe3-default.html"));
  const std::string browser_window = Run({"xdotool", "getactivewindow"});

  auto harvelo = StartHarvelo();
  const std::string dialog = FindWindow("Harvelo - Quorvex");
  ASSERT_FALSE(dialog.empty()) << "no folder dialog";
  EXPECT_THAT(Run({"xprop", "-id", dialog, "WM_TRANSIENT_FOR"}),
              ::testing::HasSubstr(HexWindow(browser_window)));
  // Keys go to the window with the focus, as a person types them: a key sent to a window
  // that closes on its press would never be released.
  Run({"xdotool", "windowactivate", "--sync", dialog});
  Run({"xdotool", "key", "Return"});
  ASSERT_EQ(harvelo->Wait(60s), 0);

  // The folder offered is Quorvex in the documents folder, which is the home folder here.
  const std::string folder = home_.path() + "/Quorvex/";
  const std::string origin = page_url_;
  const std::string base = server_.Url("/gallery/images/full/");
  std::vector<std::string> expected;
  for (int k = 18; k >= 1; --k) {
    char name[8];
    std::snprintf(name, sizeof name, "%03d", k);
    char order[8];
    std::snprintf(order, sizeof order, "%02d", k);
    expected.push_back("<DataURL>" + base + name + ".jpg</DataURL><DataPath>" + folder +
                       "</DataPath><DataOrgin>" + origin + "</DataOrgin><DataGroup>g999" +
                       "</DataGroup><DataOrder>" + order + "</DataOrder>");
  }
  for (int tries = 0; tries < 100 && FileBytes(program_folder_ / "Haulbeam.record").empty(); ++tries) {
    QThread::msleep(50);
  }
  EXPECT_THAT(TakenJobs(program_folder_ / "Haulbeam.record"), ::testing::ElementsAreArray(expected));
  EXPECT_EQ(Setting("dGroupNumber"), "g998");
  const std::string log = FileBytes(home_.path() + "/Quorvex/SourceLog.txt");
  EXPECT_THAT(log, ::testing::EndsWith("\tg999\t" + origin + "\r\n"));
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);
}

TEST_F(HarveloTest, GivenARobotsNofollowPageWeShouldStartTheNoticeProgramAndScanNothing) {
  ShowPage("/news/article.html", RealPage("robots-noindex-nofollow.html"));

  auto harvelo = StartHarvelo();
  ASSERT_EQ(harvelo->Wait(60s), 0);

  std::string record;
  for (int tries = 0; tries < 100 && record.empty(); ++tries) {
    QThread::msleep(50);
    record = FileBytes(program_folder_ / "Tellora.record");
  }
  const std::string window = Run({"xdotool", "getactivewindow"});
  const std::string handle = window.substr(0, window.find('\n'));
  EXPECT_EQ(record, std::string("own session\0" "1\0" "2\0", 16) + "<wHWND>" + handle +
                        "</wHWND><FormName>frmRobotExclude</FormName><URL>" + page_url_ +
                        "</URL><ProgType>DL</ProgType><LoadingURL>" + page_url_ +
                        "</LoadingURL>" + std::string(1, '\0'));
  EXPECT_FALSE(fs::exists(program_folder_ / "Haulbeam.record"));
  EXPECT_EQ(Setting("dGroupNumber"), "(no settings file)");
}

TEST_F(HarveloTest, GivenAPageWithoutMediaWeShouldShowTheNoticeOwnedByTheBrowserWindow) {
  ShowPage("/frames.html", RealPage("ie5-frameset.html"));
  const std::string browser_window = Run({"xdotool", "getactivewindow"});

  auto harvelo = StartHarvelo();
  const std::string notice = FindWindow("Harvelo - Quorvex");
  ASSERT_FALSE(notice.empty()) << "no notice";
  EXPECT_THAT(Run({"xprop", "-id", notice, "WM_TRANSIENT_FOR"}),
              ::testing::HasSubstr(HexWindow(browser_window)));

  // Tick "Don't show this message again", then OK: the setting is stored and the run ends.
  Run({"xdotool", "windowactivate", "--sync", notice});
  Run({"xdotool", "key", "Tab", "space", "shift+Tab", "Return"});
  ASSERT_EQ(harvelo->Wait(30s), 0);
  EXPECT_EQ(Setting("dMsgNoPicsFound"), "0");
}

TEST_F(HarveloTest, GivenAPlainWindowInFrontWeShouldShowTheAttachErrorAndEnd) {
  ShowPage("/page.html", "<title>A page</title><p>text</p>");
  testing::ChildProcess other({"xmessage", "-name", "plain", "a plain X window"},
                              {{"DISPLAY", x_->display()}});
  const std::string plain = FindWindow("plain");
  for (int tries = 0; tries < 300 && Run({"xdotool", "getactivewindow"}) != plain + "\n";
       ++tries) {
    QThread::msleep(50);
  }

  auto harvelo = StartHarvelo();
  const std::string box = FindWindow("Harvelo");
  ASSERT_FALSE(box.empty()) << "no box titled Harvelo";

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
  EXPECT_FALSE(harvelo->Wait(0ms));  // the box holds the program until it is answered

  Run({"xdotool", "key", "Return"});

  EXPECT_EQ(harvelo->Wait(30s), 0);
  EXPECT_EQ(Setting("dGroupNumber"), "(no settings file)");
}

// The page behind, opened from the page shown by a click with the control key, is the most
// recently opened one, and it refuses harvesting: the run must go by the page on screen.
TEST_F(HarveloTest, GivenARefusingPageOpenedBehindWeShouldWorkOnThePageShown) {
  server_.Add("/behind.html", "<meta name=\"robots\" content=\"nofollow\">");
  ShowPage("/shown.html", "<a href=\"behind.html\" style=\"position:fixed;inset:0\">no media</a>");
  const std::string browser_window = Run({"xdotool", "getactivewindow"});
  ASSERT_TRUE(testing::ControlClick(
      x_->display(), browser_window.substr(0, browser_window.find('\n')), [&] {
        return !testing::LoadedTarget(*devtools_, chromium_->endpoint(),
                                      server_.Url("/behind.html"))
                    .isEmpty();
      }));

  auto harvelo = StartHarvelo();
  const std::string notice = FindWindow("Harvelo - Quorvex");
  ASSERT_FALSE(notice.empty()) << "no notice for the page shown";
  Run({"xdotool", "windowactivate", "--sync", notice});
  Run({"xdotool", "key", "Return"});
  ASSERT_EQ(harvelo->Wait(30s), 0);
  EXPECT_FALSE(fs::exists(program_folder_ / "Tellora.record"));
}

}  // namespace
}  // namespace harvelo
