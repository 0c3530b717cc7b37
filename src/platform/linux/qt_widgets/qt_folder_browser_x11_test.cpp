// The folder dialog on a real X server with a window manager: the browser window owns it.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fakes/fake_shell_folders.h"
#include "platform/linux/posix/posix_file_system.h"
#include "platform/linux/qt_widgets/qt_folder_browser.h"
#include "scanner/save_folder.h"

namespace harvelo {
namespace {

// An X server and openbox of the test's own, stopped when the test ends however it ends.
class XServer {
 public:
  XServer() {
    int fds[2];
    if (::pipe(fds) != 0) return;
    xvfb_.start("Xvfb", {"-displayfd", QString::number(fds[1]), "-screen", "0", "1024x768x24",
                         "-nolisten", "tcp"});
    ::close(fds[1]);
    // Xvfb writes its display number once it is ready; wait at most ten seconds.
    std::string number;
    char c = 0;
    fd_set set;
    timeval limit{10, 0};
    FD_ZERO(&set);
    FD_SET(fds[0], &set);
    while (::select(fds[0] + 1, &set, nullptr, nullptr, &limit) > 0 && ::read(fds[0], &c, 1) == 1 &&
           c != '\n') {
      number += c;
    }
    ::close(fds[0]);
    if (number.empty()) return;
    display_ = ":" + number;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", QString::fromStdString(display_));
    openbox_.setProcessEnvironment(environment);
    openbox_.start("openbox", {});
    openbox_.waitForStarted(5000);
    ::usleep(500 * 1000);
  }
  ~XServer() {
    for (QProcess* process : {&openbox_, &xvfb_}) {
      process->terminate();
      if (!process->waitForFinished(5000)) process->kill();
      process->waitForFinished(2000);
    }
  }
  const std::string& display() const { return display_; }

 private:
  QProcess xvfb_;
  QProcess openbox_;
  std::string display_;
};

TEST(QtFolderBrowserX11Test, GivenTheBrowserWindowAsOwnerWeShouldMakeTheDialogItsTransient) {
  XServer x;
  ASSERT_FALSE(x.display().empty()) << "Xvfb did not start";
  ::setenv("DISPLAY", x.display().c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "xcb", 1);
  int argc = 1;
  char name[] = "x11-test";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);

  QWidget browser;
  browser.setWindowTitle("browser");
  browser.resize(600, 400);
  browser.show();
  const auto owner = static_cast<WindowHandle>(browser.winId());

  FakeShellFolders shell;
  shell.folders_[CSIDL_DESKTOPDIRECTORY] = u"/tmp";
  shell.folders_[CSIDL_PERSONAL] = u"/tmp";
  const auto fs = NewPosixFileSystem();
  const auto component = NewQtFolderBrowser(shell);
  QString transient_for;
  QTimer::singleShot(500, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    QProcess xprop;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    xprop.setProcessEnvironment(environment);
    xprop.start("xprop", {"-id", QString::number(dialog->winId()), "WM_TRANSIENT_FOR"});
    if (xprop.waitForFinished(5000))
      transient_for = QString::fromUtf8(xprop.readAllStandardOutput());
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
  });
  QTimer::singleShot(10000, [] {
    if (auto* open = QApplication::activeModalWidget()) open->close();
  });
  EXPECT_EQ(
      BrowseForSaveFolder(*component, *fs, shell, owner, u"/tmp", u"Harvelo - Quorvex", u"Select"),
      u"");
  EXPECT_TRUE(transient_for.contains(QStringLiteral("0x%1").arg(owner, 0, 16)))
      << transient_for.toStdString();
}

}  // namespace
}  // namespace harvelo
