#include "platform/hive/hive.h"

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
    "\"expand\"=hex(2):25,00\n"
    "\"multi\"=hex(7):61,00,62,00,00\n"
    "\"qword\"=hex(b):01,00,00,00,00,00,00,00\n"
    "@=\"default\"\n";

TEST(HiveTest, GivenEveryValueFormWeShouldReadTypeAndBytes) {
  std::optional<Hive> hive = Hive::Parse(kSample);
  ASSERT_TRUE(hive);
  HiveKey* key = hive->FindKey("hkey_current_user\\software\\QUORVEX");
  ASSERT_NE(key, nullptr);
  struct Case {
    std::string name;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
  };
  const Case cases[] = {
      {"dGroupNumber", 1, {'g', '9', '9', '8', 0}},
      {"path \"quoted\" \\ back",
       1, {'C', ':', '\\', 'B', 'i', 'l', 'd', 'e', 'r', ' ', '"', 'n', 'e', 'u', '"', 0}},
      {"count", 4, {10, 0, 0, 0}},
      {"bytes", 3, {1, 0xff}},
      {"none", 0, {}},
      {"expand", 2, {0x25, 0}},
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
}

TEST(HiveTest, GivenAParsedHiveWeShouldWriteTheSameTextBack) {
  std::optional<Hive> hive = Hive::Parse(kSample);
  ASSERT_TRUE(hive);
  EXPECT_EQ(hive->Serialize(), kSample);
}

TEST(HiveTest, GivenAHandWrittenFileWeShouldAcceptItsVariants) {
  const std::string_view variants[] = {
      "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Quorvex]\r\n\"a\"=\"1\"\r\n",
      "\xEF\xBB\xBFWindows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"a\"=\"1\"",
      "; settings\nWindows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n"
      "\"a\"=hex:01,\\\n  02\n",
  };
  for (std::string_view text : variants) EXPECT_TRUE(Hive::Parse(text)) << text;
}

TEST(HiveTest, GivenDamagedTextWeShouldReadNothingRatherThanGuess) {
  const std::string_view damaged[] = {
      "",
      "not a registry file\n",
      "Windows Registry Editor Version 5.00\n\"a\"=\"value before any key\"\n",
      "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"a\"=\"unclosed\n",
      "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"a\"=dword:0000\n",
      "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"a\"=hex:0\n",
      "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"a\"=hex:01,\\\n",
      "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X\n",
      "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"a\"=\"\xFF\xFE\"\n",
      std::string_view("Windows Registry Editor Version 5.00\n\0\0\0", 40),
      "Windows Registry Ed",
      "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"a\"=\"x\\n\"\n",
  };
  for (std::string_view text : damaged) EXPECT_FALSE(Hive::Parse(text)) << text;
}

TEST(HiveTest, GivenTextTheQuotedFormCannotHoldWeShouldWriteItAsHex) {
  Hive hive;
  HiveKey& key = hive.CreateKey("HKEY_CURRENT_USER\\X");
  key.SetValue("nul inside", 1, {'a', 0, 'b', 0});
  key.SetValue("no terminator", 1, {'a'});
  key.SetValue("line break", 1, {'a', '\n', 0});
  key.SetValue("short dword", 4, {1, 2});
  std::optional<Hive> back = Hive::Parse(hive.Serialize());
  ASSERT_TRUE(back);
  for (const HiveValue& value : key.values) {
    const HiveValue* read = back->FindKey("HKEY_CURRENT_USER\\X")->FindValue(value.name);
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
