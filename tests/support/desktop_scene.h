#ifndef HARVELO_TESTS_SUPPORT_DESKTOP_SCENE_H_
#define HARVELO_TESTS_SUPPORT_DESKTOP_SCENE_H_

// A person's desktop, for end-to-end runs and measurements: a user of its own (home,
// settings, runtime folder), a site served on 127.0.0.1, a Chromium or a Firefox whose window
// shows a page and has the focus, and harvelo started as a key binding starts it, from a
// program folder with its companions beside it. Everything the scene started, the companions
// that harvelo started included, ends with the scene.

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/bidi/bidi_client.h"
#include "platform/linux/devtools/devtools_client.h"
#include "support/browser_process.h"
#include "support/child_process.h"
#include "support/page_server.h"
#include "support/x_session.h"

class QThread;

namespace harvelo::testing {

class DesktopScene {
 public:
  // `display` must remain live while the scene is. `program_folder` holds harvelo and its
  // companions; `site` is the folder served. With `over_tls` (Chromium only) the site is
  // served over HTTPS with the certificate of tls/, which the browser and Haulbeam accept.
  DesktopScene(const XSession& display, std::string program_folder, const std::string& site,
               BrowserProtocol browser = BrowserProtocol::kDevTools, bool over_tls = false);
  ~DesktopScene();

  PageServer& server() { return server_; }
  const std::string& home() const { return home_.path(); }
  const std::string& runtime() const { return runtime_.path(); }  // XDG_RUNTIME_DIR
  // The served `path`'s address.
  std::string Url(const std::string& path) const;

  // Shows the served `path` in a new browser window, loaded and with the focus, or throws
  // std::runtime_error. A QCoreApplication must exist. With a `launcher` (harvelo-browser),
  // it starts the browser and harvelo finds it by itself; else harvelo is told its address.
  void ShowPage(const std::string& path, const std::string& launcher = "");
  // Whether the browser has loaded the served `path` in a tab, within 10 s. Firefox is left
  // free for harvelo afterwards.
  bool Loaded(const std::string& path);
  // Opens the served `path` in a new window of the browser, which comes to the front.
  void OpenWindow(const std::string& path);
  // The X window (as xdotool names it) that shows the page.
  const std::string& browser_window() const { return browser_window_; }

  // Starts `program` ("harvelo", "Haulbeam") of the program folder, its output and errors
  // (and its companions') appended to the file `output`.
  std::unique_ptr<ChildProcess> Start(const std::string& program, const std::string& output);
  std::unique_ptr<ChildProcess> StartHarvelo() { return Start("harvelo", output()); }
  std::string output() const { return home_.path() + "/output.txt"; }
  // Ends every program that harvelo or this scene started (not the browser).
  void EndStartedPrograms();

  // The lines of `file` that begin with `prefix`, once there are `count` or after `limit`.
  static std::vector<std::string> WaitForLines(const std::string& file, const std::string& prefix,
                                               std::size_t count, std::chrono::milliseconds limit);

  // The first visible window named exactly `name`, within `limit`; empty when none comes.
  std::string FindWindow(const std::string& name,
                         std::chrono::milliseconds limit = std::chrono::seconds(60));
  // Whether `window` has, or soon gets, the focus.
  bool BecomesActive(const std::string& window);
  // Runs an X tool on the display; its standard output.
  std::string Run(const std::vector<std::string>& argv);

 private:
  // Takes the window in front as the browser's once `wanted` accepts it; throws after 30 s.
  void BrowserComesToFront(const std::function<bool(const std::string&)>& wanted);

  const XSession& display_;
  std::string program_folder_;
  TemporaryFolder home_;
  TemporaryFolder runtime_;
  PageServer server_;
  std::unique_ptr<QThread> tls_;  // relays https://127.0.0.1:<tls_port_> to the server
  int tls_port_ = 0;
  BrowserProtocol kind_;
  // The browser ends after the client that watches it.
  std::unique_ptr<BrowserProcess> browser_;
  std::unique_ptr<DevToolsClient> devtools_;
  std::unique_ptr<BidiClient> bidi_;
  std::string browser_window_;
};

}  // namespace harvelo::testing

#endif  // HARVELO_TESTS_SUPPORT_DESKTOP_SCENE_H_
