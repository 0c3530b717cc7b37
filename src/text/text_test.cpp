#include "text/text.h"

#include <gtest/gtest.h>

namespace harvelo {

TEST(TextTest, GivenPositionsFromOneWeShouldFindAndCutOnlyWhatExists) {
  const struct {
    Text text, marker;
    std::size_t from, found;
  } finds[] = {{u"abcabc", u"bc", 2, 2}, {u"abcabc", u"bc", 3, 5}, {u"abcabc", u"bc", 6, 0},
               {u"abc", u"c", 3, 3},     {u"abc", u"c", 4, 0},     {u"aAa", u"A", 1, 2}};
  for (const auto& c : finds) EXPECT_EQ(Find(c.text, c.marker, c.from), c.found) << c.from;
  EXPECT_EQ(Left(u"abc", 6) + Left(u"abc", 0) + Right(u"abc", 5) + Right(u"abc", 1), u"abcabcc");
  EXPECT_EQ(Mid(u"abcdef", 3, 2) + u"|" + Mid(u"abcdef", 5, 10) + Mid(u"abcdef", 7, 1), u"cd|ef");
  EXPECT_EQ(Mid(u"abcdef", 2) + TrimSpaces(u"  \ta\n  ") + TrimSpaces(u"   "), u"bcdef\ta\n");
  // Letters outside A to Z keep their case, so positions carry over.
  EXPECT_EQ(LowerAscii(u"<IMG SRC=\"A\"> ÄÖÜ İ Σ@[`{"), u"<img src=\"a\"> ÄÖÜ İ Σ@[`{");
}

TEST(Utf8Test, GivenTextsWeShouldRoundTripAndReplaceWhatIsMalformed) {
  for (const Text text : {u"", u"Grüße 日本語", u"emoji \U0001F600 end", u"\U00010000"}) {
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
  }
  const std::pair<std::string, Text> malformed[] = {{"a\xFF"
                                                     "b",
                                                     u"a\uFFFDb"},
                                                    {"\xC3", u"\uFFFD"},
                                                    {"\xC0\xAF", u"\uFFFD"},
                                                    {"\xED\xA0\x80", u"\uFFFD"},
                                                    {"x\xE6\x97", u"x\uFFFD"}};
  for (const auto& [bytes, text] : malformed) EXPECT_EQ(FromUtf8(bytes), text) << bytes;
  for (const char16_t half : {u'\xD800', u'\xDC00'}) EXPECT_EQ(ToUtf8(Text(1, half)), "\uFFFD");
  // The overloads that fill an existing text replace its content.
  Text text = u"an earlier, longer content";
  std::string utf8 = "an earlier, longer content";
  FromUtf8("caf\xC3\xA9", text);
  ToUtf8(text, utf8);
  EXPECT_EQ(utf8, "caf\xC3\xA9");
}

TEST(Utf8Test, GivenAsciiRunsOfEveryLengthWeShouldFindTheOtherCharacterWhereverItStands) {
  // ASCII converts many units at a time, so the first other one may stand anywhere in a word.
  for (std::size_t length = 0; length <= 40; ++length) {
    for (std::size_t at = 0; at <= length; ++at) {
      Text text;
      std::string utf8;
      for (std::size_t i = 0; i < length; ++i) {
        text.push_back(i == at ? u'\u00e9' : char16_t(u'a' + i % 26));
        utf8 += i == at ? std::string("\xC3\xA9") : std::string(1, char('a' + i % 26));
      }
      EXPECT_EQ(ToUtf8(text), utf8) << length << " / " << at;
      EXPECT_EQ(FromUtf8(utf8), text) << length << " / " << at;
    }
  }
}

}  // namespace harvelo
