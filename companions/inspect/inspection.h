#ifndef HARVELO_COMPANIONS_INSPECT_INSPECTION_H_
#define HARVELO_COMPANIONS_INSPECT_INSPECTION_H_

// A dry run over a saved page: the robots gate and the page scan that harvelo runs, the
// saved page standing in for the browser window; no dialog, no download.

#include <cstdint>
#include <ostream>
#include <vector>

#include "platform/url_service.h"
#include "platform/user_interface.h"
#include "scanner/page_scan.h"
#include "settings/registry.h"
#include "text/text.h"

namespace harvelo {

struct Inspection {
  // Whether the robots gate lets the page through; harvelo scans a refused page no further.
  bool harvest_allowed = true;
  // What the scan found. A marker page is scanned from the live document, which a saved
  // page lacks: its media stay empty.
  MediaScan scan;
  std::int32_t pictures = 0;
  std::int16_t movies = 0;
};

// The page `page_html` as shown at `page_url`, scanned with `reach`. `registry` holds the
// settings the robots gate reads. Throws Failure when the scan fails or the movies overflow
// their count.
Inspection InspectPage(Text page_html, Text page_url, Registry& registry, UrlService& urls,
                       UserInterface& ui, MediaReach reach = {});

// {"mode": "source" or "marker", "links": [[link, content], ...], "media": [...],
//  "pictures": P, "movies": M, "harvest_allowed": true or false}, on one line, in UTF-8.
void WriteInspectionJson(const Inspection& inspection, std::ostream& out);

}  // namespace harvelo

#endif  // HARVELO_COMPANIONS_INSPECT_INSPECTION_H_
