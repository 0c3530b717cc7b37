#include "scanner/combine_url.h"

#include <string>

namespace harvelo {

namespace {
// The service writes into a buffer of this many characters, its terminating NUL included.
constexpr std::uint32_t kBufferSize = 256;
}  // namespace

Text CombineURL(UrlService& urls, const Text& base, const Text& relative) {
  if (base.empty() || relative.empty()) return Text();
  // The narrow text of this platform is UTF-8; the service answers in ASCII, as it
  // percent-encodes everything else.
  char buffer[kBufferSize] = {};
  std::uint32_t length = kBufferSize;
  if (!urls.InternetCombineUrlA(ToUtf8(base), ToUtf8(relative), buffer, &length,
                                ICU_BROWSER_MODE)) {
    return Text();
  }
  return FromUtf8(std::string_view(buffer, length < kBufferSize ? length : kBufferSize - 1));
}

}  // namespace harvelo
