#ifndef HARVELO_TEXT_TEXT_H_
#define HARVELO_TEXT_TEXT_H_

// Texts of the program are sequences of 16-bit characters. Positions count from 1 and
// 0 means "not found", so the algorithms read like their description; these helpers keep
// that convention in one place.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace harvelo {

using Text = std::u16string;
using TextView = std::u16string_view;

// The 1-based position of the first `marker` in `text` that begins at or after position
// `from` (from >= 1), or 0 when there is none or when `from` lies beyond the end of `text`.
std::size_t Find(TextView text, TextView marker, std::size_t from = 1);

// True when `marker` occurs anywhere in `text`.
inline bool Contains(TextView text, TextView marker) { return Find(text, marker) != 0; }

// A copy of `text` with only the letters A to Z lower-cased, so that positions carry over
// between a text and its lower-case copy.
Text LowerAscii(TextView text);

// Cuts: taking characters beyond the end of a text yields only what exists, and taking
// zero characters yields the empty text.
Text Left(TextView text, std::size_t count);
Text Right(TextView text, std::size_t count);
// `count` characters from 1-based position `start` (start >= 1).
Text Mid(TextView text, std::size_t start, std::size_t count);
// Everything from 1-based position `start` to the end.
Text Mid(TextView text, std::size_t start);

// The text without leading and trailing space characters (U+0020 only).
Text TrimSpaces(TextView text);

bool StartsWith(TextView text, TextView prefix);
bool EndsWith(TextView text, TextView suffix);

// Plain decimal digits with a minus sign for negative numbers.
Text DecimalText(std::int64_t number);

// UTF-8 at the edges: files, adapters and the narrow text of the URL service. Malformed
// input becomes U+FFFD; so do unpaired surrogates on the way out.
Text FromUtf8(std::string_view utf8);
std::string ToUtf8(TextView text);
// The same conversions into a text that already exists, reusing its storage: for callers
// that convert many texts.
void FromUtf8(std::string_view utf8, Text& out);
void ToUtf8(TextView text, std::string& out);

}  // namespace harvelo

#endif  // HARVELO_TEXT_TEXT_H_
