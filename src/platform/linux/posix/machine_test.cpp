#include "platform/linux/posix/machine.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "settings/app_path.h"

namespace harvelo {
namespace {

TEST(LinuxMachineTest, GivenThisTestProgramWeShouldNameTheFolderItRunsFrom) {
  auto machine = NewLinuxMachine();
  const std::filesystem::path exe = std::filesystem::canonical("/proc/self/exe");
  EXPECT_EQ(machine->ExecutableFolder(), FromUtf8(exe.parent_path().string()));
  EXPECT_EQ(AppPath(*machine).GetProgramFolder(), FromUtf8(exe.parent_path().string() + "/"));
}

TEST(LinuxMachineTest, GivenTheHostWeShouldGiveItsNameCutAtTheFirstNul) {
  char expected[256] = {};
  ASSERT_EQ(::gethostname(expected, sizeof expected - 1), 0);
  auto machine = NewLinuxMachine();
  EXPECT_EQ(AppPath(*machine).GetMachineName(), FromUtf8(expected));
}

}  // namespace
}  // namespace harvelo
