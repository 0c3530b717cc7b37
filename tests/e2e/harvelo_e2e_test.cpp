// The built programs together, as a person uses them: Chromium, and then Firefox, on a private
// X display with a window manager, the sample pages served on 127.0.0.1, harvelo started while
// the page is in front, its dialogs answered with the keyboard, and the real Haulbeam and
// Tellora. Every case runs in both browsers and expects the same of both.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "support/desktop_scene.h"
#include "support/eventually.h"
#include "support/qt_application.h"

namespace harvelo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::BrowserKind;
using ::testing::HasSubstr;

std::string FileBytes(const fs::path& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

std::string BrowserName(BrowserKind browser) {
  return browser == BrowserKind::kFirefox ? "Firefox" : "Chromium";
}

// How the page comes to be in front when harvelo starts.
enum class Setup {
  kShown,               // shown in a window of its own
  kLauncher,            // shown by harvelo-browser, which harvelo finds by itself
  kHaulbeamRunning,     // shown, and a Haulbeam started before harvelo
  kInFrontOfRobots,     // opened in a new window over one showing the robots page
  kRobotsOpenedBehind,  // shown, and the robots page opened behind it with ctrl+click
};

// One harvest: the page in front, the window titled "Harvelo - Quorvex" that comes (its
// class), the keys a person answers it with, and the addresses handed to Haulbeam in the
// order harvelo found them.
struct Harvest {
  const char* name;
  Setup setup;
  const char* page;
  const char* window_class;
  const char* keys;
  std::vector<std::string> jobs;
};

// A page of harvelo's marker whose jobs are read from its document, element by element:
// the links whose content begins with the capital tag "<IMG", cut at the last "?" when they
// carry "qxsource=", then the pictures whose parent has no href, duplicates kept.
constexpr char kCases[] =
    "<!DOCTYPE html><html><head><title>Cases</title></head><body><qxpics value=1></qxpics>"
    "<a href=\"one.jpg\"><img src=\"t/1.jpg\"></a><a href=\"space.jpg\"> <img src=\"t/2.jpg\"></a>"
    "<a href=\"span.jpg\"><span><img src=\"in-span.jpg\"></span></a>"
    "<a href=\"get.jpg?qxsource=1?part=2\"><img src=\"t/3.jpg\"></a>"
    "<a href=\"QXSOURCE=whole.jpg\"><img src=\"t/4.jpg\"></a><a name=\"x\"><img "
    "src=\"t/5.jpg\"></a>"
    "<map name=\"m\"><area href=\"area.jpg\" alt=\"\"></map><a href=\"page.html\"><img "
    "src=\"t/6.jpg\">"
    "</a><a href=\"text.jpg\">text</a><a href=\"one.jpg\"><img src=\"t/1.jpg\"></a>"
    "<p><img src=\"loose.jpg\"><img src=\"loose.jpg\"></p></body></html>";
// An XHTML document keeps its tags in lower case.
constexpr char kLowerCases[] =
    "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>Lower</title></head><body>"
    "<qxpics value=\"1\"/><a href=\"lower.jpg\"><img src=\"t/7.jpg\"/></a>"
    "<p><img src=\"found.jpg\"/></p></body></html>";

const std::vector<std::string> kGallery = {
    "/gallery/pictures/harbour.jpg",   "/gallery/pictures/meadow.jpg",
    "/gallery/pictures/dunes.jpg",     "/gallery/pictures/glacier.jpg",
    "/gallery/pictures/orchard.jpg",   "/gallery/pictures/dusk.jpg?size=full&from=gallery",
    "/gallery/movies/harbour-tour.mpg"};
const std::vector<std::string> kMarker = {
    "/gallery/pictures/harbour.jpg", "/gallery/pictures/meadow.jpg", "/gallery/pictures/dunes.jpg",
    "/gallery/pictures/glacier.jpg"};

const Harvest kHarvests[] = {
    {"Gallery", Setup::kShown, "/gallery/index.html", "harvelo", "Return", kGallery},
    {"GalleryOfLauncher", Setup::kLauncher, "/gallery/index.html", "harvelo", "Return", kGallery},
    {"GalleryToRunningHaulbeam", Setup::kHaulbeamRunning, "/gallery/index.html", "harvelo",
     "Return", kGallery},
    {"GalleryCancelled", Setup::kShown, "/gallery/index.html", "harvelo", "Escape", {}},
    {"Marker", Setup::kShown, "/marker/index.html", "harvelo", "Return", kMarker},
    {"MarkerInFront", Setup::kInFrontOfRobots, "/marker/index.html", "harvelo", "Return", kMarker},
    {"MarkerCases",
     Setup::kShown,
     "/cases/index.html",
     "harvelo",
     "Return",
     {"/cases/one.jpg", "/cases/get.jpg?qxsource=1", "/cases/QXSOURCE=whole.jpg",
      "/cases/page.html", "/cases/one.jpg", "/cases/in-span.jpg", "/cases/loose.jpg",
      "/cases/loose.jpg"}},
    {"MarkerCasesXhtml",
     Setup::kShown,
     "/cases/lower.xhtml",
     "harvelo",
     "Return",
     {"/cases/found.jpg"}},
    {"Robots", Setup::kShown, "/robots/index.html", "Tellora", "", {}},
    // The no-files notice of the page shown, not Tellora for the page behind.
    {"RobotsBehind", Setup::kRobotsOpenedBehind, "/shown.html", "harvelo", "Return", {}},
};

class HarveloEndToEndTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // The test reads the clipboard of the same display, as a person would.
    setenv("DISPLAY", Display().display().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    testing::TestApplication<QGuiApplication>();
  }
  // One display for every suite, since the application stays connected to it; at exit, it
  // ends after the application.
  static const testing::XSession& Display() {
    static const testing::XSession display;
    return display;
  }

  explicit HarveloEndToEndTest(BrowserKind browser)
      : scene_(Display(), HARVELO_PROGRAM_FOLDER, HARVELO_SAMPLES, browser) {
    // Like many galleries, the sample one gives one picture only to its own visitors.
    scene_.server().RequireReferer("/gallery/pictures/orchard.jpg", scene_.server().Url("/"));
    scene_.server().Add("/cases/index.html", kCases);
    scene_.server().Add("/cases/lower.xhtml", kLowerCases, "application/xhtml+xml");
    for (const Harvest& harvest : kHarvests) {
      for (const std::string& job : harvest.jobs) {
        const std::string served = job.substr(0, job.find('?'));
        if (served.starts_with("/cases/")) scene_.server().Add(served, "picture " + served);
      }
    }
    // A page without media whose link, covering it, leads to a page that refuses harvesting.
    scene_.server().Add("/shown.html",
                        "<a href=\"robots/index.html\" style=\"position:fixed;inset:0\">on</a>");
  }

  std::string Saved() const { return scene_.home() + "/Quorvex"; }
  std::string Settings() const {
    return FileBytes(scene_.home() + "/.config/Quorvex/registry.reg");
  }

  // Whether `window` stands over the browser's window and has the focus.
  void ExpectOverTheBrowserWithTheFocus(const std::string& window) {
    char owner[32];
    std::snprintf(owner, sizeof owner, "# 0x%lx\n", std::stoul(scene_.browser_window()));
    EXPECT_THAT(scene_.Run({"xprop", "-id", window, "WM_TRANSIENT_FOR"}), HasSubstr(owner));
    EXPECT_TRUE(scene_.BecomesActive(window)) << "no focus";
  }

  // Whether `window` carries the program's icon rather than none or a stock one.
  bool CarriesProgramIcon(const std::string& window) {
    const std::string icons = scene_.Run({"xprop", "-id", window, "_NET_WM_ICON"});
    return icons.find("Icon (16 x 16)") != std::string::npos &&
           icons.find("Icon (128 x 128)") != std::string::npos;
  }

  testing::DesktopScene scene_;
};

