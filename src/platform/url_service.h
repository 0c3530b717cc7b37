#ifndef HARVELO_PLATFORM_URL_SERVICE_H_
#define HARVELO_PLATFORM_URL_SERVICE_H_

// The platform's URL combining service. Abstract so tests can count its calls; the real
// implementation resolves references as a browser does.

#include <cstdint>
#include <string>

namespace harvelo {

inline constexpr std::uint32_t ICU_BROWSER_MODE = 0x02000000;

class UrlService {
 public:
  virtual ~UrlService() = default;
  // Combines `base` and `relative` (narrow text) into `buffer`, whose size in characters
  // `*length` gives on entry (terminating NUL included). On success answers true, writes
  // the address and its NUL and sets `*length` to the characters written, NUL excluded.
  // Answers false when the inputs cannot be combined or the result does not fit.
  virtual bool InternetCombineUrlA(const std::string& base, const std::string& relative,
                                   char* buffer, std::uint32_t* length, std::uint32_t flags) = 0;
};

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_URL_SERVICE_H_
