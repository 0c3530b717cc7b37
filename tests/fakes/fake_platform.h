#ifndef HARVELO_TESTS_FAKES_FAKE_PLATFORM_H_
#define HARVELO_TESTS_FAKES_FAKE_PLATFORM_H_

// Every port faked, bundled as the main form receives them, with one attached browser
// window showing a page the test builds.

#include <memory>

#include "fakes/fake_browser.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_folder_browser.h"
#include "fakes/fake_machine.h"
#include "fakes/fake_message_channel.h"
#include "fakes/fake_notice_window.h"
#include "fakes/fake_process_starter.h"
#include "fakes/fake_shell_folders.h"
#include "fakes/fake_url_service.h"
#include "fakes/fake_user_interface.h"
#include "fakes/fake_window_system.h"
#include "fakes/recording_registry.h"
#include "fakes/virtual_file_system.h"
#include "platform/platform.h"

namespace harvelo {

struct FakePlatform {
  FakePlatform() {
    fs.AddFolder(u"/home/user/Documents");
    fs.AddFolder(u"/home/user/Desktop");
    browsers.windows_.push_back(page);
  }

  FakeBrowserAutomation browsers;
  FakeWindowSystem windows;
  RecordingRegistry registry;
  FakeShellFolders shell;
  VirtualFileSystem fs;
  FakeUrlService urls;
  FakeFolderBrowser folder_browser;
  FakeMessageChannelFactory channels;
  FakeProcessStarter processes;
  FakeUserInterface ui;
  FakeNoticeWindow notice;
  FakeMachine machine;
  FakeClock clock;
  Platform platform{browsers, windows,   registry, shell,  fs,      urls, folder_browser,
                    channels, processes, ui,       notice, machine, clock};

  std::shared_ptr<FakeWebBrowser> page = std::make_shared<FakeWebBrowser>();
};

}  // namespace harvelo

#endif  // HARVELO_TESTS_FAKES_FAKE_PLATFORM_H_
