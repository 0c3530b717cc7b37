#include "scanner/folders.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace harvelo {
namespace {

TEST(FoldersTest, GivenMissingLevelsWeShouldCreateThemFromTheTopOrFailAtTheRoot) {
  const struct {
    Text path;
    bool made;
    std::vector<Text> created;
  } cases[] = {{u"/home/user/a/b", true, {u"/home/user/a", u"/home/user/a/b"}},
               {u"/home/user", true, {}},
               {u"/mnt/cdrom/x/y", false, {}}};
  for (const auto& c : cases) {
    VirtualFileSystem fs;
    fs.AddFolder(u"/home/user");
    fs.AddFolder(u"/mnt/cdrom");
    fs.read_only_.insert(u"/mnt/cdrom");
    EXPECT_EQ(CreateFolderPath(fs, c.path), c.made) << ToUtf8(c.path);
    EXPECT_EQ(fs.created_, c.created) << ToUtf8(c.path);
  }
}

TEST(FoldersTest, GivenTheShellsAnswerWeShouldCutItAsTheBufferDoes) {
  FakeShellFolders shell;
  shell.folders_[CSIDL_PERSONAL] = Text(u"/home/user/Documents\0junk", 25);
  shell.folders_[CSIDL_DESKTOPDIRECTORY] = u"/" + Text(600, u'd');
  EXPECT_EQ(GetSpecialFolderPath(shell, CSIDL_PERSONAL), u"/home/user/Documents");
  EXPECT_EQ(GetSpecialFolderPath(shell, CSIDL_DESKTOPDIRECTORY).size(), 512u);
  EXPECT_EQ(GetSpecialFolderPath(shell, 99), u"");
}

}  // namespace
}  // namespace harvelo
