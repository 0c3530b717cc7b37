// The built programs together, as a person uses them: Chromium on a private X display with
// a window manager, the sample pages served on 127.0.0.1, harvelo started while the page
// is in front, its dialogs answered with the keyboard, and the real Haulbeam and Tellora.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <filesystem>
#include <fstream>
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

class HarveloEndToEndTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    display_ = new testing::XSession();
    testing::TestApplication<QCoreApplication>();
  }
  static void TearDownTestSuite() { delete display_; }

  HarveloEndToEndTest() : scene_(*display_, HARVELO_PROGRAM_FOLDER, HARVELO_SAMPLES) {
    // Like many galleries, the sample one gives one picture only to its own visitors.
    scene_.server().RequireReferer("/gallery/pictures/orchard.jpg", scene_.server().Url("/"));
  }

  std::string Saved() const { return scene_.home() + "/Quorvex"; }

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

TEST_F(HarveloEndToEndTest, GivenTheSampleGalleryWeShouldSaveEveryServedFileUnderOneGroup) {
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

TEST_F(HarveloEndToEndTest, GivenAMarkerPageWeShouldTakeTheLinkedAndTheLoosePicturesOfItsDocument) {
  scene_.ShowPage("/marker/index.html");
  HarvestConfirmingTheFolder();

  EXPECT_THAT(testing::DesktopScene::WaitForLines(scene_.output(), "saved\t", 4, 60s), SizeIs(4));
  EXPECT_THAT(FilesIn(Saved()), ElementsAre("SourceLog.txt", "dunes.jpg", "glacier.jpg",
                                            "harbour.jpg", "meadow.jpg"));
}

TEST_F(HarveloEndToEndTest,
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

TEST_F(HarveloEndToEndTest, GivenAPageWithoutMediaWeShouldOfferToSilenceTheNoticeThenShowTheLine) {
  scene_.ShowPage("/plain/index.html");
  auto harvelo = scene_.StartHarvelo();
  const std::string notice = scene_.FindWindow("Harvelo - Quorvex");
  ASSERT_FALSE(notice.empty()) << "no notice; visible: " << scene_.VisibleWindows();
  EXPECT_THAT(scene_.Run({"xprop", "-id", notice, "WM_TRANSIENT_FOR"}),
              HasSubstr(HexWindow(scene_.browser_window())));
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
  ASSERT_TRUE(scene_.BecomesActive(form));
  EXPECT_FALSE(harvelo->Wait(0ms));
  scene_.Run({"xdotool", "key", "alt+F4"});  // openbox's shortcut for closing a window
  EXPECT_EQ(harvelo->Wait(30s), 0);
  EXPECT_TRUE(scene_.FindWindow("Harvelo - Quorvex", 0ms).empty());
}

TEST_F(HarveloEndToEndTest, GivenTheFolderDialogCancelledWeShouldHandNothingOverNorUseAGroup) {
  scene_.ShowPage("/gallery/index.html");
  auto harvelo = scene_.StartHarvelo();
  const std::string dialog = scene_.FindWindow("Harvelo - Quorvex");
  ASSERT_FALSE(dialog.empty()) << "no folder dialog; visible: " << scene_.VisibleWindows();
  ASSERT_TRUE(scene_.BecomesActive(dialog));
  scene_.Run({"xdotool", "key", "Escape"});
  ASSERT_EQ(harvelo->Wait(30s), 0);

  EXPECT_EQ(FileBytes(scene_.output()), "");  // no Haulbeam was started
  EXPECT_THAT(FilesIn(Saved()), IsEmpty());   // the offered folder was made, and stays empty
  EXPECT_EQ(scene_.Setting("dGroupNumber"), "(no settings file)");
}

TEST_F(HarveloEndToEndTest, GivenHaulbeamRunningWeShouldHandItEveryJobAndStartNoOther) {
  const std::string haulbeam_output = scene_.home() + "/haulbeam.txt";
  auto haulbeam = scene_.StartHaulbeam(haulbeam_output);
  scene_.ShowPage("/gallery/index.html");
  HarvestConfirmingTheFolder();

  EXPECT_THAT(testing::DesktopScene::WaitForLines(haulbeam_output, "saved\t", 7, 60s), SizeIs(7));
  // A Haulbeam that harvelo started would have written to harvelo's output.
  EXPECT_EQ(FileBytes(scene_.output()), "");
}

}  // namespace
}  // namespace harvelo
