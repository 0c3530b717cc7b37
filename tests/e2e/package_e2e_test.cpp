// The Debian package as a user gets it: made by CPack from this build and unpacked, its
// harvelo run on the page that its own harvelo-browser shows.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <filesystem>

#include "support/desktop_scene.h"
#include "support/qt_application.h"

namespace harvelo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(PackageTest, GivenTheDebianPackageItsHarveloShouldHarvestThePageItsLauncherShows) {
  testing::TestApplication<QCoreApplication>();
  testing::TemporaryFolder work;
  ASSERT_EQ(
      testing::RunProgram(
          {"cpack", "-G", "DEB", "--config", HARVELO_CPACK_CONFIG, "-B", work.path()}, {}, "", 300s)
          .status,
      0);
  fs::path package;
  for (const fs::directory_entry& entry : fs::directory_iterator(work.path())) {
    if (entry.path().extension() == ".deb") package = entry.path();
  }
  const fs::path root = fs::path(work.path()) / "root";
  ASSERT_EQ(testing::RunProgram({"dpkg-deb", "-x", package, root}).status, 0);
  for (const char* file :
       {"usr/libexec/harvelo/Haulbeam", "usr/libexec/harvelo/Tellora", "usr/bin/harvelo-inspect",
        "usr/share/applications/harvelo.desktop", "usr/share/applications/harvelo-browser.desktop",
        "usr/share/icons/hicolor/scalable/apps/harvelo.svg", "usr/share/man/man1/harvelo.1.gz",
        "usr/share/man/man1/Haulbeam.1.gz", "usr/share/man/man1/Tellora.1.gz",
        "usr/share/man/man1/harvelo-browser.1.gz", "usr/share/man/man1/harvelo-inspect.1.gz"}) {
    EXPECT_TRUE(fs::exists(root / file)) << file;
  }
  // A key binding starts bin/harvelo, which finds its companions beside its target.
  const fs::path programs = root / "usr/libexec/harvelo";
  EXPECT_EQ(fs::canonical(root / "usr/bin/harvelo"), fs::canonical(programs / "harvelo"));

  testing::XSession display;
  testing::DesktopScene scene(display, programs, HARVELO_SAMPLES);
  scene.ShowPage("/gallery/index.html", root / "usr/bin/harvelo-browser");
  auto harvelo = scene.StartHarvelo();
  const std::string dialog = scene.FindWindow("Harvelo - Quorvex");
  ASSERT_TRUE(!dialog.empty() && scene.BecomesActive(dialog)) << "no folder dialog";
  scene.Run({"xdotool", "key", "Return"});
  ASSERT_EQ(harvelo->Wait(60s), 0);
  EXPECT_THAT(testing::DesktopScene::WaitForLines(scene.output(), "saved\t", 7, 60s),
              ::testing::SizeIs(7));
}

}  // namespace
}  // namespace harvelo
