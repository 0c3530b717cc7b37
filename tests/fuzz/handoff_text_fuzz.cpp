// The hand-off's text helpers on any address, query key and page text: they never throw, a
// decoding never grows the text, a tag's value is a piece of the page, a folder ends in its
// separator.

#include "fuzz_input.h"
#include "handoff/text_helpers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace harvelo;
  using namespace harvelo::fuzz;
  const auto [key_bytes, text_bytes] = SplitAt(Bytes(data, size));
  const Text key = BytesToText(key_bytes);
  const Text text = BytesToText(text_bytes);

  const Text value = GetQueryValue(text, key);
  Require(value.size() <= text.size(), "a query value is no longer than its address");
  Require(URLDecode(text).size() <= text.size(), "decoding never lengthens a text");
  Require(text.find(ReturnTagInfo(text)) != Text::npos, "a tag's value stands in the page");
  const Text folder = FixPath(text);
  Require(!folder.empty() && folder.back() == kPathSeparator, "a folder ends in a separator");
  Require(folder.compare(0, text.size(), text) == 0, "a folder keeps what it was given");
  return 0;
}
