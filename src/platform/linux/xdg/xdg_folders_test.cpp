#include "platform/linux/xdg/xdg_folders.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/child_process.h"

namespace harvelo {
namespace {

TEST(XdgFoldersTest, GivenUserDirsOrNoneWeShouldAnswerDocumentsAndDesktopUnderHome) {
  testing::TemporaryFolder temporary;
  const std::string home_ = temporary.path();
  std::filesystem::create_directories(home_ + "/conf");
  ::setenv("HOME", home_.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (home_ + "/conf").c_str(), 1);
  const auto folders_ = NewXdgShellFolders();
  const struct {
    const char* dirs;  // user-dirs.dirs, when written
    std::string documents;
    std::string desktop;
  } cases[] = {
      {nullptr, home_, home_ + "/Desktop"},
      {"# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Bureau\"\n"
       "XDG_DOCUMENTS_DIR=\"/data/Dokumente\"\n",
       "/data/Dokumente", home_ + "/Bureau"},
      {"XDG_DOCUMENTS_DIR=\"Documents\"\n", home_, home_ + "/Desktop"},  // relative: ignored
  };
  for (const auto& c : cases) {
    if (c.dirs) std::ofstream(home_ + "/conf/user-dirs.dirs") << c.dirs;
    EXPECT_EQ(folders_->SpecialFolderPath(CSIDL_PERSONAL), FromUtf8(c.documents)) << c.documents;
    EXPECT_EQ(folders_->SpecialFolderPath(CSIDL_DESKTOPDIRECTORY), FromUtf8(c.desktop));
  }
  EXPECT_EQ(folders_->SpecialFolderPath(7), std::nullopt);
  ::unsetenv("HOME");
  EXPECT_EQ(folders_->SpecialFolderPath(CSIDL_PERSONAL), std::nullopt);
}

}  // namespace
}  // namespace harvelo
