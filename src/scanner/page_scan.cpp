#include "scanner/page_scan.h"

#include <exception>

#include "platform/failure.h"
#include "run/error_box.h"
#include "scanner/list_links.h"
#include "scanner/media_types.h"
#include "scanner/save_folder.h"
#include "scanner/source_media.h"
#include "settings/registry.h"

namespace harvelo {

namespace {

// The page's HTML as the browser serialises it now; every call reads it afresh.
Text PageHtml(WebBrowser& browser) { return browser.Document()->documentElement()->innerHTML(); }

}  // namespace

bool PageScan::IsLinkElement(HtmlElement& element) {
  try {
    element.href();
    return true;
  } catch (const Failure&) {
    return false;
  }
}

bool PageScan::IsInMediaList(const Text& address) const {
  return harvelo::IsInMediaList(state_.MediaURLs, address);
}

std::int16_t PageScan::CountMovies(const std::vector<Text>& list) {
  std::int16_t movies = 0;
  for (std::size_t i = 1; i < list.size(); ++i) {
    if (!IsMovieURL(LowerAscii(list[i]))) continue;
    if (movies == INT16_MAX) throw Failure(u"Overflow");
    ++movies;
  }
  return movies;
}

void PageScan::ScanPage() {
  try {
    Scan();
  } catch (const Failure& failure) {
    ShowErrorMessageBox(platform_.ui, failure.description());
    platform_.ui.End();
  } catch (const std::exception& error) {
    ShowErrorMessageBox(platform_.ui, FromUtf8(error.what()));
    platform_.ui.End();
  }
}

void PageScan::Scan() {
  WebBrowser& browser = *state_.AttachedBrowser;
  state_.MediaURLs.assign(1, Text());

  // Both markers are looked for, each in a fresh read of the page.
  const bool pictures_marker = Contains(LowerAscii(PageHtml(browser)), kPicturesMarker);
  const bool movies_marker = Contains(LowerAscii(PageHtml(browser)), kMoviesMarker);
  if (pictures_marker || movies_marker) {
    ScanMarkerPage(*browser.Document());
  } else {
    ScanSource();
  }

  const std::int32_t found = static_cast<std::int32_t>(state_.MediaURLs.size()) - 1;
  if (found < 1) {
    if (Registry(platform_.registry).ReadSetting(kSettingsKey, u"dMsgNoPicsFound") != u"0") {
      if (!notice_) {
        notice_ = std::make_unique<NoPicsNotice>(platform_.notice, platform_.windows,
                                                 platform_.registry, platform_.ui, state_);
      }
      notice_->Show();
    }
    return;
  }

  const std::int16_t movies = CountMovies(state_.MediaURLs);
  const std::int32_t pictures = found - movies;
  const Text initial =
      InitialSaveFolder(platform_.registry, platform_.shell_folders, platform_.file_system, movies);
  const Text instruction = u"Select the folder where the files will be saved.\r\n"
                           u"  Number of Pictures = " + DecimalText(pictures) +
                           u",  Number of Movies = " + DecimalText(movies);
  const WindowHandle owner = browser.HWND();
  const Text folder =
      BrowseForSaveFolder(platform_.folder_browser, platform_.file_system,
                          platform_.shell_folders, owner, initial, u"Harvelo - Quorvex",
                          instruction);
  if (folder.empty()) platform_.ui.End();
  send_download_jobs_(folder);
}

// Links that wrap an image, then images that do not sit directly in a link; every
// address is taken as the document gives it, duplicates included.
void PageScan::ScanMarkerPage(HtmlDocument& document) {
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
      Append(std::move(href));
    } else {
      Append(link->href());
    }
  }
  const std::unique_ptr<ElementCollection> images = document.images();
  const std::int32_t image_count = images->Length();
  for (std::int32_t i = 0; i < image_count; ++i) {
    const std::unique_ptr<HtmlElement> image = images->item(i);
    if (!IsLinkElement(*image->ParentElement())) Append(image->href());
  }
}

// The page's links from its text, of which those wrapping a picture are taken.
void PageScan::ScanSource() {
  WebBrowser& browser = *state_.AttachedBrowser;
  state_.linkSets.assign(2, LinkSet());
  const std::int16_t set_number = 1;
  // The page's text is read before its address.
  const Text page_html = PageHtml(browser);
  ListLinks(state_.linkSets, set_number, page_html, browser.LocationURL(), platform_.urls,
            platform_.ui);
  TakeSourceMedia(state_.linkSets[set_number], state_.MediaURLs, platform_.ui);
}

}  // namespace harvelo
