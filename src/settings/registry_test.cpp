#include "settings/registry.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace harvelo {

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

TEST(RegistryTest, GivenAFreshProfileWeShouldReadEmptyAndReadBackWhatWeWroteWhole) {
  MemoryRegistry api;
  Registry registry(api);
  EXPECT_EQ(registry.ReadSetting(kSettingsKey, u"dGroupNumber"), u"");
  EXPECT_FALSE(registry.KeyExists(kSettingsKey));
  // Around the size of the first query, and with names in another case.
  for (const std::size_t length : {0, 1023, 1024, 1500}) {
    registry.WriteSetting(u"software\\quorvex", u"DPATHPICS", Text(length, u'x'));
    EXPECT_EQ(registry.ReadSetting(kSettingsKey, u"dPathPics"), Text(length, u'x')) << length;
  }
}

TEST(RegistryTest, GivenEachValueTypeWeShouldReadTheTextTheCallersCompareOrTheDefault) {
  const struct {
    const char* name;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
    Text text;
  } cases[] = {
      {"sz", REG_SZ, Bytes({" 0\0", 3}), u" 0"},
      {"expand", REG_EXPAND_SZ, Bytes({"%HOME%/x\0", 9}), u"%HOME%/x"},
      {"multi", REG_MULTI_SZ, Bytes({"a\0b\0\0", 5}), Text(u"a\0b", 3)},
      {"multi_short", REG_MULTI_SZ, {0x00}, u""},
      {"dword", REG_DWORD, {0xff, 0xff, 0xff, 0xff}, u"4294967295"},
      {"dword_three_bytes", REG_DWORD, {0x34, 0x12, 0x01}, u"70196"},
      {"dword_no_bytes", REG_DWORD, {}, u""},
      {"binary", REG_BINARY, Bytes("C:/x"), u"C:/x"},
      {"none", REG_NONE, Bytes("1"), u""},
      {"utf8", REG_SZ, Bytes({"Bilder/Grüße\0", 14}), u"Bilder/Grüße"},
  };
  MemoryRegistry memory;
  RegistryApi& api = memory;
  HKEY key = 0;
  ASSERT_EQ(api.RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Quorvex", &key), ERROR_SUCCESS);
  for (const auto& c : cases) {
    api.RegSetValueExA(key, c.name, c.type, c.data.data(), std::uint32_t(c.data.size()));
  }
  api.RegCloseKey(key);
  Registry registry(api);
  for (const auto& c : cases) {
    EXPECT_EQ(registry.ReadSetting(kSettingsKey, FromUtf8(c.name)), c.text) << c.name;
  }
  const RegValue fallback = Text(u"fallback");
  for (const Text name : {u"none", u"absent"}) {
    EXPECT_EQ(registry.GetRegValue(HKEY_CURRENT_USER, kSettingsKey, name, fallback), fallback);
  }
}

}  // namespace harvelo
