#include "platform/linux/channel/socket_channel.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include "platform/failure.h"
#include "platform/linux/channel/channel_folder.h"
#include "platform/linux/channel/channel_server.h"
#include "platform/linux/channel/frame.h"
#include "support/child_process.h"

namespace harvelo {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;

// The description of the Failure that `action` raises, or "(none)".
std::string Raised(const std::function<void()>& action) {
  try {
    action();
  } catch (const Failure& failure) {
    return ToUtf8(failure.description());
  }
  return "(none)";
}

// A server in a child process, killed with the object. The child reports through a pipe:
// "R" once it listens, then, for a recording server, every message taken as a frame once
// `expected` have arrived. A stalling server stops answering after `answered` messages and
// refuses the messages "refuse".
class ServerProcess {
 public:
  ServerProcess(const std::string& folder, std::size_t expected, std::size_t answered = 0,
                uid_t user = 0) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    if ((pid_ = ::fork()) == 0) {
      if (user && (::setgid(user) != 0 || ::setuid(user) != 0)) ::_exit(2);
      std::string taken;
      std::size_t count = 0;
      auto server = ListenAsChannelServer(folder, u"my server",
                                          [&](std::int32_t number, std::string_view data) {
                                            if (++count > answered && !expected) ::pause();
                                            taken += channel::EncodeFrame(number, data);
                                            return data != "refuse";
                                          });
      if (::write(ends[1], "R", 1) != 1) ::_exit(2);
      while (!expected || count < expected) server->Serve(100ms);
      for (std::string_view rest = taken; !rest.empty();) {
        const ssize_t n = ::write(ends[1], rest.data(), rest.size());
        if (n <= 0) break;
        rest.remove_prefix(static_cast<std::size_t>(n));
      }
      ::_exit(0);
    }
    ::close(ends[1]);
    report_ = ends[0];
    EXPECT_EQ(Read(5s, 1), "R");
  }
  ~ServerProcess() {
    Kill();
    ::close(report_);
  }

  // What the child reports until it ends, `bytes` arrive, or `limit` passes.
  std::string Read(std::chrono::milliseconds limit, std::size_t bytes = SIZE_MAX) {
    std::string got;
    char buffer[65536];
    pollfd watched{report_, POLLIN, 0};
    for (const auto end = std::chrono::steady_clock::now() + limit; got.size() < bytes;) {
      const auto left =
          std::chrono::ceil<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
      if (left <= 0ms || ::poll(&watched, 1, static_cast<int>(left.count())) <= 0) break;
      const ssize_t n = ::read(report_, buffer, std::min(sizeof buffer, bytes - got.size()));
      if (n <= 0) break;
      got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
  }
  void Kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  int report_ = -1;
};

class SocketChannelTest : public ::testing::Test {
 protected:
  std::unique_ptr<MessageChannel> Open(std::chrono::milliseconds limit = kChannelReplyLimit) {
    factory_ = NewSocketChannelFactory(folder_, limit);
    auto channel = factory_->Create();
    channel->OpenChannel(u"my server", u"my client");
    return channel;
  }

