#ifndef HARVELO_TESTS_ORACLE_LIST_LINKS_LITERAL_H_
#define HARVELO_TESTS_ORACLE_LIST_LINKS_LITERAL_H_

// The link extraction written step by step as its algorithm reads, copying and
// lower-casing each candidate's stretch: slow (the work grows with the number of anchors
// times the length of the text) and kept only as the measure of the fast one.

#include <cstdint>

#include "platform/url_service.h"
#include "platform/user_interface.h"
#include "scanner/link_set.h"
#include "text/text.h"

namespace harvelo::oracle {

void ListLinksLiteral(LinkSets& sets, std::int16_t set_number, const Text& page_text,
                      const Text& page_address, UrlService& urls, UserInterface& ui);

}  // namespace harvelo::oracle

#endif  // HARVELO_TESTS_ORACLE_LIST_LINKS_LITERAL_H_
