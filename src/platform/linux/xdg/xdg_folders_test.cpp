#include "platform/linux/xdg/xdg_folders.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/child_process.h"

namespace harvelo {
namespace {

class XdgFoldersTest : public ::testing::Test {
 protected:
  XdgFoldersTest() {
    std::filesystem::create_directories(home_ + "/conf");
    ::setenv("HOME", home_.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home_ + "/conf").c_str(), 1);
  }
  void WriteDirs(const std::string& text) { std::ofstream(home_ + "/conf/user-dirs.dirs") << text; }

  testing::TemporaryFolder temporary_;
  const std::string home_ = temporary_.path();
  std::unique_ptr<ShellFolders> folders_ = NewXdgShellFolders();
};

TEST_F(XdgFoldersTest, GivenUserDirsWeShouldAnswerDocumentsAndDesktop) {
  WriteDirs(
      "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Bureau\"\n"
      "XDG_DOCUMENTS_DIR=\"/data/Dokumente\"\n");
  EXPECT_EQ(folders_->SpecialFolderPath(CSIDL_DESKTOPDIRECTORY), FromUtf8(home_ + "/Bureau"));
  EXPECT_EQ(folders_->SpecialFolderPath(CSIDL_PERSONAL), u"/data/Dokumente");
  EXPECT_EQ(folders_->SpecialFolderPath(7), std::nullopt);
}

TEST_F(XdgFoldersTest, GivenNoUserDirsWeShouldAnswerHomeAndItsDesktop) {
  EXPECT_EQ(folders_->SpecialFolderPath(CSIDL_PERSONAL), FromUtf8(home_));
  EXPECT_EQ(folders_->SpecialFolderPath(CSIDL_DESKTOPDIRECTORY), FromUtf8(home_ + "/Desktop"));
}

TEST_F(XdgFoldersTest, GivenARelativeEntryWeShouldIgnoreIt) {
  WriteDirs("XDG_DOCUMENTS_DIR=\"Documents\"\n");
  EXPECT_EQ(folders_->SpecialFolderPath(CSIDL_PERSONAL), FromUtf8(home_));
}

TEST_F(XdgFoldersTest, GivenNoHomeWeShouldResolveNothing) {
  ::unsetenv("HOME");
  EXPECT_EQ(folders_->SpecialFolderPath(CSIDL_PERSONAL), std::nullopt);
}

}  // namespace
}  // namespace harvelo
