// The fast link extraction against the literal one on any page and page address: the same
// pairs, the same yields, the same combining requests. The attribute helpers keep their cuts.

#include "fakes/fake_platform.h"
#include "fuzz_input.h"
#include "oracle/list_links_literal.h"
#include "scanner/list_links.h"

namespace harvelo::fuzz {
namespace {

// The first line is the page's address, the rest its text.
void ExtractBothWays(std::string_view bytes) {
  const auto [address_bytes, page_bytes] = SplitAt(bytes);
  const Text address = BytesToText(address_bytes);
  const Text page = BytesToText(page_bytes);
  FakeUrlService urls_fast, urls_literal;
  FakeUserInterface ui_fast, ui_literal;
  LinkSets fast(2), literal(2);
  ListLinks(fast, 1, page, address, urls_fast, ui_fast);
  oracle::ListLinksLiteral(literal, 1, page, address, urls_literal, ui_literal);
  Require(fast[1].LinkURLs == literal[1].LinkURLs, "the same link addresses");
  Require(fast[1].LinkContents == literal[1].LinkContents, "the same link contents");
  Require(ui_fast.do_events_ == ui_literal.do_events_, "the same yields");
  Require(urls_fast.calls_ == urls_literal.calls_, "the same combining requests");
}

void CheckAttributeCuts(const Text& text) {
  const Text value = CleanAttributeValue(text);
  Require(value.find_first_of(u"\"' ") == Text::npos,
          "an attribute value holds no quote and no space");
  const Text source = GetImageSource(text);
  Require(source.find_first_of(u"\"' ") == Text::npos,
          "an image source holds no quote and no space");
}

}  // namespace
}  // namespace harvelo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace harvelo::fuzz;
  ExtractBothWays(Bytes(data, size));
  CheckAttributeCuts(BytesToText(Bytes(data, size)));
  return 0;
}