class HarvestTest : public HarveloEndToEndTest,
                    public ::testing::WithParamInterface<std::tuple<BrowserKind, Harvest>> {
 protected:
  HarvestTest() : HarveloEndToEndTest(std::get<0>(GetParam())) {}
};

TEST_P(HarvestTest, GivenAPageInFrontWeShouldHandOverItsFilesAsThePersonAnswers) {
  const Harvest& harvest = std::get<1>(GetParam());
  const std::string haulbeam_output = scene_.home() + "/haulbeam.txt";
  std::unique_ptr<testing::ChildProcess> haulbeam;
  if (harvest.setup == Setup::kHaulbeamRunning)
    haulbeam = scene_.Start("Haulbeam", haulbeam_output);
  if (harvest.setup == Setup::kInFrontOfRobots) {
    scene_.ShowPage("/robots/index.html");
    scene_.OpenWindow(harvest.page);
  } else {
    scene_.ShowPage(harvest.page,
                    harvest.setup == Setup::kLauncher ? HARVELO_BROWSER_LAUNCHER : "");
  }
  if (harvest.setup == Setup::kRobotsOpenedBehind) {
    ASSERT_TRUE(testing::ControlClick(Display().display(), scene_.browser_window(),
                                      [&] { return scene_.Loaded("/robots/index.html"); }));
  }

  auto harvelo = scene_.StartHarvelo();
  const std::string window = scene_.FindWindow("Harvelo - Quorvex");
  ASSERT_FALSE(window.empty()) << "no window";
  EXPECT_THAT(scene_.Run({"xprop", "-id", window, "WM_CLASS"}),
              HasSubstr("\"" + std::string(harvest.window_class) + "\""));
  ExpectOverTheBrowserWithTheFocus(window);
  if (*harvest.keys) scene_.Run({"xdotool", "key", harvest.keys});
  ASSERT_EQ(harvelo->Wait(60s), 0) << FileBytes(scene_.output());

  // Haulbeam writes one line per job: "saved", group, order, file, address. The address of
  // each job, by its order number.
  const std::vector<std::string> lines = testing::DesktopScene::WaitForLines(
      haulbeam ? haulbeam_output : scene_.output(), "saved\t", harvest.jobs.size(), 60s);
  std::map<int, std::string> found;
  std::set<std::string> files;
  for (const std::string& line : lines) {
    std::vector<std::string> fields;
    std::istringstream split(line);
    for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
    ASSERT_EQ(fields.size(), 5u) << line;
    EXPECT_EQ(fields[1], "g999");
    found[std::stoi(fields[2])] = fields[4];
    files.insert(fs::path(fields[3]).filename());
    // The sample files arrive as served; the others are the test's own.
    const std::string path = fields[4].substr(fields[4].find('/', 7));
    if (path.starts_with("/gallery/")) {
      EXPECT_EQ(FileBytes(fields[3]), FileBytes(HARVELO_SAMPLES + path.substr(0, path.find('?'))));
    }
  }
  std::vector<std::string> expected, handed;
  for (const std::string& job : harvest.jobs) expected.push_back(scene_.server().Url(job));
  for (const auto& [order, address] : found) handed.push_back(address);
  EXPECT_EQ(handed, expected) << FileBytes(scene_.output());

  // With jobs, the group is taken, and the page logged under it in the folder of the files.
  const std::string log = FileBytes(Saved() + "/SourceLog.txt");
  if (handed.empty()) {
    EXPECT_EQ(Settings(), "");
  } else {
    EXPECT_THAT(Settings(), HasSubstr("\"dGroupNumber\"=\"g998\""));
    EXPECT_THAT(log, ::testing::EndsWith("\tg999\t" + scene_.server().Url(harvest.page) + "\r\n"));
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);
    files.insert("SourceLog.txt");
  }
  std::set<std::string> in_folder;
  if (fs::is_directory(Saved())) {
    for (const auto& entry : fs::directory_iterator(Saved()))
      in_folder.insert(entry.path().filename());
  }
  EXPECT_EQ(in_folder, files);
  // A Haulbeam that harvelo started would have written to harvelo's output.
  if (haulbeam || harvest.jobs.empty()) {
    EXPECT_EQ(FileBytes(scene_.output()), "");
  }
}

