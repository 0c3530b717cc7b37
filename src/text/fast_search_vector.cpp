// The vector version: the standard library's data-parallel types, a register of characters
// at a time. Compiled only where the standard library provides them, outside the core.

#include <experimental/simd>

#include "text/fast_search.h"

namespace harvelo {

namespace {

namespace stdx = std::experimental;

using Chars = stdx::native_simd<char16_t>;
constexpr std::size_t kWidth = Chars::size();

// The first of the `wanted` characters at or after index `from`, or npos.
template <typename... Wanted>
std::size_t FindAny(TextView text, std::size_t from, Wanted... wanted) {
  const char16_t* const chars = text.data();
  std::size_t j = from;
  for (; j + kWidth <= text.size(); j += kWidth) {
    const Chars here(chars + j, stdx::element_aligned);
    const auto hits = ((here == Chars(wanted)) || ...);
    if (stdx::any_of(hits)) return j + static_cast<std::size_t>(stdx::find_first_set(hits));
  }
  for (; j < text.size(); ++j) {
    if (((chars[j] == wanted) || ...)) return j;
  }
  return TextView::npos;
}

// Addresses and most markup are ASCII throughout, and ASCII converts unit for unit, so runs
// of it are found and converted sixteen units at a time.
constexpr std::size_t kRunWidth = 16;
template <typename Unit>
using Units = stdx::fixed_size_simd<Unit, kRunWidth>;

template <typename Unit>
std::size_t AsciiRun(std::basic_string_view<Unit> units) {
  using Bits = std::make_unsigned_t<Unit>;
  std::size_t i = 0;
  for (; i + kRunWidth <= units.size(); i += kRunWidth) {
    const auto beyond = Units<Bits>(reinterpret_cast<const Bits*>(units.data()) + i,
                                    stdx::element_aligned) >= Units<Bits>(0x80);
    if (stdx::any_of(beyond)) return i + static_cast<std::size_t>(stdx::find_first_set(beyond));
  }
  while (i < units.size() && static_cast<Bits>(units[i]) < 0x80) ++i;
  return i;
}

template <typename From, typename To>
void Copy(std::basic_string_view<From> ascii, To* out) {
  using Bits = std::make_unsigned_t<From>;
  std::size_t i = 0;
  for (; i + kRunWidth <= ascii.size(); i += kRunWidth) {
    stdx::static_simd_cast<stdx::fixed_size_simd<To, kRunWidth>>(
        Units<Bits>(reinterpret_cast<const Bits*>(ascii.data()) + i, stdx::element_aligned))
        .copy_to(out + i, stdx::element_aligned);
  }
  for (; i < ascii.size(); ++i) out[i] = static_cast<To>(ascii[i]);
}

}  // namespace

template <>
std::size_t VectorSearch::FindFirstOf(TextView text, std::size_t from, TextView wanted) {
  switch (wanted.size()) {
    case 1:
      return FindAny(text, from, wanted[0]);
    case 2:
      return FindAny(text, from, wanted[0], wanted[1]);
    case 3:
      return FindAny(text, from, wanted[0], wanted[1], wanted[2]);
    default:
      return FindAny(text, from, wanted[0], wanted[1], wanted[2], wanted[3]);
  }
}

template <>
std::size_t VectorSearch::FindTagMark(TextView text, std::size_t from, char16_t letter) {
  const Chars lower_case_bit(0x20);  // what an upper-case ASCII letter lacks
  const char16_t* const chars = text.data();
  std::size_t j = from;
  // Most vectors hold no "<" and are passed at once. In the others each "<" is compared with
  // the two characters that follow it, which the last two characters of the text lack.
  for (; j + kWidth + 2 <= text.size(); j += kWidth) {
    const auto tags = Chars(chars + j, stdx::element_aligned) == Chars(u'<');
    if (stdx::none_of(tags)) continue;
    const Chars second(chars + j + 1, stdx::element_aligned);
    const Chars third(chars + j + 2, stdx::element_aligned);
    const auto hits =
        tags && ((second | lower_case_bit) == Chars(letter) ||
                 (second == Chars(u'/') && (third | lower_case_bit) == Chars(letter)));
    if (stdx::any_of(hits)) return j + static_cast<std::size_t>(stdx::find_first_set(hits));
  }
  for (; j < text.size(); ++j) {
    if (IsTagMarkAt(text, j, letter)) return j;
  }
  return TextView::npos;
}

template <>
std::size_t VectorSearch::AsciiPrefix(std::string_view bytes) {
  return AsciiRun(bytes);
}

template <>
std::size_t VectorSearch::AsciiPrefix(TextView text) {
  return AsciiRun(text);
}

template <>
void VectorSearch::CopyAscii(std::string_view ascii, char16_t* out) {
  Copy(ascii, out);
}

template <>
void VectorSearch::CopyAscii(TextView ascii, char* out) {
  Copy(ascii, out);
}

template struct Search<SearchVersion::kVector>;

}  // namespace harvelo
