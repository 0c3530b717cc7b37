#include "platform/linux/hive_file/hive_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <thread>

#include "settings/registry.h"
#include "support/child_process.h"

namespace harvelo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

using testing::FileBytes;

std::size_t Unreadable(const std::string& text) {
  std::size_t unreadable = 99;
  Hive::Parse(text, &unreadable);
  return unreadable;
}

// Runs `body` in a child process and waits for it; answers whether it ended on its own before
// `kill_after` (when not zero) killed it.
bool InChild(const std::function<void()>& body, std::chrono::microseconds kill_after = 0us) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    body();
    ::_exit(0);
  }
  if (kill_after > 0us) {
    std::this_thread::sleep_for(kill_after);
    ::kill(pid, SIGKILL);
  }
  int status = 0;
  EXPECT_EQ(::waitpid(pid, &status, 0), pid);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class HiveFileTest : public ::testing::Test {
 protected:
  // Through a fresh store and registry on the file, as a new run of the program would.
  Text Read(const Text& name) {
    auto store = NewHiveFileStore(file_, report_);
    return Registry(*NewHiveRegistry(*store)).ReadSetting(kSettingsKey, name);
  }
  void Write(const Text& name, const Text& value) {
    auto store = NewHiveFileStore(file_, report_);
    Registry(*NewHiveRegistry(*store)).WriteSetting(kSettingsKey, name, value);
  }

  testing::TemporaryFolder folder_;
  const fs::path file_ = fs::path(folder_.path()) / "Quorvex" / "registry.reg";
  const std::string damaged_ = file_.string() + ".damaged";
  std::ostringstream report_;
};

