// Today's web with the built programs in Chromium on a private X display: a gallery served
// over HTTPS, which only the modern reach harvests, and a picture that its server gives only
// to the signed-in browser, which Haulbeam fetches with the browser's cookies.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <filesystem>
#include <fstream>
#include <map>

#include "support/desktop_scene.h"
#include "support/qt_application.h"

namespace harvelo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::IsEmpty;
using ::testing::SizeIs;
using Files = std::map<std::string, std::string>;

std::string FileBytes(const fs::path& path) {
  QFile file(QString::fromStdString(path));
  return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

// Bytes that tell one file from another, including the ones that text handling would spoil.
std::string Picture(const std::string& name) {
  std::string bytes = name + std::string("\0\r\n\x89\xff", 5);
  for (int i = 0; i < 5000; ++i) bytes += static_cast<char>(i * 7 + name.size());
  return bytes;
}

class ModernWebEndToEndTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    display_ = new testing::XSession();
    testing::TestApplication<QCoreApplication>();
  }
  static void TearDownTestSuite() { delete display_; }

  // Serves `files` (path below the site: content) from the site folder.
  void Serve(const Files& files) {
    for (const auto& [path, bytes] : files) {
      fs::create_directories(fs::path(site_.path() + path).parent_path());
      std::ofstream(site_.path() + path, std::ios::binary) << bytes;
    }
  }

  // Starts harvelo on the page in front, confirms the folder it offers, and answers the
  // files that Haulbeam saved there once it has reported `count`.
  static Files Harvest(testing::DesktopScene& scene, std::size_t count) {
    auto harvelo = scene.StartHarvelo();
    const std::string dialog = scene.FindWindow("Harvelo - Quorvex");
    EXPECT_TRUE(!dialog.empty() && scene.BecomesActive(dialog)) << "no folder dialog in front";
    scene.Run({"xdotool", "key", "Return"});
    EXPECT_EQ(harvelo->Wait(60s), 0) << FileBytes(scene.output());
    EXPECT_THAT(testing::DesktopScene::WaitForLines(scene.output(), "saved\t", count, 60s),
                SizeIs(count))
        << FileBytes(scene.output());
    Files saved;
    for (const auto& entry : fs::directory_iterator(scene.home() + "/Quorvex")) {
      const std::string name = entry.path().filename();
      if (name != "SourceLog.txt") saved[name] = FileBytes(entry.path());
    }
    return saved;
  }

  static testing::XSession* display_;
  testing::TemporaryFolder site_;
};

testing::XSession* ModernWebEndToEndTest::display_ = nullptr;

TEST_F(ModernWebEndToEndTest, GivenAnHttpsGalleryWeShouldSaveItsFilesOnlyWithTheModernReach) {
  Serve({{"/gallery/index.html",
          "<html><body><h1>Reef and dune</h1>\n"
          "<a href=\"full/reef.png\"><img src=\"thumbs/reef.png\" width=80></a>\n"
          "<a href='full/dune.webp?v=2'><img src='thumbs/dune.webp'></a>\n"
          "<a href=\"#top\">top</a></body></html>"},
         {"/gallery/full/reef.png", Picture("reef")},
         {"/gallery/full/dune.webp", Picture("dune")}});
  testing::DesktopScene scene(*display_, HARVELO_PROGRAM_FOLDER, site_.path(),
                              testing::BrowserKind::kChromium, /*over_tls=*/true);
  scene.ShowPage("/gallery/index.html");

  // As specified: nothing at an https address is taken, so the no-files notice comes; its
  // box ticked, it silences itself.
  auto harvelo = scene.StartHarvelo();
  const std::string notice = scene.FindWindow("Harvelo - Quorvex");
  ASSERT_TRUE(!notice.empty() && scene.BecomesActive(notice)) << "no notice in front";
  scene.Run({"xdotool", "key", "Tab", "space", "shift+Tab", "Return"});
  ASSERT_EQ(harvelo->Wait(30s), 0);
  const std::string settings = scene.home() + "/.config/Quorvex/registry.reg";
  EXPECT_THAT(FileBytes(settings), ::testing::HasSubstr("\"dMsgNoPicsFound\"=\"0\""));
  EXPECT_FALSE(fs::exists(scene.home() + "/Quorvex"));

  std::ofstream(settings) << "Windows Registry Editor Version 5.00\n\n"
                             "[HKEY_CURRENT_USER\\SOFTWARE\\Quorvex]\n\"vModernReach\"=\"1\"\n";
  EXPECT_EQ(Harvest(scene, 2),
            (Files{{"reef.png", Picture("reef")}, {"dune.webp", Picture("dune")}}));
}

TEST_F(ModernWebEndToEndTest, GivenAPictureForSignedInVisitorsOnlyWeShouldSaveItWithTheCookie) {
  Serve({{"/members/index.html",
          "<html><head><script>document.cookie = 'member=7f3a; path=/';</script></head>"
          "<body><a href=\"/members/full.jpg\"><img src=\"/members/thumb.jpg\"></a>\n"
          "<a href=\"#top\">top</a></body></html>"},
         {"/members/full.jpg", Picture("full")}});
  testing::DesktopScene scene(*display_, HARVELO_PROGRAM_FOLDER, site_.path());
  scene.server().RequireCookie("/members/full.jpg", "member=7f3a");
  scene.ShowPage("/members/index.html");

  EXPECT_EQ(Harvest(scene, 1), (Files{{"full.jpg", Picture("full")}}));
  EXPECT_THAT(testing::DesktopScene::WaitForLines(scene.output(), "failed\t", 0, 0ms), IsEmpty());
}

}  // namespace
}  // namespace harvelo
