#include "platform/linux/hive_file/hive_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>
#include <system_error>

namespace harvelo {

namespace {

namespace fs = std::filesystem;

// Closes a descriptor on every way out.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }

 private:
  int fd_;
};

// The file's bytes; nothing when it does not exist or cannot be read, and then `absent`,
// when given, tells whether there is no such file.
std::optional<std::string> ReadWhole(const fs::path& file, bool* absent = nullptr) {
  FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (absent != nullptr) *absent = !fd.valid() && errno == ENOENT;
  if (!fd.valid()) return std::nullopt;
  std::string bytes;
  char chunk[16384];
  while (true) {
    const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (got == 0) return bytes;
    bytes.append(chunk, static_cast<std::size_t>(got));
  }
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = ::write(fd, bytes.data(), bytes.size());
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}

class HiveFileStore final : public HiveStore {
 public:
  explicit HiveFileStore(fs::path file) : file_(std::move(file)) {}

  Hive Load() override {
    const std::optional<std::string> bytes = ReadWhole(file_);
    return bytes ? Hive::Parse(*bytes) : Hive();
  }

  LSTATUS Update(const std::function<LSTATUS(Hive&)>& change) override {
    std::error_code error;
    fs::create_directories(file_.parent_path(), error);
    if (error) return ERROR_ACCESS_DENIED;
    const fs::path lock_path = Sibling(".lock");
    FileDescriptor lock(::open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!lock.valid()) return ERROR_ACCESS_DENIED;
    while (::flock(lock.get(), LOCK_EX) != 0) {
      if (errno != EINTR) return ERROR_ACCESS_DENIED;
    }
    // The lock is ours until `lock` closes.
    Hive hive;
    bool absent = false;
    const std::optional<std::string> bytes = ReadWhole(file_, &absent);
    // Settings that cannot be read now are not written over.
    if (!bytes && !absent) return ERROR_ACCESS_DENIED;
    if (bytes) {
      std::size_t unreadable = 0;
      hive = Hive::Parse(*bytes, &unreadable);
      // The new file keeps every value read; the lines that could not be read stay in the
      // backup.
      if (unreadable != 0 && !KeepDamaged()) return ERROR_ACCESS_DENIED;
    }
    const LSTATUS status = change(hive);
    if (status != ERROR_SUCCESS) return status;
    return Replace(hive.Serialize()) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
  }

 private:
  fs::path Sibling(const std::string& suffix) const {
    fs::path sibling = file_;
    sibling += suffix;
    return sibling;
  }

  // Keeps the damaged file under a name of its own, never over an earlier one.
  bool KeepDamaged() const {
    for (int n = 0; n < 1000; ++n) {
      const fs::path backup =
          Sibling(n == 0 ? std::string(".damaged") : ".damaged." + std::to_string(n));
      if (::link(file_.c_str(), backup.c_str()) == 0) return true;
      if (errno != EEXIST) return false;
    }
    return false;
  }

  // Writes the new file beside the old one and renames it over it. Only the lock holder
  // writes the temporary file, so a copy left by a writer that died is simply overwritten.
  bool Replace(const std::string& bytes) const {
    const fs::path temporary = Sibling(".tmp");
    {
      FileDescriptor out(
          ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
      if (!out.valid() || !WriteAll(out.get(), bytes) || ::fsync(out.get()) != 0) {
        return false;
      }
    }
    if (::rename(temporary.c_str(), file_.c_str()) != 0) return false;
    FileDescriptor folder(::open(file_.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.valid()) ::fsync(folder.get());
    return true;
  }

  fs::path file_;
};

}  // namespace

std::filesystem::path DefaultHiveFilePath() {
  fs::path config;
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && fs::path(xdg).is_absolute()) {
    config = xdg;
  } else {
    const char* home = std::getenv("HOME");
    config = fs::path(home != nullptr ? home : "") / ".config";
  }
  return config / "Quorvex" / "registry.reg";
}

std::unique_ptr<HiveStore> NewHiveFileStore(std::filesystem::path file) {
  return std::make_unique<HiveFileStore>(std::move(file));
}

}  // namespace harvelo
