#include "scanner/list_links.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "fakes/fake_url_service.h"
#include "fakes/fake_user_interface.h"
#include "platform/failure.h"

namespace harvelo {
namespace {

using Pairs = std::vector<std::pair<Text, Text>>;

const Text kPage = u"http://host/dir/page.htm";

// An anchor in the middle of a page, followed later by another "<a": its stretch covers
// it through its "</a>".
Text InMiddle(const Text& html) {
  return u"<html><body><p>Some words before the links.</p>" + html + u"<p>after</p><a name=end>end";
}

struct Scan {
  Pairs pairs;
  int yields = 0;
};

Scan ScanText(const Text& html, const Text& page_address = kPage) {
  FakeUrlService urls;
  FakeUserInterface ui;
  LinkSets sets(2);
  ListLinks(sets, 1, html, page_address, urls, ui);
  Scan scan;
  scan.yields = ui.do_events_;
  EXPECT_EQ(sets[1].LinkURLs.size(), sets[1].LinkContents.size());
  EXPECT_EQ(sets[1].LinkURLs[0], u"");
  EXPECT_EQ(sets[1].LinkContents[0], u"");
  for (std::size_t j = 1; j < sets[1].LinkURLs.size(); ++j) {
    scan.pairs.emplace_back(sets[1].LinkURLs[j], sets[1].LinkContents[j]);
  }
  return scan;
}

struct Case {
  const char* name;
  Text html;
  Text page_address;
  Pairs expected;
};

class ListLinksCases : public ::testing::TestWithParam<Case> {};

TEST_P(ListLinksCases, GivenThePageWeShouldRecordExactlyThesePairs) {
  EXPECT_EQ(ScanText(GetParam().html, GetParam().page_address).pairs, GetParam().expected);
}

const Text kBase = u"<head><base href=\"http://host/d\"></head>";
const Text kLong = u"http://host/" + Text(240, u'p');

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, ListLinksCases,
    ::testing::Values(
        Case{"NoAnchor", u"<p>no links</p><b>bold</b>", kPage, {}},
        Case{"NoContent", InMiddle(u"<a href=\"x.jpg\"></a>"), kPage, {}},
        Case{"SpaceContent",
             InMiddle(u"<a href=\"x.jpg\"> </a>"),
             kPage,
             {{kPage + u"|x.jpg", u" "}}},
        Case{"CapitalsRawContent",
             InMiddle(u"<A HREF=pic.jpg>Text</A>"),
             kPage,
             {{kPage + u"|pic.jpg", u"Text"}}},
        Case{"AbsoluteLinkThumbnail",
             InMiddle(u"<a href=\"http://host/big.jpg\"><img src='small.jpg' width=80></a>"),
             kPage,
             {{u"http://host/big.jpg", kPage + u"|small.jpg"}}},
        Case{"SpaceBeforeEqualsSkipped", InMiddle(u"<a href = \"x.jpg\">t</a>"), kPage, {}},
        Case{"SrcWithSpace",
             InMiddle(u"<a href=x.jpg><img src = \"t.jpg\"></a>"),
             kPage,
             {{kPage + u"|x.jpg", kPage + u"|t.jpg"}}},
        Case{"SpaceAfterEquals",
             InMiddle(u"<a href= x.jpg>t</a>"),
             kPage,
             {{kPage + u"|x.jpg", u"t"}}},
        Case{"ValueEndsAtSpace",
             InMiddle(u"<a href=\"my file.jpg\">t</a>"),
             kPage,
             {{kPage + u"|my", u"t"}}},
        Case{"NameAnchorThenLink",
             InMiddle(u"<a name=top>text<a href=b.jpg>t2</a>"),
             kPage,
             {{kPage + u"|b.jpg", u"t2"}}},
        Case{"UnclosedAnchorStretch",
             InMiddle(u"<a href=x.jpg>text<a href=y.jpg>t2</a>"),
             kPage,
             {{kPage + u"|x.jpg", u"text"}, {kPage + u"|y.jpg", u"t2"}}},
        Case{"NoCloseAnywhere",
             u"<p>" + Text(30, u'w') + u"<a href=x.jpg>text<a name=z>",
             kPage,
             {}},
        Case{"LastAnchorShortStretch", u"<p><a href=x.jpg>t</a></p>", kPage, {}},
        Case{"LastAnchorSixteenBefore",
             Text(16, u'w') + u"<a href=x.jpg>t</a>",
             kPage,
             {{kPage + u"|x.jpg", u"t"}}},
        Case{"LastAnchorFifteenBefore", Text(15, u'w') + u"<a href=x.jpg>t</a>", kPage, {}},
        Case{"BaseGainsSlash",
             kBase + InMiddle(u"<a href=\"/i/a.jpg\"><img src=\"t.jpg\"></a>"
                              u"<a href=b.jpg>b</a>"),
             kPage,
             {{u"http://host/d/i/a.jpg", u"http://host/d|t.jpg"}, {u"http://host/d/b.jpg", u"b"}}},
        Case{"BaseBeforeHttps",
             kBase + InMiddle(u"<a href=\"https://host/a.jpg\">t</a>"),
             kPage,
             {{u"http://host/d/https://host/a.jpg", u"t"}}},
        Case{"BaseHrefAfterTarget",
             u"<base target=\"_top\" href=\"http://host/\">" + InMiddle(u"<a href=a.jpg>t</a>"),
             kPage,
             {{u"http://host/a.jpg", u"t"}}},
        Case{"BaseSingleQuotesBeforeTarget",
             u"<base href='http://host/' target=x>" + InMiddle(u"<a href=a.jpg>t</a>"),
             kPage,
             {{u"http://host/a.jpg", u"t"}}},
        Case{"BaseWithoutHrefIgnored",
             u"<base target=x>" + InMiddle(u"<a href=a.jpg>t</a>"),
             kPage,
             {{kPage + u"|a.jpg", u"t"}}},
        Case{"CombinedTooLong",
             InMiddle(u"<a href=x.jpg><img src=t.jpg></a>"),
             kLong,
             {{u"", u"<img src=t.jpg>"}}},
        Case{"EmptyPageAddress",
             InMiddle(u"<a href=x.jpg><img src=t.jpg></a>"),
             u"",
             {{u"", u"<img src=t.jpg>"}}},
        Case{"UpperCaseAbsolute",
             InMiddle(u"<a href=HTTP://HOST/A.JPG>t</a>"),
             kPage,
             {{u"HTTP://HOST/A.JPG", u"t"}}},
        Case{"QuotesOnLink",
             InMiddle(u"<a href='a.jpg'>t</a><a href=\"b'c\">u</a>"),
             kPage,
             {{kPage + u"|a.jpg", u"t"}, {kPage + u"|b'c", u"u"}}},
        Case{"SameTargetTwice",
             InMiddle(u"<a href=a.jpg>t</a><a href=a.jpg>t</a>"),
             kPage,
             {{kPage + u"|a.jpg", u"t"}, {kPage + u"|a.jpg", u"t"}}},
        Case{"AbbrIsACandidate",
             InMiddle(u"<abbr href=x.jpg>t</abbr></a>"),
             kPage,
             {{kPage + u"|x.jpg", u"t</abbr>"}}},
        Case{"NonAsciiContent",
             InMiddle(u"<a href=x.jpg>caf\u00e9 \u6f22</a>"),
             kPage,
             {{kPage + u"|x.jpg", u"caf\u00e9 \u6f22"}}}),
    [](const auto& info) { return info.param.name; });

TEST(ListLinksTest, GivenEveryCandidateWeShouldYieldTwiceWhetherRecordedOrNot) {
  // Candidates: <a name=top>, <a href=b.jpg>, <abbr>, <a name=end>.
  const Scan scan = ScanText(InMiddle(u"<a name=top>x<a href=b.jpg>t2</a><abbr>y</abbr>"));
  EXPECT_EQ(scan.pairs.size(), 1u);
  EXPECT_EQ(scan.yields, 8);
}

TEST(ListLinksTest, GivenASetThatIsNotASlotWeShouldRaise) {
  FakeUrlService urls;
  FakeUserInterface ui;
  LinkSets sets(2);
  EXPECT_THROW(ListLinks(sets, 2, u"<a href=x>t</a>", kPage, urls, ui), Failure);
  EXPECT_THROW(ListLinks(sets, -1, u"<a href=x>t</a>", kPage, urls, ui), Failure);
}

TEST(ListLinksTest, GivenASecondCallWeShouldReplaceTheFirstCallsPairs) {
  FakeUrlService urls;
  FakeUserInterface ui;
  LinkSets sets(2);
  ListLinks(sets, 1, InMiddle(u"<a href=a.jpg>t</a><a href=b.jpg>u</a>"), kPage, urls, ui);
  ListLinks(sets, 1, InMiddle(u"<a href=c.jpg>v</a>"), kPage, urls, ui);
  EXPECT_THAT(sets[1].LinkURLs, ::testing::ElementsAre(u"", kPage + u"|c.jpg"));
  EXPECT_THAT(sets[0].LinkURLs, ::testing::ElementsAre(u""));
}

struct ValueCase {
  Text html;
  Text source;
};

class GetImageSourceCases : public ::testing::TestWithParam<ValueCase> {};

TEST_P(GetImageSourceCases, GivenTheHtmlWeShouldTakeThisSource) {
  EXPECT_EQ(GetImageSource(GetParam().html), GetParam().source);
}

INSTANTIATE_TEST_SUITE_P(Values, GetImageSourceCases,
                         ::testing::Values(ValueCase{u"<img src=a.jpg>", u"a.jpg"},
                                           ValueCase{u"<img src=\"a b.jpg\">", u"a"},
                                           ValueCase{u"<img src='a.jpg'>", u"a.jpg"},
                                           ValueCase{u"<IMG SRC = \"t.jpg\">", u"t.jpg"},
                                           ValueCase{u"<img datasrc=x.jpg src=y.jpg>", u"x.jpg"},
                                           ValueCase{u"<img src = a.jpg src=b.jpg>", u"b.jpg"},
                                           ValueCase{u"<img src  = a.jpg>", u""},
                                           ValueCase{u"<img alt=x>", u""},
                                           ValueCase{u"<img src=>", u""},
                                           ValueCase{u"<img src=\"it's.jpg\">", u"it"}));

TEST(CleanAttributeValueTest, GivenValuesWeShouldCutEachAsTheRulesSay) {
  const std::vector<ValueCase> cases = {{u"  \"a.jpg\" ", u"a.jpg"},
                                        {u"'a.jpg' x", u"a.jpg"},
                                        {u"a.jpg>rest", u"a.jpg"},
                                        {u"\"a>b.jpg\"", u"a>b.jpg"},
                                        {u"a b", u"a"},
                                        {u"''x", u""},
                                        {u"\"\"", u""},
                                        {u"", u""}};
  for (const ValueCase& c : cases)
    EXPECT_EQ(CleanAttributeValue(c.html), c.source) << ToUtf8(c.html);
}

}  // namespace
}  // namespace harvelo
