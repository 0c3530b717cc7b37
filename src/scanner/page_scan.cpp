#include "scanner/page_scan.h"

#include <memory>

#include "platform/failure.h"
#include "scanner/list_links.h"
#include "scanner/media_types.h"
#include "scanner/save_folder.h"
#include "scanner/source_media.h"

namespace harvelo {

namespace {

// The page's HTML as the browser serialises it now; every call reads it afresh.
Text PageHtml(WebBrowser& page) { return page.Document()->documentElement()->innerHTML(); }

// Links that wrap an image, then images that do not sit directly in a link; every
// address is taken as the document gives it, duplicates included.
void ScanMarkerPage(HtmlDocument& document, std::vector<Text>& media) {
  const std::unique_ptr<ElementCollection> links = document.links();
  const std::int32_t link_count = links->Length();
  for (std::int32_t i = 0; i < link_count; ++i) {
    const std::unique_ptr<HtmlElement> link = links->item(i);
    // Only the capital tag at the very start counts.
    if (Find(link->innerHTML(), u"<IMG") != 1) continue;
    if (Contains(LowerAscii(link->href()), kSourceItem)) {
      // Cut at the last "?"; without one there is nothing to cut and the address stays whole.
      Text href = link->href();
      const std::size_t cut = href.rfind(u'?');
      if (cut != Text::npos) href.resize(cut);
      media.push_back(std::move(href));
    } else {
      media.push_back(link->href());
    }
  }
  const std::unique_ptr<ElementCollection> images = document.images();
  const std::int32_t image_count = images->Length();
  for (std::int32_t i = 0; i < image_count; ++i) {
    const std::unique_ptr<HtmlElement> image = images->item(i);
    if (!IsLinkElement(*image->ParentElement())) media.push_back(image->href());
  }
}

}  // namespace

bool IsLinkElement(HtmlElement& element) {
  try {
    element.href();
    return true;
  } catch (const Failure&) {
    return false;
  }
}

std::int16_t CountMovies(const std::vector<Text>& list, MediaReach reach) {
  std::int16_t movies = 0;
  for (std::size_t i = 1; i < list.size(); ++i) {
    if (!IsMovieURL(LowerAscii(list[i]), reach)) continue;
    if (movies == INT16_MAX) throw Failure(u"Overflow");
    ++movies;
  }
  return movies;
}

MediaScan ScanForMedia(WebBrowser& page, UrlService& urls, UserInterface& ui, MediaReach reach) {
  MediaScan scan;
  // Both markers are looked for, each in a fresh read of the page.
  const bool pictures_marker = Contains(LowerAscii(PageHtml(page)), kPicturesMarker);
  const bool movies_marker = Contains(LowerAscii(PageHtml(page)), kMoviesMarker);
  scan.marker_page = pictures_marker || movies_marker;
  if (scan.marker_page) {
    ScanMarkerPage(*page.Document(), scan.MediaURLs);
    return scan;
  }
  // The page's links from its text, of which those wrapping a picture are taken. The text
  // is read before the address.
  scan.linkSets.assign(2, LinkSet());
  const std::int16_t set_number = 1;
  const Text page_html = PageHtml(page);
  ListLinks(scan.linkSets, set_number, page_html, page.LocationURL(), urls, ui, reach);
  TakeSourceMedia(scan.linkSets[set_number], scan.MediaURLs, ui, reach);
  return scan;
}

Text ChooseSaveFolder(Platform& platform, WebBrowser& page, const std::vector<Text>& MediaURLs,
                      MediaReach reach) {
  const std::int16_t movies = CountMovies(MediaURLs, reach);
  const std::int32_t pictures = static_cast<std::int32_t>(MediaURLs.size()) - 1 - movies;
  const Text initial =
      InitialSaveFolder(platform.registry, platform.shell_folders, platform.file_system, movies);
  const Text instruction =
      u"Select the folder where the files will be saved.\r\n"
      u"  Number of Pictures = " +
      DecimalText(pictures) + u",  Number of Movies = " + DecimalText(movies);
  const WindowHandle owner = page.HWND();
  return BrowseForSaveFolder(platform.folder_browser, platform.file_system, platform.shell_folders,
                             owner, initial, u"Harvelo - Quorvex", instruction);
}

}  // namespace harvelo
