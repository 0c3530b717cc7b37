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

  // Whether `window` (as xdotool names it) is, or soon becomes, the window with the focus.
  bool BecomesActive(const std::string& window) {
    for (int tries = 0; tries < 300; ++tries) {
      if (Run({"xdotool", "getactivewindow"}) == window + "\n") return true;
      QThread::msleep(50);
    }
    return false;
  }

  // Whether `window` carries the program's icon rather than none or a stock one.
  bool CarriesProgramIcon(const std::string& window) {
    const std::string icons = Run({"xprop", "-id", window, "_NET_WM_ICON"});
    return icons.find("Icon (16 x 16)") != std::string::npos &&
           icons.find("Icon (128 x 128)") != std::string::npos;
  }

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
    const fs::path file = home_.path() + "/.config/Quorvex/registry.reg";
    if (!fs::exists(file)) return "(no settings file)";
    Hive hive = Hive::Parse(FileBytes(file));
    HiveKey* key = hive.FindKey("HKEY_CURRENT_USER\\SOFTWARE\\Quorvex");
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
  // A fixed frame (Motif functions: move, close; decorations: border, title, menu), the
  // program's icon, no taskbar entry.
  EXPECT_THAT(Run({"xprop", "-id", notice, "_MOTIF_WM_HINTS"}),
              ::testing::HasSubstr("= 0x3, 0x24, 0x1a, 0x0, 0x0\n"));
  EXPECT_THAT(Run({"xprop", "-id", notice, "_NET_WM_STATE"}),
              ::testing::HasSubstr("_NET_WM_STATE_SKIP_TASKBAR"));
  EXPECT_TRUE(CarriesProgramIcon(notice));
  ASSERT_TRUE(BecomesActive(notice)) << "the notice does not have the focus";

  // Tick "Don't show this message again", then OK, typed straight away: the notice has the
  // focus. The setting is stored and the run ends.
  Run({"xdotool", "key", "Tab", "space", "shift+Tab", "Return"});
  ASSERT_EQ(harvelo->Wait(30s), 0);
  EXPECT_EQ(Setting("dMsgNoPicsFound"), "0");
}

TEST_F(HarveloTest, GivenAPlainWindowInFrontWeShouldShowTheAttachErrorAndEnd) {
  ShowPage("/page.html", "<title>A page</title><p>text</p>");
  testing::ChildProcess other({"xmessage", "-name", "plain", "a plain X window"},
                              {{"DISPLAY", x_->display()}});
  const std::string plain = FindWindow("plain");
  ASSERT_TRUE(BecomesActive(plain)) << "the plain window never came to the front";

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

TEST_F(HarveloTest, GivenNothingFoundWithTheNoticeOffWeShouldShowTheMainFormUntilItIsClosed) {
  fs::create_directories(home_.path() + "/.config/Quorvex");
  std::ofstream(home_.path() + "/.config/Quorvex/registry.reg")
      << "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Quorvex]\r\n"
         "\"dMsgNoPicsFound\"=\"0\"\r\n";
  ShowPage("/page.html", "<title>A page</title><p>text</p>");

  auto harvelo = StartHarvelo();
  const std::string form = FindWindow("Harvelo");
  ASSERT_FALSE(form.empty()) << "no main form";
  EXPECT_TRUE(CarriesProgramIcon(form));
  ASSERT_TRUE(BecomesActive(form)) << "the main form does not have the focus";
  EXPECT_FALSE(harvelo->Wait(0ms));  // the form holds the program until it is closed

  Run({"xdotool", "key", "alt+F4"});  // openbox's shortcut for closing a window

  EXPECT_EQ(harvelo->Wait(30s), 0);
}

}  // namespace
}  // namespace harvelo
