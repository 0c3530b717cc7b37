#ifndef HARVELO_PLATFORM_LINUX_XDG_XDG_FOLDERS_H_
#define HARVELO_PLATFORM_LINUX_XDG_XDG_FOLDERS_H_

#include <memory>

#include "platform/shell_folders.h"

namespace harvelo {

// The documents (5) and desktop (16) folders from the XDG user folders
// ($XDG_CONFIG_HOME/user-dirs.dirs, else ~/.config/user-dirs.dirs), read at each call.
// Unset, the documents folder is the home folder and the desktop "~/Desktop", as
// xdg-user-dir answers. No home folder, or another number: unresolved.
std::unique_ptr<ShellFolders> NewXdgShellFolders();

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_XDG_XDG_FOLDERS_H_
