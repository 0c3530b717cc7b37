#include "platform/linux/hive/hive.h"

#include <gtest/gtest.h>

namespace harvelo {
namespace {

constexpr std::string_view kSample =
    "Windows Registry Editor Version 5.00\n"
    "\n"
    "[HKEY_CURRENT_USER\\SOFTWARE]\n"
    "\n"
    "[HKEY_CURRENT_USER\\SOFTWARE\\Quorvex]\n"
    "\"dGroupNumber\"=\"g998\"\n"
    "\"path \\\"quoted\\\" \\\\ back\"=\"C:\\\\Bilder \\\"neu\\\"\"\n"
    "\"count\"=dword:0000000a\n"
    "\"bytes\"=hex:01,ff\n"
    "\"none\"=hex(0):\n"
    "\"expand\"=hex(2):25,00,e9,00,00,00\n"
    "\"multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\n"
    "\"qword\"=hex(b):01,00,00,00,00,00,00,00\n"
    "@=\"default\"\n";

TEST(HiveTest, GivenEveryValueFormWeShouldReadTypeAndBytesAndWriteTheSameTextBack) {
  Hive hive = Hive::Parse(kSample);
  HiveKey* key = hive.FindKey("hkey_current_user\\software\\QUORVEX");
  ASSERT_NE(key, nullptr);
  struct Case {
    std::string name;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
  };
  const Case cases[] = {
      {"dGroupNumber", 1, {'g', '9', '9', '8', 0}},
      {"path \"quoted\" \\ back",
       1,
       {'C', ':', '\\', 'B', 'i', 'l', 'd', 'e', 'r', ' ', '"', 'n', 'e', 'u', '"', 0}},
      {"count", 4, {10, 0, 0, 0}},
      {"bytes", 3, {1, 0xff}},
      {"none", 0, {}},
      {"expand", 2, {0x25, 0xC3, 0xA9, 0}},
      {"multi", 7, {'a', 0, 'b', 0, 0}},
      {"qword", 11, {1, 0, 0, 0, 0, 0, 0, 0}},
      {"", 1, {'d', 'e', 'f', 'a', 'u', 'l', 't', 0}},
  };
  for (const Case& c : cases) {
    const HiveValue* value = key->FindValue(c.name);
    ASSERT_NE(value, nullptr) << c.name;
    EXPECT_EQ(value->type, c.type) << c.name;
    EXPECT_EQ(value->data, c.data) << c.name;
  }
  EXPECT_EQ(hive.Serialize(), kSample);
}

// The file as the registry editor saves it: UTF-16LE behind a byte-order mark.
std::string Utf16LeFile(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  return bytes;
}

TEST(HiveTest, GivenWhatTheRegistryEditorAcceptsWeShouldReadTheValueAsTheRegistryHoldsIt) {
  struct Case {
    std::string text;
    std::vector<std::uint8_t> data;  // of "a" under HKEY_CURRENT_USER\X
  };
  const Case cases[] = {
      {"REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\X]\r\n\"a\"=\"1\"\r\n", {'1', 0}},
      {"\xEF\xBB\xBFWindows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"a\"=\"1\"",
       {'1', 0}},
      {"; settings\nWindows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n"
       "\"a\"=hex:01,\\\n  02\n",
       {1, 2}},
      {"  REGEDIT4 \n\t[HKEY_CURRENT_USER\\X]  \n  \"a\"=\"1\" \t\n\"b\"=\"2\"\n", {'1', 0}},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"a\"=hex: 01 ,02, \\ \n 03\n", {1, 2, 3}},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"a\"=dword:1\n", {1, 0, 0, 0}},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"a\"=hex(2):30,00\n", {'0', 0}},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"a\"=hex(2):30,00,00,00\n",
       {'0', 0}},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"a\"=hex(1):30,00,00\n",
       {'0'}},
      {Utf16LeFile(u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\X]\r\n"
                   u"\"a\"=\"Gr\u00fc\u00dfe\"\r\n"),
       {'G', 'r', 0xC3, 0xBC, 0xC3, 0x9F, 'e', 0}},
      {Utf16LeFile(u"Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\X]\r\n"
                   u"\"a\"=hex(7):e9,00,00,00,00,00\r\n"),
       {0xC3, 0xA9, 0, 0}},
  };
  for (const Case& c : cases) {
    std::size_t unreadable = 99;
    Hive hive = Hive::Parse(c.text, &unreadable);
    EXPECT_EQ(unreadable, 0u) << c.text;
    HiveKey* key = hive.FindKey("HKEY_CURRENT_USER\\X");
    const HiveValue* value = key ? key->FindValue("a") : nullptr;
    ASSERT_NE(value, nullptr) << c.text;
    EXPECT_EQ(value->data, c.data) << c.text;
  }
}

