#include "platform/linux/posix/posix_file_system.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "platform/failure.h"
#include "support/child_process.h"

namespace harvelo {
namespace {

class PosixFileSystemTest : public ::testing::Test {
 protected:
  Text At(const std::string& relative) { return FromUtf8(root_ + "/" + relative); }

  testing::TemporaryFolder temporary_;
  const std::string root_ = temporary_.path();
  std::unique_ptr<FileSystemObject> fs_ = NewPosixFileSystem();
};

TEST_F(PosixFileSystemTest, GivenFoldersWeShouldCreateOnlyAMissingOneUnderAnExistingParent) {
  EXPECT_THROW(fs_->CreateFolder(At("a/b")), Failure);
  EXPECT_FALSE(fs_->FolderExists(At("a")));
  fs_->CreateFolder(At("a"));
  EXPECT_TRUE(fs_->FolderExists(At("a")));
  EXPECT_THROW(fs_->CreateFolder(At("a")), Failure);
  fs_->CreateFolder(At("a/b \u00e9"));
  EXPECT_TRUE(std::filesystem::is_directory(root_ + "/a/b \xc3\xa9"));
  EXPECT_FALSE(fs_->FolderExists(u""));
  std::ofstream(root_ + "/file") << "x";  // a file is no folder
  EXPECT_FALSE(fs_->FolderExists(At("file")));
  EXPECT_THROW(fs_->CreateFolder(At("file/sub")), Failure);
}

TEST_F(PosixFileSystemTest, GivenPathsWeShouldNameTheirParentAndNothingAboveTheRoot) {
  const std::map<Text, Text> cases = {{u"/a/b/c", u"/a/b"}, {u"/a/b/", u"/a"}, {u"/a", u"/"},
                                      {u"/", u""},          {u"a", u""},       {u"", u""}};
  for (const auto& [path, parent] : cases) {
    EXPECT_EQ(fs_->GetParentFolderName(path), parent) << ToUtf8(path);
  }
}

TEST_F(PosixFileSystemTest, GivenAppendsWeShouldCreateTheFileThenAddAtItsEnd) {
  fs_->AppendToFile(At("log.txt"), u"one\r\n");
  fs_->AppendToFile(At("log.txt"), u"two\r\n");
  std::ifstream file(root_ + "/log.txt");
  const std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_EQ(all, "one\r\ntwo\r\n");
  EXPECT_THROW(fs_->AppendToFile(At("missing/log.txt"), u"x"), Failure);
}

TEST_F(PosixFileSystemTest, GivenTwoProgramsAppendingAtOnceWeShouldNeverInterleaveLines) {
  const Text path = At("shared.txt");
  pid_t children[2];
  for (int k = 0; k < 2; ++k) {
    children[k] = ::fork();
    ASSERT_GE(children[k], 0);
    if (children[k] == 0) {
      const auto fs = NewPosixFileSystem();
      const Text line = Text(300, k == 0 ? u'a' : u'b') + u"\r\n";
      try {
        for (int i = 0; i < 1000; ++i) fs->AppendToFile(path, line);
      } catch (...) {
        ::_exit(1);
      }
      ::_exit(0);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::ifstream file(root_ + "/shared.txt");
  std::map<std::string, int> lines;
  for (std::string line; std::getline(file, line);) ++lines[line];
  EXPECT_EQ(lines.size(), 2u);
  EXPECT_EQ((lines[std::string(300, 'a') + "\r"]), 1000);
  EXPECT_EQ((lines[std::string(300, 'b') + "\r"]), 1000);
}

}  // namespace
}  // namespace harvelo
