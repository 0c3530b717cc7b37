#ifndef HARVELO_PLATFORM_FOLDER_BROWSER_H_
#define HARVELO_PLATFORM_FOLDER_BROWSER_H_

// The folder-browse component: a modal dialog in which the user picks a folder. Abstract
// so tests can answer it; the real implementation is a Qt dialog.

#include <cstdint>
#include <memory>

#include "platform/window_handle.h"
#include "text/text.h"

namespace harvelo {

// How a folder path names the user's documents folder: this name in place of its path.
inline const Text kDocumentsNamespace = u"::{450D8FBA-AD25-11D0-98A8-0800361B1103}";

// The dialog's options, each on for any value but 0 and off until set.
enum FolderBrowseOption : int {
  kFoldersOnly = 1,      // OK is enabled only while the selection is a folder that exists
  kNewFolderButton = 2,  // a button that makes a new folder is offered
  kEditBox = 3,          // a line under the tree shows the selected folder's path, and takes one
  kShowFiles = 4,        // the tree lists files too (with kFoldersOnly, none can be chosen)
  kStatusLine = 5,       // the selected folder's path is shown below the instruction text
  kCentred = 6,          // the dialog opens centred on its owner window
};

class FolderBrowseDialog {
 public:
  virtual ~FolderBrowseDialog() = default;
  virtual void SetOwnerWindow(WindowHandle owner) = 0;
  virtual void SetOption(FolderBrowseOption option, std::int32_t value) = 0;
  virtual void SetTitle(const Text& title) = 0;
  virtual void SetInstructionText(const Text& text) = 0;
  // A folder path accepts a file-system path, a namespace name beginning with "::", or
  // the word "Desktop".
  virtual void SetSelectedFolderPath(const Text& path) = 0;
  virtual void SetRootFolderPath(const Text& path) = 0;
  // Runs the dialog modally; true when the user confirmed a folder.
  virtual bool Show() = 0;
  // The chosen folder; the Desktop itself reads as "Desktop".
  virtual Text SelectedFolderPath() = 0;
};

class FolderBrowseComponent {
 public:
  virtual ~FolderBrowseComponent() = default;
  // A fresh dialog for one use.
  virtual std::unique_ptr<FolderBrowseDialog> Create() = 0;
};

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_FOLDER_BROWSER_H_
