// The built programs together, as a person uses them: Chromium, and then Firefox, on a private
// X display with a window manager, pages served on 127.0.0.1, harvelo started while the page
// is in front, its dialogs answered with the keyboard, and the real Haulbeam and Tellora. Every
// case runs in both browsers and expects the same of both, but today's web (HTTPS, the
// browser's cookies) and the Debian package, which are tried with Chromium alone.

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
using testing::BrowserProtocol;
using ::testing::HasSubstr;

using testing::FileBytes;

// What the test serves at `path` beside the sample pages: bytes that text handling would spoil.
std::string Served(const std::string& path) { return path + std::string("\0\r\n\x89\xff", 5); }

// How the page comes to be in front when harvelo starts.
enum class Situation {
  kShown,               // shown in a window of its own
  kLauncher,            // shown by harvelo-browser, which harvelo finds by itself
  kHaulbeamRunning,     // shown, and a Haulbeam started before harvelo
  kInFrontOfRobots,     // opened in a new window over one showing the robots page
  kRobotsOpenedBehind,  // shown, and the robots page opened behind it with ctrl+click
  // Chromium alone:
  kSignedIn,         // shown; the page signs the browser in with a cookie
  kOverHttps,        // shown over HTTPS
  kOverHttpsModern,  // shown over HTTPS, the person having turned the modern reach on
  kPackaged,         // the programs of the Debian package, the page shown by its launcher
};

// One harvest: the page in front, the keys a person answers the window titled "Harvelo -
// Quorvex" with (none: Tellora's, which needs none), and the addresses handed to Haulbeam in
// the order harvelo found them.
struct Harvest {
  const char* name;
  Situation situation;
  const char* page;
  const char* keys;
  std::vector<std::string> jobs;
};
void PrintTo(const Harvest& harvest, std::ostream* out) { *out << harvest.name; }

// A page of harvelo's marker whose jobs are read from its document, element by element:
// the links whose content begins with the capital tag "<IMG", cut at the last "?" when they
// carry "qxsource=", then the pictures whose parent has no href, duplicates kept. An XHTML
// document keeps its tags in lower case. A gallery of today's formats, and one whose
// picture its server gives only to the signed-in browser.
const std::map<std::string, std::pair<std::string, std::string>> kPages = {
    {"/cases/index.html",
     {"text/html",
      "<html><head><title>Cases</title></head><body><qxpics value=1></qxpics>"
      "<a href=\"one.jpg\"><img src=\"t/1.jpg\"></a><a href=\"space.jpg\"> <img src=\"t/2.jpg\">"
      "</a><a href=\"span.jpg\"><span><img src=\"in-span.jpg\"></span></a>"
      "<a href=\"get.jpg?qxsource=1?part=2\"><img src=\"t/3.jpg\"></a>"
      "<a href=\"QXSOURCE=whole.jpg\"><img src=\"t/4.jpg\"></a><a name=\"x\"><img src=\"t/5.jpg\">"
      "</a><map name=\"m\"><area href=\"area.jpg\" alt=\"\"></map><a href=\"page.html\"><img "
      "src=\"t/6.jpg\"></a><a href=\"text.jpg\">text</a><a href=\"one.jpg\"><img src=\"t/1.jpg\">"
      "</a><p><img src=\"loose.jpg\"><img src=\"loose.jpg\"></p></body></html>"}},
    {"/cases/lower.xhtml",
     {"application/xhtml+xml",
      "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>Lower</title></head><body>"
      "<qxpics value=\"1\"/><a href=\"lower.jpg\"><img src=\"t/7.jpg\"/></a>"
      "<p><img src=\"found.jpg\"/></p></body></html>"}},
    {"/modern/index.html",
     {"text/html",
      "<html><body><a href=\"full/reef.png\"><img src=\"thumbs/reef.png\" width=80></a>"
      "<a href='full/dune.webp?v=2'><img src='thumbs/dune.webp'></a><a href=\"#top\">top</a>"}},
    {"/members/index.html",
     {"text/html",
      "<html><head><script>document.cookie = 'member=7f3a; path=/';</script></head><body>"
      "<a href=\"/members/full.jpg\"><img src=\"/members/thumb.jpg\"></a><a "
      "href=\"#top\">top</a>"}},
    // A page without media whose link, covering it, leads to a page that refuses harvesting.
    {"/shown.html",
     {"text/html", "<a href=\"robots/index.html\" style=\"position:fixed;inset:0\">on</a>"}},
};

