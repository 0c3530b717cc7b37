#include "scanner/media_types.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "scanner/media_reach.h"
#include "settings/setting_names.h"

namespace harvelo {

TEST(MediaTypesTest, GivenAddressesWeShouldClassifyByTheEndOrTheExtensionBeforeAQuestionMark) {
  // Picture and movie in the classic reach, then in the modern one.
  const std::pair<Text, std::string> cases[] = {
      {u"http://h/A.JpG", "1010"},         {u"http://h/a.JPEG", "1010"},
      {u"http://h/a.jpe", "1010"},         {u"http://h/a.gif", "1010"},
      {u"http://h/a.jp", "0000"},          {u"http://h/a.jpg ", "0000"},
      {u"http://h/a.jpg?w=100", "1010"},   {u"http://h/a.jpg#big", "0000"},
      {u"h/s.php?img=a.jpg", "1010"},      {u"h/s.php?img=a.jpg&w=1", "0000"},
      {u"http://h/clip.rm", "0101"},       {u"http://h/clip.rmvb", "0000"},
      {u"http://h/clip.MPG", "0101"},      {u"http://h/x.mpeg", "0101"},
      {u"http://h/x.avi/a.html", "0000"},  {u"http://h/x.avi?id=1", "0101"},
      {u"http://h/x.mov?p=a.jpg", "1111"}, {u"http://h/.wmv", "0101"},
      {u"http://h/x.asf", "0101"},         {u"", "0000"},
      {u"https://h/a.PNG", "0010"},        {u"https://h/a.webp?w=2", "0010"},
      {u"https://h/a.avif", "0010"},       {u"https://h/a.pngx", "0000"},
      {u"https://h/c.mp4", "0001"},        {u"https://h/c.WebM?t=1", "0001"},
      {u"https://h/c.m4v", "0001"},        {u"https://h/c.mkv#t", "0000"},
      {u"https://h/c.mkv?p=a.png", "0011"}};
  for (const auto& [address, kinds] : cases) {
    std::string found;
    for (const MediaReach reach : {MediaReach{}, MediaReach{true}}) {
      found += std::string(IsPictureURL(address, reach) ? "1" : "0") +
               (IsMovieURL(address, reach) ? "1" : "0");
    }
    EXPECT_EQ(found, kinds) << ToUtf8(address);
  }
  for (const MediaReach reach : {MediaReach{}, MediaReach{true}}) {
    EXPECT_EQ(std::string() + (IsReachableURL(u"http://h/", reach) ? "1" : "0") +
                  (IsReachableURL(u"https://h/", reach) ? "1" : "0") +
                  (IsReachableURL(u"ftp://h/", reach) ? "1" : "0"),
              reach.modern ? "110" : "100");
  }
}

TEST(MediaReachTest, GivenTheSettingWeShouldBeModernOnlyForExactlyOne) {
  const std::pair<std::optional<Text>, bool> cases[] = {
      {std::nullopt, false}, {u"", false}, {u"0", false}, {u" 1", false}, {u"1", true}};
  for (const auto& [value, modern] : cases) {
    MemoryRegistry api;
    Registry registry(api);
    if (value) registry.WriteSetting(kSettingsKey, setting::vModernReach, *value);
    EXPECT_EQ(ReadMediaReach(registry).modern, modern) << ToUtf8(value.value_or(u"(missing)"));
  }
}

}  // namespace harvelo
