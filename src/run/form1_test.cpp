#include "run/form1.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "platform/failure.h"
#include "settings/registry.h"

namespace harvelo {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class Form1Test : public ::testing::Test {
 protected:
  std::shared_ptr<FakeWebBrowser> AddWindow(WindowHandle hwnd, std::optional<Text> html) {
    auto window = std::make_shared<FakeWebBrowser>();
    window->hwnd = hwnd;
    window->document.root_innerHTML = std::move(html);
    fake_.browsers.windows_.push_back(window);
    return window;
  }

  void ExpectNothingHandedOver() {
    EXPECT_EQ(fake_.folder_browser.created_, 0);
    EXPECT_EQ(fake_.channels.record_.created, 0);
  }

  FakePlatform fake_;
  AppPath app_path_{fake_.machine};
  Form1 form_{fake_.platform, app_path_};
};

TEST_F(Form1Test, GivenNoBrowserInFrontWeShouldShowTheTwoLineAttachErrorAndEnd) {
  AddWindow(0x100, u"<HEAD></HEAD>");
  fake_.windows.foreground_ = 0x777;

  EXPECT_THROW(form_.Load(), ProgramEnded);

  ASSERT_EQ(fake_.ui.boxes_.size(), 1u);
  EXPECT_EQ(fake_.ui.boxes_[0].prompt,
            u"Error: Could not attach to IE.\r\n"
            u"Please close all Internet Explorer windows and try again.\r\n");
  EXPECT_EQ(fake_.ui.boxes_[0].title, u"Harvelo");
  EXPECT_THAT(fake_.ui.events_, ElementsAre("box", "end"));
  EXPECT_THAT(fake_.clock.sleeps_, ElementsAre(300, 300, 300));
  // The pass keeps the maximise flag off: not a single setting is touched.
  EXPECT_THAT(fake_.registry.calls_, IsEmpty());
  EXPECT_EQ(fake_.windows.is_zoomed_calls_, 0);
  EXPECT_THAT(fake_.processes.starts_, IsEmpty());
  ExpectNothingHandedOver();
}

TEST_F(Form1Test, GivenARobotsNofollowPageWeShouldStartTheNoticeProgramAndScanNothing) {
  auto page = AddWindow(0x200,
                        u"<HEAD><META NAME=\"robots\" CONTENT=\"NOFOLLOW\"></HEAD>"
                        u"<BODY><A href=\"a.jpg\"><IMG src=\"t.jpg\"></A></BODY>");
  page->location = u"http://host/p?a=1&b=\"2\"";
  fake_.windows.foreground_ = 0x200;

  EXPECT_THROW(form_.Load(), ProgramEnded);

  ASSERT_EQ(fake_.processes.starts_.size(), 1u);
  EXPECT_EQ(fake_.processes.starts_[0].command_line,
            u"\"/opt/harvelo/Tellora.exe\" <wHWND>512</wHWND><FormName>frmRobotExclude"
            u"</FormName><URL>http://host/p?a=1&b=\"2\"</URL><ProgType>DL</ProgType>"
            u"<LoadingURL>http://host/p?a=1&b=\"2\"</LoadingURL>");
  EXPECT_EQ(fake_.processes.starts_[0].window_style, kMinimizedFocus);
  EXPECT_EQ(page->reads["documentElement.innerHTML"], 1);  // the gate's read only
  EXPECT_THAT(fake_.ui.boxes_, IsEmpty());
  EXPECT_THAT(fake_.ui.events_, ElementsAre("end"));
  ExpectNothingHandedOver();
}

TEST_F(Form1Test, GivenAGalleryWeShouldAskForTheFolderAndHandEveryPictureOver) {
  auto page = AddWindow(0x200,
                        u"<BODY><A href=\"http://h/1.jpg\"><IMG src=\"http://h/t1.gif\">"
                        u"</A> <A href=\"http://h/2.jpg\"><IMG src=\"http://h/t2.gif\">"
                        u"</A> and more text after the last link</BODY>");
  fake_.windows.foreground_ = 0x200;
  fake_.folder_browser.chosen_ = u"/home/user/Pictures";

  EXPECT_THROW(form_.Load(), ProgramEnded);

  EXPECT_EQ(fake_.folder_browser.instruction_,
            u"Select the folder where the files will be saved.\r\n"
            u"  Number of Pictures = 2,  Number of Movies = 0");
  ASSERT_EQ(fake_.channels.record_.sent.size(), 2u);
  EXPECT_EQ(fake_.channels.record_.sent[0].data,
            u"<DataURL>http://h/2.jpg</DataURL><DataPath>/home/user/Pictures/</DataPath>"
            u"<DataOrgin>http://host/dir/page.htm</DataOrgin><DataGroup>g999</DataGroup>"
            u"<DataOrder>02</DataOrder>");
  EXPECT_EQ(Registry(fake_.registry).ReadSetting(kSettingsKey, u"dGroupNumber"), u"g998");
  EXPECT_THAT(fake_.ui.events_, ElementsAre("unload main form", "end"));
  EXPECT_THAT(fake_.processes.starts_, IsEmpty());
}

TEST_F(Form1Test, GivenAPageWithoutMediaWeShouldShowTheNoticeAndKeepTheMainFormOutOfSight) {
  AddWindow(0x200, u"<HEAD><TITLE>A</TITLE></HEAD><BODY><IMG src=x.jpg></BODY>");
  fake_.windows.foreground_ = 0x200;
  fake_.windows.zoomed_[0x200] = false;
  Registry(fake_.registry).WriteSetting(kSettingsKey, u"vMaximize", u"1");

  form_.Load();

  EXPECT_EQ(fake_.notice.shown_, 1);
  EXPECT_EQ(fake_.windows.owner_[fake_.notice.hwnd_], 0x200);
  EXPECT_THAT(fake_.ui.events_, IsEmpty());      // the notice keeps the focus
  EXPECT_THAT(fake_.windows.shown_, IsEmpty());  // never maximised, whatever vMaximize says
  ExpectNothingHandedOver();
}

TEST_F(Form1Test, GivenNothingFoundAndTheNoticeOffWeShouldStayUntilTheMainFormIsClosed) {
  AddWindow(0x200, u"<BODY><P>Nothing here</P></BODY>");
  fake_.windows.foreground_ = 0x200;
  Registry(fake_.registry).WriteSetting(kSettingsKey, u"dMsgNoPicsFound", u"0");

  form_.Load();

  EXPECT_EQ(fake_.notice.shown_, 0);
  EXPECT_THAT(fake_.ui.events_, ElementsAre("show main form"));
  EXPECT_EQ(fake_.ui.main_form_caption_, u"Harvelo");
  EXPECT_EQ(fake_.ui.main_form_line_,
            u"No files were found on this page. Close this window to end Harvelo.");
  ASSERT_TRUE(fake_.ui.main_form_on_close_);
  fake_.ui.main_form_on_close_();  // the channel was never opened: nothing to close
  EXPECT_EQ(fake_.channels.record_.created, 0);
  EXPECT_FALSE(fake_.ui.ended_);
}

TEST_F(Form1Test, GivenAPageWhoseHtmlCannotBeReadWeShouldLeaveLoadWithTheFailureNotTheBox) {
  AddWindow(0x100, std::nullopt);
  fake_.windows.foreground_ = 0x100;

  EXPECT_THROW(form_.Load(), Failure);

  EXPECT_THAT(fake_.ui.boxes_, IsEmpty());
  EXPECT_FALSE(fake_.ui.ended_);
  EXPECT_THAT(fake_.ui.events_, IsEmpty());  // no main form either
}

TEST_F(Form1Test, GivenTheNoticeProgramMissingWeShouldLeaveLoadWithTheFailureNotTheBox) {
  AddWindow(0x100, u"<meta name=\"quorvex\" content=\"nofollow\">");
  fake_.windows.foreground_ = 0x100;
  fake_.processes.fails_ = true;

  EXPECT_THROW(form_.Load(), Failure);

  EXPECT_THAT(fake_.ui.boxes_, IsEmpty());
  EXPECT_FALSE(fake_.ui.ended_);
}

TEST_F(Form1Test, GivenAChannelWeShouldCloseItOnTerminationOnlyWhenItWasOpened) {
  ChannelRecord record;
  for (const bool open : {false, true}) {
    record.calls.clear();
    form_.state().job_channel.channel = std::make_unique<FakeMessageChannel>(record);
    form_.state().job_channel.ChannelOpen = open;
    form_.Terminate();
    EXPECT_EQ(record.calls, open ? std::vector<std::string>{"close"} : std::vector<std::string>{})
        << open;
  }
}

// The scan of an attached page, from its outcomes' side: the notice, the dialog, failures.
class ScanPageTest : public Form1Test {
 protected:
  ScanPageTest() { form_.state().AttachedBrowser = fake_.page; }
};

TEST_F(ScanPageTest, GivenTheDialogCancelledWeShouldEndWithoutAJob) {
  fake_.page->document.root_innerHTML = u"<qxpics value=1>";
  fake_.page->document.links = {
      std::make_shared<FakeElement>(FakeElement{u"<IMG>", u"http://h/a.jpg", nullptr})};
  fake_.folder_browser.confirm_ = false;
  EXPECT_THROW(form_.ScanPage(), ProgramEnded);
  EXPECT_EQ(fake_.channels.record_.created, 0);
  EXPECT_THAT(fake_.ui.boxes_, IsEmpty());
}

struct FailureCase {
  const char* name;
  std::function<void(FakePlatform&)> arrange;
  Text box;
};

class ScanPageFailures : public ScanPageTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ScanPageFailures, GivenAFailureWeShouldShowItsDescriptionThenEnd) {
  fake_.page->document.root_innerHTML = u"<qxpics value=1>";
  fake_.page->document.links = {
      std::make_shared<FakeElement>(FakeElement{u"<IMG>", u"http://h/a.mpg", nullptr})};
  GetParam().arrange(fake_);
  EXPECT_THROW(form_.ScanPage(), ProgramEnded);
  ASSERT_EQ(fake_.ui.boxes_.size(), 1u);
  EXPECT_EQ(fake_.ui.boxes_[0].prompt, u"Error: " + GetParam().box + u"\r\n");
  EXPECT_EQ(fake_.ui.boxes_[0].title, u"Harvelo");
  EXPECT_THAT(fake_.ui.events_, ElementsAre("box", "end"));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ScanPageFailures,
    ::testing::Values(FailureCase{"UnreadablePage",
                                  [](FakePlatform& f) { f.page->document.root_innerHTML.reset(); },
                                  u"Object variable not set"},
                      FailureCase{"LinkWithoutHref",
                                  [](FakePlatform& f) { f.page->document.links[0]->href.reset(); },
                                  u"Object doesn't support this property or method"},
                      FailureCase{"DialogFails",
                                  [](FakePlatform& f) { f.folder_browser.fail_ = true; },
                                  u"Method 'Show' of object failed"},
                      FailureCase{"HandOffFails",
                                  [](FakePlatform& f) { f.channels.record_.send_fails_at = 0; },
                                  u"The download program did not take the message"},
                      FailureCase{"MovieCountOverflows",
                                  [](FakePlatform& f) {
                                    f.page->document.links.assign(
                                        32768, std::make_shared<FakeElement>(FakeElement{
                                                   u"<IMG>", u"http://h/m.avi", nullptr}));
                                  },
                                  u"Overflow"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace harvelo
