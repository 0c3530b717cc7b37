#include "platform/linux/qt_widgets/qt_folder_browser.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <functional>

#include "fakes/fake_shell_folders.h"
#include "platform/linux/posix/posix_file_system.h"
#include "platform/linux/qt_widgets/qt_test_app.h"
#include "scanner/save_folder.h"
#include "support/child_process.h"

namespace harvelo {
namespace {

using namespace Qt::Literals::StringLiterals;

class QtFolderBrowserTest : public ::testing::Test {
 protected:
  QtFolderBrowserTest() {
    TestApplication();
    std::filesystem::create_directories(home_ + "/Desktop/On desk");
    std::filesystem::create_directories(home_ + "/Documents/Quorvex");
    shell_.folders_[CSIDL_PERSONAL] = FromUtf8(home_ + "/Documents");
    shell_.folders_[CSIDL_DESKTOPDIRECTORY] = FromUtf8(home_ + "/Desktop");
  }

  // Runs the dialog as the scan does; `act` runs once it is open and answers it.
  Text Browse(const Text& initial, std::function<void(QDialog&)> act) {
    bool acted = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      acted = true;
      act(*dialog);
    });
    // Never wait for a person: a dialog left open is closed after ten seconds.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
      if (auto* open = QApplication::activeModalWidget()) open->close();
    });
    guard.start(10000);
    const Text chosen =
        BrowseForSaveFolder(*component_, *fs_, shell_, 0, initial, u"Harvelo - Quorvex",
                            u"Select the folder where the files will be saved.\r\n"
                            u"  Number of Pictures = 3,  Number of Movies = 1");
    EXPECT_TRUE(acted);
    return chosen;
  }

  static QTreeWidget& Tree(QDialog& dialog) {
    return *dialog.findChild<QTreeWidget*>(u"Folders"_s);
  }
  static void Press(QDialog& dialog, QDialogButtonBox::StandardButton which) {
    dialog.findChild<QDialogButtonBox*>()->button(which)->click();
  }

  testing::TemporaryFolder temporary_;
  const std::string home_ = temporary_.path();
  FakeShellFolders shell_;
  std::unique_ptr<FileSystemObject> fs_ = NewPosixFileSystem();
  std::unique_ptr<FolderBrowseComponent> component_ = NewQtFolderBrowser(shell_);
};

TEST_F(QtFolderBrowserTest, GivenTheDocumentsNamespaceWeShouldOpenOnItsFolderUnderTheDesktop) {
  const Text chosen = Browse(kDocumentsNamespace + u"/Quorvex", [&](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), u"Harvelo - Quorvex");
    EXPECT_EQ(dialog.findChild<QLabel*>(u"Instruction"_s)->text(),
              u"Select the folder where the files will be saved.\n"
              u"  Number of Pictures = 3,  Number of Movies = 1");
    QTreeWidget& tree = Tree(dialog);
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    EXPECT_EQ(tree.topLevelItem(0)->text(0), u"Desktop");
    EXPECT_EQ(tree.currentItem()->text(0), u"Quorvex");
    EXPECT_EQ(tree.currentItem()->parent()->text(0), u"Documents");
    auto* make = dialog.findChild<QPushButton*>(u"MakeNewFolder"_s);
    ASSERT_NE(make, nullptr);
    EXPECT_EQ(make->text(), u"Make New Folder");
    EXPECT_FALSE(make->isHidden());
    auto* box = dialog.findChild<QDialogButtonBox*>();
    EXPECT_NE(box->button(QDialogButtonBox::Ok), nullptr);
    EXPECT_NE(box->button(QDialogButtonBox::Cancel), nullptr);
    Press(dialog, QDialogButtonBox::Ok);
  });
  EXPECT_EQ(chosen, FromUtf8(home_ + "/Documents/Quorvex"));
}

TEST_F(QtFolderBrowserTest, GivenTheDesktopItselfChosenWeShouldAnswerTheDesktopFolder) {
  const Text chosen = Browse(u"/nowhere/at/all", [&](QDialog& dialog) {
    QTreeWidget& tree = Tree(dialog);
    // A folder that does not exist opens on the Desktop.
    EXPECT_EQ(tree.currentItem(), tree.topLevelItem(0));
    Press(dialog, QDialogButtonBox::Ok);
  });
  EXPECT_EQ(chosen, FromUtf8(home_ + "/Desktop"));
}

TEST_F(QtFolderBrowserTest, GivenNoDesktopFolderWeShouldStillOfferThePlacesBelowTheDesktop) {
  std::filesystem::remove_all(home_ + "/Desktop");
  Browse(kDocumentsNamespace + u"/Quorvex", [&](QDialog& dialog) {
    QTreeWidget& tree = Tree(dialog);
    QTreeWidgetItem* desktop = tree.topLevelItem(0);
    // The places show: the view asks the model, not the item, whether there are children.
    EXPECT_TRUE(tree.model()->hasChildren(tree.model()->index(0, 0)));
    EXPECT_TRUE(desktop->isExpanded());
    EXPECT_EQ(tree.currentItem()->text(0), u"Quorvex");
    Press(dialog, QDialogButtonBox::Cancel);
  });
}

TEST_F(QtFolderBrowserTest, GivenCancelWeShouldAnswerEmpty) {
  EXPECT_EQ(Browse(FromUtf8(home_ + "/Documents"),
                   [](QDialog& dialog) { Press(dialog, QDialogButtonBox::Cancel); }),
            u"");
}

TEST_F(QtFolderBrowserTest, GivenMakeNewFolderWeShouldCreateItInTheSelectionAndSelectIt) {
  const Text chosen = Browse(FromUtf8(home_ + "/Desktop/On desk"), [&](QDialog& dialog) {
    EXPECT_EQ(Tree(dialog).currentItem()->text(0), u"On desk");
    dialog.findChild<QPushButton*>(u"MakeNewFolder"_s)->click();
    Press(dialog, QDialogButtonBox::Ok);
  });
  EXPECT_EQ(chosen, FromUtf8(home_ + "/Desktop/On desk/New Folder"));
  EXPECT_TRUE(std::filesystem::is_directory(home_ + "/Desktop/On desk/New Folder"));
}

}  // namespace
}  // namespace harvelo
