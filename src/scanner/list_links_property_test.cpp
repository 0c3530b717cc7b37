// The fast link extraction against the algorithm written step by step, on pages made of the
// pieces that matter to it; the fuzz target does the same on any input, but ctest runs this.

#include <gtest/gtest.h>

#include <random>

#include "fakes/fake_platform.h"
#include "oracle/list_links_literal.h"
#include "scanner/list_links.h"

namespace harvelo {

TEST(ListLinksPropertyTest, GivenTenThousandGeneratedPagesWeShouldMatchTheLiteralAlgorithm) {
  const std::vector<Text> pieces = {
      u"<a", u"<A ", u"<a href=", u"<A HREF=", u"href=", u"<a name=x>", u"</a>", u"</A>", u"<abbr>",
      u"<area href=x>", u"<base ", u"<base href=\"http://b/x\">", u"<BASE HREF='http://b/y/'>",
      u"\"", u"'", u" ", u"  ", u">", u"<img src=", u"<IMG SRC = ", u"src=", u"t.jpg", u"x.jpg",
      u"/p/a.jpg", u"http://h/m.mpg", u"HTTP://H/Q.JPG", u"https://s/", u"#top", u"javascript:go()",
      u"caf\u00e9", u"\u6f22\u5b57", u"text", u"\t", u"\r\n", u"<p>", u"=", u"/", u"<",
      // Characters whose bytes hold '<', 'a', '>', ' ' or '=' without being them.
      u"\u613c", u"\u3c3c", u"\u2020", u"\u3e3e", u"\u3d68"};
  // No page address, one whose combinations overflow, and an ordinary one.
  const Text addresses[] = {Text(), u"http://host/" + Text(245, u'l'), u"http://host/dir/p.htm"};
  std::mt19937 random(20261205);
  int recorded = 0;
  for (int i = 0; i < 10000; ++i) {
    Text page;
    for (int n = random() % 71; n > 0; --n) page += pieces[random() % pieces.size()];
    if (random() % 3 == 0) page.resize(random() % (page.size() + 1));  // cut inside a tag
    const Text& address = addresses[std::min(random() % 4, 2ul)];
    FakeUrlService urls_fast, urls_literal;
    FakeUserInterface ui_fast, ui_literal;
    LinkSets fast(2), literal(2);
    ListLinks(fast, 1, page, address, urls_fast, ui_fast);
    oracle::ListLinksLiteral(literal, 1, page, address, urls_literal, ui_literal);
    ASSERT_EQ(fast[1].LinkURLs, literal[1].LinkURLs) << i << ": " << ToUtf8(page);
    ASSERT_EQ(fast[1].LinkContents, literal[1].LinkContents) << i << ": " << ToUtf8(page);
    ASSERT_EQ(ui_fast.do_events_ * 1000 + urls_fast.calls_,
              ui_literal.do_events_ * 1000 + urls_literal.calls_)
        << i;
    recorded += static_cast<int>(fast[1].LinkURLs.size()) - 1;
  }
  EXPECT_GT(recorded, 3000);  // else the comparison proves little
}

}  // namespace harvelo
