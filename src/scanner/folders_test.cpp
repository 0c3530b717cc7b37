#include "scanner/folders.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_shell_folders.h"
#include "fakes/virtual_file_system.h"

namespace harvelo {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(CreateFolderPathTest, GivenTwoMissingLevelsWeShouldCreateOneLevelPerPassFromTheTop) {
  VirtualFileSystem fs;
  fs.AddFolder(u"/home/user");
  EXPECT_TRUE(CreateFolderPath(fs, u"/home/user/a/b"));
  EXPECT_THAT(fs.created_, ElementsAre(u"/home/user/a", u"/home/user/a/b"));
}

TEST(CreateFolderPathTest, GivenAnExistingFolderWeShouldCreateNothing) {
  VirtualFileSystem fs;
  fs.AddFolder(u"/home/user/a");
  EXPECT_TRUE(CreateFolderPath(fs, u"/home/user/a"));
  EXPECT_THAT(fs.created_, IsEmpty());
}

TEST(CreateFolderPathTest, GivenAFolderThatCannotBeWrittenWeShouldClimbToTheRootAndFail) {
  VirtualFileSystem fs;
  fs.AddFolder(u"/mnt/cdrom");
  fs.read_only_.insert(u"/mnt/cdrom");
  EXPECT_FALSE(CreateFolderPath(fs, u"/mnt/cdrom/x/y"));
  EXPECT_THAT(fs.created_, IsEmpty());
}

TEST(GetSpecialFolderPathTest, GivenTheShellsAnswerWeShouldCutItAsTheBufferDoes) {
  FakeShellFolders shell;
  shell.folders_[CSIDL_PERSONAL] = Text(u"/home/user/Documents\0junk", 25);
  shell.folders_[CSIDL_DESKTOPDIRECTORY] = u"/" + Text(600, u'd');
  EXPECT_EQ(GetSpecialFolderPath(shell, CSIDL_PERSONAL), u"/home/user/Documents");
  EXPECT_EQ(GetSpecialFolderPath(shell, CSIDL_DESKTOPDIRECTORY).size(), 512u);
  EXPECT_EQ(GetSpecialFolderPath(shell, 99), u"");
}

}  // namespace
}  // namespace harvelo
