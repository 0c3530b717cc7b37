#ifndef HARVELO_TESTS_FUZZ_FUZZ_INPUT_H_
#define HARVELO_TESTS_FUZZ_FUZZ_INPUT_H_

// The fuzzer's bytes as the inputs of the code under test, and how a target reports a broken
// promise: it aborts with the promise's text, and libFuzzer keeps the input that did it.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "text/text.h"

namespace harvelo::fuzz {

inline std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The bytes before the first `separator` and those after it (all, and nothing, without one).
inline std::pair<std::string_view, std::string_view> SplitAt(std::string_view bytes,
                                                             char separator = '\n') {
  const auto at = bytes.find(separator);
  if (at == std::string_view::npos) return {bytes, {}};
  return {bytes.substr(0, at), bytes.substr(at + 1)};
}

// Each byte one character (Latin-1), except that 0xFF and the two bytes after it make one
// UTF-16 code unit of any value: so NULs, lone surrogates and CJK characters are all reached.
inline Text BytesToText(std::string_view bytes) {
  Text text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte == 0xFF && i + 2 < bytes.size()) {
      text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i + 1]) << 8 |
                                    static_cast<unsigned char>(bytes[i + 2]));
      i += 2;
    } else {
      text += static_cast<char16_t>(byte);
    }
  }
  return text;
}

[[noreturn]] inline void Broken(const char* promise) {
  std::fprintf(stderr, "broken promise: %s\n", promise);
  std::abort();
}

inline void Require(bool holds, const char* promise) {
  if (!holds) Broken(promise);
}

}  // namespace harvelo::fuzz

#endif  // HARVELO_TESTS_FUZZ_FUZZ_INPUT_H_
