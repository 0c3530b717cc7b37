#ifndef HARVELO_PLATFORM_FILE_SYSTEM_H_
#define HARVELO_PLATFORM_FILE_SYSTEM_H_

// The file-system services the program uses. Abstract so tests can record what was
// created and written; the real implementation uses std::filesystem and POSIX.

#include "text/text.h"

namespace harvelo {

// The separator of folder paths on this platform.
#ifdef _WIN32
inline constexpr char16_t kPathSeparator = u'\\';
#else
inline constexpr char16_t kPathSeparator = u'/';
#endif

class FileSystemObject {
 public:
  virtual ~FileSystemObject() = default;
  virtual bool FolderExists(const Text& path) = 0;
  // Creates one folder. Throws Failure when its parent is missing, when it exists already,
  // or when it cannot be created for any other reason.
  virtual void CreateFolder(const Text& path) = 0;
  // The folder that holds `path`; the empty text above the root.
  virtual Text GetParentFolderName(const Text& path) = 0;
  // Appends `text` to the file in one write, creating the file when it is missing, so that
  // two programs appending at once never interleave. Throws Failure when it cannot.
  virtual void AppendToFile(const Text& path, const Text& text) = 0;
};

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_FILE_SYSTEM_H_
