// harvelo-inspect as a person runs it: a page on standard input or in a file, the settings
// file of the person's home, the JSON answer on standard output.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/child_process.h"
#include "support/real_pages.h"

namespace harvelo {
namespace {

using ::testing::HasSubstr;
using testing::HaveRealPages;
using testing::RealPagePath;
using testing::RunProgram;

// The home of a person who has never changed a setting, and of one who ignores robots tags.
class InspectTest : public ::testing::Test {
 protected:
  InspectTest() {
    std::filesystem::create_directories(ignoring_robots_.path() + "/Quorvex");
    std::ofstream(ignoring_robots_.path() + "/Quorvex/registry.reg")
        << "Windows Registry Editor Version 5.00\n\n"
           "[HKEY_CURRENT_USER\\SOFTWARE\\Quorvex]\n\"vObeyRobot\"=\"0\"\n";
  }
  testing::Ran Inspect(const std::vector<std::string>& arguments, const std::string& page = "",
                       bool ignoring_robots = false) {
    std::vector<std::string> argv = {HARVELO_INSPECT};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return RunProgram(
        argv, {{"XDG_CONFIG_HOME", (ignoring_robots ? ignoring_robots_ : home_).path()}}, page);
  }
  testing::TemporaryFolder home_, ignoring_robots_;
};

TEST_F(InspectTest, GivenAPageOrAWrongStartWeShouldAnswerAsTheHelpSays) {
  const std::vector<std::string> kAt = {"--page-url", "http://h/"};
  const struct {
    std::vector<std::string> arguments;
    std::string page;
    bool ignoring_robots;
    int status;
    std::string out;  // the whole JSON object, or a part of the output
    std::string err;  // a part of it
    // clang-format off
  } kCases[] = {
      {{"--page-url", "http://h/g/index.html"},
       "<p>Gallery</p><a href=\"big/1.jpg\"><img src=\"t/1.jpg\"></a>"
       "<a href=\"http://h/clip.mpg\"><IMG SRC='t/2.jpg'></a>"
       "<a href=\"http://h/2.jpg\">say \"hi\"\\\r\n\t\a caf\xc3\xa9 \xe6\xbc\xa2</a><a name=end>", false, 0,
       R"({"mode":"source","links":[["http://h/g/big/1.jpg","http://h/g/t/1.jpg"],)"
       R"(["http://h/clip.mpg","http://h/g/t/2.jpg"],)"
       "[\"http://h/2.jpg\",\"say \\\"hi\\\"\\\\\\r\\n\\t\\u0007 caf\xc3\xa9 \xe6\xbc\xa2\"]],"
       R"("media":["http://h/g/big/1.jpg","http://h/clip.mpg"],"pictures":1,"movies":1,)"
       "\"harvest_allowed\":true}\n", ""},
      {{"--page-url=http://h/", "-"}, "<QXPICS value=1><a href=a.jpg><img src=b.jpg></a>", false, 0,
       R"({"mode":"marker","links":[],"media":[],"pictures":0,"movies":0,"harvest_allowed":true})"
       "\n", ""},
      // The robots gate, with the person's setting: only harvelo's own name is obeyed always.
      {kAt, "<META NAME=\"ROBOTS\" CONTENT=\"NOFOLLOW\"><a href=a.jpg>", false, 0, "\"harvest_allowed\":false}", ""},
      {kAt, "<META NAME=\"ROBOTS\" CONTENT=\"NOFOLLOW\"><a href=a.jpg>", true, 0, "\"harvest_allowed\":true}", ""},
      {kAt, "<meta name=\"quorvex\" content=\"nofollow\">", true, 0, "\"harvest_allowed\":false}", ""},
      {kAt, "<p>nofollow is only a word here</p>", false, 0, "\"harvest_allowed\":true}", ""},
      {kAt, "<meta name=robots content=noarchive>", false, 0, "\"harvest_allowed\":true}", ""},
      {{"--page-url", "http://h/", "/nonexistent/page.html"}, "", false, 2, "",
       "cannot read /nonexistent/page.html"},
      {{"--page-url", "http://h/", "/"}, "", false, 2, "", "cannot read /"},
      {{}, "<a href=x>t</a>", false, 2, "", "--page-url is required"},
      {{"--page-url"}, "", false, 2, "", "--page-url needs an address"},
      {{"--page-url", "http://h/", "--x"}, "", false, 2, "", "unknown option --x"},
      {{"--page-url", "http://h/", "a", "b"}, "", false, 2, "", "only one page at a time"},
      {{"--help"}, "", false, 0, "Usage: harvelo-inspect --page-url URL [FILE]", ""},
  };                  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.page);
    const testing::Ran ran = Inspect(c.arguments, c.page, c.ignoring_robots);
    EXPECT_EQ(ran.status, c.status) << ran.err;
    if (c.out.starts_with("{")) {
      EXPECT_EQ(ran.out, c.out);
    } else {
      EXPECT_THAT(ran.out, HasSubstr(c.out));
    }
    EXPECT_THAT(ran.err, HasSubstr(c.err));
  }
}

TEST_F(InspectTest, GivenSavedRealPagesWeShouldGiveTheKnownAnswers) {
  if (!HaveRealPages()) GTEST_SKIP() << testing::kNoRealPages;
  const struct {
    const char* name;
    const char* address;  // where the page was shown; with a known answer in testdata
    bool allowed;
  } kPages[] = {
      {"lightbox2-examples", "http://lokeshdhakar.com/projects/lightbox2/examples/index.html",
       true},
      {"photoswipe3-default", "http://www.photoswipe.com/latest/examples/01-default.html", true},
      {"colorbox-example1", "http://www.jacklmoore.com/colorbox/example1/index.html", true},
      // Refused only where a robots meta tag says nofollow: rel="nofollow" does not count.
      {"robots-noindex-nofollow", "", false},
      {"smh-robots-rel-nofollow", "", false},
      {"typo3-base-fancybox", "", true},
      {"news-com-au-large", "", true},
      {"wp-nextgen-gallery", "", true},
  };
  for (const auto& page : kPages) {
    const std::string name = page.name;
    SCOPED_TRACE(name);
    const bool known = *page.address;
    const testing::Ran ran =
        Inspect({"--page-url", known ? page.address : "http://h/", RealPagePath(name + ".html")});
    ASSERT_EQ(ran.status, 0) << ran.err;
    EXPECT_THAT(ran.out, HasSubstr(page.allowed ? "\"harvest_allowed\":true}"
                                                : "\"harvest_allowed\":false}"));
    if (known) {
      EXPECT_EQ(ran.out, testing::FileBytes(HARVELO_TESTDATA "/" + name + ".json"));
    }
  }
}

}  // namespace
}  // namespace harvelo
