#include "platform/linux/posix/posix_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/failure.h"
#include "platform/linux/posix/file_descriptor.h"

namespace harvelo {

namespace {

// The one place where an OS error becomes the program's failure, named as the scripting
// runtime names the common ones.
[[noreturn]] void Raise(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      throw Failure(u"Path not found");
    case EEXIST:
      throw Failure(u"File already exists");
    case EACCES:
    case EPERM:
    case EROFS:
      throw Failure(u"Permission denied");
    default:
      throw Failure(FromUtf8(std::strerror(error)));
  }
}

class PosixFileSystem : public FileSystemObject {
 public:
  bool FolderExists(const Text& path) override {
    struct stat info {};
    return !path.empty() && ::stat(ToUtf8(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
  }

  void CreateFolder(const Text& path) override {
    if (path.empty() || ::mkdir(ToUtf8(path).c_str(), 0777) != 0)
      Raise(path.empty() ? ENOENT : errno);
  }

  Text GetParentFolderName(const Text& path) override {
    Text folder = path;
    while (folder.size() > 1 && folder.back() == kPathSeparator) folder.pop_back();
    const std::size_t slash = folder.rfind(kPathSeparator);
    if (folder.size() <= 1 || slash == Text::npos) return Text();
    return slash == 0 ? Text(1, kPathSeparator) : folder.substr(0, slash);
  }

  // One write on a descriptor opened for appending: the kernel places it at the end of
  // the file as a whole, so two programs appending at once never interleave their lines.
  void AppendToFile(const Text& path, const Text& text) override {
    const FileDescriptor fd(
        ::open(ToUtf8(path).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
    if (!fd.valid()) Raise(errno);
    const std::string bytes = ToUtf8(text);
    const ssize_t written = ::write(fd.get(), bytes.data(), bytes.size());
    if (written < 0) Raise(errno);
    if (static_cast<std::size_t>(written) != bytes.size()) Raise(ENOSPC);
  }
};

}  // namespace

std::unique_ptr<FileSystemObject> NewPosixFileSystem() {
  return std::make_unique<PosixFileSystem>();
}

}  // namespace harvelo
