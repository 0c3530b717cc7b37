#include "platform/linux/hive_file/hive_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <sstream>
#include <thread>

#include "settings/registry.h"
#include "support/child_process.h"

namespace harvelo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string FileBytes(const fs::path& path) {
  std::stringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

// The file as the registry editor saves it: UTF-16LE behind a byte-order mark.
std::string Utf16LeFile(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  return bytes;
}

class HiveFileTest : public ::testing::Test {
 protected:
  void WriteFileBytes(const std::string& bytes) const {
    fs::create_directories(file_.parent_path());
    std::ofstream(file_, std::ios::binary) << bytes;
  }
  // Through a fresh store and registry on the file, as a new run of the program would.
  Text Read(const Text& name) {
    auto store = NewHiveFileStore(file_, report_);
    return Registry(*NewHiveRegistry(*store)).ReadSetting(kSettingsKey, name);
  }
  void Write(const Text& name, const Text& value) {
    auto store = NewHiveFileStore(file_, report_);
    Registry(*NewHiveRegistry(*store)).WriteSetting(kSettingsKey, name, value);
  }
  // Runs `body` in `count` child processes at once and waits for them; answers how many
  // ended on their own before `kill_after` (when given) killed them.
  int InChildren(int count, const std::function<void(int)>& body,
                 std::optional<std::chrono::microseconds> kill_after = {}) {
    std::vector<pid_t> children;
    for (int child = 0; child < count; ++child) {
      if (const pid_t pid = ::fork(); pid != 0) {
        children.push_back(pid);
      } else {
        body(child);
        ::_exit(0);
      }
    }
    if (kill_after) std::this_thread::sleep_for(*kill_after);
    int finished = 0;
    for (pid_t pid : children) {
      if (kill_after) ::kill(pid, SIGKILL);
      int status = 0;
      EXPECT_EQ(::waitpid(pid, &status, 0), pid);
      finished += WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return finished;
  }

  testing::TemporaryFolder folder_;
  const fs::path file_ = fs::path(folder_.path()) / "Quorvex" / "registry.reg";
  const std::string damaged_ = file_.string() + ".damaged";
  std::ostringstream report_;
};

TEST_F(HiveFileTest, GivenEveryValueTypeWeShouldReadBackWhatWasWrittenThroughTheFile) {
  const struct {
    std::string name;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
    std::string line;  // how the file spells it
  } cases[] = {
      {"say \"hi\" \\ bye", REG_SZ, {'a', '\\', '"', 0}, R"("say \"hi\" \\ bye"="a\\\"")"},
      {"utf8", REG_SZ, {0xC3, 0xA9, 0}, "\"utf8\"=\"\xC3\xA9\""},
      {"expand", REG_EXPAND_SZ, {'%', 'H', '%', 0}, "\"expand\"=hex(2):25,00,48,00,25,00,00,00"},
      {"multi",
       REG_MULTI_SZ,
       {'a', 0, 'b', 0, 0},
       "\"multi\"=hex(7):61,00,00,00,62,00,00,00,00,00"},
      {"dword", REG_DWORD, {10, 0, 0, 0}, "\"dword\"=dword:0000000a"},
      {"binary", REG_BINARY, {0, 0xFF}, "\"binary\"=hex:00,ff"},
      {"none", REG_NONE, {}, "\"none\"=hex(0):"},
      {"qword", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, "\"qword\"=hex(b):01,00,00,00,00,00,00,00"},
  };
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
    api->RegCloseKey(key);
  }
  EXPECT_TRUE(FileBytes(file_).starts_with("Windows Registry Editor Version 5.00\n"));
  EXPECT_NE(FileBytes(file_).find("\n[HKEY_CURRENT_USER\\SOFTWARE\\Quorvex]\n"), std::string::npos);
}

TEST_F(HiveFileTest, GivenTooSmallABufferWeShouldAnswerMoreDataWithTheSizeNeeded) {
  Write(u"dPathPics", u"/home/user/pictures");
  auto store = NewHiveFileStore(file_, report_);
  auto api = NewHiveRegistry(*store);
  HKEY key = 0;
  ASSERT_EQ(api->RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Quorvex", KEY_READ, &key),
            ERROR_SUCCESS);
  std::uint8_t small[4];
  std::uint32_t size = sizeof small;
  EXPECT_EQ(api->RegQueryValueExA(key, "dPathPics", nullptr, small, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 20u);  // 19 characters and the terminator
  EXPECT_EQ(api->RegQueryValueExA(key, "missing", nullptr, small, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(api->RegSetValueExA(key, "x", REG_SZ, small, 0), ERROR_ACCESS_DENIED);  // read only
  EXPECT_EQ(api->RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Nowhere", KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
}

// Whatever the file holds, a write keeps every value that can be read, and a file with lines
// that cannot be read is kept whole beside it, never overwritten by a later one.
TEST_F(HiveFileTest, GivenFilesOfEveryKindWeShouldReadThemAndKeepWhatCannotBeReadOnWrite) {
  const std::string head =
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_CURRENT_USER\\SOFTWARE\\Quorvex]\n\"vObeyRobot\"=\"0\"\n";
  const std::string tail = "\"dAddGroup\"=\"0\"\n";
  const struct {
    std::string bytes;
    bool damaged;  // some line cannot be read
  } cases[] = {
      {head + "\"dGroupNumber\"=\"g123\" \n" + tail, false},
      {Utf16LeFile(u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\"
                   u"Quorvex]\r\n\"vObeyRobot\"=hex(2):30,00,00,00\r\n\"dAddGroup\"=\"0\"\r\n"),
       false},
      {"REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Quorvex]\r\n\"vObeyRobot\"=\"0\"\r\n"
       "\"dAddGroup\"=hex(2):30,00\r\n",
       false},
      {head + "dGroupNumber=g123\n" + tail, true},
      {head + "\"dGroupNumber\"=\"\xC0\"\n" + tail, true},
      {head + tail + "\"dLogPath\"=hex:2f,\\\n", true},
      {std::string("\x7f"
                   "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0>\0",
                   20),
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    fs::remove_all(file_.parent_path());
    WriteFileBytes(c.bytes);
    const Text kept = c.bytes.starts_with("\x7f") ? u"" : u"0";
    for (const bool written : {false, true}) {
      EXPECT_EQ(Read(u"vObeyRobot"), kept);
      EXPECT_EQ(Read(u"dAddGroup"), kept);
      EXPECT_EQ(FileBytes(file_) == c.bytes, !written);  // reading never changes the file
      Write(u"dMsgNoPicsFound", u"0");
    }
    EXPECT_EQ(FileBytes(damaged_), c.damaged ? c.bytes : "");
    std::size_t unreadable = 99;
    Hive::Parse(FileBytes(file_), &unreadable);
    EXPECT_EQ(unreadable, 0u);
  }
  WriteFileBytes("junk");
  Write(u"a", u"1");
  EXPECT_EQ(FileBytes(damaged_), std::rbegin(cases)->bytes);
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
  EXPECT_EQ(report_.str().find("Settings: cannot read " + file_.string() +
                               ": Too many levels of symbolic links\n"),
            0u);
}

TEST_F(HiveFileTest, GivenTwoProcessesWritingAtOnceWeShouldLoseNoValue) {
  constexpr int kWrites = 1000;
  ASSERT_EQ(InChildren(2,
                       [&](int child) {
                         for (int i = 0; i < kWrites; ++i) {
                           Write(DecimalText(child) + u"-" + DecimalText(i), u"1");
                         }
                       }),
            2);
  Hive hive = Hive::Parse(FileBytes(file_));
  HiveKey* key = hive.FindKey("HKEY_CURRENT_USER\\SOFTWARE\\Quorvex");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->values.size(), 2u * kWrites);
}

TEST_F(HiveFileTest, GivenAWriterKilledAtRandomPointsWeShouldAlwaysLeaveTheOldOrTheNewValue) {
  constexpr int kKills = 1000;
  Write(u"dGroupNumber", u"0");
  // Kill points spread over about twice the time a child takes to start and write.
  const auto start = std::chrono::steady_clock::now();
  InChildren(1, [&](int) { Write(u"probe", u"1"); });
  const auto span = std::max<std::chrono::microseconds>(
      50us, 2 * std::chrono::duration_cast<std::chrono::microseconds>(
                    std::chrono::steady_clock::now() - start));
  std::mt19937 random(20261205);
  std::uniform_int_distribution<long> delay_us(0, span.count());
  Text old_value = u"0";
  int finished = 0;
  for (int i = 1; i <= kKills; ++i) {
    finished += InChildren(
        1, [&](int) { Write(u"dGroupNumber", DecimalText(i)); },
        std::chrono::microseconds(delay_us(random)));
    std::size_t unreadable = 0;
    Hive::Parse(FileBytes(file_), &unreadable);
    ASSERT_EQ(unreadable, 0u) << "after kill " << i << ":\n" << FileBytes(file_);
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
