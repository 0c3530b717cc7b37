#include "platform/linux/hive/hive.h"

#include <gtest/gtest.h>

namespace harvelo {
namespace {

using namespace std::string_literals;

std::string Bytes(const HiveValue* value) {
  return value ? std::to_string(value->type) + ":" +
                     std::string(value->data.begin(), value->data.end())
               : "none";
}

// The file as the registry editor saves it: UTF-16LE behind a byte-order mark.
std::string Utf16LeFile(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  return bytes;
}

TEST(HiveTest, GivenEveryValueFormWeShouldReadTypeAndBytesAndWriteTheSameTextBack) {
  const std::string text =
      "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\SOFTWARE]\n\n"
      "[HKEY_CURRENT_USER\\SOFTWARE\\Quorvex]\n\"dGroupNumber\"=\"g998\"\n"
      "\"path \\\"quoted\\\" \\\\ back\"=\"C:\\\\Bilder \\\"neu\\\"\"\n\"count\"=dword:0000000a\n"
      "\"bytes\"=hex:01,ff\n\"none\"=hex(0):\n\"expand\"=hex(2):25,00,e9,00,00,00\n"
      "\"multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\n\"qword\"=hex(b):01,00,00,00,00,00,00,00\n"
      "@=\"default\"\n";
  Hive hive = Hive::Parse(text);
  HiveKey* key = hive.FindKey("hkey_current_user\\software\\QUORVEX");
  ASSERT_NE(key, nullptr);
  // clang-format off
  const std::pair<std::string, std::string> cases[] = {
      {"dGroupNumber", "1:g998\0"s}, {"path \"quoted\" \\ back", "1:C:\\Bilder \"neu\"\0"s},
      {"count", "4:\x0a\0\0\0"s}, {"bytes", "3:\x01\xff"s}, {"none", "0:"},
      {"expand", "2:%\xC3\xA9\0"s}, {"multi", "7:a\0b\0\0"s}, {"qword", "11:\x01\0\0\0\0\0\0\0"s},
      {"", "1:default\0"s}};
  // clang-format on
  for (const auto& [name, held] : cases) EXPECT_EQ(Bytes(key->FindValue(name)), held) << name;
  EXPECT_EQ(hive.Serialize(), text);
}

// Each text holds "a" under HKEY_CURRENT_USER\X as `held`, or nothing ("none"), with as many
// lines that cannot be read as `unreadable`; the values around a line that cannot be read stay.
TEST(HiveTest, GivenTextsOfEveryKindWeShouldReadWhatTheRegistryEditorReadsAndCountTheRest) {
  const std::string v5 = "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n";
  const std::string r4 = "REGEDIT4\n[HKEY_CURRENT_USER\\X]\n";
  // clang-format off
  const struct { std::string text; std::size_t unreadable; std::string held; } cases[] = {
      {"REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\X]\r\n\"a\"=\"1\"\r\n", 0, "1:1\0"s},
      {"\xEF\xBB\xBF" + v5 + "\"a\"=\"1\"", 0, "1:1\0"s},
      {"; settings\n" + v5 + "\"a\"=hex:01,\\\n  02\n", 0, "3:\x01\x02"s},
      {"  REGEDIT4 \n\t[HKEY_CURRENT_USER\\X]  \n  \"a\"=\"1\" \t\n\"b\"=\"2\"\n", 0, "1:1\0"s},
      {r4 + "\"a\"=hex: 01 ,02, \\ \n 03\n", 0, "3:\x01\x02\x03"s},
      {r4 + "\"a\"=dword:1\n", 0, "4:\x01\0\0\0"s},
      {r4 + "\"a\"=hex(2):30,00\n", 0, "2:0\0"s},
      {r4 + "\"a\"=hex(1):a0,00\n", 0, "1:\xEF\xBF\xBD\0"s},
      {v5 + "\"a\"=hex(2):30,00,00,00\n", 0, "2:0\0"s},
      {v5 + "\"a\"=hex(1):30,00,00\n", 0, "1:0"},
      {Utf16LeFile(u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\X]\r\n\"a\"=\"Gr\u00fc\u00dfe\"\r\n"), 0, "1:Gr\xC3\xBC\xC3\x9F" "e\0"s},
      {Utf16LeFile(u"Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\X]\r\n\"a\"=hex(7):e9,00,00,00,00,00\r\n"), 0, "7:\xC3\xA9\0\0"s},
      {"", 0, "none"},
      {"\n; only a comment\n", 0, "none"},
      {"not a registry file\n", 1, "none"},
      {"[HKEY_CURRENT_USER\\X]\n\"a\"=\"1\"\n", 2, "none"},
      {"Windows Registry Ed", 1, "none"},
      {"\x7f" "ELF\x02\x01\x01\0\0\0\n\x03\0>\0"s, 2, "none"},
      {"Windows Registry Editor Version 5.00\n\"a\"=\"value before any key\"\n", 1, "none"},
      {v5 + "\"a\"=hex:01,\\\n", 1, "none"}};
  const std::string bad_lines[] = {
      "vObeyRobot=0", "\"a\"=\"unclosed", "\"a\"=\"x\\n\"", "\"a\"=\"\xFF\xFE\"", "\"a\"=\"\0\""s,
      "\"a\"=dword:123456789", "\"a\"=hex:0", "\"a\"=hex:01,\\", "[HKEY_CURRENT_USER\\X",
      "[-HKEY_CURRENT_USER\\X]"};
  // clang-format on
  for (const auto& c : cases) {
    std::size_t unreadable = 99;
    Hive hive = Hive::Parse(c.text, &unreadable);
    EXPECT_EQ(unreadable, c.unreadable) << c.text;
    HiveKey* key = hive.FindKey("HKEY_CURRENT_USER\\X");
    EXPECT_EQ(Bytes(key ? key->FindValue("a") : nullptr), c.held) << c.text;
  }
  for (const std::string& bad : bad_lines) {
    std::size_t unreadable = 0;
    Hive hive =
        Hive::Parse(v5 + "\"before\"=\"1\"\n" + bad + "\n[HKEY_CURRENT_USER\\X]\n\"after\"=\"2\"\n",
                    &unreadable);
    EXPECT_EQ(unreadable, 1u) << bad;
    HiveKey* key = hive.FindKey("HKEY_CURRENT_USER\\X");
    ASSERT_NE(key, nullptr) << bad;
    EXPECT_EQ(Bytes(key->FindValue("before")) + Bytes(key->FindValue("a")) +
                  Bytes(key->FindValue("after")),
              "1:1\0none1:2\0"s)
        << bad;
  }
}

TEST(HiveTest, GivenValuesTheQuotedFormCannotHoldWeShouldWriteThemAsHexAndCreateEveryLevel) {
  Hive hive;
  HiveKey& key = hive.CreateKey("HKEY_CURRENT_USER\\SOFTWARE\\Quorvex\\Deep");
  key.SetValue("nul inside", 1, {'a', 0, 'b', 0});
  key.SetValue("no terminator", 1, {'a'});
  key.SetValue("line break", 1, {'a', '\n', 0});
  key.SetValue("short dword", 4, {1, 2});
  key.SetValue("expand", 2, {'%', 0xC3, 0xA9, 0});
  key.SetValue("multi", 7, {'a', 0, 'b', 0, 0});
  hive.CreateKey("hkey_current_user\\software");
  ASSERT_EQ(hive.keys().size(), 3u);
  EXPECT_EQ(hive.keys()[0].path, "HKEY_CURRENT_USER\\SOFTWARE");
  Hive back = Hive::Parse(hive.Serialize());
  for (const HiveValue& value : hive.keys()[2].values) {
    EXPECT_EQ(
        Bytes(back.FindKey("HKEY_CURRENT_USER\\SOFTWARE\\Quorvex\\Deep")->FindValue(value.name)),
        Bytes(&value));
  }
}

}  // namespace
}  // namespace harvelo