INSTANTIATE_TEST_SUITE_P(Pages, HarvestTest,
                         ::testing::Combine(::testing::Values(BrowserKind::kChromium,
                                                              BrowserKind::kFirefox),
                                            ::testing::ValuesIn(kHarvests)),
                         [](const auto& info) {
                           return BrowserName(std::get<0>(info.param)) +
                                  std::get<1>(info.param).name;
                         });

class DialogTest : public HarveloEndToEndTest, public ::testing::WithParamInterface<BrowserKind> {
 protected:
  DialogTest() : HarveloEndToEndTest(GetParam()) {}
};

TEST_P(DialogTest, GivenAPageWithoutMediaWeShouldOfferToSilenceTheNoticeThenShowTheLine) {
  scene_.ShowPage("/plain/index.html");
  auto harvelo = scene_.StartHarvelo();
  const std::string notice = scene_.FindWindow("Harvelo - Quorvex");
  ASSERT_FALSE(notice.empty()) << "no notice";
  // A fixed frame (Motif functions: move, close; decorations: border, title, menu), the
  // program's icon, no taskbar entry, and the focus.
  EXPECT_THAT(scene_.Run({"xprop", "-id", notice, "_MOTIF_WM_HINTS", "_NET_WM_STATE"}),
              ::testing::AllOf(HasSubstr("= 0x3, 0x24, 0x1a, 0x0, 0x0\n"),
                               HasSubstr("_NET_WM_STATE_SKIP_TASKBAR")));
  EXPECT_TRUE(CarriesProgramIcon(notice));
  ExpectOverTheBrowserWithTheFocus(notice);
  // Tick "Don't show this message again", then OK.
  scene_.Run({"xdotool", "key", "Tab", "space", "shift+Tab", "Return"});
  ASSERT_EQ(harvelo->Wait(30s), 0);
  EXPECT_THAT(Settings(), HasSubstr("\"dMsgNoPicsFound\"=\"0\""));

  // The next run shows no notice: the main form says that nothing was found, and closing
  // it ends harvelo.
  harvelo = scene_.StartHarvelo();
  const std::string form = scene_.FindWindow("Harvelo");
  ASSERT_FALSE(form.empty()) << "no main form";
  EXPECT_TRUE(CarriesProgramIcon(form));
  ASSERT_TRUE(scene_.BecomesActive(form));
  EXPECT_FALSE(harvelo->Wait(0ms));
  scene_.Run({"xdotool", "key", "alt+F4"});  // openbox's shortcut for closing a window
  EXPECT_EQ(harvelo->Wait(30s), 0);
  EXPECT_TRUE(scene_.FindWindow("Harvelo - Quorvex", 0ms).empty());
}

