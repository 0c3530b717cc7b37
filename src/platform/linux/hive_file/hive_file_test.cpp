#include "platform/linux/hive_file/hive_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "settings/registry.h"
#include "support/child_process.h"

namespace harvelo {
namespace {

namespace fs = std::filesystem;

class HiveFileTest : public ::testing::Test {
 protected:
  std::string FileBytes(const fs::path& path) const {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }
  void WriteFileBytes(const std::string& bytes) const {
    fs::create_directories(file_.parent_path());
    std::ofstream(file_, std::ios::binary) << bytes;
  }
  // A fresh store and registry on the file, as a new run of the program would have.
  Text Read(const Text& name) {
    auto store = NewHiveFileStore(file_, report_);
    auto api = NewHiveRegistry(*store);
    return Registry(*api).ReadSetting(kSettingsKey, name);
  }
  void Write(const Text& name, const Text& value) {
    auto store = NewHiveFileStore(file_, report_);
    auto api = NewHiveRegistry(*store);
    Registry(*api).WriteSetting(kSettingsKey, name, value);
  }

  testing::TemporaryFolder folder_;
  const fs::path file_ = fs::path(folder_.path()) / "Quorvex" / "registry.reg";
  std::ostringstream report_;
};

TEST_F(HiveFileTest, GivenEveryValueTypeWeShouldReadBackWhatWasWrittenThroughTheFile) {
  struct Case {
    std::string name;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
    std::string line;  // how the file spells it
  };
  const Case cases[] = {
      {"text", REG_SZ, {'g', '9', '9', '8', 0}, "\"text\"=\"g998\""},
      {"say \"hi\" \\ bye",
       REG_SZ,
       {'a', '\\', '"', 0},
       "\"say \\\"hi\\\" \\\\ bye\"=\"a\\\\\\\"\""},
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
  {
    auto store = NewHiveFileStore(file_, report_);
    auto api = NewHiveRegistry(*store);
    HKEY key = 0;
    ASSERT_EQ(api->RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Quorvex", &key), ERROR_SUCCESS);
    for (const Case& c : cases) {
      ASSERT_EQ(api->RegSetValueExA(key, c.name, c.type, c.data.data(),
                                    static_cast<std::uint32_t>(c.data.size())),
                ERROR_SUCCESS)
          << c.name;
    }
    api->RegCloseKey(key);
  }
  const std::string text = FileBytes(file_);
  EXPECT_TRUE(text.starts_with("Windows Registry Editor Version 5.00\n"));
  EXPECT_NE(text.find("[HKEY_CURRENT_USER\\SOFTWARE\\Quorvex]\n"), std::string::npos);

  auto store = NewHiveFileStore(file_, report_);
  auto api = NewHiveRegistry(*store);
  HKEY key = 0;
  ASSERT_EQ(api->RegOpenKeyExA(HKEY_CURRENT_USER, "software\\QUORVEX", KEY_READ, &key),
            ERROR_SUCCESS);
  for (const Case& c : cases) {
    EXPECT_NE(text.find(c.line + "\n"), std::string::npos) << c.line;
    std::uint32_t type = 99;
    std::uint32_t size = 0;
    ASSERT_EQ(api->RegQueryValueExA(key, c.name, &type, nullptr, &size), ERROR_SUCCESS);
    std::vector<std::uint8_t> data(size);
    ASSERT_EQ(api->RegQueryValueExA(key, c.name, &type, data.data(), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, c.type) << c.name;
    EXPECT_EQ(data, c.data) << c.name;
  }
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

TEST_F(HiveFileTest, GivenUnreadableLinesWeShouldReadTheRestAndKeepEveryValueAndTheFile) {
  const std::string head =
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_CURRENT_USER\\SOFTWARE\\Quorvex]\n\"vObeyRobot\"=\"0\"\n";
  const std::string tail = "\"dAddGroup\"=\"0\"\n";
  struct Case {
    const char* what;
    std::string bytes;
    bool damaged;  // some line cannot be read
  };
  const Case cases[] = {
      {"a blank after a value", head + "\"dGroupNumber\"=\"g123\" \n" + tail, false},
      {"bad syntax", head + "dGroupNumber=g123\n" + tail, true},
      {"invalid UTF-8", head + "\"dGroupNumber\"=\"\xC0\"\n" + tail, true},
      {"cut off", head + tail + "\"dLogPath\"=hex:2f,\\\n", true},
      {"no registry file",
       std::string("\x7f"
                   "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0>\0",
                   20),
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(file_.parent_path());
    WriteFileBytes(c.bytes);
    const bool registry_file = c.bytes.starts_with("Windows");
    EXPECT_EQ(Read(u"vObeyRobot"), registry_file ? u"0" : u"");
    EXPECT_EQ(Read(u"dAddGroup"), registry_file ? u"0" : u"");
    EXPECT_EQ(FileBytes(file_), c.bytes);  // reading never changes the file
    Write(u"dMsgNoPicsFound", u"0");
    EXPECT_EQ(FileBytes(fs::path(file_.string() + ".damaged")), c.damaged ? c.bytes : "");
    EXPECT_EQ(Read(u"vObeyRobot"), registry_file ? u"0" : u"");
    EXPECT_EQ(Read(u"dAddGroup"), registry_file ? u"0" : u"");
    EXPECT_EQ(Read(u"dMsgNoPicsFound"), u"0");
    std::size_t unreadable = 99;
    Hive::Parse(FileBytes(file_), &unreadable);
    EXPECT_EQ(unreadable, 0u);
  }
}

TEST_F(HiveFileTest, GivenAFileSavedByTheRegistryEditorWeShouldReadItAndKeepItsValuesOnWrite) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : std::u16string_view(u"Windows Registry Editor Version 5.00\r\n\r\n"
                                        u"[HKEY_CURRENT_USER\\SOFTWARE\\Quorvex]\r\n"
                                        u"\"dLogSource\"=hex(2):30,00,00,00\r\n"
                                        u"\"dPathPics\"=\"/home/me/Gr\u00fc\u00dfe\"\r\n")) {
    bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  }
  WriteFileBytes(bytes);
  for (const char* when : {"as saved", "after a write"}) {
    SCOPED_TRACE(when);
    EXPECT_EQ(Read(u"dLogSource"), u"0");
    EXPECT_EQ(Read(u"dPathPics"), u"/home/me/Gr\u00fc\u00dfe");
    Write(u"dGroupNumber", u"g998");
  }
  EXPECT_FALSE(fs::exists(file_.string() + ".damaged"));
  EXPECT_TRUE(FileBytes(file_).starts_with("Windows Registry Editor Version 5.00\n"));
}

TEST_F(HiveFileTest, GivenASecondDamagedFileWeShouldNotOverwriteTheFirstBackup) {
  WriteFileBytes("junk one");
  Write(u"a", u"1");
  WriteFileBytes("junk two");
  Write(u"a", u"2");
  EXPECT_EQ(FileBytes(fs::path(file_.string() + ".damaged")), "junk one");
  EXPECT_EQ(FileBytes(fs::path(file_.string() + ".damaged.1")), "junk two");
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

TEST_F(HiveFileTest, GivenAHandWrittenRegedit4FileWeShouldReadIt) {
  WriteFileBytes(
      "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Quorvex]\r\n"
      "\"dPathPics\"=\"/srv/pics\"\r\n\"vMaximize\"=dword:00000001\r\n"
      "\"dLogPath\"=hex(2):2f,74,6d,70,00\r\n");
  EXPECT_EQ(Read(u"dPathPics"), u"/srv/pics");
  EXPECT_EQ(Read(u"vMaximize"), u"1");
  EXPECT_EQ(Read(u"dLogPath"), u"/tmp");
}

TEST_F(HiveFileTest, GivenTwoProcessesWritingAtOnceWeShouldLoseNoValue) {
  constexpr int kWrites = 1000;
  pid_t children[2];
  for (int child = 0; child < 2; ++child) {
    children[child] = ::fork();
    ASSERT_GE(children[child], 0);
    if (children[child] == 0) {
      const Text prefix = child == 0 ? u"a" : u"b";
      for (int i = 0; i < kWrites; ++i) Write(prefix + DecimalText(i), DecimalText(i));
      ::_exit(0);
    }
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  Hive hive = Hive::Parse(FileBytes(file_));
  HiveKey* key = hive.FindKey("HKEY_CURRENT_USER\\SOFTWARE\\Quorvex");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->values.size(), 2u * kWrites);
  for (const char* prefix : {"a", "b"}) {
    for (int i = 0; i < kWrites; ++i) {
      ASSERT_NE(key->FindValue(prefix + std::to_string(i)), nullptr) << prefix << i;
    }
  }
}

TEST_F(HiveFileTest, GivenAWriterKilledAtRandomPointsWeShouldAlwaysLeaveTheOldOrTheNewValue) {
  constexpr int kKills = 1000;
  Write(u"dGroupNumber", u"0");
  // Kill points spread over about twice the time a child takes to start and write.
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 20; ++i) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      Write(u"probe", DecimalText(i));
      ::_exit(0);
    }
    ASSERT_EQ(::waitpid(pid, nullptr, 0), pid);
  }
  const auto one_write = (std::chrono::steady_clock::now() - start) / 20;
  const long span_us = std::max<long>(
      50, 2 * std::chrono::duration_cast<std::chrono::microseconds>(one_write).count());

  std::mt19937 random(20261205);
  std::uniform_int_distribution<long> delay_us(0, span_us);
  Text old_value = u"0";
  int finished = 0;
  for (int i = 1; i <= kKills; ++i) {
    const Text new_value = DecimalText(i);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      Write(u"dGroupNumber", new_value);
      ::_exit(0);
    }
    ::usleep(static_cast<useconds_t>(delay_us(random)));
    ::kill(pid, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    if (WIFEXITED(status)) ++finished;

    const std::string bytes = FileBytes(file_);
    std::size_t unreadable = 0;
    Hive::Parse(bytes, &unreadable);
    ASSERT_EQ(unreadable, 0u) << "after kill " << i << ":\n" << bytes;
    const Text now = Read(u"dGroupNumber");
    ASSERT_TRUE(now == old_value || now == new_value) << "after kill " << i << ": " << ToUtf8(now);
    old_value = now;
  }
  // The kills must have landed both before and after writes finished, or the test proved
  // nothing about the points in between.
  EXPECT_GT(finished, 0);
  EXPECT_LT(finished, kKills);
  EXPECT_FALSE(fs::exists(fs::path(file_.string() + ".damaged")));
}

TEST(DefaultHiveFilePathTest, GivenXdgConfigHomeWeShouldUseItAndOtherwiseDotConfig) {
  const char* saved_xdg = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = saved_xdg ? saved_xdg : "";
  ::setenv("XDG_CONFIG_HOME", "/srv/config", 1);
  EXPECT_EQ(DefaultHiveFilePath(), fs::path("/srv/config/Quorvex/registry.reg"));
  ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
  EXPECT_EQ(DefaultHiveFilePath(), fs::path(std::getenv("HOME")) / ".config/Quorvex/registry.reg");
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(DefaultHiveFilePath(), fs::path(std::getenv("HOME")) / ".config/Quorvex/registry.reg");
  if (saved_xdg) ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
}

}  // namespace
}  // namespace harvelo
