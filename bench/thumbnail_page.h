#ifndef HARVELO_BENCH_THUMBNAIL_PAGE_H_
#define HARVELO_BENCH_THUMBNAIL_PAGE_H_

// The large page of the benchmarks that measure reading a page, shared so that their figures
// compare.

#include <string>

namespace harvelo {

// A page of `links` links that each wrap a thumbnail, then `loose` pictures outside links; a
// marker page when `marker`. The page forbids fetching its pictures: what is measured is the
// reading of it, not the loading.
inline std::string ThumbnailPage(bool marker, int links, int loose) {
  std::string page =
      "<!DOCTYPE html><html><head><title>Thumbnails</title><meta "
      "http-equiv=\"Content-Security-Policy\" content=\"img-src 'none'\"></head><body>\n";
  if (marker) page += "<qxpics value=1></qxpics>\n";
  for (int i = 1; i <= links; ++i) {
    const std::string name = "p" + std::to_string(i) + ".jpg";
    page += "<a href=\"pictures/" + name + "\"><img src=\"thumbs/" + name + "\"></a>\n";
  }
  for (int i = 1; i <= loose; ++i) {
    page += "<p><img src=\"loose/l" + std::to_string(i) + ".jpg\"></p>\n";
  }
  return page + "</body></html>\n";
}

}  // namespace harvelo

#endif  // HARVELO_BENCH_THUMBNAIL_PAGE_H_
