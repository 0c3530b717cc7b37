#ifndef HARVELO_PLATFORM_PROCESS_STARTER_H_
#define HARVELO_PLATFORM_PROCESS_STARTER_H_

// Starting another program without waiting for it. Abstract so tests can record the
// command lines; the real implementation spawns the program directly, never via a shell.

#include <cstdint>

#include "text/text.h"

namespace harvelo {

inline constexpr int kMinimizedFocus = 2;  // shown minimised, with the focus
inline constexpr int kNormalNoFocus = 4;   // normal size and place, without the focus

class ProcessStarter {
 public:
  virtual ~ProcessStarter() = default;
  // `command_line` is a quoted program path, optionally followed by one blank and a
  // single argument text. Returns the process number. Throws Failure when the program
  // cannot be started.
  virtual std::int64_t Shell(const Text& command_line, int window_style) = 0;
};

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_PROCESS_STARTER_H_
