#include "handoff/text_helpers.h"

#include <gtest/gtest.h>

namespace harvelo {

using namespace std::string_literals;

// The tables are laid out by hand, several rows to a line.
// clang-format off
TEST(TextHelpersTest, GivenAddressesAndKeysWeShouldFindTheFirstMatchingItemOrNothing) {
  const std::pair<Text, Text> cases[] = {
      {u"page?qxsource=1&qxurl=abc", u"abc"}, {u"page?QXURL=abc", u"abc"},  {u"page", u""},
      {u"page?a=1?qxurl=x", u"x"},            {u"page?flag&qxurl=x", u""},  {u"page?", u""},
      {u"page?qxurl=1&qxurl=2", u"1"},        {u"page?a=1&&qxurl=x", u""},  {u"page?qxurl=", u""},
      {u"page?qxurlx=1&qxurl=2", u"2"},       {u"p?x=1?y=2?qxurl=z&w", u"z"},
      {u"page?qxurl=a%20b+c", u"a%20b+c"},    {u"page?qxurl=a=b", u"a=b"}};
  for (const auto& [address, value] : cases) EXPECT_EQ(GetQueryValue(address, u"qxurl"), value);
  EXPECT_EQ(GetQueryValue(u"page?qxurl=abc", u"QXURL") + GetQueryValue(u"page?=v&qxurl=2", u""),
            u"abcv");
}

TEST(TextHelpersTest, GivenEncodedTextsWeShouldDecodeOneCharacterPerPercentSign) {
  const std::pair<Text, Text> cases[] = {
      {u"a+b%2Fc", u"a b/c"}, {u"%41%4a", u"AJ"},   {u"%zz", u"\0"s},  {u"%7", u"\x07"},
      {u"%4z", u"\x04"},      {u"%z4", u"\0"s},     {u"%ff", u"\u00FF"}, {u"%%41", u"\0001"s},
      {u"%C3%A9", u"\u00C3\u00A9"},                 {u"", u""},        {u"abc", u"abc"},
      {u"50%", u"50%"},       {u"%", u"%"},         {u"++", u"  "},    {u"é&=?", u"é&=?"}};
  for (const auto& [encoded, decoded] : cases) EXPECT_EQ(URLDecode(encoded), decoded);
}

TEST(TextHelpersTest, GivenPageTextsWeShouldReadTheSourceMarkerValueUnchanged) {
  const std::pair<Text, Text> cases[] = {
      {u"<QXSOURCE value=\"http://o/a%20b\" />", u"http://o/a%20b"},
      {u"<BR /><QXSOURCE value=\"http://o/\" />", u"http://o/"},
      {u"<QXSOURCE value=http://o/ />", u""},      {u"<QXSOURCE value=\"http://o/\">", u""},
      {u"<qxsource value=\"http://o/\" />", u""},  {u"<QXSOURCE value=\"\" />", u""},
      {u"<QXSOURCE value=\"a\" /><QXSOURCE value=\"b\" />", u"a"},
      {u"<QXSOURCE value=\"a\"b\" />", u"a\"b"}};
  for (const auto& [html, value] : cases) EXPECT_EQ(ReturnTagInfo(html), value);
}

TEST(TextHelpersTest, GivenFoldersWeShouldEndThemInTheSeparatorOnce) {
  const struct {
    char16_t separator;
    Text path, expected;
  } cases[] = {
      {u'\\', u"C:\\x", u"C:\\x\\"},     {u'\\', u"C:\\x\\", u"C:\\x\\"},  {u'\\', u"", u"\\"},
      {u'\\', u"/home/x", u"/home/x\\"}, {u'/', u"/home/x", u"/home/x/"},  {u'/', u"", u"/"},
      {u'/', u"/home/x/", u"/home/x/"},  {u'/', u"C:\\x\\", u"C:\\x\\/"}};
  for (const auto& c : cases) EXPECT_EQ(FixPath(c.path, c.separator), c.expected);
  EXPECT_EQ(FixPath(u"dir"), Text(u"dir") + kPathSeparator);
}
// clang-format on

}  // namespace harvelo
