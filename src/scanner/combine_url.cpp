#include "scanner/combine_url.h"

namespace harvelo {

namespace {

// The service writes into a buffer of this many characters, its terminating NUL included.
constexpr std::uint32_t kBufferSize = 256;

}  // namespace

BaseCombiner::BaseCombiner(UrlService& urls, const Text& base)
    : urls_(urls), base_empty_(base.empty()) {
  ToUtf8(base, base_);
}

void BaseCombiner::Combine(TextView relative, Text& combined) {
  combined.clear();
  if (base_empty_ || relative.empty()) return;
  ToUtf8(relative, relative_);
  char buffer[kBufferSize] = {};
  std::uint32_t length = kBufferSize;
  if (!urls_.InternetCombineUrlA(base_, relative_, buffer, &length, ICU_BROWSER_MODE)) return;
  FromUtf8(std::string_view(buffer, length < kBufferSize ? length : kBufferSize - 1), combined);
}

Text CombineURL(UrlService& urls, const Text& base, const Text& relative) {
  Text combined;
  BaseCombiner(urls, base).Combine(relative, combined);
  return combined;
}

}  // namespace harvelo
