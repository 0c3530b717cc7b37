// The portable version, as the template's own definitions: 64-bit words of four 16-bit lanes
// (or eight bytes), lane 0 holding the unit at the lowest address.

#include "text/fast_search.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace harvelo {

namespace {

using Word = std::uint64_t;
constexpr std::size_t kLanes = sizeof(Word) / sizeof(char16_t);
constexpr bool kLittleEndian = std::endian::native == std::endian::little;
constexpr Word kEveryLane = 0x0001000100010001;
constexpr Word kLaneLowBits = 0x7FFF7FFF7FFF7FFF;
constexpr Word kLaneTopBits = ~kLaneLowBits;
constexpr Word kByteTopBits = 0x8080808080808080;
constexpr Word kLaneNotAscii = 0xFF80FF80FF80FF80;

template <typename Unit>
Word Load(const Unit* at) {
  Word word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

Word Broadcast(char16_t c) { return Word{c} * kEveryLane; }

// The top bit of every lane that is not zero, and no other bit: no carry crosses lanes.
Word NonZeroLanes(Word word) {
  return (((word & kLaneLowBits) + kLaneLowBits) | word) & kLaneTopBits;
}

Word ZeroLanes(Word word) { return ~NonZeroLanes(word) & kLaneTopBits; }

// Flags whose first is the first zero lane, for a caller that wants no more. On a
// little-endian machine the cheaper subtraction does: its borrow can flag lanes above a
// zero lane, never one below.
Word FirstZeroLanes(Word word) {
  if constexpr (kLittleEndian) {
    return (word - kEveryLane) & ~word & kLaneTopBits;
  } else {
    return ZeroLanes(word);
  }
}

// The first flagged lane of `flags` (not zero), with lanes of `lane_bits` bits.
std::size_t FirstLane(Word flags, int lane_bits) {
  const int bit = kLittleEndian ? std::countr_zero(flags) : std::countl_zero(flags);
  return static_cast<std::size_t>(bit / lane_bits);
}

template <std::size_t kWanted>
std::size_t FindFirstOfWords(TextView text, std::size_t from, TextView wanted) {
  Word patterns[kWanted];
  for (std::size_t k = 0; k < kWanted; ++k) patterns[k] = Broadcast(wanted[k]);
  std::size_t i = from;
  for (; i + kLanes <= text.size(); i += kLanes) {
    const Word word = Load(text.data() + i);
    Word hits = 0;
    // The first flag of each pattern is a match, so the first of them all is the first.
    for (const Word pattern : patterns) hits |= FirstZeroLanes(word ^ pattern);
    if (hits != 0) return i + FirstLane(hits, 16);
  }
  for (; i < text.size(); ++i) {
    if (wanted.find(text[i]) != TextView::npos) return i;
  }
  return TextView::npos;
}

// Copies with a loop over blocks that compilers make vector instructions of, each block
// copied in and out so that nothing else can alias it.
template <typename From, typename To>
void CopyBlocks(std::basic_string_view<From> ascii, To* out) {
  constexpr std::size_t kBlock = 16;
  std::size_t i = 0;
  for (; i + kBlock <= ascii.size(); i += kBlock) {
    From block[kBlock];
    std::memcpy(block, ascii.data() + i, sizeof block);
    To copy[kBlock];
    for (std::size_t k = 0; k < kBlock; ++k) copy[k] = static_cast<To>(block[k]);
    std::memcpy(out + i, copy, sizeof copy);
  }
  for (; i < ascii.size(); ++i) out[i] = static_cast<To>(ascii[i]);
}

}  // namespace

template <SearchVersion version>
std::size_t Search<version>::FindFirstOf(TextView text, std::size_t from, TextView wanted) {
  switch (wanted.size()) {
    case 1:
      return FindFirstOfWords<1>(text, from, wanted);
    case 2:
      return FindFirstOfWords<2>(text, from, wanted);
    case 3:
      return FindFirstOfWords<3>(text, from, wanted);
    default:
      return FindFirstOfWords<4>(text, from, wanted);
  }
}

template <SearchVersion version>
std::size_t Search<version>::FindTagMark(TextView text, std::size_t from, char16_t letter) {
  const Word opening = Broadcast(u'<');
  const Word slash = Broadcast(u'/');
  const Word lower = Broadcast(letter);
  const Word case_bit = Broadcast(0x20);  // what an upper-case ASCII letter lacks
  std::size_t i = from;
  // Most words hold no "<" and are passed at once. In the others each "<" is compared with
  // the two characters that follow it, which the last two characters of the text lack.
  for (; i + kLanes + 2 <= text.size(); i += kLanes) {
    const Word word = Load(text.data() + i);
    if (FirstZeroLanes(word ^ opening) == 0) continue;
    const Word second = Load(text.data() + i + 1);
    const Word third = Load(text.data() + i + 2);
    const Word hits = ZeroLanes(word ^ opening) &
                      (ZeroLanes((second | case_bit) ^ lower) |
                       (ZeroLanes(second ^ slash) & ZeroLanes((third | case_bit) ^ lower)));
    if (hits != 0) return i + FirstLane(hits, 16);
  }
  for (; i < text.size(); ++i) {
    if (IsTagMarkAt(text, i, letter)) return i;
  }
  return TextView::npos;
}

template <SearchVersion version>
std::size_t Search<version>::AsciiPrefix(std::string_view bytes) {
  std::size_t i = 0;
  for (; i + sizeof(Word) <= bytes.size(); i += sizeof(Word)) {
    const Word beyond = Load(bytes.data() + i) & kByteTopBits;
    if (beyond != 0) return i + FirstLane(beyond, 8);
  }
  while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80) ++i;
  return i;
}

template <SearchVersion version>
std::size_t Search<version>::AsciiPrefix(TextView text) {
  std::size_t i = 0;
  for (; i + kLanes <= text.size(); i += kLanes) {
    const Word beyond = NonZeroLanes(Load(text.data() + i) & kLaneNotAscii);
    if (beyond != 0) return i + FirstLane(beyond, 16);
  }
  while (i < text.size() && text[i] < 0x80) ++i;
  return i;
}

template <SearchVersion version>
void Search<version>::CopyAscii(std::string_view ascii, char16_t* out) {
  CopyBlocks(ascii, out);
}

template <SearchVersion version>
void Search<version>::CopyAscii(TextView ascii, char* out) {
  CopyBlocks(ascii, out);
}

// The template's own definitions are the portable version.
template struct Search<SearchVersion::kPortable>;

}  // namespace harvelo