const std::vector<std::string> kGallery = {
    "/gallery/pictures/harbour.jpg",   "/gallery/pictures/meadow.jpg",
    "/gallery/pictures/dunes.jpg",     "/gallery/pictures/glacier.jpg",
    "/gallery/pictures/orchard.jpg",   "/gallery/pictures/dusk.jpg?size=full&from=gallery",
    "/gallery/movies/harbour-tour.mpg"};
const std::vector<std::string> kMarker(kGallery.begin(), kGallery.begin() + 4);

// clang-format off
const Harvest kHarvests[] = {
    {"Gallery", Situation::kShown, "/gallery/index.html", "Return", kGallery},
    {"GalleryOfLauncher", Situation::kLauncher, "/gallery/index.html", "Return", kGallery},
    {"GalleryToRunningHaulbeam", Situation::kHaulbeamRunning, "/gallery/index.html", "Return", kGallery},
    {"GalleryCancelled", Situation::kShown, "/gallery/index.html", "Escape", {}},
    {"Marker", Situation::kShown, "/marker/index.html", "Return", kMarker},
    {"MarkerInFront", Situation::kInFrontOfRobots, "/marker/index.html", "Return", kMarker},
    {"MarkerCases", Situation::kShown, "/cases/index.html", "Return",
     {"/cases/one.jpg", "/cases/get.jpg?qxsource=1", "/cases/QXSOURCE=whole.jpg",
      "/cases/page.html", "/cases/one.jpg", "/cases/in-span.jpg", "/cases/loose.jpg",
      "/cases/loose.jpg"}},
    {"MarkerCasesXhtml", Situation::kShown, "/cases/lower.xhtml", "Return", {"/cases/found.jpg"}},
    {"Robots", Situation::kShown, "/robots/index.html", "", {}},
    // The no-files notice of the page shown, not Tellora for the page behind.
    {"RobotsBehind", Situation::kRobotsOpenedBehind, "/shown.html", "Return", {}},
    {"PictureForMembers", Situation::kSignedIn, "/members/index.html", "Return", {"/members/full.jpg"}},
    // Nothing at an https address is taken but with the modern reach: the no-files notice.
    {"HttpsGallery", Situation::kOverHttps, "/modern/index.html", "Return", {}},
    {"HttpsGalleryOfModernReach", Situation::kOverHttpsModern, "/modern/index.html", "Return",
     {"/modern/full/reef.png", "/modern/full/dune.webp?v=2"}},
    {"PackagedGallery", Situation::kPackaged, "/gallery/index.html", "Return", kGallery},
};  // clang-format on

