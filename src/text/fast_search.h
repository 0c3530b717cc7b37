#ifndef HARVELO_TEXT_FAST_SEARCH_H_
#define HARVELO_TEXT_FAST_SEARCH_H_

// The few searches and copies in which the link scan and the UTF-8 conversion spend their
// time. The portable version is standard C++ and always built: it reads 64-bit words, four
// characters or eight bytes at a time, and answers for a whole word with a few integer
// operations (SWAR). The vector version compares a vector register at a time through the
// standard library's data-parallel types (<experimental/simd>), which only some standard
// libraries provide; the build compiles it where they do, outside the core, and defines
// HARVELO_VECTOR_SEARCH. FastSearch, the one the program uses, is chosen when compiling.
// Both give the same answers.

#include <cstddef>
#include <string_view>

#include "text/text.h"

namespace harvelo {

enum class SearchVersion { kPortable, kVector };

template <SearchVersion version>
struct Search {
  // The index of the first character of `text` at or after index `from` that is one of
  // `wanted` (one to four characters), or npos.
  static std::size_t FindFirstOf(TextView text, std::size_t from, TextView wanted);
  // The index of the first "<x" or "</x" in `text` at or after index `from`, or npos, where
  // x is `letter` (an ASCII lower-case letter) in either case: the tags of one name, opening
  // or closing, found without stopping at every other tag.
  static std::size_t FindTagMark(TextView text, std::size_t from, char16_t letter);
  // How many leading units are ASCII (below 0x80).
  static std::size_t AsciiPrefix(std::string_view bytes);
  static std::size_t AsciiPrefix(TextView text);
  // Copies ASCII units one for one into `out`, which has room for them all.
  static void CopyAscii(std::string_view ascii, char16_t* out);
  static void CopyAscii(TextView ascii, char* out);
};

// Whether a tag mark (see FindTagMark) begins at index `i` of `text`: the answer a unit at a
// time, for the units that are too few for a whole word or vector.
inline bool IsTagMarkAt(TextView text, std::size_t i, char16_t letter) {
  if (text[i] != u'<' || i + 1 >= text.size()) return false;
  if ((text[i + 1] | 0x20) == letter) return true;
  return text[i + 1] == u'/' && i + 2 < text.size() && (text[i + 2] | 0x20) == letter;
}

// Each version is defined in a source file of its own: fast_search.cpp holds the portable one
// (the template's own definitions), fast_search_vector.cpp the vector one.
using PortableSearch = Search<SearchVersion::kPortable>;
#ifdef HARVELO_VECTOR_SEARCH
using VectorSearch = Search<SearchVersion::kVector>;
using FastSearch = VectorSearch;
#else
using FastSearch = PortableSearch;
#endif

}  // namespace harvelo

#endif  // HARVELO_TEXT_FAST_SEARCH_H_
