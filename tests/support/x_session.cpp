#include "support/x_session.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

namespace harvelo::testing {
namespace {

// Reads what `fd` delivers until it closes, `limit` passes, or `stop` is read.
std::string ReadFrom(int fd, std::chrono::milliseconds limit, char stop = '\0') {
  std::string text;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (true) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd ready{fd, POLLIN, 0};
    if (poll(&ready, 1, static_cast<int>(left.count())) <= 0) break;
    char buffer[4096];
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got <= 0) break;
    text.append(buffer, static_cast<std::size_t>(got));
    if (stop != '\0' && text.find(stop) != std::string::npos) break;
  }
  return text;
}

}  // namespace

std::string RunOnDisplay(const std::string& display, const std::vector<std::string>& argv) {
  int pipe_fds[2];
  if (pipe2(pipe_fds, O_CLOEXEC) != 0) return {};
  std::string output;
  {
    ChildProcess tool(argv, {{"DISPLAY", display}}, pipe_fds[1]);
    close(pipe_fds[1]);
    output = ReadFrom(pipe_fds[0], std::chrono::seconds(10));
    if (tool.Wait(std::chrono::seconds(1)) != 0) output.clear();
  }
  close(pipe_fds[0]);
  return output;
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
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) throw std::runtime_error("no pipe");
  fcntl(pipe_fds[0], F_SETFD, FD_CLOEXEC);
  server_ = std::make_unique<ChildProcess>(
      std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(pipe_fds[1]), "-screen", "0",
                               "1280x1024x24", "-nolisten", "tcp"});
  close(pipe_fds[1]);
  const std::string number = ReadFrom(pipe_fds[0], std::chrono::seconds(20), '\n');
  close(pipe_fds[0]);
  if (number.empty() || number.back() != '\n') throw std::runtime_error("Xvfb did not start");
  display_ = ":" + number.substr(0, number.size() - 1);
  // openbox is ready once it has claimed the screen for its EWMH support window. On a
  // busy machine it now and then gives up while the new server settles: it is started
  // again, a few times at most.
  int starts = 0;
  for (int tries = 0; tries < 200; ++tries) {
    if (!window_manager_ || window_manager_->Wait(std::chrono::milliseconds(0))) {
      if (++starts > 3) break;
      window_manager_ =
          std::make_unique<ChildProcess>(std::vector<std::string>{"openbox"},
                                         std::map<std::string, std::string>{{"DISPLAY", display_}});
    }
    if (RunOnDisplay(display_, {"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"}).find("window id") !=
        std::string::npos) {
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  throw std::runtime_error("openbox did not start on " + display_);
}

XSession::~XSession() {
  window_manager_.reset();
  server_.reset();
}

}  // namespace harvelo::testing
