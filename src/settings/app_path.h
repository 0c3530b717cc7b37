#ifndef HARVELO_SETTINGS_APP_PATH_H_
#define HARVELO_SETTINGS_APP_PATH_H_

// The program's own folder, where its companion programs live.

#include "platform/file_system.h"
#include "platform/machine.h"
#include "text/text.h"

namespace harvelo {

// A developer's machine on which the program folder is the build folder beside the
// sources: its computer name and its development folder. Empty names match nothing.
struct BuildMachine {
  Text computer_name;
  Text development_folder;
};

class AppPath {
 public:
  // `machine` must remain live while this object is.
  AppPath(Machine& machine, BuildMachine first = {}, BuildMachine second = {},
          char16_t separator = kPathSeparator)
      : machine_(machine),
        first_(std::move(first)),
        second_(std::move(second)),
        separator_(separator) {}

  // The folder of the running executable, ending in the path separator.
  Text GetProgramFolder();
  // The computer name: at most 255 characters, cut at the first NUL.
  Text GetMachineName();

 private:
  Machine& machine_;
  BuildMachine first_;
  BuildMachine second_;
  char16_t separator_;
};

}  // namespace harvelo

#endif  // HARVELO_SETTINGS_APP_PATH_H_
