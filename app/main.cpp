// harvelo: works on the page shown in the foreground browser window. It reads no
// arguments.

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <exception>

#include "placeholder_ports.h"
#include "platform/hive/hive_store.h"
#include "platform/linux/devtools/devtools_browser.h"
#include "platform/linux/devtools/devtools_endpoint.h"
#include "platform/linux/devtools/devtools_window_system.h"
#include "platform/linux/hive_file.h"
#include "platform/linux/machine.h"
#include "platform/linux/qt/qt_clock.h"
#include "platform/linux/qt/qt_user_interface.h"
#include "platform/linux/x11/x11_window_system.h"
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

  DevToolsClient devtools(FindDevToolsEndpoint(), kBrowserTimeLimit);
  std::unique_ptr<BrowserWindows> windows;
  if (IsX11Session()) windows = NewX11WindowSystem("");
  if (!windows) windows = NewDevToolsWindowSystem(devtools);
  const std::unique_ptr<BrowserAutomation> browser = NewDevToolsBrowser(devtools, *windows);
  const std::unique_ptr<HiveStore> hive = NewHiveFileStore(DefaultHiveFilePath());
  const std::unique_ptr<RegistryApi> registry = NewHiveRegistry(*hive);
  const std::unique_ptr<UserInterface> ui = NewQtUserInterface();
  const std::unique_ptr<Machine> machine = NewLinuxMachine();
  const std::unique_ptr<Clock> clock = NewQtClock();
  const PlaceholderPorts missing = NewPlaceholderPorts();

  Platform platform{.browser = *browser,
                    .windows = *windows,
                    .registry = *registry,
                    .shell_folders = *missing.shell_folders,
                    .file_system = *missing.file_system,
                    .urls = *missing.urls,
                    .folder_browser = *missing.folder_browser,
                    .channels = *missing.channels,
                    .processes = *missing.processes,
                    .ui = *ui,
                    .notice = *missing.notice,
                    .machine = *machine,
                    .clock = *clock};
  Form1 form(platform);
  try {
    form.Load();
  } catch (const std::exception& failure) {
    ReportUnhandledFailure(FromUtf8(failure.what()), kProgramTitle);
    return 1;
  }
  return application.exec();
}
