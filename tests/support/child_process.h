#ifndef HARVELO_TESTS_SUPPORT_CHILD_PROCESS_H_
#define HARVELO_TESTS_SUPPORT_CHILD_PROCESS_H_

// A program started by a test, in a process group of its own, so that it and everything
// it starts end with the object, even when the test fails.

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace harvelo::testing {

class ChildProcess {
 public:
  // Starts `argv` (argv[0] looked up in PATH) with the test's environment changed by
  // `environment` (an empty value removes the variable). Throws std::runtime_error.
  // Descriptors opened without close-on-exec stay open in the program; its standard
  // output, error and input are `stdout_fd`, `stderr_fd` and `stdin_fd` when not -1.
  ChildProcess(const std::vector<std::string>& argv,
               const std::map<std::string, std::string>& environment = {}, int stdout_fd = -1,
               int stderr_fd = -1, int stdin_fd = -1);
  ~ChildProcess() { Kill(); }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }
  // Waits up to `limit` for the program to end; its exit status, or nothing when it still
  // runs. A program killed by a signal answers 128 + the signal number.
  std::optional<int> Wait(std::chrono::milliseconds limit);
  // Kills the whole process group at once and reaps the program.
  void Kill();

 private:
  pid_t pid_ = -1;
  std::optional<int> status_;
};

// A file in memory, for a program's input or output; closed with the object.
class MemoryFile {
 public:
  explicit MemoryFile(const std::string& text = "");
  ~MemoryFile();
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;
  int fd() const { return fd_; }
  // All that the file holds now.
  std::string Text() const;

 private:
  int fd_;
};

// What a program run to its end answered: its status (nothing when it was killed after
// the limit) and what it wrote.
struct Ran {
  std::optional<int> status;
  std::string out;
  std::string err;
};
// Runs `argv` as ChildProcess does, with `input` as its standard input, for `limit` at most.
Ran RunProgram(const std::vector<std::string>& argv,
               const std::map<std::string, std::string>& environment = {},
               const std::string& input = "",
               std::chrono::milliseconds limit = std::chrono::seconds(30));

// A fresh empty folder under the system's temporary folder, removed with the object.
class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace harvelo::testing

#endif  // HARVELO_TESTS_SUPPORT_CHILD_PROCESS_H_
