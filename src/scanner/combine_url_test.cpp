#include "scanner/combine_url.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace harvelo {
namespace {

TEST(CombineURLTest, GivenInputsWeShouldAskInBrowserModeAndKeepOnlyResultsBelow256) {
  FakeUrlService urls;
  const Text base = u"http://h/";  // the fake joins with "|": 10 characters before relative
  EXPECT_EQ(CombineURL(urls, u"", u"a.jpg") + CombineURL(urls, base, u""), u"");
  EXPECT_EQ(urls.calls_, 0);
  EXPECT_EQ(CombineURL(urls, base, u"caf\u00e9.jpg"), u"http://h/|caf\u00e9.jpg");
  EXPECT_EQ(urls.flags_, ICU_BROWSER_MODE);
  EXPECT_EQ(CombineURL(urls, base, Text(245, u'x')), base + u"|" + Text(245, u'x'));
  EXPECT_EQ(CombineURL(urls, base, Text(246, u'x')), u"");
}

}  // namespace
}  // namespace harvelo
