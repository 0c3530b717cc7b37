#ifndef HARVELO_SCANNER_SOURCE_MEDIA_H_
#define HARVELO_SCANNER_SOURCE_MEDIA_H_

// Which of a page's link pairs are taken as media when the page carries no marker tags.

#include <vector>

#include "platform/user_interface.h"
#include "scanner/link_set.h"
#include "scanner/media_types.h"
#include "text/text.h"

namespace harvelo {

// Marker tags that make a page a marker page, in lower case.
inline const Text kPicturesMarker = u"<qxpics value=";
inline const Text kMoviesMarker = u"<qxmovies value=";
// The address item whose query part is dropped from a link target.
inline const Text kSourceItem = u"qxsource=";

// True when one of slots 1 to N of `list` equals `address` exactly.
bool IsInMediaList(const std::vector<Text>& list, const Text& address);

// Appends to `media` every target of `set` (slots 1 to N) that names a picture or movie,
// begins with "http://" (or "https://" too, for a modern `reach`), wraps a picture and is
// not listed yet; a target with "qxsource=" loses its part from the first "?" on. The types
// are those of `reach`. Yields once per pair through `ui`.
void TakeSourceMedia(const LinkSet& set, std::vector<Text>& media, UserInterface& ui,
                     MediaReach reach = {});

}  // namespace harvelo

#endif  // HARVELO_SCANNER_SOURCE_MEDIA_H_