// The folder of the programs of the Debian package, made by CPack from this build and
// unpacked once, with the files a user gets besides.
std::string PackagedPrograms() {
  static const testing::TemporaryFolder work;
  const fs::path root = fs::path(work.path()) / "root", programs = root / "usr/libexec/harvelo";
  if (fs::exists(programs)) return programs;
  EXPECT_EQ(
      testing::RunProgram(
          {"cpack", "-G", "DEB", "--config", HARVELO_CPACK_CONFIG, "-B", work.path()}, {}, "", 300s)
          .status,
      0);
  for (const fs::directory_entry& entry : fs::directory_iterator(work.path())) {
    if (entry.path().extension() == ".deb") {
      EXPECT_EQ(testing::RunProgram({"dpkg-deb", "-x", entry.path(), root}).status, 0);
    }
  }
  for (const char* file :
       {"usr/libexec/harvelo/Haulbeam", "usr/libexec/harvelo/Tellora", "usr/bin/harvelo-inspect",
        "usr/share/applications/harvelo.desktop", "usr/share/applications/harvelo-browser.desktop",
        "usr/share/icons/hicolor/scalable/apps/harvelo.svg", "usr/share/man/man1/harvelo.1.gz",
        "usr/share/man/man1/Haulbeam.1.gz", "usr/share/man/man1/Tellora.1.gz",
        "usr/share/man/man1/harvelo-browser.1.gz", "usr/share/man/man1/harvelo-inspect.1.gz"}) {
    EXPECT_TRUE(fs::exists(root / file)) << file;
  }
  // A key binding starts bin/harvelo, which finds its companions beside its target.
  EXPECT_EQ(fs::canonical(root / "usr/bin/harvelo"), fs::canonical(programs / "harvelo"));
  return programs;
}

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

  explicit HarveloEndToEndTest(BrowserProtocol browser, Situation situation = Situation::kShown)
      : scene_(Display(),
               situation == Situation::kPackaged ? PackagedPrograms() : HARVELO_PROGRAM_FOLDER,
               HARVELO_SAMPLES, browser,
               situation == Situation::kOverHttps || situation == Situation::kOverHttpsModern) {
    testing::PageServer& server = scene_.server();
    // Like many galleries, the sample one gives one picture only to its own visitors.
    server.Require("/gallery/pictures/orchard.jpg", "Referer", server.Url("/"));
    server.Require("/members/full.jpg", "Cookie", "member=7f3a");
    for (const auto& [path, page] : kPages) server.Add(path, page.second, page.first);
    for (const Harvest& harvest : kHarvests) {
      for (const std::string& job : harvest.jobs) {
        const std::string path = job.substr(0, job.find('?'));
        if (!path.starts_with("/gallery/")) server.Add(path, Served(path));
      }
    }
  }

  std::string Saved() const { return scene_.home() + "/Quorvex"; }
  std::string SettingsFile() const { return scene_.home() + "/.config/Quorvex/registry.reg"; }

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
                    public ::testing::WithParamInterface<std::tuple<BrowserProtocol, Harvest>> {
 protected:
  HarvestTest() : HarveloEndToEndTest(std::get<0>(GetParam()), std::get<1>(GetParam()).situation) {}
};