TEST(HiveTest, GivenALineThatCannotBeReadWeShouldSkipItAndReadItsNeighbours) {
  const std::string_view bad_lines[] = {
      "vObeyRobot=0",
      "\"a\"=\"unclosed",
      "\"a\"=\"x\\n\"",
      "\"a\"=\"\xFF\xFE\"",
      std::string_view("\"a\"=\"\0\"", 6),
      "\"a\"=dword:123456789",
      "\"a\"=hex:0",
      "\"a\"=hex:01,\\",  // goes on into the key line below
      "[HKEY_CURRENT_USER\\X",
      "[-HKEY_CURRENT_USER\\X]",
  };
  for (std::string_view bad : bad_lines) {
    const std::string text =
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n"
        "\"before\"=\"1\"\n" +
        std::string(bad) + "\n[HKEY_CURRENT_USER\\X]\n\"after\"=\"2\"\n";
    std::size_t unreadable = 0;
    Hive hive = Hive::Parse(text, &unreadable);
    EXPECT_EQ(unreadable, 1u) << bad;
    HiveKey* key = hive.FindKey("HKEY_CURRENT_USER\\X");
    ASSERT_NE(key, nullptr) << bad;
    EXPECT_NE(key->FindValue("before"), nullptr) << bad;
    EXPECT_EQ(key->FindValue("a"), nullptr) << bad;
    EXPECT_NE(key->FindValue("after"), nullptr) << bad;
  }
}

TEST(HiveTest, GivenTextThatIsNoRegistryFileWeShouldReadNothingAndCountItsLines) {
  struct Case {
    std::string_view text;
    std::size_t unreadable;
  };
  const Case cases[] = {
      {"", 0},
      {"\n; only a comment\n", 0},
      {"not a registry file\n", 1},
      {"[HKEY_CURRENT_USER\\X]\n\"a\"=\"1\"\n", 2},
      {"Windows Registry Ed", 1},
      {std::string_view("\x7f"
                        "ELF\x02\x01\x01\0\0\0\n\x03\0>\0",
                        14),
       2},
      {"Windows Registry Editor Version 5.00\n\"a\"=\"value before any key\"\n", 1},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"a\"=hex:01,\\\n", 1},
  };
  for (const Case& c : cases) {
    std::size_t unreadable = 99;
    Hive hive = Hive::Parse(c.text, &unreadable);
    EXPECT_EQ(unreadable, c.unreadable) << c.text;
    for (const HiveKey& key : hive.keys()) EXPECT_TRUE(key.values.empty()) << c.text;
  }
}

TEST(HiveTest, GivenTextTheQuotedFormCannotHoldWeShouldWriteItAsHex) {
  Hive hive;
  HiveKey& key = hive.CreateKey("HKEY_CURRENT_USER\\X");
  key.SetValue("nul inside", 1, {'a', 0, 'b', 0});
  key.SetValue("no terminator", 1, {'a'});
  key.SetValue("line break", 1, {'a', '\n', 0});
  key.SetValue("short dword", 4, {1, 2});
  key.SetValue("expand", 2, {'%', 0xC3, 0xA9, 0});
  key.SetValue("multi", 7, {'a', 0, 'b', 0, 0});
  Hive back = Hive::Parse(hive.Serialize());
  for (const HiveValue& value : key.values) {
    const HiveValue* read = back.FindKey("HKEY_CURRENT_USER\\X")->FindValue(value.name);
    ASSERT_NE(read, nullptr) << value.name;
    EXPECT_EQ(read->type, value.type) << value.name;
    EXPECT_EQ(read->data, value.data) << value.name;
  }
}

TEST(HiveTest, GivenADeepKeyWeShouldCreateEveryLevelBelowTheRoot) {
  Hive hive;
  hive.CreateKey("HKEY_CURRENT_USER\\SOFTWARE\\Quorvex\\Deep");
  ASSERT_EQ(hive.keys().size(), 3u);
  EXPECT_EQ(hive.keys()[0].path, "HKEY_CURRENT_USER\\SOFTWARE");
  EXPECT_EQ(hive.keys()[2].path, "HKEY_CURRENT_USER\\SOFTWARE\\Quorvex\\Deep");
  hive.CreateKey("hkey_current_user\\software");
  EXPECT_EQ(hive.keys().size(), 3u);
}

}  // namespace
}  // namespace harvelo
