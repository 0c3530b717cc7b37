#include "platform/linux/channel/channel_folder.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/failure.h"
#include "platform/linux/channel/peer_credentials.h"
#include "support/child_process.h"

namespace harvelo::channel {
namespace {

class ChannelFolderTest : public ::testing::Test {
 protected:
  static unsigned Mode(const std::string& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info.st_mode & 0777;
  }

  harvelo::testing::TemporaryFolder temporary_;
  const std::string base_ = temporary_.path();
};

TEST(ChannelFolderForTest, GivenTheRuntimeFolderOrNoneWeShouldChooseThePrivateFolder) {
  EXPECT_EQ(ChannelFolderFor("/run/user/1000", 1000), "/run/user/1000/quorvex");
  EXPECT_EQ(ChannelFolderFor(nullptr, 1000), "/tmp/quorvex-1000");
  EXPECT_EQ(ChannelFolderFor("", 0), "/tmp/quorvex-0");
}

TEST_F(ChannelFolderTest, GivenNoFolderOrAnOpenOneOfOursWeShouldMakeItPrivate) {
  const std::string folder = base_ + "/quorvex";
  for (const bool made : {false, true}) {
    if (made) ::chmod(folder.c_str(), 0755);
    PrepareChannelFolder(folder);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(Mode(folder), 0700u);
  }
}

TEST_F(ChannelFolderTest, GivenALinkAFileOrAFolderOfAnotherUserInItsPlaceWeShouldRefuse) {
  std::filesystem::create_directory_symlink(base_, base_ + "/link");
  std::ofstream(base_ + "/file") << "x";
  for (const char* name : {"/link", "/file", "/missing/quorvex"}) {
    EXPECT_THROW(PrepareChannelFolder(base_ + name), Failure) << name;
  }
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a folder away";
  const std::string folder = base_ + "/quorvex";
  ::mkdir(folder.c_str(), 0700);
  ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
  EXPECT_THROW(PrepareChannelFolder(folder), Failure);
}

TEST(SocketPathTest, GivenServerNamesWeShouldKeepEveryNameInsideTheFolder) {
  EXPECT_EQ(SocketPath("/run/q", u"my server"), "/run/q/my%20server");
  EXPECT_EQ(SocketPath("/run/q", u"../x"), "/run/q/%2E%2E%2Fx");
  EXPECT_EQ(SocketPath("/run/q", u"A_b-9é"), "/run/q/A_b-9%C3%A9");
  EXPECT_THROW(SocketPath("/run/" + std::string(100, 'q'), u"my server"), Failure);
}

TEST(PeerIsSameUserTest, GivenAConnectionWithinOneProcessWeShouldSeeOurOwnUser) {
  int ends[2];
  ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
  EXPECT_TRUE(PeerIsSameUser(ends[0]));
  EXPECT_TRUE(PeerIsSameUser(ends[1]));
  ::close(ends[0]);
  ::close(ends[1]);
  EXPECT_FALSE(PeerIsSameUser(-1));
}

}  // namespace
}  // namespace harvelo::channel
