#ifndef HARVELO_PLATFORM_LINUX_SCANNER_URL_COMBINER_H_
#define HARVELO_PLATFORM_LINUX_SCANNER_URL_COMBINER_H_

#include <memory>

#include "platform/url_service.h"

namespace harvelo {

// Reference resolution as RFC 3986 section 5.2 gives it, made as lenient as a browser is
// with what real pages carry (see url_combiner.cpp for each choice).
std::unique_ptr<UrlService> NewUrlCombiner();

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_SCANNER_URL_COMBINER_H_
