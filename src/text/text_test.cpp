#include "text/text.h"

#include <gtest/gtest.h>

namespace harvelo {
namespace {

TEST(FindTest, GivenPositionsFromOneWeShouldAnswerZeroForNotFound) {
  struct Case {
    Text text, marker;
    std::size_t from, expected;
  };
  const Case cases[] = {
      {u"abcabc", u"bc", 1, 2}, {u"abcabc", u"bc", 2, 2}, {u"abcabc", u"bc", 3, 5},
      {u"abcabc", u"bc", 6, 0}, {u"abcabc", u"x", 1, 0},  {u"abc", u"abc", 1, 1},
      {u"abc", u"c", 3, 3},     {u"abc", u"c", 4, 0},     {u"", u"a", 1, 0},
      {u"aAa", u"A", 1, 2},  // exact, case-sensitive
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Find(c.text, c.marker, c.from), c.expected)
        << ToUtf8(c.text) << " / " << ToUtf8(c.marker) << " from " << c.from;
  }
}

TEST(LowerAsciiTest, GivenAnyTextWeShouldChangeOnlyAToZ) {
  EXPECT_EQ(LowerAscii(u"<IMG SRC=\"A.JPG\">"), u"<img src=\"a.jpg\">");
  // Letters outside A to Z keep their case, so positions carry over.
  EXPECT_EQ(LowerAscii(u"ÄÖÜ İ Σ@[`{"), u"ÄÖÜ İ Σ@[`{");
}

TEST(CutTest, GivenCutsBeyondTheEndWeShouldTakeOnlyWhatExists) {
  EXPECT_EQ(Left(u"abc", 6), u"abc");
  EXPECT_EQ(Left(u"abc", 0), u"");
  EXPECT_EQ(Right(u"abc", 5), u"abc");
  EXPECT_EQ(Right(u"abc", 1), u"c");
  EXPECT_EQ(Mid(u"abcdef", 3, 2), u"cd");
  EXPECT_EQ(Mid(u"abcdef", 5, 10), u"ef");
  EXPECT_EQ(Mid(u"abcdef", 7, 1), u"");
  EXPECT_EQ(Mid(u"abcdef", 2), u"bcdef");
  EXPECT_EQ(Mid(u"abc", 2, 0), u"");
}

TEST(TrimSpacesTest, GivenTabsAndLineBreaksWeShouldKeepThem) {
  EXPECT_EQ(TrimSpaces(u"  a b  "), u"a b");
  EXPECT_EQ(TrimSpaces(u"\ta\n"), u"\ta\n");
  EXPECT_EQ(TrimSpaces(u"   "), u"");
}

TEST(Utf8Test, GivenValidTextWeShouldRoundTrip) {
  const Text samples[] = {u"",
                          u"plain",
                          u"Grüße",
                          u"日本語",
                          u"emoji \U0001F600 end",
                          u"\U00010000 first of four bytes"};
  for (const Text& sample : samples) EXPECT_EQ(FromUtf8(ToUtf8(sample)), sample);
  EXPECT_EQ(ToUtf8(u"é"), "\xC3\xA9");
}

TEST(Utf8Test, GivenAsciiRunsOfEveryLengthWeShouldConvertWhereverTheFirstOtherCharacterStands) {
  // ASCII converts many units at a time; the other characters must be found wherever they
  // stand in or after such a run, the last unit of a text included.
  for (std::size_t length = 0; length <= 40; ++length) {
    for (std::size_t at = 0; at <= length; ++at) {
      Text text;
      std::string utf8;
      for (std::size_t i = 0; i < length; ++i) {
        const char c = static_cast<char>('a' + i % 26);
        text.push_back(static_cast<char16_t>(i == at ? u'\u00e9' : c));
        utf8 += i == at ? std::string("\xC3\xA9") : std::string(1, c);
      }
      EXPECT_EQ(ToUtf8(text), utf8) << length << " / " << at;
      EXPECT_EQ(FromUtf8(utf8), text) << length << " / " << at;
    }
  }
}

TEST(Utf8Test, GivenAnExistingTextWeShouldReplaceItsContent) {
  Text text = u"an earlier, longer content";
  FromUtf8("caf\xC3\xA9", text);
  EXPECT_EQ(text, u"caf\u00e9");
  std::string utf8 = "an earlier, longer content";
  ToUtf8(u"caf\u00e9", utf8);
  EXPECT_EQ(utf8, "caf\xC3\xA9");
}

TEST(Utf8Test, GivenMalformedInputWeShouldReplaceNotDrop) {
  struct Case {
    std::string bytes;
    Text expected;
  };
  const Case cases[] = {
      {"a\xFF"
       "b",
       u"a\uFFFDb"},                // a byte that never starts a character
      {"\xC3", u"\uFFFD"},          // cut off
      {"\xC0\xAF", u"\uFFFD"},      // overlong
      {"\xED\xA0\x80", u"\uFFFD"},  // an encoded surrogate
      {"x\xE6\x97", u"x\uFFFD"},    // cut inside a three-byte character
  };
  for (const Case& c : cases) EXPECT_EQ(FromUtf8(c.bytes), c.expected);
  // A surrogate without its other half, of either half.
  for (const char16_t half : {char16_t(0xD800), char16_t(0xDC00)}) {
    EXPECT_EQ(ToUtf8(Text(1, half)), "\xEF\xBF\xBD");
  }
}

}  // namespace
}  // namespace harvelo
