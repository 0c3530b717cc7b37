#include "run/form1.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_browser.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_machine.h"
#include "fakes/fake_shell_folders.h"
#include "fakes/fake_user_interface.h"
#include "fakes/fake_window_system.h"
#include "fakes/recording_registry.h"
#include "fakes/virtual_file_system.h"
#include "platform/failure.h"
#include "settings/registry.h"

namespace harvelo {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The ports the pass must not reach yet: each call fails the test.
struct UntouchedUrls : UrlService {
  bool InternetCombineUrlA(const std::string&, const std::string&, char*, std::uint32_t*,
                           std::uint32_t) override {
    ADD_FAILURE() << "URL combined";
    return false;
  }
};
struct UntouchedFolderBrowser : FolderBrowseComponent {
  std::unique_ptr<FolderBrowseDialog> Create() override {
    ADD_FAILURE() << "folder dialog created";
    return nullptr;
  }
};
struct UntouchedChannels : MessageChannelFactory {
  std::unique_ptr<MessageChannel> Create() override {
    ADD_FAILURE() << "channel created";
    return nullptr;
  }
};
struct UntouchedProcesses : ProcessStarter {
  std::int64_t Shell(const Text&, int) override {
    ADD_FAILURE() << "program started";
    return 0;
  }
};
struct UntouchedNotice : NoticeWindow {
  void Show(NoticeEvents&) override { ADD_FAILURE() << "notice shown"; }
  WindowHandle hWnd() override { return 0; }
  int Check1Value() override { return vbUnchecked; }
};

// A channel that records whether it was closed.
struct RecordingChannel : MessageChannel {
  explicit RecordingChannel(int& closes) : closes_(closes) {}
  std::int32_t OpenChannel(const Text&, const Text&) override { return 1; }
  std::int32_t PeerHandle() override { return NoPeer; }
  void SendData(std::int32_t, std::int32_t, const Text&) override {}
  void CloseChannel() override { ++closes_; }
  int& closes_;
};

class Form1Test : public ::testing::Test {
 protected:
  Form1Test() : form_(platform_) {}

  std::shared_ptr<FakeWebBrowser> AddWindow(WindowHandle hwnd, std::optional<Text> html) {
    auto window = std::make_shared<FakeWebBrowser>();
    window->hwnd = hwnd;
    window->document.root_innerHTML = std::move(html);
    browser_.windows_.push_back(window);
    return window;
  }

  FakeBrowserAutomation browser_;
  FakeWindowSystem windows_;
  RecordingRegistry registry_;
  FakeShellFolders shell_folders_;
  VirtualFileSystem files_;
  UntouchedUrls urls_;
  UntouchedFolderBrowser folder_browser_;
  UntouchedChannels channels_;
  UntouchedProcesses processes_;
  UntouchedNotice notice_;
  FakeUserInterface ui_;
  FakeMachine machine_;
  FakeClock clock_;
  Platform platform_{.browser = browser_,
                     .windows = windows_,
                     .registry = registry_,
                     .shell_folders = shell_folders_,
                     .file_system = files_,
                     .urls = urls_,
                     .folder_browser = folder_browser_,
                     .channels = channels_,
                     .processes = processes_,
                     .ui = ui_,
                     .notice = notice_,
                     .machine = machine_,
                     .clock = clock_};
  Form1 form_;
};

TEST_F(Form1Test, GivenNoBrowserInFrontWeShouldShowTheTwoLineAttachErrorAndEnd) {
  AddWindow(0x100, u"<HEAD></HEAD>");
  windows_.foreground_ = 0x777;

  EXPECT_THROW(form_.Load(), ProgramEnded);

  ASSERT_EQ(ui_.boxes_.size(), 1u);
  EXPECT_EQ(ui_.boxes_[0].prompt,
            u"Error: Could not attach to IE.\r\n"
            u"Please close all Internet Explorer windows and try again.\r\n");
  EXPECT_EQ(ui_.boxes_[0].title, u"Harvelo");
  EXPECT_THAT(ui_.events_, ElementsAre("box", "end"));
  EXPECT_THAT(clock_.sleeps_, ElementsAre(300, 300, 300));
  // The pass keeps the maximise flag off: not a single setting is touched.
  EXPECT_THAT(registry_.calls_, IsEmpty());
  EXPECT_EQ(windows_.is_zoomed_calls_, 0);
}

TEST_F(Form1Test, GivenTheForegroundBrowserWeShouldAttachReadItsPageOnceAndEnd) {
  AddWindow(0x100, u"<HEAD></HEAD>");
  auto page = AddWindow(0x200, u"<HEAD><TITLE>A</TITLE></HEAD><BODY><IMG src=x.jpg></BODY>");
  windows_.foreground_ = 0x200;
  windows_.zoomed_[0x200] = false;
  Registry(registry_).WriteSetting(kSettingsKey, u"vMaximize", u"1");
  registry_.calls_.clear();

  EXPECT_THROW(form_.Load(), ProgramEnded);

  EXPECT_EQ(form_.state().AttachedBrowser, page);
  EXPECT_EQ(page->reads["documentElement.innerHTML"], 1);
  EXPECT_THAT(ui_.boxes_, IsEmpty());
  EXPECT_THAT(ui_.events_, ElementsAre("end"));
  EXPECT_THAT(windows_.shown_, IsEmpty());
  EXPECT_THAT(registry_.calls_, IsEmpty());
}

TEST_F(Form1Test, GivenAPageWhoseHtmlCannotBeReadWeShouldLeaveLoadWithTheFailureNotTheBox) {
  AddWindow(0x100, std::nullopt);
  windows_.foreground_ = 0x100;

  EXPECT_THROW(form_.Load(), Failure);

  EXPECT_THAT(ui_.boxes_, IsEmpty());
  EXPECT_FALSE(ui_.ended_);
  EXPECT_THAT(ui_.events_, IsEmpty());  // no main form either
}

TEST_F(Form1Test, GivenTheChannelOpenWeShouldCloseItOnTermination) {
  int closes = 0;
  form_.state().channel = std::make_unique<RecordingChannel>(closes);
  form_.state().ChannelOpen = true;

  form_.Terminate();

  EXPECT_EQ(closes, 1);
}

TEST_F(Form1Test, GivenAChannelNeverOpenedWeShouldLeaveItAloneOnTermination) {
  int closes = 0;
  form_.state().channel = std::make_unique<RecordingChannel>(closes);

  form_.Terminate();

  EXPECT_EQ(closes, 0);
}

}  // namespace
}  // namespace harvelo
