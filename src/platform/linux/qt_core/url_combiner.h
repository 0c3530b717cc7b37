#ifndef HARVELO_PLATFORM_LINUX_QT_CORE_URL_COMBINER_H_
#define HARVELO_PLATFORM_LINUX_QT_CORE_URL_COMBINER_H_

#include <memory>

#include "platform/url_service.h"

namespace harvelo {

// Combines a link with its page's address into the address the browser itself gives for it
// (the URL Standard's reading, as Chromium writes it; see url_combiner.cpp for each rule).
std::unique_ptr<UrlService> NewUrlCombiner();

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_QT_CORE_URL_COMBINER_H_
