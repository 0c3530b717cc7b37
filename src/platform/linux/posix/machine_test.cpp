#include "platform/linux/posix/machine.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "settings/app_path.h"

namespace harvelo {
namespace {

TEST(LinuxMachineTest, GivenThisTestProgramWeShouldNameItsFolderAndTheHostCutAtTheFirstNul) {
  auto machine = NewLinuxMachine();
  const std::string folder = std::filesystem::canonical("/proc/self/exe").parent_path().string();
  EXPECT_EQ(machine->ExecutableFolder(), FromUtf8(folder));
  EXPECT_EQ(AppPath(*machine).GetProgramFolder(), FromUtf8(folder + "/"));
  char host[256] = {};
  ASSERT_EQ(::gethostname(host, sizeof host - 1), 0);
  EXPECT_EQ(AppPath(*machine).GetMachineName(), FromUtf8(host));
}

}  // namespace
}  // namespace harvelo
