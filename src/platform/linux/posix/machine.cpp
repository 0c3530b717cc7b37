#include "platform/linux/posix/machine.h"

#include <unistd.h>

#include <filesystem>
#include <string>

namespace harvelo {

namespace {

class LinuxMachine final : public Machine {
 public:
  Text ExecutableFolder() override {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return u"/";
    return FromUtf8(exe.parent_path().string());
  }

  std::string ComputerName() override {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return std::string();
    return std::string(name, sizeof name - 1);
  }
};

}  // namespace

std::unique_ptr<Machine> NewLinuxMachine() { return std::make_unique<LinuxMachine>(); }

}  // namespace harvelo
