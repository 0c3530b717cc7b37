#ifndef HARVELO_SCANNER_LIST_LINKS_H_
#define HARVELO_SCANNER_LIST_LINKS_H_

// The links of a page found in its HTML text by plain substring searches: every "<a" is a
// candidate, its href value the target, and the image inside it (or its raw content) the
// content. No parser: malformed HTML gives what the searches give.

#include <cstdint>

#include "platform/url_service.h"
#include "platform/user_interface.h"
#include "scanner/link_set.h"
#include "scanner/media_types.h"
#include "text/text.h"

namespace harvelo {

// Re-creates sets[set_number] and fills it with the pairs of `page_text`, in the order of
// their "<a". Relative addresses are combined with the page's first base address or, when
// there is none, with `page_address`; an address that begins with "http:/" (and, when
// `reach` is modern, "https:/") counts as absolute. Yields twice per candidate through
// `ui`. Throws Failure when `set_number` is not a slot of `sets`.
void ListLinks(LinkSets& sets, std::int16_t set_number, const Text& page_text,
               const Text& page_address, UrlService& urls, UserInterface& ui,
               MediaReach reach = {});

// The value of the first attribute whose name ends in "src" ("src=" or "src ="), cut by
// CleanAttributeValue; the empty text when there is none.
Text GetImageSource(const Text& text);

// One attribute value out of the text that follows its "=": trimmed, one leading quote
// dropped, cut at the first double quote (or else the first ">"), then at the first single
// quote and at the first space.
Text CleanAttributeValue(const Text& value);

}  // namespace harvelo

#endif  // HARVELO_SCANNER_LIST_LINKS_H_
