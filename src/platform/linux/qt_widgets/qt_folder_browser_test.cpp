#include "platform/linux/qt_widgets/qt_folder_browser.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>

#include "fakes/fake_platform.h"
#include "platform/linux/posix/posix_file_system.h"
#include "scanner/save_folder.h"
#include "support/child_process.h"
#include "support/widget_application.h"

namespace harvelo {
namespace {

using namespace Qt::Literals::StringLiterals;

// Each row opens the dialog as the scan does on `initial` (under the home folder unless it
// starts with "/" or names the Documents namespace), sees the folder selected, clicks the
// buttons named, and gets `chosen` (under the home folder unless empty).
TEST(QtFolderBrowserTest, GivenAnInitialFolderAndButtonsWeShouldSelectAndAnswerAsAPersonChose) {
  testing::WidgetApplication();
  const Text documents = kDocumentsNamespace + u"/Quorvex";
  const struct {
    bool desktop_exists;
    Text initial;
    const char* selected;
    std::vector<QString> clicks;
    std::string chosen;
  } cases[] = {
      {true, documents, "Quorvex", {u"OK"_s}, "/Documents/Quorvex"},
      {true, u"/nowhere/at/all", "Desktop", {u"OK"_s}, "/Desktop"},
      {false, documents, "Quorvex", {u"Cancel"_s}, ""},
      {true, u"Documents", "Documents", {u"Cancel"_s}, ""},
      {true,
       u"Desktop/On desk",
       "On desk",
       {u"MakeNewFolder"_s, u"OK"_s},
       "/Desktop/On desk/New Folder"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.chosen + " from " + ToUtf8(c.initial));
    testing::TemporaryFolder temporary;
    const std::string home = temporary.path();
    if (c.desktop_exists) std::filesystem::create_directories(home + "/Desktop/On desk");
    std::filesystem::create_directories(home + "/Documents/Quorvex");
    FakeShellFolders shell;
    shell.folders_[CSIDL_PERSONAL] = FromUtf8(home + "/Documents");
    shell.folders_[CSIDL_DESKTOPDIRECTORY] = FromUtf8(home + "/Desktop");
    bool acted = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      acted = true;
      EXPECT_EQ(dialog->windowTitle(), u"Harvelo - Quorvex");
      EXPECT_EQ(dialog->findChild<QLabel*>(u"Instruction"_s)->text(),
                u"Select the folder where the files will be saved.\n"
                u"  Number of Pictures = 3,  Number of Movies = 1");
      auto& tree = *dialog->findChild<QTreeWidget*>(u"Folders"_s);
      ASSERT_EQ(tree.topLevelItemCount(), 1);
      EXPECT_EQ(tree.topLevelItem(0)->text(0), u"Desktop");
      // The places show: the view asks the model, not the item, whether there are children.
      EXPECT_TRUE(tree.model()->hasChildren(tree.model()->index(0, 0)));
      EXPECT_EQ(tree.currentItem()->text(0), QString::fromUtf8(c.selected));
      auto* box = dialog->findChild<QDialogButtonBox*>();
      for (const QString& click : c.clicks) {
        auto* make = dialog->findChild<QPushButton*>(u"MakeNewFolder"_s);
        EXPECT_EQ(make->text(), u"Make New Folder");
        (click == u"MakeNewFolder" ? make
         : click == u"OK"          ? box->button(QDialogButtonBox::Ok)
                                   : box->button(QDialogButtonBox::Cancel))
            ->click();
      }
    });
    // Never wait for a person: a dialog left open is closed after ten seconds.
    // Never wait for a person: a dialog left open is closed after ten seconds.
    QTimer guard;
    guard.callOnTimeout([] {
      if (auto* open = QApplication::activeModalWidget()) open->close();
    });
    guard.start(10000);
    const auto fs = NewPosixFileSystem();
    const Text initial = c.initial.starts_with(u"/") || c.initial == documents
                             ? c.initial
                             : FromUtf8(home + "/") + c.initial;
    const Text chosen = BrowseForSaveFolder(*NewQtFolderBrowser(shell), *fs, shell, 0, initial,
                                            u"Harvelo - Quorvex",
                                            u"Select the folder where the files will be saved.\r\n"
                                            u"  Number of Pictures = 3,  Number of Movies = 1");
    EXPECT_TRUE(acted);
    EXPECT_EQ(ToUtf8(chosen), c.chosen.empty() ? "" : home + c.chosen);
    EXPECT_TRUE(c.chosen.empty() || std::filesystem::is_directory(home + c.chosen));
  }
}

}  // namespace
}  // namespace harvelo
