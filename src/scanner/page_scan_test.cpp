#include "scanner/page_scan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "platform/failure.h"
#include "scanner/save_folder.h"
#include "scanner/source_media.h"
#include "settings/registry.h"

namespace harvelo {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::shared_ptr<FakeElement> Element(Text inner, std::optional<Text> href,
                                     std::shared_ptr<FakeElement> parent = nullptr) {
  return std::make_shared<FakeElement>(FakeElement{std::move(inner), std::move(href), parent});
}

class PageScanTest : public ::testing::Test {
 protected:
  // The scan opens no channel, starts no program and shows no notice: the run does.
  void TearDown() override {
    EXPECT_EQ(fake_.channels.record_.created, 0);
    EXPECT_THAT(fake_.processes.starts_, IsEmpty());
    EXPECT_EQ(fake_.notice.shown_, 0);
  }

  void Store(const Text& name, const Text& value) {
    Registry(fake_.registry).WriteSetting(kSettingsKey, name, value);
  }
  std::vector<Text> Scan() {
    scan_ = ScanForMedia(*fake_.page, fake_.urls, fake_.ui);
    return {scan_.MediaURLs.begin() + 1, scan_.MediaURLs.end()};
  }
  Text ChooseFolder() { return ChooseSaveFolder(fake_.platform, *fake_.page, scan_.MediaURLs); }

  FakePlatform fake_;
  MediaScan scan_;
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
  EXPECT_EQ(ChooseFolder(), kDocumentsNamespace + u"/Quorvex");
  EXPECT_EQ(fake_.folder_browser.instruction_,
            u"Select the folder where the files will be saved.\r\n"
            u"  Number of Pictures = 7,  Number of Movies = 0");
}

TEST_F(PageScanTest, GivenASourcePageWeShouldTakeThumbnailLinksToMediaOnce) {
  Store(u"dPathMpegs", u"/home/user/Movies");
  fake_.fs.AddFolder(u"/home/user/Movies");
  const Text thumb = u"><img src=t.jpg></a>";
  fake_.page->document.root_innerHTML =
      u"<body><p>Gallery of things</p>"
      u"<a href=\"http://h/clip.mpg\"" +
      thumb +
      u"<a href=\"http://h/big.jpg\">big picture</a>"
      u"<a href=\"https://h/s.jpg\"" +
      thumb + u"<a href=\"HTTP://H/UP.JPG\"" + thumb +
      u"<a href=\"http://h/clip.mpg\"><img src=t2.jpg></a>"
      u"<a href=\"http://h/CLIP.mpg\"" +
      thumb + u"<a href=\"http://h/x.jpg?qxsource=1?y\"" + thumb +
      u"<a href=\"http://h/p.gif\">photo.jpg</a>"
      u"<a href=\"http://h/w.jpg?size=2\"" +
      thumb + u"<a href=\"page2.jpg\"" + thumb +  // made absolute against the page address
      u"<p>end</p><a name=end>end</body>";
  EXPECT_THAT(Scan(), ElementsAre(u"http://h/clip.mpg", u"HTTP://H/UP.JPG", u"http://h/CLIP.mpg",
                                  u"http://h/x.jpg", u"http://h/p.gif", u"http://h/w.jpg?size=2",
                                  u"http://host/dir/page.htm|page2.jpg"));
  EXPECT_FALSE(scan_.marker_page);
  EXPECT_EQ(ChooseFolder(), u"/home/user/Movies");
  EXPECT_EQ(fake_.folder_browser.instruction_,
            u"Select the folder where the files will be saved.\r\n"
            u"  Number of Pictures = 5,  Number of Movies = 2");
  EXPECT_EQ(fake_.folder_browser.title_, u"Harvelo - Quorvex");
  EXPECT_EQ(fake_.folder_browser.log_.front(), "owner 4660");
  // The movie folder is offered as soon as one movie is found.
  EXPECT_EQ(fake_.folder_browser.initial_, u"/home/user/Movies");
  // Eleven candidates with two yields each, and one yield per record.
  EXPECT_EQ(fake_.ui.do_events_, 11 * 2 + 10);
}

TEST_F(PageScanTest, GivenSourceModeWeShouldCutQxsourceAtTheFirstQuestionMarkOrKeepItWhole) {
  fake_.page->document.root_innerHTML =
      u"<p>x</p><a href=\"http://h/a.jpg?QxSource=1?b.jpg?c\"><img src=t.jpg></a>"
      u"<a href=\"http://h/qxsource=1/b.jpg\"><img src=t.jpg></a><a name=end>";
  EXPECT_THAT(Scan(), ElementsAre(u"http://h/a.jpg", u"http://h/qxsource=1/b.jpg"));
}

TEST(CountMoviesTest, GivenListsWeShouldCountMoviesFromSlotOneUpTo32767) {
  EXPECT_EQ(CountMovies({u"x.avi", u"a.AVI", u"b.jpg", u"c.mpg?x", u"d"}), 2);
  std::vector<Text> full(32768, u"m.wmv");
  EXPECT_EQ(CountMovies(full), 32767);
  full.push_back(u"m.wmv");
  EXPECT_THROW(CountMovies(full), Failure);
}

TEST_F(PageScanTest, GivenAnElementWeShouldCallItALinkOnlyWhenItsHrefReads) {
  FakeHtmlElement link(Element(u"", u"http://h/"), fake_.page->reads);
  FakeHtmlElement paragraph(Element(u"", std::nullopt), fake_.page->reads);
  EXPECT_TRUE(IsLinkElement(link));
  EXPECT_FALSE(IsLinkElement(paragraph));
}

TEST(IsInMediaListTest, GivenTheFoundListWeShouldMatchExactlyAndNeverSlotZero) {
  const std::vector<Text> found = {u"", u"http://h/a.jpg"};
  EXPECT_TRUE(IsInMediaList(found, u"http://h/a.jpg"));
  EXPECT_FALSE(IsInMediaList(found, u"http://h/A.jpg"));
  EXPECT_FALSE(IsInMediaList(found, u""));
}

}  // namespace
}  // namespace harvelo
