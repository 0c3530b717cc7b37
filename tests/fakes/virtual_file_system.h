#ifndef HARVELO_TESTS_FAKES_VIRTUAL_FILE_SYSTEM_H_
#define HARVELO_TESTS_FAKES_VIRTUAL_FILE_SYSTEM_H_

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "platform/file_system.h"

namespace harvelo {

// Folders and files in memory, with "/" as separator. Records each folder created and each
// append, in order; folders in `read_only_` refuse new children.
struct VirtualFileSystem : FileSystemObject {
  bool FolderExists(const Text& path) override { return folders_.count(Normal(path)) != 0; }

  void CreateFolder(const Text& path) override {
    const Text folder = Normal(path);
    const Text parent = GetParentFolderName(folder);
    if (folders_.count(folder) || parent.empty() || !folders_.count(parent) ||
        read_only_.count(parent)) {
      throw Failure(u"Path not found");
    }
    folders_.insert(folder);
    created_.push_back(folder);
  }

  Text GetParentFolderName(const Text& path) override {
    const Text folder = Normal(path);
    if (folder == u"/") return Text();
    const std::size_t slash = folder.rfind(u'/');
    if (slash == Text::npos) return Text();
    return slash == 0 ? Text(u"/") : folder.substr(0, slash);
  }

  void AppendToFile(const Text& path, const Text& text) override {
    if (!FolderExists(GetParentFolderName(path)) || read_only_.count(GetParentFolderName(path))) {
      throw Failure(u"Permission denied");
    }
    files_[path] += text;
    appends_.push_back(path);
  }

  // Adds a folder and all its parents.
  void AddFolder(const Text& path) {
    for (Text folder = Normal(path); !folder.empty(); folder = GetParentFolderName(folder)) {
      folders_.insert(folder);
    }
  }

  std::set<Text> folders_{u"/"};
  std::set<Text> read_only_;
  std::vector<Text> created_;
  std::map<Text, Text> files_;
  std::vector<Text> appends_;

 private:
  static Text Normal(const Text& path) {
    Text folder = path;
    while (folder.size() > 1 && folder.back() == u'/') folder.pop_back();
    return folder;
  }
};

}  // namespace harvelo

#endif  // HARVELO_TESTS_FAKES_VIRTUAL_FILE_SYSTEM_H_