TEST_F(HiveFileTest, GivenEveryValueTypeWeShouldReadBackWhatWasWrittenThroughTheFile) {
  // clang-format off
  const struct { std::string name; std::uint32_t type; std::vector<std::uint8_t> data; std::string line; } cases[] = {
      {"say \"hi\" \\ bye", REG_SZ, {'a', '\\', '"', 0}, R"("say \"hi\" \\ bye"="a\\\"")"},
      {"utf8", REG_SZ, {0xC3, 0xA9, 0}, "\"utf8\"=\"\xC3\xA9\""},
      {"expand", REG_EXPAND_SZ, {'%', 'H', '%', 0}, "\"expand\"=hex(2):25,00,48,00,25,00,00,00"},
      {"multi", REG_MULTI_SZ, {'a', 0, 'b', 0, 0}, "\"multi\"=hex(7):61,00,00,00,62,00,00,00,00,00"},
      {"dword", REG_DWORD, {10, 0, 0, 0}, "\"dword\"=dword:0000000a"},
      {"binary", REG_BINARY, {0, 0xFF}, "\"binary\"=hex:00,ff"},
      {"none", REG_NONE, {}, "\"none\"=hex(0):"},
      {"qword", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, "\"qword\"=hex(b):01,00,00,00,00,00,00,00"}};
  // clang-format on
  for (const bool reading : {false, true}) {
    auto store = NewHiveFileStore(file_, report_);
    auto api = NewHiveRegistry(*store);
    HKEY key = 0;
    ASSERT_EQ(reading ? api->RegOpenKeyExA(HKEY_CURRENT_USER, "software\\QUORVEX", KEY_READ, &key)
                      : api->RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Quorvex", &key),
              ERROR_SUCCESS);
    for (const auto& c : cases) {
      std::uint32_t type = 99;
      std::uint32_t size = reading ? 64 : static_cast<std::uint32_t>(c.data.size());
      std::vector<std::uint8_t> data = reading ? std::vector<std::uint8_t>(64) : c.data;
      ASSERT_EQ(reading ? api->RegQueryValueExA(key, c.name, &type, data.data(), &size)
                        : api->RegSetValueExA(key, c.name, c.type, data.data(), size),
                ERROR_SUCCESS)
          << c.name;
      if (!reading) continue;
      EXPECT_NE(FileBytes(file_).find(c.line + "\n"), std::string::npos) << c.line;
      EXPECT_EQ(type, c.type) << c.name;
      EXPECT_EQ(std::vector(data.begin(), data.begin() + size), c.data) << c.name;
    }
    if (!reading) continue;
    std::uint8_t small[4];
    std::uint32_t size = sizeof small;
    EXPECT_EQ(api->RegQueryValueExA(key, "multi", nullptr, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(api->RegQueryValueExA(key, "missing", nullptr, small, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(api->RegSetValueExA(key, "x", REG_SZ, small, 0), ERROR_ACCESS_DENIED);
    EXPECT_EQ(api->RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Nowhere", KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    api->RegCloseKey(key);
  }
  EXPECT_TRUE(FileBytes(file_).starts_with("Windows Registry Editor Version 5.00\n"));
  EXPECT_NE(FileBytes(file_).find("\n[HKEY_CURRENT_USER\\SOFTWARE\\Quorvex]\n"), std::string::npos);
}

// Whatever the file holds, a write keeps every value that can be read, and a file with lines
// that cannot be read is kept whole beside it, never overwritten by a later one.
TEST_F(HiveFileTest, GivenFilesOfEveryKindWeShouldReadThemAndKeepWhatCannotBeReadOnWrite) {
  const std::string head =
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_CURRENT_USER\\SOFTWARE\\Quorvex]\n\"vObeyRobot\"=\"0\"\n";
  const std::string tail = "\"dAddGroup\"=\"0\"\n";
  std::string utf16 = "\xFF\xFE";
  for (char c :
       "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Quorvex]"
       "\r\n\"vObeyRobot\"=hex(2):30,00,00,00\r\n\"dAddGroup\"=\"0\"\r\n") {
    if (c) utf16 += {c, '\0'};
  }
  const std::pair<std::string, bool> cases[] = {
      // the bytes, whether a line cannot be read
      {head + "\"dGroupNumber\"=\"g123\" \n" + tail, false},
      {utf16, false},
      {"REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Quorvex]\r\n\"vObeyRobot\"=\"0\"\r\n"
       "\"dAddGroup\"=hex(2):30,00\r\n",
       false},
      {head + "dGroupNumber=g123\n" + tail, true},
      {head + "\"dGroupNumber\"=\"\xC0\"\n" + tail, true},
      {head + tail + "\"dLogPath\"=hex:2f,\\\n", true},
      {std::string("\x7f"
                   "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0>\0",
                   20),
       true}};
  for (const auto& [bytes, damaged] : cases) {
    SCOPED_TRACE(bytes);
    fs::remove_all(file_.parent_path());
    fs::create_directories(file_.parent_path());
    std::ofstream(file_, std::ios::binary) << bytes;
    const Text kept = bytes.starts_with("\x7f") ? u"" : u"0";
    for (const bool written : {false, true}) {
      EXPECT_EQ(Read(u"vObeyRobot") + Read(u"dAddGroup"), kept + kept);
      EXPECT_EQ(FileBytes(file_) == bytes, !written);  // reading never changes the file
      Write(u"dMsgNoPicsFound", u"0");
    }
    EXPECT_EQ(FileBytes(damaged_), damaged ? bytes : "");
    EXPECT_EQ(Unreadable(FileBytes(file_)), 0u);
  }
  std::ofstream(file_, std::ios::binary) << "junk";
  Write(u"a", u"1");
  EXPECT_EQ(FileBytes(damaged_), std::rbegin(cases)->first);
  EXPECT_EQ(FileBytes(damaged_ + ".1"), "junk");
}

TEST_F(HiveFileTest, GivenAFileThatCannotBeReadWeShouldNotWriteOverIt) {
  // A file a person may not read, typically; here, since tests may run as the superuser, a
  // link that leads only to itself.
  fs::create_directories(file_.parent_path());
  fs::create_symlink(file_.filename(), file_);
  Write(u"dGroupNumber", u"g998");
  EXPECT_TRUE(fs::is_symlink(file_));
  EXPECT_EQ(Read(u"dGroupNumber"), u"");
  // The registry functions say only "access denied"; the cause is told for a person.
  EXPECT_TRUE(report_.str().starts_with("Settings: cannot read " + file_.string() +
                                        ": Too many levels of symbolic links\n"));
}

TEST_F(HiveFileTest, GivenTwoProcessesWritingAtOnceWeShouldLoseNoValue) {
  const pid_t other = ::fork();
  if (other == 0) {
    for (int i = 0; i < 1000; ++i) Write(u"a-" + DecimalText(i), u"1");
    ::_exit(0);
  }
  EXPECT_TRUE(InChild([&] {
    for (int i = 0; i < 1000; ++i) Write(u"b-" + DecimalText(i), u"1");
  }));
  ASSERT_EQ(::waitpid(other, nullptr, 0), other);
  Hive hive = Hive::Parse(FileBytes(file_));
  ASSERT_NE(hive.FindKey("HKEY_CURRENT_USER\\SOFTWARE\\Quorvex"), nullptr);
  EXPECT_EQ(hive.FindKey("HKEY_CURRENT_USER\\SOFTWARE\\Quorvex")->values.size(), 2000u);
}

TEST_F(HiveFileTest, GivenAWriterKilledAtRandomPointsWeShouldAlwaysLeaveTheOldOrTheNewValue) {
  constexpr int kKills = 1000;
  Write(u"dGroupNumber", u"0");
  // Kill points spread over about twice the time a child takes to start and write.
  const auto start = std::chrono::steady_clock::now();
  InChild([&] { Write(u"probe", u"1"); });
  const auto span = std::max<std::chrono::microseconds>(
      50us, 2 * std::chrono::duration_cast<std::chrono::microseconds>(
                    std::chrono::steady_clock::now() - start));
  std::mt19937 random(20261205);
  std::uniform_int_distribution<long> delay_us(1, span.count());
  Text old_value = u"0";
  int finished = 0;
  for (int i = 1; i <= kKills; ++i) {
    finished += InChild([&] { Write(u"dGroupNumber", DecimalText(i)); },
                        std::chrono::microseconds(delay_us(random)));
    ASSERT_EQ(Unreadable(FileBytes(file_)), 0u) << "after kill " << i << ":\n" << FileBytes(file_);
    const Text now = Read(u"dGroupNumber");
    ASSERT_TRUE(now == old_value || now == DecimalText(i)) << "after kill " << i;
    old_value = now;
  }
  // The kills must have landed both before and after writes finished, or the test proved
  // nothing about the points in between.
  EXPECT_GT(finished, 0);
  EXPECT_LT(finished, kKills);
  EXPECT_FALSE(fs::exists(damaged_));
}

TEST(DefaultHiveFilePathTest, GivenXdgConfigHomeWeShouldUseItAndOtherwiseDotConfig) {
  const fs::path home = fs::path(std::getenv("HOME")) / ".config/Quorvex/registry.reg";
  for (const auto& [xdg, expected] :
       {std::pair{"/srv/config", fs::path("/srv/config/Quorvex/registry.reg")},
        std::pair{"relative/ignored", home}, std::pair{"", home}}) {
    ::setenv("XDG_CONFIG_HOME", xdg, 1);
    EXPECT_EQ(DefaultHiveFilePath(), expected) << xdg;
  }
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(DefaultHiveFilePath(), home);
}

}  // namespace
}  // namespace harvelo
