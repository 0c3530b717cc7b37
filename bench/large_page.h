#ifndef HARVELO_BENCH_LARGE_PAGE_H_
#define HARVELO_BENCH_LARGE_PAGE_H_

#include <string>

namespace harvelo {

// About 1 MB of ordinary markup: paragraphs with links around thumbnails. The thumbnails are
// not fetched: the page measures reading, not loading.
inline std::string LargePage() {
  std::string page =
      "<html><head><title>large</title><meta http-equiv=\"Content-Security-Policy\" "
      "content=\"img-src 'none'\"></head><body>";
  for (int i = 0; page.size() < 1'000'000; ++i) {
    const std::string n = std::to_string(i);
    page += "<p class=\"row\">Picture " + n + " &amp; friends: <a href=\"/pics/" + n +
            ".jpg\"><img src=\"/thumbs/" + n + ".jpg\" alt=\"thumb " + n + "\"></a></p>\n";
  }
  return page + "</body></html>";
}

}  // namespace harvelo

#endif  // HARVELO_BENCH_LARGE_PAGE_H_
