#include "scanner/page_scan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "platform/failure.h"
#include "scanner/save_folder.h"
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
  // The job builder stands in: it records the folder and ends the program, as it does.
  PageScan scan_{fake_.platform, fake_.state, [this](const Text& folder) {
                   handed_over_.push_back(folder);
                   if (send_fails_) throw Failure(u"The peer is gone");
                   fake_.ui.End();
                 }};

  // The scan itself opens no channel and starts no program: the job builder does.
  void TearDown() override {
    EXPECT_EQ(fake_.channels.record_.created, 0);
    EXPECT_THAT(fake_.processes.starts_, ::testing::IsEmpty());
  }

  void Store(const Text& name, const Text& value) {
    Registry(fake_.registry).WriteSetting(kSettingsKey, name, value);
  }
  std::vector<Text> Found() const {
    return {fake_.state.MediaURLs.begin() + 1, fake_.state.MediaURLs.end()};
  }

  FakePlatform fake_;
  std::vector<Text> handed_over_;
  bool send_fails_ = false;
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
  EXPECT_THROW(scan_.ScanPage(), ProgramEnded);
  EXPECT_THAT(Found(), ElementsAre(u"http://h/a.jpg", u"http://h/a.jpg", u"http://h/page.html",
                                   u"http://h/get?QXSOURCE=1", u"http://h/get/qxsource=1",
                                   u"http://h/p.gif", u"http://h/q.jpg?qxsource=1?z"));
  EXPECT_EQ(fake_.folder_browser.instruction_,
            u"Select the folder where the files will be saved.\r\n"
            u"  Number of Pictures = 7,  Number of Movies = 0");
  EXPECT_EQ(fake_.ui.do_events_, 0);
  EXPECT_EQ(fake_.page->reads["documentElement.innerHTML"], 2);
  EXPECT_THAT(handed_over_, ElementsAre(kDocumentsNamespace + u"/Quorvex"));
}

TEST_F(PageScanTest, GivenASourcePageWeShouldTakeThumbnailLinksToMediaOnce) {
  Store(u"dPathMpegs", u"/home/user/Movies");
  fake_.fs.AddFolder(u"/home/user/Movies");
  const Text thumb = u"><img src=t.jpg></a>";
  fake_.page->document.root_innerHTML =
      u"<body><p>Gallery of things</p>"
      u"<a href=\"http://h/clip.mpg\"" + thumb +
      u"<a href=\"http://h/big.jpg\">big picture</a>"
      u"<a href=\"https://h/s.jpg\"" + thumb +
      u"<a href=\"HTTP://H/UP.JPG\"" + thumb +
      u"<a href=\"http://h/clip.mpg\"><img src=t2.jpg></a>"
      u"<a href=\"http://h/CLIP.mpg\"" + thumb +
      u"<a href=\"http://h/x.jpg?qxsource=1?y\"" + thumb +
      u"<a href=\"http://h/p.gif\">photo.jpg</a>"
      u"<a href=\"http://h/w.jpg?size=2\"" + thumb +
      u"<a href=\"page2.jpg\"" + thumb +  // made absolute against the page address
      u"<p>end</p><a name=end>end</body>";
  EXPECT_THROW(scan_.ScanPage(), ProgramEnded);
  EXPECT_THAT(Found(), ElementsAre(u"http://h/clip.mpg", u"HTTP://H/UP.JPG", u"http://h/CLIP.mpg",
                                   u"http://h/x.jpg", u"http://h/p.gif", u"http://h/w.jpg?size=2",
                                   u"http://host/dir/page.htm|page2.jpg"));
  EXPECT_EQ(fake_.folder_browser.instruction_,
            u"Select the folder where the files will be saved.\r\n"
            u"  Number of Pictures = 5,  Number of Movies = 2");
  EXPECT_EQ(fake_.folder_browser.title_, u"Harvelo - Quorvex");
  EXPECT_EQ(fake_.folder_browser.log_.front(), "owner 4660");
  // The text twice for the mode and once for the scan, then the address, in that order.
  EXPECT_THAT(fake_.page->reads.order,
              ElementsAre("documentElement.innerHTML", "documentElement.innerHTML",
                          "documentElement.innerHTML", "LocationURL", "HWND"));
  // The movie folder is offered as soon as one movie is found.
  EXPECT_EQ(fake_.folder_browser.initial_, u"/home/user/Movies");
  // Eleven candidates with two yields each, and one yield per record.
  EXPECT_EQ(fake_.ui.do_events_, 11 * 2 + 10);
  EXPECT_THAT(handed_over_, ElementsAre(u"/home/user/Movies"));
}

TEST_F(PageScanTest, GivenSourceModeWeShouldCutQxsourceAtTheFirstQuestionMarkOrKeepItWhole) {
  fake_.page->document.root_innerHTML =
      u"<p>x</p><a href=\"http://h/a.jpg?QxSource=1?b.jpg?c\"><img src=t.jpg></a>"
      u"<a href=\"http://h/qxsource=1/b.jpg\"><img src=t.jpg></a><a name=end>";
  EXPECT_THROW(scan_.ScanPage(), ProgramEnded);
  EXPECT_THAT(Found(), ElementsAre(u"http://h/a.jpg", u"http://h/qxsource=1/b.jpg"));
}

