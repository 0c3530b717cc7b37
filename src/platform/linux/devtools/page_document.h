#ifndef HARVELO_PLATFORM_LINUX_DEVTOOLS_PAGE_DOCUMENT_H_
#define HARVELO_PLATFORM_LINUX_DEVTOOLS_PAGE_DOCUMENT_H_

// The document a page shows, read through page functions: the same reads, snapshots and
// errors over every protocol that can run a function in the page.

#include <memory>

#include "platform/browser.h"
#include "platform/linux/devtools/kept_until_pause.h"
#include "platform/linux/devtools/page_runner.h"

namespace harvelo {

// The document that `page` shows at the moment of each read, except that its root element's HTML,
// read again before the program pauses, is what `html` kept of the last read. `html` is shared
// by every document of one page.
std::unique_ptr<HtmlDocument> NewPageDocument(std::shared_ptr<PageRunner> page,
                                              std::shared_ptr<KeptUntilPause> html);

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_DEVTOOLS_PAGE_DOCUMENT_H_
