#include "platform/linux/posix/posix_file_system.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "platform/failure.h"
#include "support/child_process.h"

namespace harvelo {
namespace {

class PosixFileSystemTest : public ::testing::Test {
 protected:
  Text At(const std::string& relative) { return FromUtf8(root_ + "/" + relative); }
  std::string Lines(const std::string& relative) {
    return testing::FileBytes(root_ + "/" + relative);
  }

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
  fs_->AppendToFile(At("file"), u"one\r\n");  // a file is no folder; appends add at its end
  fs_->AppendToFile(At("file"), u"two\r\n");
  EXPECT_EQ(Lines("file"), "one\r\ntwo\r\n");
  EXPECT_FALSE(fs_->FolderExists(At("file")));
  EXPECT_THROW(fs_->CreateFolder(At("file/sub")), Failure);
  EXPECT_THROW(fs_->AppendToFile(At("missing/log.txt"), u"x"), Failure);
  const std::map<Text, Text> parents = {{u"/a/b/c", u"/a/b"}, {u"/a/b/", u"/a"}, {u"/a", u"/"},
                                        {u"/", u""},          {u"a", u""},       {u"", u""}};
  for (const auto& [path, parent] : parents) {
    EXPECT_EQ(fs_->GetParentFolderName(path), parent) << ToUtf8(path);
  }
}

TEST_F(PosixFileSystemTest, GivenTwoProgramsAppendingAtOnceWeShouldNeverInterleaveLines) {
  pid_t children[2];
  for (const char letter : {'a', 'b'}) {
    if ((children[letter - 'a'] = ::fork()) == 0) {
      for (int i = 0; i < 1000; ++i)
        NewPosixFileSystem()->AppendToFile(At("shared.txt"), Text(300, letter) + u"\r\n");
      ::_exit(0);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::istringstream file(Lines("shared.txt"));
  std::map<std::string, int> lines;
  for (std::string line; std::getline(file, line);) ++lines[line];
  EXPECT_EQ(lines, (std::map<std::string, int>{{std::string(300, 'a') + "\r", 1000},
                                               {std::string(300, 'b') + "\r", 1000}}));
}

}  // namespace
}  // namespace harvelo
