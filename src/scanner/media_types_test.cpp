#include "scanner/media_types.h"

#include <gtest/gtest.h>

namespace harvelo {
namespace {

TEST(MediaTypesTest, GivenAddressesWeShouldClassifyByTheEndOrTheExtensionBeforeAQuestionMark) {
  const struct {
    Text address;
    bool picture, movie;
  } cases[] = {
      {u"http://h/A.JpG", true, false},           {u"http://h/a.JPEG", true, false},
      {u"http://h/a.jpe", true, false},           {u"http://h/a.gif", true, false},
      {u"http://h/a.jp", false, false},           {u"http://h/a.jpg ", false, false},
      {u"http://h/a.jpg?w=100", true, false},     {u"http://h/a.jpg#big", false, false},
      {u"http://h/s.php?img=a.jpg", true, false}, {u"http://h/s.php?img=a.jpg&w=1", false, false},
      {u"http://h/clip.rm", false, true},         {u"http://h/clip.rmvb", false, false},
      {u"http://h/clip.MPG", false, true},        {u"http://h/x.mpeg", false, true},
      {u"http://h/x.avi/a.html", false, false},   {u"http://h/x.avi?id=1", false, true},
      {u"http://h/x.mov?p=a.jpg", true, true},    {u"http://h/.wmv", false, true},
      {u"http://h/x.asf", false, true},           {u"", false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsPictureURL(c.address), c.picture) << ToUtf8(c.address);
    EXPECT_EQ(IsMovieURL(c.address), c.movie) << ToUtf8(c.address);
  }
}

}  // namespace
}  // namespace harvelo
