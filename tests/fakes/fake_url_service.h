#ifndef HARVELO_TESTS_FAKES_FAKE_URL_SERVICE_H_
#define HARVELO_TESTS_FAKES_FAKE_URL_SERVICE_H_

#include <cstring>
#include <string>
#include <vector>

#include "platform/url_service.h"

namespace harvelo {

// Combines by joining "base|relative", so a test sees exactly which base was used, except
// that a relative address with its own scheme ("https://...") comes back as it is, as a
// resolver gives it; honours the caller's buffer size as the real service does. Records
// every call.
struct FakeUrlService : UrlService {
  struct Call {
    std::string base;
    std::string relative;
    std::uint32_t buffer_size;
    std::uint32_t flags;
  };

  bool InternetCombineUrlA(const std::string& base, const std::string& relative, char* buffer,
                           std::uint32_t* length, std::uint32_t flags) override {
    calls_.push_back({base, relative, *length, flags});
    const std::string combined =
        relative.find("://") != std::string::npos ? relative : base + "|" + relative;
    if (refuse_ || combined.size() + 1 > *length) return false;
    std::memcpy(buffer, combined.c_str(), combined.size() + 1);
    *length = static_cast<std::uint32_t>(combined.size());
    return true;
  }

  std::vector<Call> calls_;
  bool refuse_ = false;
};

}  // namespace harvelo

#endif  // HARVELO_TESTS_FAKES_FAKE_URL_SERVICE_H_
