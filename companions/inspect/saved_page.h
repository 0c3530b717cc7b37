#ifndef HARVELO_COMPANIONS_INSPECT_SAVED_PAGE_H_
#define HARVELO_COMPANIONS_INSPECT_SAVED_PAGE_H_

// A saved page posing as the attached browser window, so that the dry run is the scan that
// harvelo runs. It has its text and its address, and no live document: its link and image
// collections are empty.

#include <memory>

#include "platform/browser.h"
#include "text/text.h"

namespace harvelo {

// The page's HTML is `html`, as the browser would give it; its address `address`. What it
// hands out must not outlive it.
std::unique_ptr<WebBrowser> NewSavedPage(Text html, Text address);

}  // namespace harvelo

#endif  // HARVELO_COMPANIONS_INSPECT_SAVED_PAGE_H_
