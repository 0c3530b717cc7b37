#include "scanner/list_links.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "scanner/combine_url.h"

namespace harvelo {

// An anchor in the middle of a page, followed later by another "<a": its stretch covers
// it through its "</a>".
Text M(const Text& html) {
  return u"<p>Some words before the links.</p>" + html + u"<p>x<a name=end>";
}

// The pairs found, as "[target](content)"; the fake service combines "P" and "x" to "P|x".
Text Pairs(const Text& html, const Text& address = u"P", int* yields = nullptr) {
  FakeUrlService urls;
  FakeUserInterface ui;
  LinkSets sets(2);
  ListLinks(sets, 1, html, address, urls, ui);
  EXPECT_EQ(sets[1].LinkURLs.size(), sets[1].LinkContents.size());
  Text pairs = Text(sets[1].LinkURLs[0]) + Text(sets[1].LinkContents[0]);  // slot 0 stays empty
  for (std::size_t j = 1; j < sets[1].LinkURLs.size(); ++j) {
    pairs += u"[" + Text(sets[1].LinkURLs[j]) + u"](" + Text(sets[1].LinkContents[j]) + u")";
  }
  if (yields) *yields = ui.do_events_;
  return pairs;
}

TEST(ListLinksTest, GivenPagesWeShouldRecordExactlyThesePairs) {
  const Text base = u"<head><base href=\"http://host/d\"></head>";
  const std::pair<Text, Text> cases[] = {
      {u"<p>no links</p><b>bold</b>", u""},
      {M(u"<a href=\"x.jpg\"></a>"), u""},
      {M(u"<a href=\"x.jpg\"> </a>"), u"[P|x.jpg]( )"},
      {M(u"<A HREF=pic.jpg>Text</A>"), u"[P|pic.jpg](Text)"},
      {M(u"<a href=\"http://h/big.jpg\"><img src='small.jpg' width=80></a>"),
       u"[http://h/big.jpg](P|small.jpg)"},
      {M(u"<a href = \"x.jpg\">t</a>"), u""},
      {M(u"<a href=x.jpg><img src = \"t.jpg\"></a>"), u"[P|x.jpg](P|t.jpg)"},
      {M(u"<a href= x.jpg>t</a>"), u"[P|x.jpg](t)"},
      {M(u"<a href=\"my file.jpg\">t</a>"), u"[P|my](t)"},
      {M(u"<a name=top>text<a href=b.jpg>t2</a>"), u"[P|b.jpg](t2)"},
      {M(u"<a href=x.jpg>text<a href=y.jpg>t2</a>"), u"[P|x.jpg](text)[P|y.jpg](t2)"},
      {u"<p>" + Text(30, u'w') + u"<a href=x.jpg>text<a name=z>", u""},
      {u"<p><a href=x.jpg>t</a></p>", u""},
      {Text(16, u'w') + u"<a href=x.jpg>t</a>", u"[P|x.jpg](t)"},
      {Text(15, u'w') + u"<a href=x.jpg>t</a>", u""},
      {base + M(u"<a href=\"/i/a.jpg\"><img src=\"t.jpg\"></a><a href=b.jpg>b</a>"),
       u"[http://host/d/i/a.jpg](http://host/d|t.jpg)[http://host/d/b.jpg](b)"},
      {base + M(u"<a href=\"https://h/a.jpg\">t</a>"), u"[http://host/d/https://h/a.jpg](t)"},
      {u"<base target=\"_top\" href=\"http://h/\">" + M(u"<a href=a.jpg>t</a>"),
       u"[http://h/a.jpg](t)"},
      {u"<base href='http://h/' target=x>" + M(u"<a href=a.jpg>t</a>"), u"[http://h/a.jpg](t)"},
      {u"<base target=x>" + M(u"<a href=a.jpg>t</a>"), u"[P|a.jpg](t)"},
      {M(u"<a href=HTTP://H/A.JPG>t</a>"), u"[HTTP://H/A.JPG](t)"},
      {M(u"<a href='a.jpg'>t</a><a href=\"b'c\">u</a>"), u"[P|a.jpg](t)[P|b'c](u)"},
      {M(u"<a href=a.jpg>t</a><a href=a.jpg>t</a>"), u"[P|a.jpg](t)[P|a.jpg](t)"},
      {M(u"<abbr href=x.jpg>t</abbr></a>"), u"[P|x.jpg](t</abbr>)"},
      {M(u"<a href=x.jpg>caf\u00e9 \u6f22</a>"), u"[P|x.jpg](caf\u00e9 \u6f22)"},
  };
  for (const auto& [html, pairs] : cases) EXPECT_EQ(Pairs(html), pairs) << ToUtf8(html);
  // No page address, or one whose combinations overflow the service's buffer.
  for (const Text& address : {Text(), u"http://h/" + Text(245, u'p')}) {
    EXPECT_EQ(Pairs(M(u"<a href=x.jpg><img src=t.jpg></a>"), address), u"[](<img src=t.jpg>)");
  }
  int yields = 0;  // two for each candidate: <a name=top>, <a href=b.jpg>, <abbr>, <a name=end>
  EXPECT_EQ(Pairs(M(u"<a name=top>x<a href=b.jpg>t2</a><abbr>y</abbr>"), u"P", &yields),
            u"[P|b.jpg](t2)");
  EXPECT_EQ(yields, 8);
}

TEST(ListLinksTest, GivenASetWeShouldRefillOnlyIt) {
  FakeUrlService urls;
  FakeUserInterface ui;
  LinkSets sets(2);
  ListLinks(sets, 1, M(u"<a href=a.jpg>t</a><a href=b.jpg>u</a>"), u"P", urls, ui);
  ListLinks(sets, 1, M(u"<a href=c.jpg>v</a>"), u"P", urls, ui);
  EXPECT_EQ(sets[1].LinkURLs, TextList({u"", u"P|c.jpg"}));
  EXPECT_EQ(sets[0].LinkURLs, TextList({u""}));
  for (const std::int16_t slot : {2, -1}) {
    EXPECT_THROW(ListLinks(sets, slot, u"<a href=x>t</a>", u"P", urls, ui), Failure);
  }
}

TEST(ListLinksTest, GivenAttributeTextsWeShouldCutTheValueAsTheRulesSay) {
  const std::pair<Text, Text> sources[] = {{u"<img src=a.jpg>", u"a.jpg"},
                                           {u"<img src=\"a b.jpg\">", u"a"},
                                           {u"<IMG SRC = \"t.jpg\">", u"t.jpg"},
                                           {u"<img datasrc=x.jpg src=y.jpg>", u"x.jpg"},
                                           {u"<img src = a.jpg src=b.jpg>", u"b.jpg"},
                                           {u"<img src  = a.jpg>", u""},
                                           {u"<img alt=x>", u""},
                                           {u"<img src=\"it's.jpg\">", u"it"}};
  for (const auto& [html, source] : sources) EXPECT_EQ(GetImageSource(html), source);
  const std::pair<Text, Text> values[] = {{u"  \"a.jpg\" ", u"a.jpg"},
                                          {u"'a.jpg' x", u"a.jpg"},
                                          {u"a.jpg>rest", u"a.jpg"},
                                          {u"\"a>b.jpg\"", u"a>b.jpg"},
                                          {u"a b", u"a"},
                                          {u"''x", u""},
                                          {u"", u""}};
  for (const auto& [value, cut] : values) EXPECT_EQ(CleanAttributeValue(value), cut);
}

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

}  // namespace harvelo