TEST_F(PageScanTest, GivenNothingFoundWeShouldShowTheNoticeOwnedByTheBrowserAndReturn) {
  fake_.page->document.root_innerHTML = u"<p>No links at all</p>";
  scan_.ScanPage();
  EXPECT_EQ(fake_.notice.shown_, 1);
  EXPECT_EQ(fake_.windows.owner_[0x777], 0x1234);
  EXPECT_FALSE(fake_.ui.ended_);
  EXPECT_EQ(fake_.folder_browser.created_, 0);
}

TEST_F(PageScanTest, GivenNothingFoundAndTheNoticeSwitchedOffWeShouldReturnSilently) {
  Store(u"dMsgNoPicsFound", u"0");
  fake_.page->document.root_innerHTML = u"<qxmovies value=1><p>nothing</p>";
  scan_.ScanPage();
  EXPECT_EQ(fake_.notice.shown_, 0);
  EXPECT_THAT(fake_.ui.boxes_, IsEmpty());
  EXPECT_FALSE(fake_.ui.ended_);
}

TEST_F(PageScanTest, GivenTheDialogCancelledWeShouldEndWithoutAJob) {
  fake_.page->document.root_innerHTML = u"<qxpics value=1>";
  fake_.page->document.links = {Element(u"<IMG>", u"http://h/a.jpg")};
  fake_.folder_browser.confirm_ = false;
  EXPECT_THROW(scan_.ScanPage(), ProgramEnded);
  EXPECT_THAT(handed_over_, IsEmpty());
  EXPECT_THAT(fake_.ui.boxes_, IsEmpty());
}

struct FailureCase {
  const char* name;
  std::function<void(FakePlatform&, bool&)> arrange;
  Text box;
};

class PageScanFailures : public PageScanTest,
                         public ::testing::WithParamInterface<FailureCase> {};

TEST_P(PageScanFailures, GivenAFailureWeShouldShowItsDescriptionThenEnd) {
  fake_.page->document.root_innerHTML = u"<qxpics value=1>";
  fake_.page->document.links = {Element(u"<IMG>", u"http://h/a.mpg")};
  GetParam().arrange(fake_, send_fails_);
  EXPECT_THROW(scan_.ScanPage(), ProgramEnded);
  ASSERT_EQ(fake_.ui.boxes_.size(), 1u);
  EXPECT_EQ(fake_.ui.boxes_[0].prompt, u"Error: " + GetParam().box + u"\r\n");
  EXPECT_EQ(fake_.ui.boxes_[0].title, u"Harvelo");
  EXPECT_THAT(fake_.ui.events_, ElementsAre("box", "end"));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, PageScanFailures,
    ::testing::Values(
        FailureCase{"UnreadablePage",
                    [](FakePlatform& f, bool&) { f.page->document.root_innerHTML.reset(); },
                    u"Object variable not set"},
        FailureCase{"LinkWithoutHref",
                    [](FakePlatform& f, bool&) { f.page->document.links[0]->href.reset(); },
                    u"Object doesn't support this property or method"},
        FailureCase{"DialogFails",
                    [](FakePlatform& f, bool&) { f.folder_browser.fail_ = true; },
                    u"Method 'Show' of object failed"},
        FailureCase{"HandOffFails", [](FakePlatform&, bool& send_fails) { send_fails = true; },
                    u"The peer is gone"},
        FailureCase{"MovieCountOverflows",
                    [](FakePlatform& f, bool&) {
                      f.page->document.links.assign(32768, Element(u"<IMG>", u"http://h/m.avi"));
                    },
                    u"Overflow"}),
    [](const auto& info) { return info.param.name; });

TEST(CountMoviesTest, GivenListsWeShouldCountMoviesFromSlotOneUpTo32767) {
  EXPECT_EQ(PageScan::CountMovies({u"x.avi", u"a.AVI", u"b.jpg", u"c.mpg?x", u"d"}), 2);
  std::vector<Text> full(32768, u"m.wmv");
  EXPECT_EQ(PageScan::CountMovies(full), 32767);
  full.push_back(u"m.wmv");
  EXPECT_THROW(PageScan::CountMovies(full), Failure);
}

TEST_F(PageScanTest, GivenAnElementWeShouldCallItALinkOnlyWhenItsHrefReads) {
  FakeHtmlElement link(Element(u"", u"http://h/"), fake_.page->reads);
  FakeHtmlElement paragraph(Element(u"", std::nullopt), fake_.page->reads);
  EXPECT_TRUE(PageScan::IsLinkElement(link));
  EXPECT_FALSE(PageScan::IsLinkElement(paragraph));
}

TEST_F(PageScanTest, GivenTheFoundListWeShouldMatchExactlyAndNeverSlotZero) {
  fake_.state.MediaURLs = {u"", u"http://h/a.jpg"};
  EXPECT_TRUE(scan_.IsInMediaList(u"http://h/a.jpg"));
  EXPECT_FALSE(scan_.IsInMediaList(u"http://h/A.jpg"));
  EXPECT_FALSE(scan_.IsInMediaList(u""));
}

}  // namespace
}  // namespace harvelo
