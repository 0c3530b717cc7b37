#include "platform/linux/xdg/xdg_folders.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace harvelo {

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The value of `key` in user-dirs.dirs: a quoted absolute path or one that begins with
// "$HOME/"; anything else is ignored, as xdg-user-dir does.
std::string UserDir(const std::string& key, const std::string& home) {
  std::string config = Environment("XDG_CONFIG_HOME");
  if (config.empty() || config.front() != '/') config = home + "/.config";
  std::ifstream file(config + "/user-dirs.dirs");
  std::string line;
  std::string found;
  while (std::getline(file, line)) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, key.size() + 1, key + "=") != 0) {
      continue;
    }
    std::string value = line.substr(start + key.size() + 1);
    if (value.size() < 2 || value.front() != '"') continue;
    const std::size_t close = value.find('"', 1);
    if (close == std::string::npos) continue;
    value = value.substr(1, close - 1);
    if (value.rfind("$HOME", 0) == 0 && (value.size() == 5 || value[5] == '/')) {
      found = home + value.substr(5);
    } else if (!value.empty() && value.front() == '/') {
      found = value;
    }
  }
  return found;
}

class XdgShellFolders : public ShellFolders {
 public:
  std::optional<Text> SpecialFolderPath(std::int32_t folder) override {
    const std::string home = Environment("HOME");
    if (home.empty()) return std::nullopt;
    if (folder == CSIDL_PERSONAL) {
      const std::string documents = UserDir("XDG_DOCUMENTS_DIR", home);
      return FromUtf8(documents.empty() ? home : documents);
    }
    if (folder == CSIDL_DESKTOPDIRECTORY) {
      const std::string desktop = UserDir("XDG_DESKTOP_DIR", home);
      return FromUtf8(desktop.empty() ? home + "/Desktop" : desktop);
    }
    return std::nullopt;
  }
};

}  // namespace

std::unique_ptr<ShellFolders> NewXdgShellFolders() { return std::make_unique<XdgShellFolders>(); }

}  // namespace harvelo
