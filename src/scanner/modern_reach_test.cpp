#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "scanner/media_reach.h"
#include "scanner/page_scan.h"
#include "settings/setting_names.h"

namespace harvelo {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr MediaReach kClassic{};
constexpr MediaReach kModern{true};

TEST(ModernReachTest, GivenEachReachWeShouldClassifyTodaysTypesOnlyWhenModern) {
  struct Case {
    Text address;
    bool picture_modern;
    bool movie_modern;
  };
  const std::vector<Case> cases = {
      {u"https://h/a.PNG", true, false},       {u"https://h/a.webp?w=2", true, false},
      {u"https://h/a.avif", true, false},      {u"https://h/a.pngx", false, false},
      {u"https://h/c.mp4", false, true},       {u"https://h/c.WebM?t=1", false, true},
      {u"https://h/c.m4v", false, true},       {u"https://h/c.mkv#t", false, false},
      {u"https://h/c.mkv?p=a.png", true, true}};
  for (const Case& c : cases) {
    EXPECT_EQ(IsPictureURL(c.address, kModern), c.picture_modern) << ToUtf8(c.address);
    EXPECT_EQ(IsMovieURL(c.address, kModern), c.movie_modern) << ToUtf8(c.address);
    EXPECT_FALSE(IsPictureURL(c.address, kClassic) || IsMovieURL(c.address, kClassic));
  }
  // The classic types stay what they were in both reaches.
  EXPECT_TRUE(IsPictureURL(u"http://h/a.jpe", kModern) && IsMovieURL(u"http://h/a.rm", kModern));
}

TEST(ModernReachTest, GivenTheSettingWeShouldBeModernOnlyForExactlyOne) {
  const std::vector<std::pair<std::optional<Text>, bool>> cases = {
      {std::nullopt, false}, {u"", false}, {u"0", false}, {u" 1", false}, {u"1", true}};
  for (const auto& [value, modern] : cases) {
    FakePlatform fake;
    Registry registry(fake.registry);
    if (value) registry.WriteSetting(kSettingsKey, setting::vModernReach, *value);
    EXPECT_EQ(ReadMediaReach(registry).modern, modern) << ToUtf8(value.value_or(u"(missing)"));
  }
}

TEST(ModernReachTest, GivenAnHttpsGalleryWeShouldTakeItsMediaOnlyWhenModern) {
  FakePlatform fake;
  fake.page->location = u"https://h/g/index.html";
  fake.page->document.root_innerHTML =
      u"<base href=\"https://h/g/\"><a href=\"https://h/a.png\"><img src=\"https://h/t.webp\">"
      u"</a><a href=\"/c.mp4\"><img src=\"t.png\"></a><a href=\"http://h/b.jpg\"><img "
      u"src=\"t.jpg\"></a><a href=\"https://h/a.png\"><img src=\"t.avif\"></a><a href=x>x</a>";
  const MediaScan classic = ScanForMedia(*fake.page, fake.urls, fake.ui, kClassic);
  EXPECT_THAT(classic.MediaURLs, ElementsAre(u"", u"http://h/b.jpg"));
  const MediaScan modern = ScanForMedia(*fake.page, fake.urls, fake.ui, kModern);
  EXPECT_THAT(modern.MediaURLs,
              ElementsAre(u"", u"https://h/a.png", u"https://h/g/c.mp4", u"http://h/b.jpg"));
  EXPECT_EQ(CountMovies(modern.MediaURLs, kModern), 1);
  EXPECT_EQ(CountMovies(modern.MediaURLs, kClassic), 0);
}

}  // namespace
}  // namespace harvelo
