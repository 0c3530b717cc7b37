// harvelo: works on the page shown in the foreground browser window. It reads no
// arguments.

#include <QApplication>
#include <QFontDatabase>
#include <algorithm>
#include <chrono>
#include <exception>
#include <iostream>
#include <thread>

#include "platform/linux/bidi/browser_choice.h"
#include "platform/linux/channel/channel_folder.h"
#include "platform/linux/channel/socket_channel.h"
#include "platform/linux/hive/hive_store.h"
#include "platform/linux/hive_file/hive_file.h"
#include "platform/linux/posix/local_clock.h"
#include "platform/linux/posix/machine.h"
#include "platform/linux/posix/posix_file_system.h"
#include "platform/linux/posix/process_starter.h"
#include "platform/linux/qt_core/url_combiner.h"
#include "platform/linux/qt_widgets/program_icon.h"
#include "platform/linux/qt_widgets/qt_folder_browser.h"
#include "platform/linux/qt_widgets/qt_notice_window.h"
#include "platform/linux/qt_widgets/qt_user_interface.h"
#include "platform/linux/xdg/xdg_folders.h"
#include "run/error_box.h"
#include "run/form1.h"

namespace {

// Long enough for the HTML of a very large page, short enough that a hung browser does
// not hold the user for long.
constexpr std::chrono::seconds kBrowserTimeLimit{20};

}  // namespace

int main(int argc, char** argv) {
  using namespace harvelo;
  int qt_argc = std::min(argc, 1);  // Qt sees the program's name only
  QApplication application(qt_argc, argv);
  // Every window of the program carries it: the main form, the notice, the boxes.
  application.setWindowIcon(ProgramIcon(QStringLiteral(":/icons/harvelo.svg")));
  // The fonts are looked up while the browser is read, rather than when the first window needs
  // them (the font database may be filled from any thread).
  const std::jthread fonts([] { QFontDatabase::families(); });

  const std::unique_ptr<UserInterface> qt_ui = NewQtUserInterface();
  const std::unique_ptr<ChosenBrowser> browser = ChooseBrowser(*qt_ui, kBrowserTimeLimit);
  const std::unique_ptr<HiveStore> hive = NewHiveFileStore(DefaultHiveFilePath(), std::cerr);
  const std::unique_ptr<RegistryApi> registry = NewHiveRegistry(*hive);
  const std::unique_ptr<Machine> machine = NewLinuxMachine();
  const std::unique_ptr<Clock> clock = NewLocalClock();
  const std::unique_ptr<ShellFolders> shell_folders = NewXdgShellFolders();
  const std::unique_ptr<FileSystemObject> file_system = NewPosixFileSystem();
  const std::unique_ptr<UrlService> urls = NewUrlCombiner();
  const std::unique_ptr<FolderBrowseComponent> folder_browser = NewQtFolderBrowser(*shell_folders);
  const std::unique_ptr<MessageChannelFactory> channels =
      NewSocketChannelFactory(channel::DefaultChannelFolder());
  const std::unique_ptr<ProcessStarter> processes = NewSpawnProcessStarter();
  const std::unique_ptr<NoticeWindow> notice = NewQtNoticeWindow();

  Platform platform{.browser = browser->automation(),
                    .windows = browser->windows(),
                    .registry = *registry,
                    .shell_folders = *shell_folders,
                    .file_system = *file_system,
                    .urls = *urls,
                    .folder_browser = *folder_browser,
                    .channels = *channels,
                    .processes = *processes,
                    .ui = browser->ui(),
                    .notice = *notice,
                    .machine = *machine,
                    .clock = *clock};
  AppPath app_path(
      *machine, BuildMachine{FromUtf8(HARVELO_BUILD_MACHINE_1), FromUtf8(HARVELO_BUILD_FOLDER_1)},
      BuildMachine{FromUtf8(HARVELO_BUILD_MACHINE_2), FromUtf8(HARVELO_BUILD_FOLDER_2)});
  Form1 form(platform, app_path);
  try {
    form.Load();
  } catch (const std::exception& failure) {
    ReportUnhandledFailure(FromUtf8(failure.what()), kProgramTitle);
    return 1;
  }
  return application.exec();
}
