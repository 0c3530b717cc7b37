#include "scanner/folders.h"

#include "platform/failure.h"

namespace harvelo {

namespace {
constexpr std::size_t kPathBufferSize = 512;
}  // namespace

Text GetSpecialFolderPath(ShellFolders& shell, std::int32_t folder) {
  const std::optional<Text> path = shell.SpecialFolderPath(folder);
  if (!path) return Text();
  const Text buffer = Left(*path, kPathBufferSize);
  return buffer.substr(0, buffer.find(u'\0'));
}

bool CreateFolderPath(FileSystemObject& fs, const Text& path) {
  if (fs.FolderExists(path)) return true;
  while (true) {
    bool clean = true;
    Text current = path;
    while (true) {
      bool created = true;
      try {
        fs.CreateFolder(current);
      } catch (const Failure&) {
        created = false;
      }
      if (created) break;
      clean = false;
      current = fs.GetParentFolderName(current);
      if (current.empty()) return false;
    }
    // A parent was created, not the target: climb again from the full path.
    if (clean) return true;
  }
}

Text DefaultFolder(ShellFolders& shell, FileSystemObject& fs) {
  const Text folder = GetSpecialFolderPath(shell, CSIDL_PERSONAL) + kPathSeparator + u"Quorvex";
  CreateFolderPath(fs, folder);
  return folder;
}

}  // namespace harvelo
