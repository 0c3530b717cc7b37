#include "platform/linux/channel/channel_folder.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/failure.h"

namespace harvelo::channel {

namespace {

[[noreturn]] void Fail(const std::string& folder, const std::string& what, int error = 0) {
  std::string text = "The message channel folder " + folder + " " + what;
  if (error != 0) text += ": " + std::string(std::strerror(error));
  throw Failure(FromUtf8(text));
}

}  // namespace

std::string ChannelFolderFor(const char* xdg_runtime_dir, uid_t uid) {
  if (xdg_runtime_dir != nullptr && *xdg_runtime_dir != '\0') {
    return std::string(xdg_runtime_dir) + "/quorvex";
  }
  return "/tmp/quorvex-" + std::to_string(uid);
}

std::string DefaultChannelFolder() {
  return ChannelFolderFor(std::getenv("XDG_RUNTIME_DIR"), ::geteuid());
}

void PrepareChannelFolder(const std::string& folder) {
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    Fail(folder, "cannot be created", errno);
  }
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0) Fail(folder, "cannot be read", errno);
  if (!S_ISDIR(info.st_mode)) Fail(folder, "is not a folder");
  if (info.st_uid != ::geteuid()) Fail(folder, "belongs to another user");
  if ((info.st_mode & 0777) != 0700 && ::chmod(folder.c_str(), 0700) != 0) {
    Fail(folder, "cannot be made private", errno);
  }
}

std::string SocketPath(const std::string& folder, const Text& server_name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string path = folder + "/";
  for (unsigned char c : ToUtf8(server_name)) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
        c == '-') {
      path += static_cast<char>(c);
    } else {
      path += '%';
      path += kHex[c >> 4];
      path += kHex[c & 0xF];
    }
  }
  if (path.size() >= sizeof(sockaddr_un{}.sun_path)) Fail(folder, "is too deep for a socket");
  return path;
}

}  // namespace harvelo::channel
