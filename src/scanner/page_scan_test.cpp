#include "scanner/page_scan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "scanner/source_media.h"
#include "settings/registry.h"

namespace harvelo {

using ::testing::ElementsAre;

std::shared_ptr<FakeElement> E(Text html, std::optional<Text> link,
                               std::shared_ptr<FakeElement> parent = nullptr) {
  return std::make_shared<FakeElement>(std::move(html), std::move(link), std::move(parent));
}

class PageScanTest : public ::testing::Test {
 protected:
  // The addresses found; the folder dialog is asked for them.
  std::vector<Text> Scan(MediaReach reach = {}) {
    scan_ = ScanForMedia(*fake_.page, fake_.urls, fake_.ui, reach);
    folder_ = ChooseSaveFolder(fake_.platform, *fake_.page, scan_.MediaURLs, reach);
    return {scan_.MediaURLs.begin() + 1, scan_.MediaURLs.end()};
  }

  FakePlatform fake_;
  MediaScan scan_;
  Text folder_;
};

TEST_F(PageScanTest, GivenAMarkerPageWeShouldTakeImageLinksThenLooseImagesAsTheDocumentGives) {
  auto paragraph = E(u"<IMG src=p.gif>", std::nullopt), lower = E(u"<img>", u"http://h/lower.jpg");
  fake_.page->document.html = u"<P><QXPICS value=1></QXPICS></P>";
  fake_.page->document.anchors = {
      E(u"<IMG>", u"http://h/a.jpg"),          lower,
      E(u" <IMG>", u"http://h/s.jpg"),         E(u"<IMG>", u"http://h/a.jpg"),
      E(u"<IMG>", u"http://h/p.html"),         E(u"<IMG>", u"http://h/get?QXSOURCE=1?x=2"),
      E(u"<IMG>", u"http://h/get/qxsource=1"), E(u"text", u"http://h/text.jpg")};
  fake_.page->document.pictures = {E(u"", u"http://h/p.gif", paragraph),
                                   E(u"", u"http://h/in-link.jpg", lower),
                                   E(u"", u"http://h/q.jpg?qxsource=1?z", paragraph)};
  EXPECT_THAT(Scan(), ElementsAre(u"http://h/a.jpg", u"http://h/a.jpg", u"http://h/p.html",
                                  u"http://h/get?QXSOURCE=1", u"http://h/get/qxsource=1",
                                  u"http://h/p.gif", u"http://h/q.jpg?qxsource=1?z"));
  EXPECT_TRUE(scan_.marker_page);
  EXPECT_EQ(fake_.ui.do_events_, 0);
  EXPECT_EQ(folder_, kDocumentsNamespace + u"/Quorvex");
  EXPECT_EQ(fake_.folder_browser.log_[6],
            "instruction Select the folder where the files will be saved.\r\n"
            "  Number of Pictures = 7,  Number of Movies = 0");
}

TEST_F(PageScanTest, GivenASourcePageWeShouldTakeThumbnailLinksToMediaOnce) {
  Registry(fake_.registry).WriteSetting(kSettingsKey, u"dPathMpegs", u"/home/user/Movies");
  fake_.fs.AddFolder(u"/home/user/Movies");
  fake_.folder_browser.confirm_ = false;
  Text html = u"<body><p>Gallery</p><a href=\"http://h/big.jpg\">big picture</a>";
  for (const Text target :
       {u"http://h/clip.mpg", u"https://h/s.jpg", u"HTTP://H/UP.JPG", u"http://h/clip.mpg",
        u"http://h/CLIP.mpg", u"http://h/x.jpg?qxsource=1?y", u"http://h/qxsource=1/b.jpg",
        u"http://h/w.jpg?size=2", u"page2.jpg"}) {
    html += u"<a href=\"" + target + u"\"><img src=t.jpg></a>";
  }
  fake_.page->document.html = html + u"<a href=\"http://h/p.gif\">photo.jpg</a><p><a name=end>";
  EXPECT_THAT(Scan(),
              ElementsAre(u"http://h/clip.mpg", u"HTTP://H/UP.JPG", u"http://h/CLIP.mpg",
                          u"http://h/x.jpg", u"http://h/qxsource=1/b.jpg", u"http://h/w.jpg?size=2",
                          u"http://host/dir/page.htm|page2.jpg", u"http://h/p.gif"));
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

TEST_F(PageScanTest, GivenAnHttpsGalleryWeShouldTakeItsMediaOnlyWhenModern) {
  fake_.page->document.html =
      u"<base href=\"https://h/g/\"><a href=\"https://h/a.png\"><img src=\"https://h/t.webp\">"
      u"</a><a href=\"/c.mp4\"><img src=\"t.png\"></a><a href=\"http://h/b.jpg\"><img "
      u"src=\"t.jpg\"></a><a href=\"https://h/a.png\"><img src=\"t.avif\"></a><a href=x>x</a>";
  EXPECT_THAT(Scan(), ElementsAre(u"http://h/b.jpg"));
  const auto modern = Scan(MediaReach{true});
  EXPECT_THAT(modern, ElementsAre(u"https://h/a.png", u"https://h/g/c.mp4", u"http://h/b.jpg"));
  EXPECT_EQ(CountMovies(scan_.MediaURLs, MediaReach{true}) + CountMovies(scan_.MediaURLs), 1);
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

}  // namespace harvelo
