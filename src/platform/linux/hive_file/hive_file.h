#ifndef HARVELO_PLATFORM_LINUX_HIVE_FILE_HIVE_FILE_H_
#define HARVELO_PLATFORM_LINUX_HIVE_FILE_HIVE_FILE_H_

#include <filesystem>
#include <memory>
#include <ostream>

#include "platform/linux/hive/hive_store.h"

namespace harvelo {

// The user's hive file: $XDG_CONFIG_HOME/Quorvex/registry.reg, or ~/.config/... when the
// variable is unset or not an absolute path.
std::filesystem::path DefaultHiveFilePath();

// A hive kept in one text file. Readers never lock: a writer replaces the file by
// renaming a finished copy over it, so a reader sees the old file or the new one, whole.
// Writers take an exclusive lock on a lock file beside it, re-read, change and replace.
// Of a file with lines that cannot be read, every other value reads; the first write over
// it keeps every value read and first keeps the file beside it as "<name>.damaged" (or
// "<name>.damaged.N" when that name is taken).
// The registry functions answer a failure with their code alone; the store writes its cause
// to `report`, one line naming what could not be done, to which file, and why. `report`
// must remain live while the store is.
std::unique_ptr<HiveStore> NewHiveFileStore(std::filesystem::path file, std::ostream& report);

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_HIVE_FILE_HIVE_FILE_H_
