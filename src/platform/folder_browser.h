#ifndef HARVELO_PLATFORM_FOLDER_BROWSER_H_
#define HARVELO_PLATFORM_FOLDER_BROWSER_H_

// The folder-browse component: a modal dialog in which the user picks a folder. Abstract
// so tests can answer it; the real implementation is a Qt dialog.

#include <cstdint>
#include <memory>

#include "platform/window_handle.h"
#include "text/text.h"

namespace harvelo {

class FolderBrowseDialog {
 public:
  virtual ~FolderBrowseDialog() = default;
  virtual void SetOwnerWindow(WindowHandle owner) = 0;
  // Options 1 to 6; what each value means is the implementation's, and documented there.
  virtual void SetOption(int number, std::int32_t value) = 0;
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
