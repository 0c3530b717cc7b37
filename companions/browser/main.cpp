// harvelo-browser: starts the user's Chromium-family browser ready for harvelo, with the
// addresses given as arguments. The browser takes this process over.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "browser_launch.h"

namespace {

constexpr char kUsage[] =
    "Usage: harvelo-browser [ADDRESS...]\n"
    "Starts your Chromium-family browser so that harvelo can read the page it shows: with a\n"
    "profile of its own, $XDG_DATA_HOME/harvelo/browser (~/.local/share/harvelo/browser), and\n"
    "remote debugging on a port of 127.0.0.1 that it writes in that profile, where harvelo\n"
    "looks. Opens the ADDRESSes given.\n"
    "The browser is $HARVELO_BROWSER when set (a name or a path), else the first found of\n"
    "chromium, chromium-browser, google-chrome, google-chrome-stable, microsoft-edge,\n"
    "microsoft-edge-stable, brave-browser and brave.\n";

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
  const std::vector<std::string> addresses(argv + 1, argv + argc);
  if (addresses.size() == 1 && (addresses[0] == "--help" || addresses[0] == "-h")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  const std::string chosen = Variable("HARVELO_BROWSER");
  const std::optional<std::string> browser = FindBrowser(chosen, Variable("PATH"));
  if (!browser) {
    return Fail(chosen.empty() ? "no Chromium-family browser found; install chromium, or name "
                                 "yours in HARVELO_BROWSER"
                               : "the browser \"" + chosen + "\" (HARVELO_BROWSER) is not there");
  }

  std::string data_home = Variable("XDG_DATA_HOME");
  if (data_home.empty()) data_home = Variable("HOME") + "/.local/share";
  const std::string profile = ProfileFolder(data_home);
  std::error_code error;
  std::filesystem::create_directories(profile, error);
  if (error) return Fail("cannot make the profile folder " + profile + ": " + error.message());
  ::chmod(profile.c_str(), 0700);  // the profile holds the user's cookies

  std::vector<std::string> arguments = BrowserArguments(profile, addresses, ::geteuid() == 0);
  arguments.insert(arguments.begin(), *browser);
  std::vector<char*> exec_argv;
  for (std::string& argument : arguments) exec_argv.push_back(argument.data());
  exec_argv.push_back(nullptr);
  ::execv(browser->c_str(), exec_argv.data());
  return Fail("cannot start " + *browser + ": " + std::strerror(errno));
}
