#ifndef HARVELO_SCANNER_SAVE_FOLDER_H_
#define HARVELO_SCANNER_SAVE_FOLDER_H_

// The folder the user confirms before the files are handed over: the one first offered,
// and the dialog in which it is confirmed.

#include <cstdint>

#include "platform/file_system.h"
#include "platform/folder_browser.h"
#include "platform/registry_api.h"
#include "platform/shell_folders.h"
#include "platform/window_handle.h"
#include "text/text.h"

namespace harvelo {

// The remembered folder ("dPathMpegs" when `movies` is 1 or more, else "dPathPics") when
// it exists, otherwise the documents folder's "Quorvex" sub-folder, created when missing.
// A folder inside the documents folder (case-sensitive) comes back with every occurrence
// of the documents path replaced by kDocumentsNamespace.
Text InitialSaveFolder(RegistryApi& registry, ShellFolders& shell, FileSystemObject& fs,
                       std::int16_t movies);

// Asks the user for a folder in a fresh dialog owned by `owner`, starting at `initial`.
// The chosen path, the desktop folder's path when the Desktop itself was chosen, or the
// empty text when the user cancelled. Failures of the dialog propagate.
Text BrowseForSaveFolder(FolderBrowseComponent& component, FileSystemObject& fs,
                         ShellFolders& shell, WindowHandle owner, const Text& initial,
                         const Text& title, const Text& instruction);

}  // namespace harvelo

#endif  // HARVELO_SCANNER_SAVE_FOLDER_H_
