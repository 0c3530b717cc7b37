#ifndef HARVELO_PLATFORM_LINUX_POSIX_FILE_DESCRIPTOR_H_
#define HARVELO_PLATFORM_LINUX_POSIX_FILE_DESCRIPTOR_H_

#include <unistd.h>

#include <utility>

namespace harvelo {

// A file descriptor with one owner at a time, closed when its owner lets it go, on every
// way out. -1 holds nothing.
class FileDescriptor {
 public:
  FileDescriptor() = default;
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept {
    reset(std::exchange(other.fd_, -1));
    return *this;
  }
  ~FileDescriptor() { reset(); }

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closes what is held, then holds `fd`.
  void reset(int fd = -1) {
    if (fd_ >= 0 && fd_ != fd) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_ = -1;
};

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_POSIX_FILE_DESCRIPTOR_H_
