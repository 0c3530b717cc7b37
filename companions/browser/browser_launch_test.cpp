#include "browser_launch.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <ranges>

#include "support/child_process.h"

namespace harvelo::launcher {
namespace {

namespace fs = std::filesystem;
using testing::FileBytes;

TEST(BrowserLaunchTest, GivenThePathWeShouldStartTheChosenOrTheFirstKnownBrowser) {
  testing::TemporaryFolder root;
  const std::string a = root.path() + "/a", b = root.path() + "/b";
  for (const std::string& program :
       {a + "/google-chrome", b + "/chromium", b + "/brave", a + "/chromium"}) {
    fs::create_directories(fs::path(program).parent_path());
    std::ofstream(program) << "#!/bin/true\n";
    fs::permissions(program, program == a + "/chromium" ? fs::perms::owner_read  // not a program
                                                        : fs::perms::owner_all);
  }
  const std::tuple<std::string, std::string, std::optional<std::string>> kCases[] = {
      {"", a + "::" + b, b + "/chromium"},  // chromium comes first among the known browsers
      {"brave", a + "::" + b, b + "/brave"},   {b + "/brave", a + "::" + b, b + "/brave"},
      {"vivaldi", a + "::" + b, std::nullopt}, {a + "/chromium", a + "::" + b, std::nullopt},
      {"", a + "/nothing-here", std::nullopt},
  };
  for (const auto& [chosen, path, expected] : kCases) {
    EXPECT_EQ(FindBrowser(chosen, path), expected) << chosen;
  }
}

// Chromium takes the addresses after "--"; Firefox knows no such end of its switches, and
// takes each after --url. Firefox is started when asked for, and when no Chromium-family browser
// is installed.
TEST(BrowserLaunchTest, GivenAddressesWeShouldStartTheBrowserOnItsOwnProfileWithThemAfterSwitches) {
  testing::TemporaryFolder home;
  const fs::path browser = fs::path(home.path()) / "browser";
  const fs::path firefox = fs::path(home.path()) / "bin/firefox-esr";
  fs::create_directories(firefox.parent_path());
  fs::copy_file(HARVELO_RECORD_ARGS, browser);
  fs::copy_file(HARVELO_RECORD_ARGS, firefox);
  const std::string chromium_profile = home.path() + "/data/harvelo/browser";
  const std::string firefox_profile = home.path() + "/data/harvelo/firefox";
  const std::string kAddress = "http://127.0.0.1/a?b=1&c=2",
                    kSwitch = "--remote-debugging-address=0.0.0.0";
  std::vector<std::string> chromium = {"--user-data-dir=" + chromium_profile,
                                       "--remote-debugging-port=0", "--no-first-run",
                                       "--no-default-browser-check"};
  if (::geteuid() == 0) chromium.push_back("--no-sandbox");
  chromium.insert(chromium.end(), {"--", kAddress, kSwitch});
  const std::vector<std::string> in_firefox = {
      "--profile", firefox_profile, "--remote-debugging-port=0", "--url", kAddress,
      "--url",     kSwitch};
  const struct {
    bool asked_for_firefox;
    fs::path chosen;  // HARVELO_BROWSER; else looked for in a PATH with Firefox alone
    std::string profile;
    std::vector<std::string> expected;
  } kCases[] = {
      {false, browser, chromium_profile, chromium},
      {true, browser, firefox_profile, in_firefox},
      {false, "", firefox_profile, in_firefox},
  };
  for (const auto& c : kCases) {
    std::vector<std::string> argv = {HARVELO_BROWSER_LAUNCHER, kAddress, kSwitch};
    if (c.asked_for_firefox) argv.insert(argv.begin() + 1, "--firefox");
    const testing::Ran ran = testing::RunProgram(argv, {{"HARVELO_BROWSER", c.chosen},
                                                        {"PATH", firefox.parent_path()},
                                                        {"XDG_DATA_HOME", home.path() + "/data"}});
    EXPECT_EQ(ran.status, 0) << ran.err;

    // What the browser was started with: its session, the count, its window style, then
    // each argument.
    std::vector<std::string> fields;
    for (const auto field : std::views::split(
             FileBytes((c.chosen.empty() ? firefox : c.chosen).string() + ".record"), '\0')) {
      fields.emplace_back(field.begin(), field.end());
    }
    ASSERT_GE(fields.size(), 3u);
    EXPECT_EQ(fields[1], std::to_string(c.expected.size()));
    EXPECT_EQ(std::vector(fields.begin() + 3, fields.end() - 1), c.expected);
    EXPECT_EQ(fs::status(c.profile).permissions() & fs::perms::all, fs::perms::owner_all);
  }
  // Firefox keeps to a person's settings, not to those it recommends for testing.
  EXPECT_EQ(FileBytes(firefox_profile + "/user.js"), kFirefoxPreferences);
}

}  // namespace
}  // namespace harvelo::launcher
