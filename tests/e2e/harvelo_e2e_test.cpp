// The built programs together, as a person uses them: Chromium, and then Firefox, on a private
// X display with a window manager, the sample pages served on 127.0.0.1, harvelo started while
// the page is in front, its dialogs answered with the keyboard, and the real Haulbeam and
// Tellora. Every case runs in both browsers and expects the same of both.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QThread>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "support/desktop_scene.h"
#include "support/qt_application.h"

namespace harvelo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;

std::string FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// "# 0x..." as xprop writes an owner, from xdotool's decimal window id.
std::string HexWindow(const std::string& decimal) {
  char hex[32];
  std::snprintf(hex, sizeof hex, "# 0x%lx\n", std::stoul(decimal));
  return hex;
}

// The files in `folder`, by name.
std::vector<std::string> FilesIn(const fs::path& folder) {
  std::vector<std::string> names;
  if (!fs::is_directory(folder)) return names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class HarveloEndToEndTest : public ::testing::TestWithParam<testing::BrowserKind> {
 protected:
  static void SetUpTestSuite() {
    display_ = new testing::XSession();
    // The test reads the clipboard of the same display, as a person would.
    setenv("DISPLAY", display_->display().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    testing::TestApplication<QGuiApplication>();
  }
  static void TearDownTestSuite() { delete display_; }

  HarveloEndToEndTest() : scene_(*display_, HARVELO_PROGRAM_FOLDER, HARVELO_SAMPLES, GetParam()) {
    // Like many galleries, the sample one gives one picture only to its own visitors.
    scene_.server().RequireReferer("/gallery/pictures/orchard.jpg", scene_.server().Url("/"));
  }

  std::string Saved() const { return scene_.home() + "/Quorvex"; }

  // Whether `window` carries the program's icon rather than none or a stock one.
  bool CarriesProgramIcon(const std::string& window) {
    const std::string icons = scene_.Run({"xprop", "-id", window, "_NET_WM_ICON"});
    return icons.find("Icon (16 x 16)") != std::string::npos &&
           icons.find("Icon (128 x 128)") != std::string::npos;
  }

  // Starts harvelo on the page in front and confirms the folder it offers.
  void HarvestConfirmingTheFolder() {
    auto harvelo = scene_.StartHarvelo();
    const std::string dialog = scene_.FindWindow("Harvelo - Quorvex");
    ASSERT_FALSE(dialog.empty()) << "no folder dialog; visible: " << scene_.VisibleWindows();
    EXPECT_THAT(scene_.Run({"xprop", "-id", dialog, "WM_TRANSIENT_FOR"}),
                HasSubstr(HexWindow(scene_.browser_window())));
    ASSERT_TRUE(scene_.BecomesActive(dialog));
    scene_.Run({"xdotool", "key", "Return"});
    ASSERT_EQ(harvelo->Wait(60s), 0) << FileBytes(scene_.output());
  }

  static testing::XSession* display_;
  testing::DesktopScene scene_;
};

testing::XSession* HarveloEndToEndTest::display_ = nullptr;

TEST_P(HarveloEndToEndTest, GivenTheSampleGalleryWeShouldSaveEveryServedFileUnderOneGroup) {
  scene_.ShowPage("/gallery/index.html");
  HarvestConfirmingTheFolder();

  // Haulbeam, started by harvelo, shares its output: one line per file, the last found
  // first. The hotlinked picture came with the page as its Referer, and the address with
  // "&amp;" in the page's markup was fetched with "&".
  const std::vector<std::string> saved =
      testing::DesktopScene::WaitForLines(scene_.output(), "saved\t", 7, 60s);
  EXPECT_THAT(saved, SizeIs(7)) << FileBytes(scene_.output());
  for (const std::string& line : saved) EXPECT_THAT(line, HasSubstr("saved\tg999\t0"));
  EXPECT_THAT(FileBytes(scene_.output()), HasSubstr("/dusk.jpg?size=full&from=gallery\n"));
  for (const char* file :
       {"pictures/harbour.jpg", "pictures/meadow.jpg", "pictures/dunes.jpg", "pictures/glacier.jpg",
        "pictures/orchard.jpg", "pictures/dusk.jpg", "movies/harbour-tour.mpg"}) {
    const fs::path served = fs::path(HARVELO_SAMPLES) / "gallery" / file;
    EXPECT_EQ(FileBytes(fs::path(Saved()) / served.filename()), FileBytes(served)) << file;
  }
  EXPECT_EQ(scene_.Setting("dGroupNumber"), "g998");
  const std::string log = FileBytes(Saved() + "/SourceLog.txt");
  EXPECT_THAT(log, ::testing::EndsWith("\tg999\t" + scene_.page_url() + "\r\n"));
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);
}

TEST_P(HarveloEndToEndTest, GivenAMarkerPageWeShouldTakeTheLinkedAndTheLoosePicturesOfItsDocument) {
  scene_.ShowPage("/marker/index.html");
  HarvestConfirmingTheFolder();

  EXPECT_THAT(testing::DesktopScene::WaitForLines(scene_.output(), "saved\t", 4, 60s), SizeIs(4));
  EXPECT_THAT(FilesIn(Saved()), ElementsAre("SourceLog.txt", "dunes.jpg", "glacier.jpg",
                                            "harbour.jpg", "meadow.jpg"));
}

TEST_P(HarveloEndToEndTest, GivenTwoWindowsWeShouldHarvestThePageOfTheOneInFront) {
  scene_.ShowPage("/robots/index.html");
  scene_.OpenWindow("/marker/index.html");
  HarvestConfirmingTheFolder();

  EXPECT_THAT(testing::DesktopScene::WaitForLines(scene_.output(), "saved\t", 4, 60s), SizeIs(4));
  EXPECT_THAT(FilesIn(Saved()), ElementsAre("SourceLog.txt", "dunes.jpg", "glacier.jpg",
                                            "harbour.jpg", "meadow.jpg"));
}

TEST_P(HarveloEndToEndTest, GivenTheBrowserStartedByHarveloBrowserWeShouldFindItByItself) {
  scene_.ShowPage("/gallery/index.html", HARVELO_BROWSER_LAUNCHER);
  HarvestConfirmingTheFolder();

  EXPECT_THAT(testing::DesktopScene::WaitForLines(scene_.output(), "saved\t", 7, 60s), SizeIs(7));
}

// The addresses of the jobs that Haulbeam saved, by their order numbers: the order in which
// harvelo found them.
std::vector<std::string> SavedAddresses(const std::vector<std::string>& saved_lines) {
  std::map<int, std::string> by_order;
  for (const std::string& line : saved_lines) {
    std::vector<std::string> fields;
    std::istringstream split(line);
    for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
    by_order[std::stoi(fields.at(2))] = fields.at(4);
  }
  std::vector<std::string> addresses;
  for (const auto& [order, address] : by_order) addresses.push_back(address);
  return addresses;
}

TEST_P(HarveloEndToEndTest, GivenMarkerPagesWeShouldSendTheJobsThatReadingEachElementGives) {
  // Each page with the addresses that its document gives when each element is read in turn:
  // the links whose content begins with the capital tag "<IMG", cut at the last "?" when they
  // carry "qxsource=", then the pictures whose parent has no href, duplicates kept. An XHTML
  // document keeps its tags in lower case.
  const struct {
    const char* path;
    const char* type;
    const char* body;
    std::vector<std::string> jobs;
  } kPages[] = {
      {"/cases/index.html",
       "text/html",
       "<!DOCTYPE html><html><head><title>Cases</title></head><body><qxpics value=1></qxpics>"
       "<a href=\"one.jpg\"><img src=\"t/1.jpg\"></a>"
       "<a href=\"space.jpg\"> <img src=\"t/2.jpg\"></a>"
       "<a href=\"span.jpg\"><span><img src=\"in-span.jpg\"></span></a>"
       "<a href=\"get.jpg?qxsource=1?part=2\"><img src=\"t/3.jpg\"></a>"
       "<a href=\"QXSOURCE=whole.jpg\"><img src=\"t/4.jpg\"></a>"
       "<a name=\"anchor\"><img src=\"t/5.jpg\"></a>"
       "<map name=\"m\"><area href=\"area.jpg\" alt=\"\"></map>"
       "<a href=\"page.html\"><img src=\"t/6.jpg\"></a>"
       "<a href=\"text.jpg\">text</a>"
       "<a href=\"one.jpg\"><img src=\"t/1.jpg\"></a>"
       "<p><img src=\"loose.jpg\"><img src=\"loose.jpg\"></p></body></html>",
       {"one.jpg", "get.jpg?qxsource=1", "QXSOURCE=whole.jpg", "page.html", "one.jpg",
        "in-span.jpg", "loose.jpg", "loose.jpg"}},
      {"/cases/lower.xhtml",
       "application/xhtml+xml",
       "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>Lower</title></head><body>"
       "<qxpics value=\"1\"/><a href=\"lower.jpg\"><img src=\"t/7.jpg\"/></a>"
       "<p><img src=\"found.jpg\"/></p></body></html>",
       {"found.jpg"}},
  };
  for (const auto& [path, type, body, jobs] : kPages) {
    scene_.EndStartedPrograms();  // a Haulbeam of the page before writes elsewhere
    fs::remove(scene_.output());
    scene_.server().Add(path, body, type);
    std::vector<std::string> expected;
    for (const std::string& job : jobs) {
      const std::string served = "/cases/" + job.substr(0, job.find('?'));
      scene_.server().Add(served, "picture " + served, "image/jpeg");
      expected.push_back(scene_.server().Url("/cases/" + job));
    }
    scene_.ShowPage(path);
    HarvestConfirmingTheFolder();

    const std::vector<std::string> saved =
        testing::DesktopScene::WaitForLines(scene_.output(), "saved\t", jobs.size(), 60s);
    EXPECT_EQ(SavedAddresses(saved), expected) << path << "\n" << FileBytes(scene_.output());
  }
}

TEST_P(HarveloEndToEndTest,
       GivenARobotsNofollowPageWeShouldShowTelloraOverTheBrowserAndTakeNothing) {
  scene_.ShowPage("/robots/index.html");
  auto harvelo = scene_.StartHarvelo();
  ASSERT_EQ(harvelo->Wait(60s), 0);

  const std::string notice = scene_.FindWindow("Harvelo - Quorvex");
  ASSERT_FALSE(notice.empty()) << "no notice; visible: " << scene_.VisibleWindows();
  EXPECT_THAT(
      scene_.Run({"xprop", "-id", notice, "WM_CLASS", "WM_TRANSIENT_FOR"}),
      ::testing::AllOf(HasSubstr("\"Tellora\""), HasSubstr(HexWindow(scene_.browser_window()))));
  EXPECT_TRUE(scene_.BecomesActive(notice));
  EXPECT_THAT(FilesIn(Saved()), IsEmpty());
  EXPECT_EQ(scene_.Setting("dGroupNumber"), "(no settings file)");
}

TEST_P(HarveloEndToEndTest, GivenAPageWithoutMediaWeShouldOfferToSilenceTheNoticeThenShowTheLine) {
  scene_.ShowPage("/plain/index.html");
  auto harvelo = scene_.StartHarvelo();
  const std::string notice = scene_.FindWindow("Harvelo - Quorvex");
  ASSERT_FALSE(notice.empty()) << "no notice; visible: " << scene_.VisibleWindows();
  EXPECT_THAT(scene_.Run({"xprop", "-id", notice, "WM_TRANSIENT_FOR"}),
              HasSubstr(HexWindow(scene_.browser_window())));
  // A fixed frame (Motif functions: move, close; decorations: border, title, menu), the
  // program's icon, no taskbar entry, and the focus.
  EXPECT_THAT(scene_.Run({"xprop", "-id", notice, "_MOTIF_WM_HINTS"}),
              HasSubstr("= 0x3, 0x24, 0x1a, 0x0, 0x0\n"));
  EXPECT_THAT(scene_.Run({"xprop", "-id", notice, "_NET_WM_STATE"}),
              HasSubstr("_NET_WM_STATE_SKIP_TASKBAR"));
  EXPECT_TRUE(CarriesProgramIcon(notice));
  ASSERT_TRUE(scene_.BecomesActive(notice)) << "the notice does not have the focus";
  // Tick "Don't show this message again", then OK.
  scene_.Run({"xdotool", "key", "Tab", "space", "shift+Tab", "Return"});
  ASSERT_EQ(harvelo->Wait(30s), 0);
  EXPECT_EQ(scene_.Setting("dMsgNoPicsFound"), "0");

  // The next run shows no notice: the main form says that nothing was found, and closing
  // it ends harvelo.
  harvelo = scene_.StartHarvelo();
  const std::string form = scene_.FindWindow("Harvelo");
  ASSERT_FALSE(form.empty()) << "no main form; visible: " << scene_.VisibleWindows();
  EXPECT_TRUE(CarriesProgramIcon(form));
  ASSERT_TRUE(scene_.BecomesActive(form));
  EXPECT_FALSE(harvelo->Wait(0ms));
  scene_.Run({"xdotool", "key", "alt+F4"});  // openbox's shortcut for closing a window
  EXPECT_EQ(harvelo->Wait(30s), 0);
  EXPECT_TRUE(scene_.FindWindow("Harvelo - Quorvex", 0ms).empty());
}

TEST_P(HarveloEndToEndTest, GivenTheFolderDialogCancelledWeShouldHandNothingOverNorUseAGroup) {
  scene_.ShowPage("/gallery/index.html");
  auto harvelo = scene_.StartHarvelo();
  ASSERT_FALSE(scene_.Answer("Harvelo - Quorvex", {"Escape"}).empty())
      << "no folder dialog; visible: " << scene_.VisibleWindows();
  ASSERT_EQ(harvelo->Wait(30s), 0);

  EXPECT_EQ(FileBytes(scene_.output()), "");  // no Haulbeam was started
  EXPECT_THAT(FilesIn(Saved()), IsEmpty());   // the offered folder was made, and stays empty
  EXPECT_EQ(scene_.Setting("dGroupNumber"), "(no settings file)");
}

TEST_P(HarveloEndToEndTest, GivenHaulbeamRunningWeShouldHandItEveryJobAndStartNoOther) {
  const std::string haulbeam_output = scene_.home() + "/haulbeam.txt";
  auto haulbeam = scene_.StartHaulbeam(haulbeam_output);
  scene_.ShowPage("/gallery/index.html");
  HarvestConfirmingTheFolder();

  EXPECT_THAT(testing::DesktopScene::WaitForLines(haulbeam_output, "saved\t", 7, 60s), SizeIs(7));
  // A Haulbeam that harvelo started would have written to harvelo's output.
  EXPECT_EQ(FileBytes(scene_.output()), "");
}

TEST_P(HarveloEndToEndTest, GivenARefusingPageOpenedBehindWeShouldWorkOnThePageShown) {
  // A page without media whose link, covering it, leads to a page that refuses harvesting;
  // a person opens that page behind with ctrl+click.
  scene_.server().Add("/shown.html",
                      "<a href=\"robots/index.html\" style=\"position:fixed;inset:0\">on</a>");
  scene_.ShowPage("/shown.html");
  ASSERT_TRUE(testing::ControlClick(display_->display(), scene_.browser_window(),
                                    [&] { return scene_.Loaded("/robots/index.html"); }));

  auto harvelo = scene_.StartHarvelo();
  const std::string notice = scene_.FindWindow("Harvelo - Quorvex");
  ASSERT_FALSE(notice.empty()) << "no notice; visible: " << scene_.VisibleWindows();
  // The no-files notice of the page shown, not Tellora for the page behind.
  EXPECT_THAT(scene_.Run({"xprop", "-id", notice, "WM_CLASS"}), HasSubstr("\"harvelo\""));
  ASSERT_EQ(scene_.Answer("Harvelo - Quorvex", {"Return"}), notice);
  EXPECT_EQ(harvelo->Wait(30s), 0);
}

TEST_P(HarveloEndToEndTest, GivenAPlainWindowInFrontWeShouldShowTheAttachErrorAndEnd) {
  scene_.ShowPage("/gallery/index.html");
  testing::ChildProcess other({"xmessage", "-name", "plain", "a plain X window"},
                              {{"DISPLAY", display_->display()}});
  const std::string plain = scene_.FindWindow("plain");
  ASSERT_TRUE(scene_.BecomesActive(plain)) << "the plain window never came to the front";

  auto harvelo = scene_.StartHarvelo();
  const std::string box = scene_.FindWindow("Harvelo");
  ASSERT_FALSE(box.empty()) << "no box titled Harvelo; visible: " << scene_.VisibleWindows();

  // The text of the box is selectable: a person can copy it from there.
  scene_.Run({"xdotool", "windowactivate", "--sync", box});
  // A click on the text (right of the icon, on the first line) gives it the focus.
  scene_.Run({"xdotool", "mousemove", "--window", box, "80", "22", "click", "1"});
  scene_.Run({"xdotool", "key", "ctrl+a", "ctrl+c"});
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

  scene_.Run({"xdotool", "key", "Return"});
  EXPECT_EQ(harvelo->Wait(30s), 0);
  EXPECT_EQ(scene_.Setting("dGroupNumber"), "(no settings file)");
}

INSTANTIATE_TEST_SUITE_P(Browsers, HarveloEndToEndTest,
                         ::testing::Values(testing::BrowserKind::kChromium,
                                           testing::BrowserKind::kFirefox),
                         [](const auto& info) {
                           return info.param == testing::BrowserKind::kFirefox ? "Firefox"
                                                                               : "Chromium";
                         });

}  // namespace
}  // namespace harvelo
