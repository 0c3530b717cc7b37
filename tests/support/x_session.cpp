#include "support/x_session.h"

#include <fcntl.h>
#include <unistd.h>

#include <stdexcept>

#include "support/eventually.h"

namespace harvelo::testing {

using namespace std::chrono_literals;

std::string RunOnDisplay(const std::string& display, const std::vector<std::string>& argv) {
  const Ran ran = RunProgram(argv, {{"DISPLAY", display}}, "", 10s);
  return ran.status == 0 ? ran.out : "";
}

bool ControlClick(const std::string& display, const std::string& window,
                  const std::function<bool()>& opened) {
  for (int tries = 0; tries < 5; ++tries) {
    RunOnDisplay(display, {"xdotool", "windowactivate", "--sync", window});
    RunOnDisplay(display, {"xdotool", "mousemove", "--window", window, "400", "300", "keydown",
                           "ctrl", "click", "1", "keyup", "ctrl"});
    if (opened()) return true;
  }
  return false;
}

XSession::XSession() {
  const MemoryFile number;
  // Neither keeps the test's output open: a test that dies before its destructors run must
  // not leave the runner waiting for the end of that output.
  const int quiet = open("/dev/null", O_WRONLY | O_CLOEXEC);
  server_ = std::make_unique<ChildProcess>(
      std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(number.fd()), "-screen", "0",
                               "1280x1024x24", "-nolisten", "tcp"},
      std::map<std::string, std::string>{}, quiet, quiet);
  if (!Eventually([&] { return number.Text().ends_with('\n'); }, 20s)) {
    close(quiet);
    throw std::runtime_error("Xvfb did not start");
  }
  display_ = ":" + number.Text().substr(0, number.Text().size() - 1);
  // openbox is ready once it has claimed the screen for its EWMH support window; on a busy
  // machine it may give up while the new server settles, and is started again.
  int starts = 0;
  const bool ready = Eventually(
      [&] {
        if ((!window_manager_ || window_manager_->Wait(0ms)) && starts++ < 3) {
          window_manager_ = std::make_unique<ChildProcess>(
              std::vector<std::string>{"openbox"},
              std::map<std::string, std::string>{{"DISPLAY", display_}}, quiet, quiet);
        }
        return RunOnDisplay(display_, {"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"})
                   .find("window id") != std::string::npos;
      },
      20s, 100ms);
  close(quiet);
  if (!ready) throw std::runtime_error("openbox did not start on " + display_);
}

XSession::~XSession() {
  window_manager_.reset();
  server_.reset();
}

}  // namespace harvelo::testing
