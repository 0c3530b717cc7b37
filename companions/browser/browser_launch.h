#ifndef HARVELO_COMPANIONS_BROWSER_BROWSER_LAUNCH_H_
#define HARVELO_COMPANIONS_BROWSER_BROWSER_LAUNCH_H_

// How harvelo-browser starts the user's browser so that harvelo finds it: a profile folder
// of its own (browsers refuse remote debugging on their default profile) and a DevTools
// port that the kernel picks, which the browser writes to DevToolsActivePort in that folder.

#include <optional>
#include <string>
#include <vector>

namespace harvelo::launcher {

// The Chromium-family browsers looked for, in this order.
inline const std::vector<std::string> kKnownBrowsers = {
    "chromium",       "chromium-browser",      "google-chrome", "google-chrome-stable",
    "microsoft-edge", "microsoft-edge-stable", "brave-browser", "brave"};

// The program to start: `chosen` (a name looked up in `path`, or a path) when it is not
// empty, else the first of kKnownBrowsers found in `path` (a PATH value). Nothing when
// there is no such program.
std::optional<std::string> FindBrowser(const std::string& chosen, const std::string& path);

// The profile folder under the user's data folder (`data_home`, XDG_DATA_HOME).
std::string ProfileFolder(const std::string& data_home);

// The browser's arguments: the profile, the port, no first-run questions, then the
// addresses to open, after "--" so that none of them can be taken for a switch. Chromium
// refuses to start for the superuser unless its sandbox is switched off, so `as_root` does
// that.
std::vector<std::string> BrowserArguments(const std::string& profile,
                                          const std::vector<std::string>& addresses, bool as_root);

}  // namespace harvelo::launcher

#endif  // HARVELO_COMPANIONS_BROWSER_BROWSER_LAUNCH_H_
