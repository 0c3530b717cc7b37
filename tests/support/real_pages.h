#ifndef HARVELO_TESTS_SUPPORT_REAL_PAGES_H_
#define HARVELO_TESTS_SUPPORT_REAL_PAGES_H_

// Pages written by others, saved in a folder beside the sources (HARVELO_REALPAGES): an
// extra corpus. A clone of the repository alone has no such folder, and the tests that read
// it skip:  if (!testing::HaveRealPages()) GTEST_SKIP() << testing::kNoRealPages;

#include <filesystem>
#include <string>

namespace harvelo::testing {

inline constexpr char kNoRealPages[] =
    "the saved real pages are not beside the sources (" HARVELO_REALPAGES ")";

inline bool HaveRealPages() { return std::filesystem::is_directory(HARVELO_REALPAGES); }

// The path of the saved page `name` ("photoswipe3-default.html").
inline std::string RealPagePath(const std::string& name) {
  return std::string(HARVELO_REALPAGES) + "/" + name;
}

}  // namespace harvelo::testing

#endif  // HARVELO_TESTS_SUPPORT_REAL_PAGES_H_
