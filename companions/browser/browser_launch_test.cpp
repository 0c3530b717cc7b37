#include "browser_launch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>
#include <fstream>

#include "support/child_process.h"

namespace harvelo::launcher {
namespace {

namespace fs = std::filesystem;

void MakeProgram(const fs::path& file, fs::perms permissions = fs::perms::owner_all) {
  fs::create_directories(file.parent_path());
  std::ofstream(file) << "#!/bin/true\n";
  fs::permissions(file, permissions);
}

TEST(BrowserLaunchTest, GivenThePathWeShouldStartTheChosenOrTheFirstKnownBrowser) {
  testing::TemporaryFolder root;
  const std::string a = root.path() + "/a";
  const std::string b = root.path() + "/b";
  MakeProgram(a + "/google-chrome");
  MakeProgram(b + "/chromium");
  MakeProgram(b + "/brave");
  MakeProgram(a + "/chromium", fs::perms::owner_read);  // not a program
  const std::string path = a + "::" + b;
  const struct {
    std::string chosen;
    std::optional<std::string> expected;
  } cases[] = {
      {"", b + "/chromium"},  // chromium comes first among the known browsers
      {"brave", b + "/brave"},   {b + "/brave", b + "/brave"},
      {"vivaldi", std::nullopt}, {a + "/chromium", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(FindBrowser(c.chosen, path), c.expected) << c.chosen;
  EXPECT_EQ(FindBrowser("", a + "/nothing-here"), std::nullopt);
}

TEST(BrowserLaunchTest, GivenAddressesWeShouldStartTheBrowserOnItsOwnProfileWithThemAfterSwitches) {
  testing::TemporaryFolder home;
  const fs::path browser = fs::path(home.path()) / "browser";
  fs::copy_file(HARVELO_RECORD_ARGS, browser);
  QProcess launcher;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("HARVELO_BROWSER", QString::fromStdString(browser.string()));
  environment.insert("XDG_DATA_HOME", QString::fromStdString(home.path() + "/data"));
  launcher.setProcessEnvironment(environment);
  launcher.start(HARVELO_BROWSER_LAUNCHER,
                 {"http://127.0.0.1/a?b=1&c=2", "--remote-debugging-address=0.0.0.0"});
  ASSERT_TRUE(launcher.waitForFinished(30000));
  EXPECT_EQ(launcher.exitCode(), 0);

  std::ifstream record(browser.string() + ".record", std::ios::binary);
  std::vector<std::string> fields;
  for (std::string field; std::getline(record, field, '\0');) fields.push_back(field);
  const std::string profile = home.path() + "/data/harvelo/browser";
  std::vector<std::string> expected = {"--user-data-dir=" + profile, "--remote-debugging-port=0",
                                       "--no-first-run", "--no-default-browser-check"};
  if (::geteuid() == 0) expected.push_back("--no-sandbox");
  for (const char* address :
       {"--", "http://127.0.0.1/a?b=1&c=2", "--remote-debugging-address=0.0.0.0"}) {
    expected.push_back(address);
  }
  ASSERT_GE(fields.size(), 3u);
  EXPECT_EQ(fields[1], std::to_string(expected.size()));
  EXPECT_THAT(std::vector(fields.begin() + 3, fields.end()), ::testing::ElementsAreArray(expected));
  EXPECT_EQ(fs::status(profile).permissions() & fs::perms::all, fs::perms::owner_all);
}

}  // namespace
}  // namespace harvelo::launcher
