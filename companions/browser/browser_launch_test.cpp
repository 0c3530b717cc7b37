#include "browser_launch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>
#include <fstream>
#include <sstream>

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

// Chromium takes the addresses after "--"; Firefox knows no such end of its switches, and
// takes each after --url. Firefox is started when asked for, and when no Chromium-family browser
// is installed.
TEST(BrowserLaunchTest, GivenAddressesWeShouldStartTheBrowserOnItsOwnProfileWithThemAfterSwitches) {
  testing::TemporaryFolder home;
  const fs::path browser = fs::path(home.path()) / "browser";
  fs::copy_file(HARVELO_RECORD_ARGS, browser);
  const fs::path firefox = fs::path(home.path()) / "bin/firefox-esr";
  fs::create_directories(firefox.parent_path());
  fs::copy_file(HARVELO_RECORD_ARGS, firefox);
  const std::string chromium_profile = home.path() + "/data/harvelo/browser";
  const std::string firefox_profile = home.path() + "/data/harvelo/firefox";
  std::vector<std::string> chromium = {"--user-data-dir=" + chromium_profile,
                                       "--remote-debugging-port=0", "--no-first-run",
                                       "--no-default-browser-check"};
  if (::geteuid() == 0) chromium.push_back("--no-sandbox");
  chromium.insert(chromium.end(),
                  {"--", "http://127.0.0.1/a?b=1&c=2", "--remote-debugging-address=0.0.0.0"});
  const std::vector<std::string> in_firefox = {"--profile",
                                               firefox_profile,
                                               "--remote-debugging-port=0",
                                               "--url",
                                               "http://127.0.0.1/a?b=1&c=2",
                                               "--url",
                                               "--remote-debugging-address=0.0.0.0"};
  const struct {
    bool asked_for_firefox;
    fs::path chosen;  // HARVELO_BROWSER; else looked for in a PATH with Firefox alone
    std::string profile;
    std::vector<std::string> expected;
  } cases[] = {
      {false, browser, chromium_profile, chromium},
      {true, browser, firefox_profile, in_firefox},
      {false, "", firefox_profile, in_firefox},
  };
  for (const auto& c : cases) {
    QProcess launcher;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HARVELO_BROWSER", QString::fromStdString(c.chosen.string()));
    environment.insert("PATH", QString::fromStdString(firefox.parent_path().string()));
    environment.insert("XDG_DATA_HOME", QString::fromStdString(home.path() + "/data"));
    QStringList arguments = {"http://127.0.0.1/a?b=1&c=2", "--remote-debugging-address=0.0.0.0"};
    if (c.asked_for_firefox) arguments.prepend("--firefox");
    launcher.setProcessEnvironment(environment);
    launcher.start(HARVELO_BROWSER_LAUNCHER, arguments);
    ASSERT_TRUE(launcher.waitForFinished(30000));
    EXPECT_EQ(launcher.exitCode(), 0);

    const fs::path started = c.chosen.empty() ? firefox : c.chosen;
    std::ifstream record(started.string() + ".record", std::ios::binary);
    std::vector<std::string> fields;
    for (std::string field; std::getline(record, field, '\0');) fields.push_back(field);
    ASSERT_GE(fields.size(), 3u);
    EXPECT_EQ(fields[1], std::to_string(c.expected.size()));
    EXPECT_THAT(std::vector(fields.begin() + 3, fields.end()),
                ::testing::ElementsAreArray(c.expected));
    EXPECT_EQ(fs::status(c.profile).permissions() & fs::perms::all, fs::perms::owner_all);
  }
  // Firefox keeps to a person's settings, not to those it recommends for testing.
  std::ifstream preferences(firefox_profile + "/user.js");
  std::stringstream text;
  text << preferences.rdbuf();
  EXPECT_EQ(text.str(), kFirefoxPreferences);
}

}  // namespace
}  // namespace harvelo::launcher
