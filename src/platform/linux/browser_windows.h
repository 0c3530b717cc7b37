#ifndef HARVELO_PLATFORM_LINUX_BROWSER_WINDOWS_H_
#define HARVELO_PLATFORM_LINUX_BROWSER_WINDOWS_H_

// The browser knows its windows only by its own ids and their bounds; the window system
// names them differently. This turns the one into the other.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/window_handle.h"
#include "platform/window_system.h"

namespace harvelo {

// The browser window that holds a page, as the browser describes it: the browser's process,
// its own id for the window, and where the window lies on the screen. A browser names each
// window after the title of the page it shows, and only that page's: so `shown_page_title` is
// the page's title when its window shows it, and empty for a page behind another tab, whose
// window must be told by its bounds alone. Windows that lie exactly on top of each other
// (two maximised windows) are told apart by the order of their creation: `ids_alike`, asked
// for only then, answers the ids of all the browser's windows with these bounds, this one's
// included, in ascending order, which is the order in which the browser created them.
struct BrowserWindow {
  std::int64_t browser_process = 0;
  std::int32_t window_id = 0;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  std::u16string shown_page_title;
  std::function<std::vector<std::int32_t>()> ids_alike;
};

class BrowserWindowFinder {
 public:
  virtual ~BrowserWindowFinder() = default;
  // The handle of the top-level window that is `window`, whatever the pages that other
  // windows show. Throws Failure when the window system shows no such window.
  virtual WindowHandle HandleOf(const BrowserWindow& window) = 0;
};

// A window system that also names the browser's windows: what the browser adapter and
// the program need of the session they run in.
class BrowserWindows : public WindowSystem, public BrowserWindowFinder {};

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_BROWSER_WINDOWS_H_
