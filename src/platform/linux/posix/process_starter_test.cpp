#include "platform/linux/posix/process_starter.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "platform/failure.h"
#include "support/child_process.h"
#include "support/eventually.h"

namespace harvelo {
namespace {

using namespace std::string_literals;

TEST(SplitCommandLineTest, GivenCommandLinesWeShouldTakeThePathAndOneWholeArgument) {
  // clang-format off
  const struct { Text command_line; std::string program; std::optional<std::string> argument; } cases[] = {
      {u"\"/opt/h/Haulbeam.exe\"", "/opt/h/Haulbeam", std::nullopt},
      {u"\"/opt/h/Tellora.exe\" <wHWND>1</wHWND>", "/opt/h/Tellora", "<wHWND>1</wHWND>"},
      {u"\"/opt/my apps/T.EXE\"  two  blanks ", "/opt/my apps/T", " two  blanks "},
      {u"\"/opt/h/T.exe\" a \"b\" c", "/opt/h/T", "a \"b\" c"},
      {u"\"/opt/h/T.exe\" ", "/opt/h/T", std::nullopt},
      {u"\"/opt/h/T.exe.exe\"", "/opt/h/T.exe", std::nullopt},
      {u"\"/opt/h/exe\"", "/opt/h/exe", std::nullopt},
      {u"\"/opt/ü/T\" é", "/opt/\xC3\xBC/T", "\xC3\xA9"},
      {u"/usr/bin/prog arg with blanks", "/usr/bin/prog", "arg with blanks"},
      {u"/usr/bin/prog", "/usr/bin/prog", std::nullopt}};
  // clang-format on
  for (const auto& c : cases) {
    const ProgramCall call = SplitCommandLine(c.command_line);
    EXPECT_EQ(call.program, c.program) << ToUtf8(c.command_line);
    EXPECT_EQ(call.argument, c.argument) << ToUtf8(c.command_line);
  }
  EXPECT_THROW(SplitCommandLine(u"\"/opt/h/Tellora.exe <x>"), Failure);  // an unclosed quote
}

class ProcessStarterTest : public ::testing::Test {
 protected:
  ProcessStarterTest() {
    std::filesystem::create_directory(folder_);
    std::filesystem::copy_file(HARVELO_RECORD_ARGS, folder_ + "/Tellora");
  }

  // Waits for the started program to end, thirty seconds at most (a machine under load may be
  // slow to run it); true when it ended well.
  static bool Finished(pid_t pid) {
    int status = 0;
    if (testing::Eventually([&] { return ::waitpid(pid, &status, WNOHANG) == pid; },
                            std::chrono::seconds(30), std::chrono::milliseconds(10))) {
      return WIFEXITED(status) && !WEXITSTATUS(status);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return false;
  }

  std::string Record() { return testing::FileBytes(folder_ + "/Tellora.record"); }

  testing::TemporaryFolder temporary_;
  const std::string folder_ = temporary_.path() + "/my apps \xC3\xA9";
  std::unique_ptr<ProcessStarter> starter_ = NewSpawnProcessStarter();
};

// The program gets the argument byte for byte, no shell between; without one it starts bare.
// Either way it runs in a session of its own, told its window style.
TEST_F(ProcessStarterTest, GivenAnArgumentOrNoneWeShouldHandItOverByteForByteWithTheWindowStyle) {
  const Text argument =
      u"<wHWND>42</wHWND><FormName>frmRobotExclude</FormName><URL>http://h.example/a b?q=\"x\"&"
      u"r='y';$(touch pwned)`id`|cat>out<in \\ * ~ #! %20 über 字 😀\t</URL>";
  ::setenv(kWindowStyleVariable, "9", 1);
  for (const auto& [given, style, record] :
       {std::tuple{u" " + argument, kMinimizedFocus, "1\0"s + "2\0"s + ToUtf8(argument) + "\0"s},
        std::tuple{Text(), kNormalNoFocus, "0\0"s + "4\0"s}}) {
    const std::int64_t pid =
        starter_->Shell(u"\"" + FromUtf8(folder_) + u"/Tellora.exe\"" + given, style);
    ASSERT_TRUE(Finished(static_cast<pid_t>(pid)));
    EXPECT_EQ(Record(), "own session\0"s + record);
  }
  ::unsetenv(kWindowStyleVariable);
  EXPECT_FALSE(std::filesystem::exists(folder_ + "/pwned"));
  EXPECT_FALSE(std::filesystem::exists("pwned"));
}

TEST_F(ProcessStarterTest, GivenAMissingProgramOrAFileThatIsNoProgramWeShouldRaiseNamingIt) {
  const Text command = u"\"" + FromUtf8(folder_) + u"/Haulbeam.exe\"";
  for (const char* error : {"No such file or directory", ""}) {
    try {
      starter_->Shell(command, kNormalNoFocus);
      ADD_FAILURE() << "no program started";
    } catch (const Failure& failure) {
      EXPECT_TRUE(failure.description().starts_with(
          FromUtf8("Cannot start " + folder_ + "/Haulbeam: " + error)));
    }
    std::ofstream(folder_ + "/Haulbeam") << "not a program";
  }
}

}  // namespace
}  // namespace harvelo
