// harvelo-browser: starts the user's Chromium-family browser, or Firefox, ready for harvelo,
// with the addresses given as arguments. The browser takes this process over.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "browser_launch.h"

namespace {

constexpr char kUsage[] =
    "Usage: harvelo-browser [--firefox] [ADDRESS...]\n"
    "Starts your Chromium-family browser so that harvelo can read the page it shows: with a\n"
    "profile of its own, $XDG_DATA_HOME/harvelo/browser (~/.local/share/harvelo/browser), and\n"
    "remote debugging on a port of 127.0.0.1 that it writes in that profile, where harvelo\n"
    "looks. Opens the ADDRESSes given.\n"
    "The browser is $HARVELO_BROWSER when set (a name or a path), else the first found of\n"
    "chromium, chromium-browser, google-chrome, google-chrome-stable, microsoft-edge,\n"
    "microsoft-edge-stable, brave-browser and brave.\n"
    "With --firefox, or when none of them is installed, it starts Firefox instead\n"
    "($HARVELO_BROWSER, else firefox or firefox-esr), with the profile\n"
    "$XDG_DATA_HOME/harvelo/firefox and WebDriver BiDi on a port of 127.0.0.1 that it writes in\n"
    "that profile.\n";

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

int Fail(const std::string& why) {
  std::fprintf(stderr, "harvelo-browser: %s\n", why.c_str());
  return 127;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace harvelo::launcher;
  std::vector<std::string> addresses(argv + 1, argv + argc);
  if (addresses.size() == 1 && (addresses[0] == "--help" || addresses[0] == "-h")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  const bool firefox_asked = !addresses.empty() && addresses[0] == "--firefox";
  if (firefox_asked) addresses.erase(addresses.begin());
  const std::string chosen = Variable("HARVELO_BROWSER");
  std::optional<std::string> browser =
      FindBrowser(chosen, Variable("PATH"), firefox_asked ? kKnownFirefoxes : kKnownBrowsers);
  if (!browser && chosen.empty() && !firefox_asked) {
    browser = FindBrowser("", Variable("PATH"), kKnownFirefoxes);
  }
  if (!browser) {
    return Fail(!chosen.empty() ? "the browser \"" + chosen + "\" (HARVELO_BROWSER) is not there"
                : firefox_asked ? "no Firefox found; install firefox-esr, or name yours in "
                                  "HARVELO_BROWSER"
                                : "no Chromium-family browser nor Firefox found; install chromium "
                                  "or firefox-esr, or name yours in HARVELO_BROWSER");
  }
  const bool firefox = firefox_asked || IsFirefox(*browser);

  std::string data_home = Variable("XDG_DATA_HOME");
  if (data_home.empty()) data_home = Variable("HOME") + "/.local/share";
  const std::string profile = firefox ? FirefoxProfileFolder(data_home) : ProfileFolder(data_home);
  std::error_code error;
  std::filesystem::create_directories(profile, error);
  if (error) return Fail("cannot make the profile folder " + profile + ": " + error.message());
  ::chmod(profile.c_str(), 0700);  // the profile holds the user's cookies
  // Written once: the person may change them there afterwards.
  const std::string preferences = profile + "/user.js";
  if (firefox && !std::filesystem::exists(preferences)) {
    std::ofstream(preferences) << kFirefoxPreferences;
  }

  std::vector<std::string> arguments = firefox
                                           ? FirefoxArguments(profile, addresses)
                                           : BrowserArguments(profile, addresses, ::geteuid() == 0);
  arguments.insert(arguments.begin(), *browser);
  std::vector<char*> exec_argv;
  for (std::string& argument : arguments) exec_argv.push_back(argument.data());
  exec_argv.push_back(nullptr);
  ::execv(browser->c_str(), exec_argv.data());
  return Fail("cannot start " + *browser + ": " + std::strerror(errno));
}
