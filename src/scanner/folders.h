#ifndef HARVELO_SCANNER_FOLDERS_H_
#define HARVELO_SCANNER_FOLDERS_H_

// Folder services shared by the save-folder choice and the source log.

#include <cstdint>

#include "platform/file_system.h"
#include "platform/shell_folders.h"
#include "text/text.h"

namespace harvelo {

// A special folder's path (CSIDL_PERSONAL, CSIDL_DESKTOPDIRECTORY): at most 512
// characters, cut at the first NUL; the empty text when the number cannot be resolved.
Text GetSpecialFolderPath(ShellFolders& shell, std::int32_t folder);

// Creates `path` with its missing parents, one missing level per pass from the top.
// True when the folder exists at the end. Never throws.
bool CreateFolderPath(FileSystemObject& fs, const Text& path);

// The documents folder's "Quorvex" sub-folder, created when missing (whether that worked is
// the caller's to look at): the folder offered for saving and the source log's folder when
// the settings name none that exists.
Text DefaultFolder(ShellFolders& shell, FileSystemObject& fs);

}  // namespace harvelo

#endif  // HARVELO_SCANNER_FOLDERS_H_
