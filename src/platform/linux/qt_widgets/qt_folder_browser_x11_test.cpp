// The folder dialog on a real X server with a window manager: the browser window owns it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>

#include "fakes/fake_platform.h"
#include "platform/linux/posix/posix_file_system.h"
#include "platform/linux/qt_widgets/qt_folder_browser.h"
#include "scanner/save_folder.h"
#include "support/x_session.h"

namespace harvelo {
namespace {

TEST(QtFolderBrowserX11Test, GivenTheBrowserWindowAsOwnerWeShouldMakeTheDialogItsTransient) {
  testing::XSession x;
  ::setenv("DISPLAY", x.display().c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "xcb", 1);
  int argc = 1;
  char name[] = "x11-test";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  QWidget browser;
  browser.resize(600, 400);
  browser.show();
  const auto owner = static_cast<WindowHandle>(browser.winId());
  FakeShellFolders shell;
  shell.folders_[CSIDL_DESKTOPDIRECTORY] = shell.folders_[CSIDL_PERSONAL] = u"/tmp";
  QString transient_for;
  QTimer poll;  // until the dialog shows, however slow the machine
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) return;
    poll.stop();
    transient_for = QString::fromStdString(testing::RunOnDisplay(
        x.display(), {"xprop", "-id", std::to_string(dialog->winId()), "WM_TRANSIENT_FOR"}));
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
  });
  poll.start(20);
  QTimer::singleShot(60000, [] {  // never wait for a person
    if (auto* open = QApplication::activeModalWidget()) open->close();
  });
  EXPECT_EQ(BrowseForSaveFolder(*NewQtFolderBrowser(shell), *NewPosixFileSystem(), shell, owner,
                                u"/tmp", u"Harvelo - Quorvex", u"Select"),
            u"");
  EXPECT_TRUE(transient_for.contains(QStringLiteral("0x%1").arg(owner, 0, 16)))
      << transient_for.toStdString();
}

}  // namespace
}  // namespace harvelo
