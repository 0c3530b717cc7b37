#ifndef HARVELO_SCANNER_COMBINE_URL_H_
#define HARVELO_SCANNER_COMBINE_URL_H_

#include <string>

#include "platform/url_service.h"
#include "text/text.h"

namespace harvelo {

// An address made absolute against `base` by the platform's URL service, or the empty
// text when either input is empty (the service is then not asked) or the service fails,
// which includes a result of 256 characters or more. Never throws.
Text CombineURL(UrlService& urls, const Text& base, const Text& relative);

// CombineURL for many addresses against one base, with the same answers; the base is
// converted for the service once. `urls` must remain live while this object is.
class BaseCombiner {
 public:
  BaseCombiner(UrlService& urls, const Text& base);
  // Sets `combined` to CombineURL's answer for `relative`, reusing its storage.
  // `relative` must not view `combined`.
  void Combine(TextView relative, Text& combined);

 private:
  UrlService& urls_;
  bool base_empty_;
  std::string base_;
  std::string relative_;  // kept to reuse its storage
};

}  // namespace harvelo

#endif  // HARVELO_SCANNER_COMBINE_URL_H_
