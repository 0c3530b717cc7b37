#ifndef HARVELO_TESTS_FAKES_FAKE_SHELL_FOLDERS_H_
#define HARVELO_TESTS_FAKES_FAKE_SHELL_FOLDERS_H_

#include <map>

#include "platform/shell_folders.h"

namespace harvelo {

// Special folders where the test puts them; an unset number cannot be resolved.
struct FakeShellFolders : ShellFolders {
  std::optional<Text> SpecialFolderPath(std::int32_t folder) override {
    auto found = folders_.find(folder);
    if (found == folders_.end()) return std::nullopt;
    return found->second;
  }

  std::map<std::int32_t, Text> folders_{{CSIDL_PERSONAL, u"/home/user/Documents"},
                                        {CSIDL_DESKTOPDIRECTORY, u"/home/user/Desktop"}};
};

}  // namespace harvelo

#endif  // HARVELO_TESTS_FAKES_FAKE_SHELL_FOLDERS_H_
