#ifndef HARVELO_PLATFORM_LINUX_QT_WIDGETS_QT_FOLDER_BROWSER_H_
#define HARVELO_PLATFORM_LINUX_QT_WIDGETS_QT_FOLDER_BROWSER_H_

#include <memory>

#include "platform/folder_browser.h"
#include "platform/shell_folders.h"

namespace harvelo {

// Browse-for-folder dialogs on Qt Widgets: the instruction text above a folder tree whose
// top is the Desktop. A QApplication must exist while a dialog runs; `shell` must remain
// live while the component is.
std::unique_ptr<FolderBrowseComponent> NewQtFolderBrowser(ShellFolders& shell);

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_QT_WIDGETS_QT_FOLDER_BROWSER_H_