  testing::TemporaryFolder temporary_;
  const std::string base_ = temporary_.path();
  const std::string folder_ = base_ + "/quorvex";
  const std::string socket_ = channel::SocketPath(folder_, u"my server");
  std::unique_ptr<MessageChannelFactory> factory_;
};

Text JobMessage(int i) {
  return u"<DataURL>http://h.example/bild-ü-字-😀-" + DecimalText(i) +
         u".jpg?a=1&b=\"2\"</DataURL><DataPath>/home/ä/Bilder/</DataPath><DataOrder>" +
         DecimalText(i) + u"</DataOrder>";
}

TEST_F(SocketChannelTest, GivenAServerInAnotherProcessWeShouldDeliverTenThousandMessagesExactly) {
  constexpr int kCount = 10000;
  ServerProcess server(folder_, kCount);
  auto channel = Open();
  const std::int32_t peer = channel->PeerHandle();
  ASSERT_NE(peer, NoPeer);
  std::string sent;
  for (int i = 1; i <= kCount; ++i) {
    channel->SendData(peer, 401, JobMessage(i));
    sent += channel::EncodeFrame(401, ToUtf8(JobMessage(i)));
  }
  EXPECT_TRUE(server.Read(20s) == sent);
}

TEST_F(SocketChannelTest, GivenNoServerAStaleSocketOrAnEndedServerWeShouldSeeNoPeerOrRaise) {
  auto channel = Open();
  EXPECT_EQ(channel->PeerHandle(), NoPeer);
  channel::PrepareChannelFolder(folder_);
  // The file of a server that has gone without removing it.
  const int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{.sun_family = AF_UNIX, .sun_path = {}};
  std::strcpy(address.sun_path, socket_.c_str());
  ASSERT_EQ(::bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ::close(stale);
  EXPECT_EQ(channel->PeerHandle(), NoPeer);
  EXPECT_THROW(channel->SendData(1, 401, u"x"), Failure);

  {
    ServerProcess server(folder_, 1);
    EXPECT_THAT(Raised([&] { ListenAsChannelServer(folder_, u"my server", {}); }),
                HasSubstr("already listening"));
    channel->SendData(channel->PeerHandle(), 401, u"after the stale one");
    EXPECT_EQ(server.Read(5s), channel::EncodeFrame(401, "after the stale one"));
  }
  ListenAsChannelServer(folder_, u"my server", {}).reset();
  EXPECT_FALSE(std::filesystem::exists(socket_));
  channel->CloseChannel();
  EXPECT_THROW(channel->PeerHandle(), Failure);
}

TEST_F(SocketChannelTest, GivenAServerKilledStalledOrRefusingWeShouldRaiseAndCarryOn) {
  ServerProcess killed(folder_, 0, 1000);
  auto channel = Open(300ms);
  std::int32_t peer = channel->PeerHandle();
  for (int i = 1; i <= 100; ++i) channel->SendData(peer, 401, JobMessage(i));
  killed.Kill();
  EXPECT_THROW(channel->SendData(peer, 401, JobMessage(101)), Failure);
  EXPECT_EQ(channel->PeerHandle(), NoPeer);

  ServerProcess refusing(folder_, 0, 1);
  peer = channel->PeerHandle();
  EXPECT_THAT(Raised([&] { channel->SendData(peer, 401, u"refuse"); }),
              HasSubstr("refused the message"));
  const std::int32_t again = channel->PeerHandle();
  EXPECT_NE(again, NoPeer);
  EXPECT_NE(again, peer);
  EXPECT_THROW(channel->SendData(peer, 401, u"to the old peer"), Failure);
  // The second message is past what the server answers.
  EXPECT_THAT(Raised([&] { channel->SendData(again, 401, u"stalls"); }),
              HasSubstr("did not answer within 300 ms"));
}

// The server runs as user nobody; this test runs as root.
TEST_F(SocketChannelTest, GivenAServerOfAnotherUserWeShouldRefuseEachOtherBothWays) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run a server as another user";
  constexpr uid_t kNobody = 65534;
  ASSERT_EQ(::chmod(base_.c_str(), 0711), 0);
  ASSERT_EQ(::mkdir(folder_.c_str(), 0700), 0);
  ASSERT_EQ(::chown(folder_.c_str(), kNobody, kNobody), 0);
  ServerProcess server(folder_, 0, 1000, kNobody);

  // The server drops a client of another user before reading a byte.
  const int raw = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{.sun_family = AF_UNIX, .sun_path = {}};
  std::strcpy(address.sun_path, socket_.c_str());
  ASSERT_EQ(::connect(raw, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const std::string hello = channel::EncodeFrame(0, "my client");
  ::send(raw, hello.data(), hello.size(), MSG_NOSIGNAL);
  pollfd watched{raw, POLLIN, 0};
  ASSERT_EQ(::poll(&watched, 1, 5000), 1);
  char answer;
  EXPECT_LE(::recv(raw, &answer, 1, 0), 0);
  ::close(raw);

  // Our client refuses a server of another user.
  auto channel = Open();
  EXPECT_THAT(Raised([&] { channel->PeerHandle(); }), HasSubstr("belongs to another user"));
}

}  // namespace
}  // namespace harvelo
