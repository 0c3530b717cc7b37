#include "handoff/text_helpers.h"

#include <gtest/gtest.h>

namespace harvelo {
namespace {

TEST(TextHelpersTest, GivenAddressesAndKeysWeShouldFindTheFirstMatchingItemOrNothing) {
  const struct {
    Text address, key, expected;
  } cases[] = {
      {u"page?qxsource=1&qxurl=abc", u"QXURL", u"abc"},
      {u"page?QXURL=abc", u"qxurl", u"abc"},
      {u"page", u"qxurl", u""},
      {u"page?a=1?qxurl=x", u"qxurl", u"x"},
      {u"page?flag&qxurl=x", u"qxurl", u""},
      {u"page?qxurl=a=b", u"qxurl", u"a=b"},
      {u"page?qxurl=first&qxurl=second", u"qxurl", u"first"},
      {u"page?a=1&&qxurl=x", u"qxurl", u""},
      {u"page?", u"qxurl", u""},
      {u"page?qxurl=", u"qxurl", u""},
      {u"page?qxurlx=1&qxurl=2", u"qxurl", u"2"},
      {u"page?=v&qxurl=2", u"", u"v"},
      {u"page?qxurl=a%20b+c", u"qxurl", u"a%20b+c"},
      {u"p?x=1?y=2?qxurl=z&w", u"qxurl", u"z"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetQueryValue(c.address, c.key), c.expected) << ToUtf8(c.address);
  }
}

TEST(TextHelpersTest, GivenEncodedTextsWeShouldDecodeOneCharacterPerPercentSign) {
  const std::pair<Text, Text> cases[] = {
      {u"a+b%2Fc", u"a b/c"},
      {u"%41%4a", u"AJ"},
      {u"%zz", Text(1, u'\0')},
      {u"%7", Text(1, u'\x07')},
      {u"%4z", Text(1, u'\x04')},
      {u"%z4", Text(1, u'\0')},
      {u"%C3%A9", u"\u00C3\u00A9"},
      {u"%ff", u"\u00FF"},
      {u"", u""},
      {u"abc", u"abc"},
      {u"50%", u"50%"},
      {u"%", u"%"},
      {u"%%41", Text(1, u'\0') + u"1"},
      {u"++", u"  "},
      {u"é&=?", u"é&=?"},
  };
  for (const auto& [encoded, decoded] : cases) EXPECT_EQ(URLDecode(encoded), decoded);
}

TEST(TextHelpersTest, GivenPageTextsWeShouldReadTheSourceMarkerValueUnchanged) {
  const std::pair<Text, Text> cases[] = {
      {u"<QXSOURCE value=\"http://o/a%20b\" />", u"http://o/a%20b"},
      {u"<BR /><QXSOURCE value=\"http://o/\" />", u"http://o/"},
      {u"<QXSOURCE value=http://o/ />", u""},
      {u"<QXSOURCE value=\"http://o/\">", u""},
      {u"<qxsource value=\"http://o/\" />", u""},
      {u"<QXSOURCE value=\"\" />", u""},
      {u"<QXSOURCE value=\"a\" /><QXSOURCE value=\"b\" />", u"a"},
      {u"<QXSOURCE value=\"a\"b\" />", u"a\"b"},
  };
  for (const auto& [html, value] : cases) EXPECT_EQ(ReturnTagInfo(html), value);
}

TEST(TextHelpersTest, GivenFoldersWeShouldEndThemInTheSeparatorOnce) {
  const struct {
    char16_t separator;
    Text path, expected;
  } cases[] = {
      {u'\\', u"C:\\x", u"C:\\x\\"},
      {u'\\', u"C:\\x\\", u"C:\\x\\"},
      {u'\\', u"", u"\\"},
      {u'\\', u"/home/x", u"/home/x\\"},
      {u'/', u"/home/x", u"/home/x/"},
      {u'/', u"/home/x/", u"/home/x/"},
      {u'/', u"", u"/"},
      {u'/', u"C:\\x\\", u"C:\\x\\/"},
  };
  for (const auto& c : cases) EXPECT_EQ(FixPath(c.path, c.separator), c.expected);
  EXPECT_EQ(FixPath(u"dir"), Text(u"dir") + kPathSeparator);
}

}  // namespace
}  // namespace harvelo
