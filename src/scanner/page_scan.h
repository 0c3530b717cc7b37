#ifndef HARVELO_SCANNER_PAGE_SCAN_H_
#define HARVELO_SCANNER_PAGE_SCAN_H_

// The scan of a page: the addresses of its pictures and movies, and the folder the user
// confirms for them. The main form runs the two in its pass (what comes between them, the
// no-files notice, and what follows, the hand-off, are the run's); harvelo-inspect runs the
// first over a saved page.

#include <cstdint>
#include <vector>

#include "platform/browser.h"
#include "platform/platform.h"
#include "platform/url_service.h"
#include "platform/user_interface.h"
#include "scanner/link_set.h"
#include "scanner/media_types.h"
#include "text/text.h"

namespace harvelo {

// What the scan of a page found. The main form keeps it until the program ends; the job
// builder reads MediaURLs.
struct MediaScan {
  // True when the page carries a marker tag and was read through its document.
  bool marker_page = false;
  // The found addresses: slot 0 stays empty, found addresses fill slots 1 to N.
  std::vector<Text> MediaURLs{Text()};
  // In source mode, slots 0 and 1, set 1 holding the link pairs of the page's text; empty
  // in marker-page mode.
  LinkSets linkSets;
};

// Chooses the mode from two fresh reads of the page's HTML, then collects: from the
// document's links that wrap an image and its images outside links on a marker page; from
// the link pairs of the page's text that wrap a picture otherwise (yielding through `ui`),
// with the addresses and types of `reach`; a marker page is read the same in every reach.
// Failures of the page reads and of the link extraction propagate.
MediaScan ScanForMedia(WebBrowser& page, UrlService& urls, UserInterface& ui,
                       MediaReach reach = {});

// The dialog in which the user confirms the folder for `MediaURLs`: the initial folder by
// the movie count, the counts in its instruction text, owned by the page's window. The
// chosen folder, or the empty text when the user cancelled. Movies are those of `reach`.
// Throws Failure when the movies are more than 32767, and when the dialog fails.
Text ChooseSaveFolder(Platform& platform, WebBrowser& page, const std::vector<Text>& MediaURLs,
                      MediaReach reach = {});

// True when the element's href can be read.
bool IsLinkElement(HtmlElement& element);

// The movies (those of `reach`) among slots 1 to N. Throws Failure when there are more
// than 32767.
std::int16_t CountMovies(const std::vector<Text>& list, MediaReach reach = {});

}  // namespace harvelo

#endif  // HARVELO_SCANNER_PAGE_SCAN_H_
