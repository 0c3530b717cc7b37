#include "platform/linux/posix/process_starter.h"

#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "platform/failure.h"

extern char** environ;

namespace harvelo {

namespace {

// The one place where this adapter's errors become the program's.
[[noreturn]] void Fail(const std::string& what, int error = 0) {
  std::string text = what;
  if (error != 0) text += ": " + std::string(std::strerror(error));
  throw Failure(FromUtf8(text));
}

std::string WithoutExe(const Text& program) {
  if (program.size() >= 4 && LowerAscii(Right(program, 4)) == u".exe") {
    return ToUtf8(Left(program, program.size() - 4));
  }
  return ToUtf8(program);
}

class SpawnProcessStarter final : public ProcessStarter {
 public:
  std::int64_t Shell(const Text& command_line, int window_style) override {
    const ProgramCall call = SplitCommandLine(command_line);
    std::vector<char*> arguments{const_cast<char*>(call.program.c_str())};
    if (call.argument) arguments.push_back(const_cast<char*>(call.argument->c_str()));
    arguments.push_back(nullptr);

    const std::string style =
        std::string(kWindowStyleVariable) + "=" + std::to_string(window_style);
    std::vector<char*> environment;
    const std::size_t name_length = std::strlen(kWindowStyleVariable);
    for (char** entry = environ; *entry != nullptr; ++entry) {
      if (std::strncmp(*entry, kWindowStyleVariable, name_length) == 0 &&
          (*entry)[name_length] == '=') {
        continue;
      }
      environment.push_back(*entry);
    }
    environment.push_back(const_cast<char*>(style.c_str()));
    environment.push_back(nullptr);

    // The companion outlives this program and the terminal it may have been started
    // from: a session of its own, and no signal blocked that this program had blocked.
    posix_spawnattr_t attributes;
    ::posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    ::posix_spawnattr_setsigmask(&attributes, &none);
    ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK);
    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, call.program.c_str(), nullptr, &attributes,
                                    arguments.data(), environment.data());
    ::posix_spawnattr_destroy(&attributes);
    if (error != 0) Fail("Cannot start " + call.program, error);
    return pid;
  }
};

}  // namespace

ProgramCall SplitCommandLine(const Text& command_line) {
  if (StartsWith(command_line, u"\"")) {
    const std::size_t closing = Find(command_line, u"\"", 2);
    if (closing == 0) Fail("The command line has no closing quote: " + ToUtf8(command_line));
    Text rest = Mid(command_line, closing + 1);
    if (StartsWith(rest, u" ")) rest.erase(0, 1);
    return {WithoutExe(Mid(command_line, 2, closing - 2)),
            rest.empty() ? std::nullopt : std::optional<std::string>(ToUtf8(rest))};
  }
  const std::size_t blank = Find(command_line, u" ");
  if (blank == 0) return {WithoutExe(command_line), std::nullopt};
  const Text rest = Mid(command_line, blank + 1);
  return {WithoutExe(Left(command_line, blank - 1)),
          rest.empty() ? std::nullopt : std::optional<std::string>(ToUtf8(rest))};
}

std::unique_ptr<ProcessStarter> NewSpawnProcessStarter() {
  return std::make_unique<SpawnProcessStarter>();
}

}  // namespace harvelo
