#ifndef HARVELO_COMPANIONS_INSPECT_INSPECTION_H_
#define HARVELO_COMPANIONS_INSPECT_INSPECTION_H_

// A dry run of the page scan over a saved page: what the link extraction records and what
// the scan would take, without a browser, a dialog or a download.

#include <cstdint>
#include <ostream>
#include <vector>

#include "platform/url_service.h"
#include "platform/user_interface.h"
#include "scanner/link_set.h"
#include "settings/registry.h"
#include "text/text.h"

namespace harvelo {

struct Inspection {
  // Whether the robots gate lets the page through; harvelo scans a refused page no further.
  bool harvest_allowed = true;
  // A marker page is scanned from the live document, which a saved page lacks: its links
  // and media stay empty.
  bool marker_page = false;
  LinkSet links;
  // Slot 0 empty, as the scan keeps it.
  std::vector<Text> media{Text()};
  std::int32_t pictures = 0;
  std::int16_t movies = 0;
};

// `registry` holds the settings the robots gate reads. Throws Failure when the movies
// overflow their count.
Inspection InspectPage(const Text& page_html, const Text& page_url, Registry& registry,
                       UrlService& urls, UserInterface& ui);

// {"mode": "source" or "marker", "links": [[link, content], ...], "media": [...],
//  "pictures": P, "movies": M, "harvest_allowed": true or false}, on one line, in UTF-8.
void WriteInspectionJson(const Inspection& inspection, std::ostream& out);

}  // namespace harvelo

#endif  // HARVELO_COMPANIONS_INSPECT_INSPECTION_H_
