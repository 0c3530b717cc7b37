#include "run/form1.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "settings/registry.h"

namespace harvelo {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kBox = "box Harvelo: Error: ";

class Form1Test : public ::testing::Test {
 protected:
  // The page in front: window 0x200, showing `html`.
  void ShowPage(std::optional<Text> html) {
    fake_.page->hwnd = fake_.windows.foreground_ = 0x200;
    fake_.page->document.root_innerHTML = std::move(html);
  }
  void Store(const Text& name, const Text& value) {
    Registry(fake_.registry).WriteSetting(kSettingsKey, name, value);
  }
  void ExpectNothingHandedOver() {
    EXPECT_THAT(fake_.folder_browser.log_, IsEmpty());
    EXPECT_THAT(fake_.channels.calls_, IsEmpty());
  }

  FakePlatform fake_;
  AppPath app_path_{fake_.machine};
  Form1 form_{fake_.platform, app_path_};
};

TEST_F(Form1Test, GivenNoBrowserInFrontWeShouldShowTheTwoLineAttachErrorAndEnd) {
  fake_.windows.foreground_ = 0x777;
  Store(u"vMaximize", u"1");  // the pass keeps the maximise flag off
  EXPECT_THROW(form_.Load(), ProgramEnded);
  EXPECT_THAT(fake_.ui.events_,
              ElementsAre(kBox + "Could not attach to IE.\r\n"
                                 "Please close all Internet Explorer windows and try again.\r\n",
                          "end"));
  EXPECT_THAT(fake_.clock.sleeps_, ElementsAre(300, 300, 300));
  EXPECT_THAT(fake_.windows.shown_, IsEmpty());
  EXPECT_THAT(fake_.processes.starts_, IsEmpty());
  ExpectNothingHandedOver();
}

TEST_F(Form1Test, GivenARobotsNofollowPageWeShouldStartTheNoticeProgramAndScanNothing) {
  ShowPage(
      u"<HEAD><META NAME=\"robots\" CONTENT=\"NOFOLLOW\"></HEAD>"
      u"<BODY><A href=\"a.jpg\"><IMG src=\"t.jpg\"></A></BODY>");
  EXPECT_THROW(form_.Load(), ProgramEnded);
  EXPECT_THAT(fake_.processes.starts_,
              ElementsAre(std::pair{Text(u"\"/opt/harvelo/Tellora.exe\" <wHWND>512</wHWND>"
                                         u"<FormName>frmRobotExclude</FormName><URL>"
                                         u"http://host/dir/page.htm</URL><ProgType>DL</ProgType>"
                                         u"<LoadingURL>http://host/dir/page.htm</LoadingURL>"),
                                    kMinimizedFocus}));
  EXPECT_THAT(fake_.ui.events_, ElementsAre("end"));
  ExpectNothingHandedOver();
}

TEST_F(Form1Test, GivenAGalleryWeShouldAskForTheFolderAndHandEveryPictureOver) {
  ShowPage(
      u"<BODY><A href=\"http://h/1.jpg\"><IMG src=\"http://h/t1.gif\"></A> <A href="
      u"\"http://h/2.jpg\"><IMG src=\"http://h/t2.gif\"></A> and more text after</BODY>");
  fake_.folder_browser.chosen_ = u"/home/user/Pictures";
  EXPECT_THROW(form_.Load(), ProgramEnded);
  EXPECT_THAT(fake_.channels.sent_,
              ElementsAre(u"77 401 <DataURL>http://h/2.jpg</DataURL><DataPath>/home/user/Pictures/"
                          u"</DataPath><DataOrgin>http://host/dir/page.htm</DataOrgin><DataGroup>"
                          u"g999</DataGroup><DataOrder>02</DataOrder>",
                          ::testing::_));
  EXPECT_THAT(fake_.ui.events_, ElementsAre("unload main form", "end"));
  EXPECT_THAT(fake_.processes.starts_, IsEmpty());
}

TEST_F(Form1Test, GivenAPageWithoutMediaWeShouldShowTheNoticeOrTheMainFormUntilClosed) {
  for (const bool notice : {true, false}) {
    ShowPage(u"<HEAD><TITLE>A</TITLE></HEAD><BODY><IMG src=x.jpg></BODY>");
    Store(u"dMsgNoPicsFound", notice ? u"" : u"0");
    Store(u"vMaximize", u"1");
    fake_.ui.events_.clear();
    fake_.notice.events_ = nullptr;
    Form1 form(fake_.platform, app_path_);
    form.Load();
    // The notice keeps the focus: no main form.
    EXPECT_EQ(fake_.notice.events_ != nullptr, notice);
    EXPECT_EQ(fake_.ui.events_.size(), notice ? 0u : 1u);
    EXPECT_THAT(fake_.windows.shown_, IsEmpty());
    ExpectNothingHandedOver();
    if (!notice) {
      EXPECT_THAT(fake_.ui.events_, ElementsAre("show main form Harvelo: No files were found on "
                                                "this page. Close this window to end Harvelo."));
      fake_.ui.on_close_();  // the channel was never opened: nothing to close
    }
  }
  EXPECT_EQ(fake_.windows.owner_[0x777], 0x200);
  EXPECT_THAT(fake_.channels.calls_, IsEmpty());
}

TEST_F(Form1Test, GivenAPageThatCannotBeReadOrNoNoticeProgramWeShouldLeaveLoadWithTheFailure) {
  for (const bool unreadable : {true, false}) {
    ShowPage(unreadable ? std::nullopt
                        : std::optional<Text>(u"<meta name=\"quorvex\" content=\"nofollow\">"));
    fake_.processes.fails_ = true;
    EXPECT_THROW(form_.Load(), Failure);
    EXPECT_THAT(fake_.ui.events_, IsEmpty());  // no box, no main form, no end
  }
}

TEST_F(Form1Test, GivenAChannelWeShouldCloseItOnTerminationOnlyWhenItWasOpened) {
  for (const bool open : {false, true}) {
    form_.state().job_channel = {fake_.channels.Create(), open};
    form_.Terminate();
  }
  EXPECT_THAT(fake_.channels.calls_, ElementsAre("close"));
}

TEST_F(Form1Test, GivenTheScanOrTheHandOverFailingOrCancelledWeShouldShowTheFailureThenEnd) {
  const struct {
    std::function<void(FakePlatform&)> arrange;
    std::string box;
  } cases[] = {
      {[](FakePlatform& f) { f.folder_browser.confirm_ = false; }, ""},
      {[](FakePlatform& f) { f.page->document.root_innerHTML.reset(); }, "Object variable not set"},
      {[](FakePlatform& f) { f.page->document.links[0]->href.reset(); },
       "Object doesn't support this property or method"},
      {[](FakePlatform& f) { f.folder_browser.fails_ = true; }, "Method 'Show' of object failed"},
      {[](FakePlatform& f) { f.channels.send_fails_at_ = 0; },
       "The download program did not take the message"},
      {[](FakePlatform& f) { f.page->document.links.assign(32768, f.page->document.links[0]); },
       "Overflow"},
  };
  for (const auto& c : cases) {
    FakePlatform f;
    AppPath app_path(f.machine);
    Form1 form(f.platform, app_path);
    form.state().AttachedBrowser = f.page;
    f.page->document.root_innerHTML = u"<qxpics value=1>";
    f.page->document.links = {
        std::make_shared<FakeElement>(FakeElement{u"<IMG>", u"http://h/m.avi", nullptr})};
    c.arrange(f);
    EXPECT_THROW(form.ScanPage(), ProgramEnded);
    if (c.box.empty()) {
      EXPECT_THAT(f.ui.events_, ElementsAre("end"));
      EXPECT_THAT(f.channels.calls_, IsEmpty());
    } else {
      EXPECT_THAT(f.ui.events_, ElementsAre(kBox + c.box + "\r\n", "end"));
    }
  }
}

}  // namespace
}  // namespace harvelo
