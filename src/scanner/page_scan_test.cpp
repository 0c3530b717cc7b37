#include "scanner/page_scan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "scanner/source_media.h"
#include "settings/registry.h"

namespace harvelo {
namespace {

using ::testing::ElementsAre;

std::shared_ptr<FakeElement> Element(Text inner, std::optional<Text> href,
                                     std::shared_ptr<FakeElement> parent = nullptr) {
  return std::make_shared<FakeElement>(FakeElement{std::move(inner), std::move(href), parent});
}

class PageScanTest : public ::testing::Test {
 protected:
  // The addresses found, then the instruction of the folder dialog, which counts them.
  std::vector<Text> Scan() {
    scan_ = ScanForMedia(*fake_.page, fake_.urls, fake_.ui);
    folder_ = ChooseSaveFolder(fake_.platform, *fake_.page, scan_.MediaURLs);
    return {scan_.MediaURLs.begin() + 1, scan_.MediaURLs.end()};
  }

  FakePlatform fake_;
  MediaScan scan_;
  Text folder_;
};

TEST_F(PageScanTest, GivenAMarkerPageWeShouldTakeImageLinksThenLooseImagesAsTheDocumentGives) {
  auto paragraph = Element(u"<IMG src=p.gif>", std::nullopt);
  auto lower_link = Element(u"<img src=t.jpg>", u"http://h/lower.jpg");
  fake_.page->document.root_innerHTML = u"<P><QXPICS value=1></QXPICS></P>";
  fake_.page->document.links = {
      Element(u"<IMG src=t.jpg>", u"http://h/a.jpg"),
      lower_link,
      Element(u" <IMG src=t.jpg>", u"http://h/space.jpg"),
      Element(u"<IMG src=t.jpg>", u"http://h/a.jpg"),
      Element(u"<IMG src=t.jpg>", u"http://h/page.html"),
      Element(u"<IMG src=t.jpg>", u"http://h/get?QXSOURCE=1?x=2"),
      Element(u"<IMG src=t.jpg>", u"http://h/get/qxsource=1"),
      Element(u"text", u"http://h/text.jpg"),
  };
  fake_.page->document.images = {
      Element(u"", u"http://h/p.gif", paragraph),
      Element(u"", u"http://h/in-link.jpg", lower_link),
      Element(u"", u"http://h/q.jpg?qxsource=1?z", paragraph),
  };
  EXPECT_THAT(Scan(), ElementsAre(u"http://h/a.jpg", u"http://h/a.jpg", u"http://h/page.html",
                                  u"http://h/get?QXSOURCE=1", u"http://h/get/qxsource=1",
                                  u"http://h/p.gif", u"http://h/q.jpg?qxsource=1?z"));
  EXPECT_TRUE(scan_.marker_page);
  EXPECT_EQ(fake_.ui.do_events_, 0);
  EXPECT_EQ(fake_.page->reads["documentElement.innerHTML"], 2);
  EXPECT_EQ(folder_, kDocumentsNamespace + u"/Quorvex");
  EXPECT_EQ(fake_.folder_browser.log_[6],
            "instruction Select the folder where the files will be saved.\r\n"
            "  Number of Pictures = 7,  Number of Movies = 0");
}

TEST_F(PageScanTest, GivenASourcePageWeShouldTakeThumbnailLinksToMediaOnce) {
  Registry(fake_.registry).WriteSetting(kSettingsKey, u"dPathMpegs", u"/home/user/Movies");
  fake_.fs.AddFolder(u"/home/user/Movies");
  fake_.folder_browser.confirm_ = false;
  const Text thumb = u"><img src=t.jpg></a>";
  fake_.page->document.root_innerHTML =
      u"<body><p>Gallery of things</p><a href=\"http://h/clip.mpg\"" + thumb +
      u"<a href=\"http://h/big.jpg\">big picture</a><a href=\"https://h/s.jpg\"" + thumb +
      u"<a href=\"HTTP://H/UP.JPG\"" + thumb +
      u"<a href=\"http://h/clip.mpg\"><img src=2.jpg></a>" + u"<a href=\"http://h/CLIP.mpg\"" +
      thumb + u"<a href=\"http://h/x.jpg?qxsource=1?y\"" + thumb +
      u"<a href=\"http://h/qxsource=1/b.jpg\"" + thumb +
      u"<a href=\"http://h/p.gif\">photo.jpg</a>" + u"<a href=\"http://h/w.jpg?size=2\"" + thumb +
      u"<a href=\"page2.jpg\"" + thumb + u"<p>end</p><a name=end>end</body>";
  EXPECT_THAT(Scan(),
              ElementsAre(u"http://h/clip.mpg", u"HTTP://H/UP.JPG", u"http://h/CLIP.mpg",
                          u"http://h/x.jpg", u"http://h/qxsource=1/b.jpg", u"http://h/p.gif",
                          u"http://h/w.jpg?size=2", u"http://host/dir/page.htm|page2.jpg"));
  EXPECT_FALSE(scan_.marker_page);
  // Twelve candidates with two yields each, and one yield per pair.
  EXPECT_EQ(fake_.ui.do_events_, 12 * 2 + 11);
  // The movie folder is offered as soon as one movie is found.
  EXPECT_THAT(fake_.folder_browser.log_,
              ElementsAre("owner 4660", "option 1 -1", "option 2 1", "title Harvelo - Quorvex",
                          "option 3 0", "option 4 0",
                          "instruction Select the folder where the files will be saved.\r\n"
                          "  Number of Pictures = 6,  Number of Movies = 2",
                          "selected /home/user/Movies", "root Desktop", "option 5 0", "option 6 -1",
                          "show"));
  EXPECT_EQ(folder_, u"");
}

TEST(PageScanListsTest, GivenTheFoundListWeShouldCountMoviesUpTo32767AndMatchExactly) {
  EXPECT_EQ(CountMovies({u"x.avi", u"a.AVI", u"b.jpg", u"c.mpg?x", u"d"}), 2);
  std::vector<Text> full(32768, u"m.wmv");
  EXPECT_EQ(CountMovies(full), 32767);
  full.push_back(u"m.wmv");
  EXPECT_THROW(CountMovies(full), Failure);
  EXPECT_TRUE(IsInMediaList({u"", u"http://h/a.jpg"}, u"http://h/a.jpg"));
  EXPECT_FALSE(IsInMediaList({u"", u"http://h/a.jpg"}, u"http://h/A.jpg"));
  EXPECT_FALSE(IsInMediaList({u""}, u""));
}

}  // namespace
}  // namespace harvelo
