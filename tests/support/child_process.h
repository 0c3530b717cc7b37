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
  // output goes to `stdout_fd` and its standard error to `stderr_fd` when they are not -1.
  ChildProcess(const std::vector<std::string>& argv,
               const std::map<std::string, std::string>& environment = {}, int stdout_fd = -1,
               int stderr_fd = -1);
  ~ChildProcess();
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
