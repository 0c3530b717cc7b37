// The hand-off over the real channel and the real process start: the download program is
// absent, gets started from the program folder, registers, and takes every job.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "fakes/fake_browser.h"
#include "fakes/fake_machine.h"
#include "fakes/fake_shell_folders.h"
#include "fakes/fake_user_interface.h"
#include "fakes/fake_window_system.h"
#include "fakes/recording_registry.h"
#include "fakes/virtual_file_system.h"
#include "handoff/download_jobs.h"
#include "platform/failure.h"
#include "platform/linux/channel/channel_folder.h"
#include "platform/linux/channel/frame.h"
#include "platform/linux/channel/socket_channel.h"
#include "platform/linux/posix/process_starter.h"
#include "support/child_process.h"

namespace harvelo {
namespace {

// Pauses for real, so that the started program has the time to come up.
struct SleepingClock : Clock {
  void Sleep(int milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
  Text GeneralDateNow() override { return u"05/12/2026 15:30:00"; }
};

struct Unused : UrlService, FolderBrowseComponent, NoticeWindow {
  bool InternetCombineUrlA(const std::string&, const std::string&, char*, std::uint32_t*,
                           std::uint32_t) override {
    return false;
  }
  std::unique_ptr<FolderBrowseDialog> Create() override { throw Failure(u"unused"); }
  void Show(NoticeEvents&) override {}
  WindowHandle hWnd() override { return 0; }
  int Check1Value() override { return vbUnchecked; }
};

class DownloadJobsIntegrationTest : public ::testing::Test {
 protected:
  DownloadJobsIntegrationTest() {
    std::filesystem::create_directory(base_ + "/bin");
    std::filesystem::create_directory(base_ + "/run");
    ::setenv("XDG_RUNTIME_DIR", (base_ + "/run").c_str(), 1);
    machine_.executable_folder = FromUtf8(base_ + "/bin");
    fs_.AddFolder(u"/home/user/Documents");
    page_->document.root_innerHTML = u"<P>pictures</P>";
  }
  ~DownloadJobsIntegrationTest() override {
    // The stand-in ends once its client has gone; reap it, or stop it when it does not.
    pid_t pid = 0;
    std::ifstream(base_ + "/bin/Haulbeam.pid") >> pid;
    if (pid > 0) {
      for (int i = 0; i < 300 && ::waitpid(pid, nullptr, WNOHANG) == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
      if (::kill(pid, SIGKILL) == 0) ::waitpid(pid, nullptr, 0);
    }
  }

  // Runs the hand-off to its end; the channel is closed again when it returns.
  std::optional<Failure> Send(int wait_milliseconds) {
    auto channels = NewSocketChannelFactory(channel::DefaultChannelFolder());
    auto processes = NewSpawnProcessStarter();
    Platform platform{browser_,  windows_,   registry_api_, shell_,  fs_,      unused_, unused_,
                      *channels, *processes, ui_,           unused_, machine_, clock_};
    JobChannel channel;
    AppPath app_path(machine_);
    std::optional<Failure> failure;
    try {
      DownloadJobs(platform, channel, app_path, wait_milliseconds)
          .SendDownloadJobs(*page_, urls_, u"/home/user/Bilder");
    } catch (const Failure& raised) {
      failure = raised;
    } catch (const ProgramEnded&) {
    }
    return failure;
  }

  testing::TemporaryFolder temporary_;
  const std::string base_ = temporary_.path();
  std::shared_ptr<FakeWebBrowser> page_ = std::make_shared<FakeWebBrowser>();
  std::vector<Text> urls_{Text(), u"http://h.example/ä 1.jpg", u"http://h.example/2.mpg"};
  FakeBrowserAutomation browser_;
  FakeWindowSystem windows_;
  RecordingRegistry registry_api_;
  FakeShellFolders shell_;
  VirtualFileSystem fs_;
  Unused unused_;
  FakeUserInterface ui_;
  FakeMachine machine_;
  SleepingClock clock_;
};

TEST_F(DownloadJobsIntegrationTest, GivenHaulbeamAbsentWeShouldStartItAndHandItEveryJobExactly) {
  std::filesystem::copy_file(HARVELO_HAULBEAM_STANDIN, base_ + "/bin/Haulbeam");
  page_->location = u"http://h.example/gallery?qxsource=1&qxurl=http%3A%2F%2Fo.example%2F";
  EXPECT_FALSE(Send(5000));
  EXPECT_TRUE(ui_.ended_);

  std::string expected;
  const Text common =
      u"</DataURL><DataPath>/home/user/Bilder/</DataPath><DataOrgin>"
      u"http://o.example/</DataOrgin><DataGroup>g999</DataGroup><DataOrder>";
  for (const char* k : {"2", "1"}) {
    const Text message =
        u"<DataURL>" + urls_[k[0] - '0'] + common + u"0" + FromUtf8(k) + u"</DataOrder>";
    expected += channel::EncodeFrame(401, ToUtf8(message));
  }
  std::string record;
  for (int i = 0; i < 300 && record.size() < expected.size(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream file(base_ + "/bin/Haulbeam.record", std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    record = text.str();
  }
  EXPECT_EQ(record, expected);
  EXPECT_EQ(fs_.files_[u"/home/user/Documents/Quorvex/SourceLog.txt"],
            u"05/12/2026 15:30:00\tg999\thttp://o.example/\r\n");
}

TEST_F(DownloadJobsIntegrationTest, GivenNoHaulbeamInTheProgramFolderWeShouldRaiseAfterTheBound) {
  const auto start = std::chrono::steady_clock::now();
  const std::optional<Failure> failure = Send(300);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->description(),
            u"The download program Haulbeam.exe did not answer. It was looked for in the folder " +
                FromUtf8(base_) + u"/bin/");
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
  EXPECT_FALSE(ui_.ended_);
}

}  // namespace
}  // namespace harvelo
