// Both versions of the fast searches against the answers written the simplest way, on texts
// of the characters that matter and of characters whose bytes look like them.

#include "text/fast_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace harvelo {

using namespace std::string_view_literals;

constexpr TextView kWantedSets[] = {u"<"sv, u"\"'"sv, u"\"' "sv, u"\"' >"sv};

std::size_t TagMark(TextView text, std::size_t from) {
  std::size_t first = TextView::npos;
  for (const TextView mark : {u"<a"sv, u"<A"sv, u"</a"sv, u"</A"sv}) {
    first = std::min(first, from > text.size() ? TextView::npos : text.find(mark, from));
  }
  return first;
}

template <typename Units>
std::size_t Ascii(Units units) {
  return static_cast<std::size_t>(
      std::find_if(units.begin(), units.end(), [](auto u) { return (u & 0xFF80) != 0; }) -
      units.begin());
}

// Every answer of `Version` for `text` from every index, and for `bytes`.
template <typename Version>
void ExpectSimplestAnswers(TextView text, std::string_view bytes) {
  for (std::size_t from = 0; from <= text.size() + 1; ++from) {
    for (const TextView wanted : kWantedSets) {
      ASSERT_EQ(Version::FindFirstOf(text, from, wanted),
                from > text.size() ? TextView::npos : text.find_first_of(wanted, from))
          << ToUtf8(text) << " from " << from << " for " << ToUtf8(wanted);
    }
    ASSERT_EQ(Version::FindTagMark(text, from, u'a'), TagMark(text, from))
        << ToUtf8(text) << " from " << from;
  }
  const std::size_t ascii = Ascii(text);
  ASSERT_EQ(Version::AsciiPrefix(text), ascii) << ToUtf8(text);
  const std::basic_string_view<unsigned char> raw(
      reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  ASSERT_EQ(Version::AsciiPrefix(bytes), Ascii(raw));
  std::string narrow(ascii, '?');
  Version::CopyAscii(text.substr(0, ascii), narrow.data());
  Text wide(ascii, u'?');
  Version::CopyAscii(narrow, wide.data());
  ASSERT_EQ(wide, text.substr(0, ascii));
}

void ExpectSimplestAnswers(TextView text, std::string_view bytes) {
  ExpectSimplestAnswers<PortableSearch>(text, bytes);
#ifdef HARVELO_VECTOR_SEARCH
  ExpectSimplestAnswers<VectorSearch>(text, bytes);
#endif
}

TEST(FastSearchTest, GivenChosenAndRandomTextsWeShouldAnswerAsTheSimplestSearches) {
  const Text alphabet = u"<aA/\"' >xb\u007f\u0080\u00e9\u3c61\u613c\u2f3c\u2261\uffff";
  std::mt19937 random(20240601);
  std::uniform_int_distribution<std::size_t> length(0, 40);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> byte(0, 255);
  for (const TextView text : {u"\u3c61\u613c<a"sv, u"abcdefghijklmnopqrstu'<abbr</A>"sv}) {
    ExpectSimplestAnswers(text, ToUtf8(text));  // bytes of "<" and "a" in other characters
  }
  for (int n = 0; n < 2000; ++n) {
    // Every other text holds only the first ten characters, all of them ASCII.
    Text text(length(random), u' ');
    for (char16_t& c : text) c = alphabet[n % 2 == 0 ? pick(random) : pick(random) % 10];
    std::string bytes(text.size(), ' ');
    for (char& b : bytes) b = static_cast<char>(byte(random) < 224 ? byte(random) % 128 : 200);
    ExpectSimplestAnswers(text, bytes);
  }
}

}  // namespace harvelo
