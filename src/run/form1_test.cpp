#include "run/form1.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "settings/registry.h"

namespace harvelo {

const std::string kBox = "|box Harvelo: Error: ";
const std::string kLog = "|log /home/user/Documents/Quorvex/SourceLog.txt";
const std::string kTellora =
    "|start \"/opt/harvelo/Tellora.exe\" <wHWND>512</wHWND><FormName>frmRobotExclude</FormName>"
    "<URL>http://host/dir/page.htm</URL><ProgType>DL</ProgType><LoadingURL>http://host/dir/"
    "page.htm</LoadingURL> 2";

// A page in front (window 0x200) showing a marker page with one movie link, unless the
// row changes it; the story of the main form's load.
TEST(Form1Test, GivenThePageInFrontWeShouldHarvestItOrShowTheFailureThenEnd) {
  const struct {
    std::function<void(FakePlatform&)> arrange;
    std::string story;
  } cases[] = {
      // The pass keeps the maximise flag off.
      {[](FakePlatform& f) { f.windows.foreground_ = 0x777; },
       "|yields 7|slept 900" + kBox +
           "Could not attach to IE.\r\nPlease close all Internet Explorer windows and try "
           "again.\r\n|end"},
      {[](FakePlatform& f) {
         f.page->document.html =
             u"<META NAME=\"robots\" CONTENT=\"NOFOLLOW\"><A href=\"a.jpg\"><IMG src=t.jpg></A>";
       },
       kTellora + "|yields 1|end"},
      {[](FakePlatform& f) {
         f.page->document.html =
             u"<BODY><A href=\"http://h/1.jpg\"><IMG src=\"t1.gif\"></A> <A "
             u"href=\"http://h/2.jpg\"><IMG src=\"t2.gif\"></A> and more</BODY>";
         f.folder_browser.chosen_ = u"/home/user/Pictures";
       },
       "|sent 2 to 77|group g998" + kLog + "|made 1|asked|yields 7|unload main form|end"},
      {[](FakePlatform& f) { f.page->document.html.reset(); },
       "|failed Object variable not set|yields 1"},
      {[](FakePlatform& f) {
         f.page->document.html = u"<meta name=\"quorvex\" content=\"nofollow\">";
         f.processes.fails_ = true;
       },
       "|failed File not found" + kTellora + "|yields 1"},
      {[](FakePlatform& f) { f.folder_browser.confirm_ = false; }, "|made 1|asked|yields 1|end"},
      {[](FakePlatform& f) { f.page->document.anchors[0]->link.reset(); },
       "|yields 1" + kBox + "Object doesn't support this property or method\r\n|end"},
      {[](FakePlatform& f) { f.folder_browser.fails_ = true; },
       "|made 1|asked|yields 1" + kBox + "Method 'Show' of object failed\r\n|end"},
      {[](FakePlatform& f) { f.channels.send_fails_at_ = 0; },
       "|group g998" + kLog + "|made 1|asked|yields 1" + kBox +
           "The download program did not take the message\r\n|end"},
      {[](FakePlatform& f) { f.page->document.anchors.assign(32768, f.page->document.anchors[0]); },
       "|yields 1" + kBox + "Overflow\r\n|end"},
  };
  for (const auto& c : cases) {
    FakePlatform f;
    f.page->hwnd = f.windows.foreground_ = 0x200;
    f.Store(u"vMaximize", u"1");
    f.page->document.html = u"<qxpics value=1>";
    f.page->document.anchors = {std::make_shared<FakeElement>(u"<IMG>", u"http://h/m.avi")};
    c.arrange(f);
    AppPath app_path(f.machine);
    Form1 form(f.platform, app_path);
    EXPECT_EQ(f.Story([&] { form.Load(); }), c.story);
    EXPECT_TRUE(f.channels.sent_.empty() || f.channels.calls_.size() == 1);
  }
  // A page that can no longer be read when the scan reads it again.
  FakePlatform f;
  AppPath app_path(f.machine);
  Form1 form(f.platform, app_path);
  form.state().AttachedBrowser = f.page;
  EXPECT_EQ(f.Story([&] { form.ScanPage(); }), kBox + "Object variable not set\r\n|end");
}

TEST(Form1Test, GivenAPageWithoutMediaWeShouldShowTheNoticeOrTheMainFormUntilClosed) {
  for (const bool notice : {true, false}) {
    FakePlatform f;
    f.page->hwnd = f.windows.foreground_ = 0x200;
    f.page->document.html = u"<HEAD><TITLE>A</TITLE></HEAD><BODY><IMG src=x.jpg></BODY>";
    f.Store(u"dMsgNoPicsFound", notice ? u"" : u"0");
    f.Store(u"vMaximize", u"1");
    AppPath app_path(f.machine);
    Form1 form(f.platform, app_path);
    EXPECT_EQ(f.Story([&] { form.Load(); }),
              notice ? "|yields 1"
                     : "|yields 1|show main form Harvelo: No files were found on this page. Close "
                       "this window to end Harvelo.");
    // The notice keeps the focus, owned by the browser window: no main form.
    EXPECT_EQ(f.windows.owner_[0x777], notice ? 0x200 : 0);
    if (!notice) f.ui.on_close_();  // the channel was never opened: nothing to close
    EXPECT_TRUE(f.channels.calls_.empty());
    // The channel closes on termination only when it was opened.
    for (const bool open : {false, true}) {
      form.state().job_channel = {f.channels.Create(), open};
      form.Terminate();
    }
    EXPECT_EQ(f.channels.calls_, std::vector<std::string>{"close"});
  }
}

}  // namespace harvelo
