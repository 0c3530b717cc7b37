#ifndef HARVELO_SCANNER_COMBINE_URL_H_
#define HARVELO_SCANNER_COMBINE_URL_H_

#include "platform/url_service.h"
#include "text/text.h"

namespace harvelo {

// An address made absolute against `base` by the platform's URL service, or the empty
// text when either input is empty (the service is then not asked) or the service fails,
// which includes a result of 256 characters or more. Never throws.
Text CombineURL(UrlService& urls, const Text& base, const Text& relative);

}  // namespace harvelo

#endif  // HARVELO_SCANNER_COMBINE_URL_H_
