#ifndef HARVELO_TESTS_SUPPORT_CHILD_PROCESS_H_
#define HARVELO_TESTS_SUPPORT_CHILD_PROCESS_H_

// Programs, files and folders that a test makes, gone with the test even when it fails.

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace harvelo::testing {

// A program in a process group of its own, killed with everything it started.
class ChildProcess {
 public:
  // Starts `argv` (argv[0] looked up in PATH) with the test's environment changed by
  // `environment` (an empty value removes the variable), its standard output, error and
  // input to the descriptors given (not -1). Descriptors without close-on-exec stay open in
  // the program. Throws std::runtime_error.
  ChildProcess(const std::vector<std::string>& argv,
               const std::map<std::string, std::string>& environment = {}, int stdout_fd = -1,
               int stderr_fd = -1, int stdin_fd = -1);
  ~ChildProcess() { Kill(); }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }
  // Waits up to `limit` for the program to end: its exit status (128 + the signal when a
  // signal killed it), or nothing while it runs.
  std::optional<int> Wait(std::chrono::milliseconds limit);
  void Kill();

 private:
  pid_t pid_ = -1;
  std::optional<int> status_;
};

// A file in memory, for a program's input or output.
class MemoryFile {
 public:
  explicit MemoryFile(const std::string& text = "");
  ~MemoryFile();
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;
  int fd() const { return fd_; }
  std::string Text() const;

 private:
  int fd_;
};

// A program run to its end, with `input` as its standard input, killed after `limit`: its
// status (nothing when killed) and what it wrote.
struct Ran {
  std::optional<int> status;
  std::string out;
  std::string err;
};
Ran RunProgram(const std::vector<std::string>& argv,
               const std::map<std::string, std::string>& environment = {},
               const std::string& input = "",
               std::chrono::milliseconds limit = std::chrono::seconds(30));

// All that the file at `path` holds; empty when it cannot be read.
std::string FileBytes(const std::string& path);

// A fresh empty folder under the system's temporary folder.
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
