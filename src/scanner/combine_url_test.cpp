#include "scanner/combine_url.h"

#include <gtest/gtest.h>

#include "fakes/fake_url_service.h"

namespace harvelo {
namespace {

TEST(CombineURLTest, GivenAnEmptyInputWeShouldAnswerEmptyWithoutAskingTheService) {
  FakeUrlService urls;
  EXPECT_EQ(CombineURL(urls, u"", u"http://host/a.jpg"), u"");
  EXPECT_EQ(CombineURL(urls, u"http://host/", u""), u"");
  EXPECT_TRUE(urls.calls_.empty());
}

TEST(CombineURLTest, GivenInputsWeShouldAskOnceWithABufferOf256InBrowserMode) {
  FakeUrlService urls;
  EXPECT_EQ(CombineURL(urls, u"http://host/", u"caf\u00e9.jpg"), u"http://host/|caf\u00e9.jpg");
  ASSERT_EQ(urls.calls_.size(), 1u);
  EXPECT_EQ(urls.calls_[0].buffer_size, 256u);
  EXPECT_EQ(urls.calls_[0].flags, ICU_BROWSER_MODE);
  EXPECT_EQ(urls.calls_[0].relative, "caf\xc3\xa9.jpg");
}

TEST(CombineURLTest, GivenResultsAroundTheBufferSizeWeShouldKeep255AndDrop256) {
  FakeUrlService urls;
  const Text base = u"http://h/";  // the fake joins with "|": 10 characters before relative
  const Text fits = base + u"|" + Text(245, u'x');
  ASSERT_EQ(fits.size(), 255u);
  EXPECT_EQ(CombineURL(urls, base, Text(245, u'x')), fits);
  EXPECT_EQ(CombineURL(urls, base, Text(246, u'x')), u"");
  EXPECT_EQ(CombineURL(urls, base, Text(400, u'x')), u"");
}

TEST(CombineURLTest, GivenAServiceFailureWeShouldAnswerEmpty) {
  FakeUrlService urls;
  urls.refuse_ = true;
  EXPECT_EQ(CombineURL(urls, u"http://host/", u"a.jpg"), u"");
}

}  // namespace
}  // namespace harvelo