TEST_P(DialogTest, GivenAPlainWindowInFrontWeShouldShowTheAttachErrorAndEnd) {
  scene_.ShowPage("/gallery/index.html");
  testing::ChildProcess other({"xmessage", "-name", "plain", "a plain X window"},
                              {{"DISPLAY", Display().display()}});
  ASSERT_TRUE(scene_.BecomesActive(scene_.FindWindow("plain"))) << "the plain window is behind";

  auto harvelo = scene_.StartHarvelo();
  const std::string box = scene_.FindWindow("Harvelo");
  ASSERT_FALSE(box.empty()) << "no box";
  // The text of the box is selectable: a click on it (right of the icon, on the first line)
  // gives it the focus, and a person can copy it from there.
  scene_.Run({"xdotool", "windowactivate", "--sync", box});
  scene_.Run({"xdotool", "mousemove", "--window", box, "80", "22", "click", "1"});
  scene_.Run({"xdotool", "key", "ctrl+a", "ctrl+c"});
  QString copied;
  testing::Eventually([&] {
    QCoreApplication::processEvents();  // learns who owns the clipboard now
    copied = QGuiApplication::clipboard()->text();
    return !copied.isEmpty();
  });
  // The label shows the line breaks of the text, the last one included.
  EXPECT_EQ(copied.toStdString(),
            "Error: Could not attach to IE.\nPlease close all Internet Explorer windows and "
            "try again.\n");
  EXPECT_FALSE(harvelo->Wait(0ms));  // the box holds the program until it is answered

  scene_.Run({"xdotool", "key", "Return"});
  EXPECT_EQ(harvelo->Wait(30s), 0);
  EXPECT_EQ(Settings(), "");
}

INSTANTIATE_TEST_SUITE_P(Browsers, DialogTest,
                         ::testing::Values(BrowserKind::kChromium, BrowserKind::kFirefox),
                         [](const auto& info) { return BrowserName(info.param); });

}  // namespace
}  // namespace harvelo
