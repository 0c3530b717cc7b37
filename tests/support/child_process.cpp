#include "support/child_process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace harvelo::testing {
namespace {

// The argv-style array of `texts`, which must remain live while it is used.
std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv,
                           const std::map<std::string, std::string>& environment, int stdout_fd,
                           int stderr_fd, int stdin_fd) {
  std::vector<std::string> variables, args = argv;
  for (char** entry = environ; *entry; ++entry) {
    const std::string text(*entry);
    if (!environment.contains(text.substr(0, text.find('=')))) variables.push_back(text);
  }
  for (const auto& [name, value] : environment) {
    if (!value.empty()) variables.push_back(name + "=" + value);
  }
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setpgroup(&attributes, 0);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  sigaddset(&defaults, SIGTERM);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (const auto& [from, to] : {std::pair{stdout_fd, STDOUT_FILENO},
                                 {stderr_fd, STDERR_FILENO},
                                 {stdin_fd, STDIN_FILENO}}) {
    if (from != -1) posix_spawn_file_actions_adddup2(&actions, from, to);
  }
  const int error = posix_spawnp(&pid_, args[0].c_str(), &actions, &attributes,
                                 Pointers(args).data(), Pointers(variables).data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (error != 0) throw std::runtime_error("cannot start " + args[0]);
}

std::optional<int> ChildProcess::Wait(std::chrono::milliseconds limit) {
  for (const auto deadline = std::chrono::steady_clock::now() + limit; !status_;) {
    int raw = 0;
    const pid_t done = waitpid(pid_, &raw, WNOHANG);
    if (done == pid_) status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    if (done != 0 || std::chrono::steady_clock::now() >= deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return status_;
}

void ChildProcess::Kill() {
  kill(-pid_, SIGKILL);  // the group: the program and what it started
  if (!status_) Wait(std::chrono::seconds(10));
}

// Without close-on-exec: a program may be told to write to it by number (Xvfb -displayfd).
MemoryFile::MemoryFile(const std::string& text) : fd_(memfd_create("harvelo-test", 0)) {
  if (fd_ < 0 || pwrite(fd_, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size())) {
    throw std::runtime_error("cannot make a file in memory");
  }
}

MemoryFile::~MemoryFile() { close(fd_); }

std::string MemoryFile::Text() const {
  std::string text;
  char buffer[4096];
  for (ssize_t got; (got = pread(fd_, buffer, sizeof buffer, text.size())) > 0;) {
    text.append(buffer, static_cast<std::size_t>(got));
  }
  return text;
}

Ran RunProgram(const std::vector<std::string>& argv,
               const std::map<std::string, std::string>& environment, const std::string& input,
               std::chrono::milliseconds limit) {
  MemoryFile in(input), out, err;
  const std::optional<int> status =
      ChildProcess(argv, environment, out.fd(), err.fd(), in.fd()).Wait(limit);
  return {status, out.Text(), err.Text()};
}

std::string FileBytes(const std::string& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

TemporaryFolder::TemporaryFolder()
    : path_((std::filesystem::temp_directory_path() / "harvelo-XXXXXX").string()) {
  if (!mkdtemp(path_.data())) throw std::runtime_error("cannot make a temporary folder");
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace harvelo::testing
