#include "settings/registry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/recording_registry.h"

namespace harvelo {
namespace {

// Stores a value of any type directly, as another program or a person editing the file
// might have left it.
void Store(RegistryApi& api, const std::string& key, const std::string& name, std::uint32_t type,
           std::vector<std::uint8_t> data) {
  HKEY handle = 0;
  ASSERT_EQ(api.RegCreateKeyExA(HKEY_CURRENT_USER, key, &handle), ERROR_SUCCESS);
  ASSERT_EQ(
      api.RegSetValueExA(handle, name, type, data.data(), static_cast<std::uint32_t>(data.size())),
      ERROR_SUCCESS);
  api.RegCloseKey(handle);
}

std::vector<std::uint8_t> Bytes(std::string_view text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

TEST(RegistryTest, GivenAFreshProfileWeShouldReadEverySettingAsEmpty) {
  RecordingRegistry api;
  Registry registry(api);
  for (const Text name :
       {u"vMaximize", u"vObeyRobot", u"dMsgNoPicsFound", u"dPathPics", u"dPathMpegs", u"dAddGroup",
        u"dLogSource", u"dLogPath", u"dGroupNumber"}) {
    EXPECT_EQ(registry.ReadSetting(kSettingsKey, name), u"") << ToUtf8(name);
  }
  EXPECT_FALSE(registry.KeyExists(kSettingsKey));
}

TEST(RegistryTest, GivenNoKeyOrOnlyItsParentWeShouldCreateTheKeyAndReadTheValueBack) {
  for (const bool parent : {false, true}) {
    RecordingRegistry api;
    Registry registry(api);
    if (parent) registry.CreateKey(HKEY_CURRENT_USER, u"SOFTWARE");
    registry.WriteSetting(kSettingsKey, u"dMsgNoPicsFound", u"0");
    EXPECT_TRUE(registry.KeyExists(kSettingsKey)) << parent;
    EXPECT_EQ(registry.ReadSetting(kSettingsKey, u"dMsgNoPicsFound"), u"0") << parent;
  }
}

TEST(RegistryTest, GivenEachValueTypeWeShouldTurnItIntoTheTextTheCallersCompare) {
  struct Case {
    const char* name;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
    Text expected;
  };
  const Case cases[] = {
      {"sz", REG_SZ, Bytes(std::string_view("0\0", 2)), u"0"},
      {"sz_spaced", REG_SZ, Bytes(std::string_view(" 0\0", 3)), u" 0"},
      {"sz_empty", REG_SZ, Bytes(std::string_view("\0", 1)), u""},
      {"expand", REG_EXPAND_SZ, Bytes(std::string_view("%HOME%/x\0", 9)), u"%HOME%/x"},
      {"multi", REG_MULTI_SZ, Bytes(std::string_view("a\0b\0\0", 5)), Text(u"a\0b", 3)},
      {"multi_short", REG_MULTI_SZ, {0x00}, u""},
      {"dword_zero", REG_DWORD, {0, 0, 0, 0}, u"0"},
      {"dword", REG_DWORD, {0x0a, 0, 0, 0}, u"10"},
      {"dword_max", REG_DWORD, {0xff, 0xff, 0xff, 0xff}, u"4294967295"},
      {"dword_one_byte", REG_DWORD, {0x05}, u"5"},
      {"dword_three_bytes", REG_DWORD, {0x34, 0x12, 0x01}, u"70196"},
      {"dword_no_bytes", REG_DWORD, {}, u""},
      {"binary", REG_BINARY, Bytes("C:/x"), u"C:/x"},
      {"none", REG_NONE, Bytes("1"), u""},
      {"qword", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, u""},
      {"utf8", REG_SZ, Bytes(std::string_view("Bilder/Grüße\0", 14)), u"Bilder/Grüße"},
  };
  RecordingRegistry api;
  for (const Case& c : cases) Store(api, "SOFTWARE\\Quorvex", c.name, c.type, c.data);
  Registry registry(api);
  for (const Case& c : cases) {
    EXPECT_EQ(registry.ReadSetting(kSettingsKey, FromUtf8(c.name)), c.expected) << c.name;
  }
}

TEST(RegistryTest, GivenTextsAroundTheFirstQuerySizeWeShouldReadThemWhole) {
  RecordingRegistry api;
  Registry registry(api);
  for (const std::size_t length : {1023, 1024, 1500}) {
    const Text path = Text(length, u'x');
    registry.WriteSetting(kSettingsKey, u"dPathPics", path);
    EXPECT_EQ(registry.ReadSetting(kSettingsKey, u"dPathPics"), path) << length;
  }
}

TEST(RegistryTest, GivenNamesInAnotherCaseWeShouldFindTheSameValue) {
  RecordingRegistry api;
  Registry registry(api);
  registry.WriteSetting(u"software\\quorvex", u"DGROUPNUMBER", u"g123");
  EXPECT_EQ(registry.ReadSetting(kSettingsKey, u"dGroupNumber"), u"g123");
  registry.WriteSetting(kSettingsKey, u"dGroupNumber", u"g122");
  EXPECT_EQ(registry.ReadSetting(kSettingsKey, u"DGroupNumber"), u"g122");
}

TEST(RegistryTest, GivenADefaultWeShouldKeepItForMissingAndUnsupportedValues) {
  RecordingRegistry api;
  Store(api, "SOFTWARE\\Quorvex", "none", REG_NONE, {});
  Registry registry(api);
  const RegValue fallback = Text(u"fallback");
  EXPECT_EQ(registry.GetRegValue(HKEY_CURRENT_USER, kSettingsKey, u"none", fallback), fallback);
  EXPECT_EQ(registry.GetRegValue(HKEY_CURRENT_USER, kSettingsKey, u"absent", fallback), fallback);
  EXPECT_EQ(registry.GetRegValue(HKEY_CURRENT_USER, u"SOFTWARE\\Nowhere", u"x", fallback),
            fallback);
}

TEST(RegistryTest, GivenAWriteWeShouldStoreRegSzWithItsTerminator) {
  RecordingRegistry api;
  Registry registry(api);
  registry.WriteSetting(kSettingsKey, u"dGroupNumber", u"g998");
  const Hive hive = api.store().Load();
  ASSERT_EQ(hive.keys().size(), 2u);
  const HiveKey& key = hive.keys()[1];
  ASSERT_EQ(key.values.size(), 1u);
  EXPECT_EQ(key.values[0].type, REG_SZ);
  EXPECT_EQ(key.values[0].data, Bytes(std::string_view("g998\0", 5)));
}

}  // namespace
}  // namespace harvelo