TEST_P(HarvestTest, GivenAPageInFrontWeShouldHandOverItsFilesAsThePersonAnswers) {
  const Harvest& harvest = std::get<1>(GetParam());
  const std::string haulbeam_output = scene_.home() + "/haulbeam.txt";
  if (harvest.situation == Situation::kOverHttpsModern) {
    fs::create_directories(fs::path(SettingsFile()).parent_path());
    std::ofstream(SettingsFile()) << "Windows Registry Editor Version 5.00\n\n"
                                     "[HKEY_CURRENT_USER\\SOFTWARE\\Quorvex]\n"
                                     "\"vModernReach\"=\"1\"\n";
  }
  if (harvest.situation == Situation::kInFrontOfRobots) {
    scene_.ShowPage("/robots/index.html");
    scene_.OpenWindow(harvest.page);
  } else {
    scene_.ShowPage(harvest.page, harvest.situation == Situation::kLauncher
                                      ? HARVELO_BROWSER_LAUNCHER
                                  : harvest.situation == Situation::kPackaged
                                      ? fs::path(PackagedPrograms()) / "../../bin/harvelo-browser"
                                      : "");
  }
  std::unique_ptr<testing::ChildProcess> haulbeam;
  if (harvest.situation == Situation::kHaulbeamRunning) {
    // Once the page shows, as Haulbeam waits for its first client 30 s at most; listening,
    // and its window back behind the browser's, before harvelo starts.
    haulbeam = scene_.Start("Haulbeam", haulbeam_output);
    const fs::path channels = scene_.runtime() + "/quorvex";
    ASSERT_TRUE(
        testing::Eventually([&] { return fs::exists(channels) && !fs::is_empty(channels); }));
    ASSERT_FALSE(scene_.FindWindow("Haulbeam").empty());
    scene_.Run({"xdotool", "windowactivate", "--sync", scene_.browser_window()});
    ASSERT_TRUE(scene_.BecomesActive(scene_.browser_window()));
  }
  if (harvest.situation == Situation::kRobotsOpenedBehind) {
    ASSERT_TRUE(testing::ControlClick(Display().display(), scene_.browser_window(),
                                      [&] { return scene_.Loaded("/robots/index.html"); }));
  }

  auto harvelo = scene_.StartHarvelo();
  const std::string window = scene_.FindWindow("Harvelo - Quorvex");
  ASSERT_FALSE(window.empty()) << "no window";
  EXPECT_THAT(scene_.Run({"xprop", "-id", window, "WM_CLASS"}),
              HasSubstr(*harvest.keys ? "\"harvelo\"" : "\"Tellora\""));
  ExpectOverTheBrowserWithTheFocus(window);
  if (*harvest.keys) scene_.Run({"xdotool", "key", harvest.keys});
  ASSERT_EQ(harvelo->Wait(60s), 0) << FileBytes(scene_.output());

  // Haulbeam writes one line per job: "saved", group, order, file, address. The address of
  // each job by its order number, and each file as it was served.
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
    const std::string path = fields[4].substr(fields[4].find('/', 8));
    const std::string served = path.substr(0, path.find('?'));
    EXPECT_EQ(FileBytes(fields[3]), served.starts_with("/gallery/")
                                        ? FileBytes(HARVELO_SAMPLES + served)
                                        : Served(served));
  }
  std::vector<std::string> expected, handed;
  for (const std::string& job : harvest.jobs) expected.push_back(scene_.Url(job));
  for (const auto& [order, address] : found) handed.push_back(address);
  EXPECT_EQ(handed, expected) << FileBytes(scene_.output());

  // With jobs, the group is taken, and the page logged under it in the folder of the files.
  const std::string log = FileBytes(Saved() + "/SourceLog.txt");
  if (handed.empty()) {
    EXPECT_EQ(FileBytes(SettingsFile()), "");
  } else {
    EXPECT_THAT(FileBytes(SettingsFile()), HasSubstr("\"dGroupNumber\"=\"g998\""));
    EXPECT_THAT(log, ::testing::EndsWith("\tg999\t" + scene_.Url(harvest.page) + "\r\n"));
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);
    files.insert("SourceLog.txt");
  }
  std::set<std::string> in_folder;
  if (fs::is_directory(Saved())) {
    for (const auto& entry : fs::directory_iterator(Saved())) {
      in_folder.insert(entry.path().filename());
    }
  }
  EXPECT_EQ(in_folder, files);
  // A Haulbeam that harvelo started would have written to harvelo's output.
  if (haulbeam || harvest.jobs.empty()) {
    EXPECT_EQ(FileBytes(scene_.output()), "");
  }
}

std::vector<std::tuple<BrowserProtocol, Harvest>> Runs() {
  std::vector<std::tuple<BrowserProtocol, Harvest>> runs;
  for (const BrowserProtocol browser : {BrowserProtocol::kDevTools, BrowserProtocol::kBidi}) {
    for (const Harvest& harvest : kHarvests) {
      if (browser == BrowserProtocol::kDevTools || harvest.situation < Situation::kSignedIn) {
        runs.emplace_back(browser, harvest);
      }
    }
  }
  return runs;
}
INSTANTIATE_TEST_SUITE_P(Pages, HarvestTest, ::testing::ValuesIn(Runs()), [](const auto& info) {
  return ::testing::PrintToString(std::get<0>(info.param)) + std::get<1>(info.param).name;
});

class DialogTest : public HarveloEndToEndTest,
                   public ::testing::WithParamInterface<BrowserProtocol> {
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
  EXPECT_THAT(FileBytes(SettingsFile()), HasSubstr("\"dMsgNoPicsFound\"=\"0\""));

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
  EXPECT_EQ(FileBytes(SettingsFile()), "");
}

INSTANTIATE_TEST_SUITE_P(Browsers, DialogTest,
                         ::testing::Values(BrowserProtocol::kDevTools, BrowserProtocol::kBidi),
                         ::testing::PrintToStringParamName());

}  // namespace
}  // namespace harvelo
