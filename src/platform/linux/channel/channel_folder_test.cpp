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

TEST(ChannelFolderTest, GivenTheRuntimeFolderAndServerNamesWeShouldKeepEverySocketPrivate) {
  EXPECT_EQ(ChannelFolderFor("/run/user/1000", 1000), "/run/user/1000/quorvex");
  EXPECT_EQ(ChannelFolderFor(nullptr, 1000), "/tmp/quorvex-1000");
  EXPECT_EQ(ChannelFolderFor("", 0), "/tmp/quorvex-0");
  EXPECT_EQ(SocketPath("/run/q", u"my server"), "/run/q/my%20server");
  EXPECT_EQ(SocketPath("/run/q", u"../x"), "/run/q/%2E%2E%2Fx");
  EXPECT_EQ(SocketPath("/run/q", u"A_b-9é"), "/run/q/A_b-9%C3%A9");
  EXPECT_THROW(SocketPath("/run/" + std::string(100, 'q'), u"my server"), Failure);
}

TEST(ChannelFolderTest, GivenNoFolderOrOneOfOursWeShouldMakeItPrivateAndRefuseAnythingElse) {
  harvelo::testing::TemporaryFolder temporary;
  const std::string base = temporary.path();
  const std::string folder = base + "/quorvex";
  for (const bool made : {false, true}) {
    if (made) ::chmod(folder.c_str(), 0755);
    PrepareChannelFolder(folder);
    struct stat info {};
    ASSERT_EQ(::lstat(folder.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);
  }
  std::filesystem::create_directory_symlink(base, base + "/link");
  std::ofstream(base + "/file") << "x";
  for (const char* name : {"/link", "/file", "/missing/quorvex"}) {
    EXPECT_THROW(PrepareChannelFolder(base + name), Failure) << name;
  }
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a folder away";
  ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
  EXPECT_THROW(PrepareChannelFolder(folder), Failure);
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
