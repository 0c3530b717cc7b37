#ifndef HARVELO_PLATFORM_LINUX_POSIX_MACHINE_H_
#define HARVELO_PLATFORM_LINUX_POSIX_MACHINE_H_

#include <memory>

#include "platform/machine.h"

namespace harvelo {

// The executable's folder from /proc/self/exe; the host name from gethostname.
std::unique_ptr<Machine> NewLinuxMachine();

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_POSIX_MACHINE_H_
