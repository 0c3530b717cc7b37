#ifndef HARVELO_PLATFORM_LINUX_POSIX_PROCESS_STARTER_H_
#define HARVELO_PLATFORM_LINUX_POSIX_PROCESS_STARTER_H_

#include <memory>
#include <optional>
#include <string>

#include "platform/process_starter.h"

namespace harvelo {

// The environment variable through which a started program learns the window style it
// was asked for, as decimal digits (2: minimised with the focus; 4: normal, without it).
inline constexpr char kWindowStyleVariable[] = "HARVELO_WINDOW_STYLE";

// A command line taken apart as the program's start reads it.
struct ProgramCall {
  std::string program;                  // UTF-8 path, without a trailing ".exe"
  std::optional<std::string> argument;  // the single argument, byte for byte
};

// `"path" rest`: the path between the quotes, and everything after the one blank that
// follows them as ONE argument, blanks, quotes and all. An unquoted command line splits
// at its first blank. A trailing ".exe" (any letter case) is dropped from the program.
// Throws Failure when the quote around the path is not closed.
ProgramCall SplitCommandLine(const Text& command_line);

// Starts programs with posix_spawn, never through a shell, with kWindowStyleVariable set,
// each in a session of its own. The started program is not waited for.
std::unique_ptr<ProcessStarter> NewSpawnProcessStarter();

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_POSIX_PROCESS_STARTER_H_
