#include "scanner/combine_url.h"

namespace harvelo {

namespace {

// The service writes into a buffer of this many characters, its terminating NUL included.
constexpr std::uint32_t kBufferSize = 256;

// The narrow text of this platform is UTF-8. Addresses are nearly always ASCII, which
// converts one character to one byte.
void NarrowInto(TextView text, std::string& narrow) {
  narrow.clear();
  for (char16_t c : text) {
    if (c >= 0x80) {
      narrow = ToUtf8(text);
      return;
    }
    narrow.push_back(static_cast<char>(c));
  }
}

Text Widen(std::string_view narrow) {
  Text text(narrow.size(), u'\0');
  for (std::size_t i = 0; i < narrow.size(); ++i) {
    if (static_cast<unsigned char>(narrow[i]) >= 0x80) return FromUtf8(narrow);
    text[i] = static_cast<char16_t>(narrow[i]);
  }
  return text;
}

}  // namespace

BaseCombiner::BaseCombiner(UrlService& urls, const Text& base)
    : urls_(urls), base_empty_(base.empty()) {
  NarrowInto(base, base_);
}

Text BaseCombiner::Combine(TextView relative) {
  if (base_empty_ || relative.empty()) return Text();
  NarrowInto(relative, relative_);
  char buffer[kBufferSize] = {};
  std::uint32_t length = kBufferSize;
  if (!urls_.InternetCombineUrlA(base_, relative_, buffer, &length, ICU_BROWSER_MODE)) {
    return Text();
  }
  return Widen(std::string_view(buffer, length < kBufferSize ? length : kBufferSize - 1));
}

Text CombineURL(UrlService& urls, const Text& base, const Text& relative) {
  return BaseCombiner(urls, base).Combine(relative);
}

}  // namespace harvelo
