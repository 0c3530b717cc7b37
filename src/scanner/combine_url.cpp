#include "scanner/combine_url.h"

#include <string>

namespace harvelo {

namespace {

// The service writes into a buffer of this many characters, its terminating NUL included.
constexpr std::uint32_t kBufferSize = 256;

// The narrow text of this platform is UTF-8. Addresses are nearly always ASCII, which
// converts one character to one byte.
std::string Narrow(const Text& text) {
  std::string narrow(text.size(), '\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] >= 0x80) return ToUtf8(text);
    narrow[i] = static_cast<char>(text[i]);
  }
  return narrow;
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

Text CombineURL(UrlService& urls, const Text& base, const Text& relative) {
  if (base.empty() || relative.empty()) return Text();
  char buffer[kBufferSize] = {};
  std::uint32_t length = kBufferSize;
  if (!urls.InternetCombineUrlA(Narrow(base), Narrow(relative), buffer, &length,
                                ICU_BROWSER_MODE)) {
    return Text();
  }
  return Widen(std::string_view(buffer, length < kBufferSize ? length : kBufferSize - 1));
}

}  // namespace harvelo
