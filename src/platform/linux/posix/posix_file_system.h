#ifndef HARVELO_PLATFORM_LINUX_POSIX_POSIX_FILE_SYSTEM_H_
#define HARVELO_PLATFORM_LINUX_POSIX_POSIX_FILE_SYSTEM_H_

#include <memory>

#include "platform/file_system.h"

namespace harvelo {

// Folders and appends on the local file system, paths in UTF-8.
std::unique_ptr<FileSystemObject> NewPosixFileSystem();

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_POSIX_POSIX_FILE_SYSTEM_H_
