// Tellora: the notice program that Harvelo starts, instead of harvesting, for a page that
// asks not to be followed. Its one argument describes the browser window and the page.

#include <QApplication>
#include <QMessageBox>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "notice_argument.h"
#include "platform/linux/qt_widgets/program_icon.h"
#include "robots_notice.h"

namespace {

using harvelo::tellora::NoticeArgument;

constexpr char kUsage[] =
    "Usage: Tellora ARGUMENT\n"
    "Shows Harvelo's notice for a page that asks not to be followed. Harvelo starts it with\n"
    "one argument:\n"
    "  <wHWND>WINDOW</wHWND><FormName>frmRobotExclude</FormName><URL>ADDRESS</URL>"
    "<ProgType>DL</ProgType><LoadingURL>ADDRESS</LoadingURL>\n"
    "WINDOW is the browser window (an X window id in decimal digits) that owns the notice.\n"
    "Exit status: 0 when the notice was shown and closed, 2 when the argument is wrong.\n";

bool HaveDisplay() {
  for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

// Says what is wrong on the standard error and, since Harvelo starts the notice program
// without a terminal, in a box when there is a screen.
int Refuse(int argc, char** argv, const std::string& why) {
  std::fprintf(stderr, "Tellora: %s\n", why.c_str());
  if (HaveDisplay()) {
    int qt_argc = std::min(argc, 1);
    QApplication application(qt_argc, argv);
    QMessageBox::critical(
        nullptr, QStringLiteral("Tellora"),
        QStringLiteral("Tellora cannot show its notice: %1").arg(QString::fromStdString(why)));
  }
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc != 2) return Refuse(argc, argv, "expected one argument from Harvelo (see --help)");
  const harvelo::tellora::ParsedArgument parsed = harvelo::tellora::ParseNoticeArgument(argv[1]);
  if (!parsed.error.empty()) return Refuse(argc, argv, "unreadable argument: " + parsed.error);
  const NoticeArgument& argument = parsed.argument;
  if (argument.form_name != "frmRobotExclude") {
    return Refuse(argc, argv, "no notice named \"" + argument.form_name + "\"");
  }

  int qt_argc = 1;  // Qt sees the program's name only
  QApplication application(qt_argc, argv);
  application.setWindowIcon(harvelo::ProgramIcon(QStringLiteral(":/icons/tellora.svg")));
  harvelo::tellora::RobotsNotice notice(argument);
  // The browser window owns the notice: it stays above it, goes with it and is centred on
  // it. A window that is owned is minimised with its owner, never alone, so the notice
  // opens in its normal size and takes the focus whatever window style it was asked for.
  std::unique_ptr<QWindow> owner;
  if (argument.window != 0 && QGuiApplication::platformName() == QStringLiteral("xcb")) {
    owner.reset(QWindow::fromWinId(argument.window));
    notice.winId();
    notice.windowHandle()->setTransientParent(owner.get());
  }
  notice.show();
  notice.raise();
  notice.activateWindow();
  return application.exec();
}
