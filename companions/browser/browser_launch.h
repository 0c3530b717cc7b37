#ifndef HARVELO_COMPANIONS_BROWSER_BROWSER_LAUNCH_H_
#define HARVELO_COMPANIONS_BROWSER_BROWSER_LAUNCH_H_

// How harvelo-browser starts the user's browser so that harvelo finds it: a profile folder
// of its own (browsers refuse remote debugging on their default profile) and a DevTools
// port that the kernel picks, which the browser writes to DevToolsActivePort in that folder;
// or, for Firefox, a WebDriver BiDi port, which it writes to WebDriverBiDiServer.json there.

#include <optional>
#include <string>
#include <vector>

namespace harvelo::launcher {

// The Chromium-family browsers looked for, in this order.
inline const std::vector<std::string> kKnownBrowsers = {
    "chromium",       "chromium-browser",      "google-chrome", "google-chrome-stable",
    "microsoft-edge", "microsoft-edge-stable", "brave-browser", "brave"};

// The Firefox builds looked for, in this order.
inline const std::vector<std::string> kKnownFirefoxes = {"firefox", "firefox-esr"};

// The program to start: `chosen` (a name looked up in `path`, or a path) when it is not
// empty, else the first of `known` found in `path` (a PATH value). Nothing when there is no
// such program.
std::optional<std::string> FindBrowser(const std::string& chosen, const std::string& path,
                                       const std::vector<std::string>& known = kKnownBrowsers);

// Whether `program` (a name or a path) is a Firefox, which takes arguments of its own.
bool IsFirefox(const std::string& program);

// The profile folder under the user's data folder (`data_home`, XDG_DATA_HOME).
std::string ProfileFolder(const std::string& data_home);

// The browser's arguments: the profile, the port, no first-run questions, then the
// addresses to open, after "--" so that none of them can be taken for a switch. Chromium
// refuses to start for the superuser unless its sandbox is switched off, so `as_root` does
// that.
std::vector<std::string> BrowserArguments(const std::string& profile,
                                          const std::vector<std::string>& addresses, bool as_root);

// Firefox's profile folder under the user's data folder.
std::string FirefoxProfileFolder(const std::string& data_home);

// The preferences that the profile starts with (its user.js): the browser stays a person's
// browser (Firefox would otherwise take the settings it recommends for automated testing, such
// as no safe browsing and no updates), without first-run pages and default-browser questions.
inline constexpr char kFirefoxPreferences[] =
    "user_pref(\"remote.prefs.recommended\", false);\n"
    "user_pref(\"browser.shell.checkDefaultBrowser\", false);\n"
    "user_pref(\"browser.aboutwelcome.enabled\", false);\n"
    "user_pref(\"datareporting.policy.firstRunURL\", \"\");\n";

// Firefox's arguments: the profile, the port, then each address after --url, so that none of
// them can be taken for a switch. Another start with the same profile hands its addresses to
// the Firefox already running.
std::vector<std::string> FirefoxArguments(const std::string& profile,
                                          const std::vector<std::string>& addresses);

}  // namespace harvelo::launcher

#endif  // HARVELO_COMPANIONS_BROWSER_BROWSER_LAUNCH_H_
