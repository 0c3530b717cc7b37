// The URL combining service on any base and reference (the first line and the rest), into
// buffers of every size: an answer of true is an address that fits its buffer and ends in a
// NUL; no answer writes past the size it was given.

#include <cstring>
#include <vector>

#include "fuzz_input.h"
#include "platform/linux/qt_core/url_combiner.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace harvelo;
  using namespace harvelo::fuzz;
  static const auto combiner = NewUrlCombiner();
  const auto [base, relative] = SplitAt(Bytes(data, size));
  for (const std::uint32_t buffer_size : {1u, 16u, 2084u}) {
    // AddressSanitizer guards the end of the buffer: a write past it is a finding.
    std::vector<char> buffer(buffer_size);
    std::uint32_t length = buffer_size;
    if (!combiner->InternetCombineUrlA(std::string(base), std::string(relative), buffer.data(),
                                       &length, ICU_BROWSER_MODE)) {
      continue;
    }
    Require(length < buffer_size, "a combined address leaves room for its NUL");
    Require(buffer[length] == '\0', "a combined address ends in a NUL");
    Require(std::strlen(buffer.data()) == length, "the length counts the address");
  }
  return 0;
}
