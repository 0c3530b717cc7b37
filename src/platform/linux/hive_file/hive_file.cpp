#include "platform/linux/hive_file/hive_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>
#include <system_error>

#include "platform/linux/posix/file_descriptor.h"

namespace harvelo {

namespace {

namespace fs = std::filesystem;

// The file's bytes, or the error that kept them from being read (ENOENT: no such file).
struct FileRead {
  std::string bytes;
  int error = 0;
};

FileRead ReadWhole(const fs::path& file) {
  FileRead read;
  const FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) {
    read.error = errno;
    return read;
  }
  char chunk[16384];
  while (true) {
    const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) read.error = errno;
    if (got <= 0) return read;
    read.bytes.append(chunk, static_cast<std::size_t>(got));
  }
}

// 0 when all of `bytes` is written, else the error.
int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = ::write(fd, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return errno;
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return 0;
}

class HiveFileStore final : public HiveStore {
 public:
  HiveFileStore(fs::path file, std::ostream& report) : file_(std::move(file)), report_(report) {}

  Hive Load() override {
    const FileRead read = ReadWhole(file_);
    if (read.error == 0) return Hive::Parse(read.bytes);
    // No file is the empty hive of a user who never changed a setting.
    if (read.error != ENOENT) Refuse("read", file_, read.error);
    return Hive();
  }

  LSTATUS Update(const std::function<LSTATUS(Hive&)>& change) override {
    std::error_code error;
    fs::create_directories(file_.parent_path(), error);
    if (error) return Refuse("make the folder", file_.parent_path(), error.value());
    const fs::path lock_path = Sibling(".lock");
    const FileDescriptor lock(::open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!lock.valid()) return Refuse("open", lock_path, errno);
    while (::flock(lock.get(), LOCK_EX) != 0) {
      if (errno != EINTR) return Refuse("lock", lock_path, errno);
    }
    // The lock is ours until `lock` closes.
    Hive hive;
    const FileRead read = ReadWhole(file_);
    // Settings that cannot be read now are not written over.
    if (read.error != 0 && read.error != ENOENT) return Refuse("read", file_, read.error);
    if (read.error == 0) {
      std::size_t unreadable = 0;
      hive = Hive::Parse(read.bytes, &unreadable);
      // The new file keeps every value read; the lines that could not be read stay in the
      // backup.
      if (unreadable != 0) {
        if (const int kept = KeepDamaged(); kept != 0) {
          return Refuse("keep a copy of the damaged", file_, kept);
        }
      }
    }
    const LSTATUS status = change(hive);
    if (status != ERROR_SUCCESS) return status;
    return Replace(hive.Serialize());
  }

 private:
  // The one place where this store's system errors become its answer. The registry
  // functions answer only their codes, so the cause goes to the report, where a person can
  // find it; a cause just told is not told again.
  LSTATUS Refuse(const std::string& what, const fs::path& path, int error) {
    const std::string line =
        "Settings: cannot " + what + " " + path.string() + ": " + std::strerror(error) + "\n";
    if (line != last_told_) report_ << line << std::flush;
    last_told_ = line;
    return ERROR_ACCESS_DENIED;
  }

  fs::path Sibling(const std::string& suffix) const {
    fs::path sibling = file_;
    sibling += suffix;
    return sibling;
  }

  // Keeps the damaged file under a name of its own, never over an earlier one. 0, or the
  // error.
  int KeepDamaged() const {
    for (int n = 0; n < 1000; ++n) {
      const fs::path backup =
          Sibling(n == 0 ? std::string(".damaged") : ".damaged." + std::to_string(n));
      if (::link(file_.c_str(), backup.c_str()) == 0) return 0;
      if (errno != EEXIST) return errno;
    }
    return EEXIST;
  }

  // Writes the new file beside the old one and renames it over it. Only the lock holder
  // writes the temporary file, so a copy left by a writer that died is simply overwritten.
  LSTATUS Replace(const std::string& bytes) {
    const fs::path temporary = Sibling(".tmp");
    {
      const FileDescriptor out(
          ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
      if (!out.valid()) return Refuse("write", temporary, errno);
      if (const int error = WriteAll(out.get(), bytes); error != 0) {
        return Refuse("write", temporary, error);
      }
      if (::fsync(out.get()) != 0) return Refuse("write", temporary, errno);
    }
    if (::rename(temporary.c_str(), file_.c_str()) != 0) return Refuse("replace", file_, errno);
    const FileDescriptor folder(
        ::open(file_.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.valid()) ::fsync(folder.get());
    return ERROR_SUCCESS;
  }

  const fs::path file_;
  std::ostream& report_;
  std::string last_told_;
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

std::unique_ptr<HiveStore> NewHiveFileStore(std::filesystem::path file, std::ostream& report) {
  return std::make_unique<HiveFileStore>(std::move(file), report);
}

}  // namespace harvelo
