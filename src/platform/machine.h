#ifndef HARVELO_PLATFORM_MACHINE_H_
#define HARVELO_PLATFORM_MACHINE_H_

// Facts about the machine and the running program. Abstract so tests can pose as any
// folder or host; the real implementation asks the kernel.

#include <string>

#include "text/text.h"

namespace harvelo {

class Machine {
 public:
  virtual ~Machine() = default;
  // The folder of the running executable, without a trailing separator except for the
  // root folder.
  virtual Text ExecutableFolder() = 0;
  // The host name as the system gives it, bytes and all.
  virtual std::string ComputerName() = 0;
};

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_MACHINE_H_
