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
#include <thread>
#include <vector>

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
template <typename Action>
std::string FailureText(Action action) {
  try {
    action();
  } catch (const Failure& failure) {
    return ToUtf8(failure.description());
  }
  return "(none)";
}

// A server in a child process of its own. The child reports through a pipe: "R" once it
// listens, then whatever its body writes. The child is killed when the test ends.
class ServerProcess {
 public:
  explicit ServerProcess(const std::function<void(int report)>& body) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ends[0]);
      try {
        body(ends[1]);
      } catch (...) {
        ::_exit(2);
      }
      ::_exit(0);
    }
    ::close(ends[1]);
    report_ = ends[0];
  }
  ~ServerProcess() {
    Kill();
    ::close(report_);
  }

  // Everything the child reports until it closes its end, or until `limit` passes.
  std::string Read(std::chrono::milliseconds limit, std::size_t bytes = SIZE_MAX) {
    std::string got;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (got.size() < bytes) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd watched{report_, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&watched, 1, static_cast<int>(left.count())) <= 0) break;
      char buffer[65536];
      const ssize_t n = ::read(report_, buffer, std::min(sizeof buffer, bytes - got.size()));
      if (n <= 0) break;
      got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
  }
  bool WaitListening() { return Read(5s, 1) == "R"; }

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

void Report(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n <= 0) return;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

// A server that takes every message, says "R" once listening, and reports every message it
// took as a frame once `expected` have arrived.
std::function<void(int)> RecordingServer(const std::string& folder, std::size_t expected) {
  return [folder, expected](int report) {
    std::string taken;
    std::size_t count = 0;
    auto server = ListenAsChannelServer(folder, u"my server",
                                        [&](std::int32_t number, std::string_view data) {
                                          taken += channel::EncodeFrame(number, data);
                                          ++count;
                                          return true;
                                        });
    Report(report, "R");
    while (count < expected) server->Serve(100ms);
    Report(report, taken);
  };
}

// A server that takes `answered` messages, then stops answering (its handler blocks), or
// refuses the messages whose data is "refuse".
std::function<void(int)> StallingServer(const std::string& folder, int answered) {
  return [folder, answered](int report) {
    int count = 0;
    auto server =
        ListenAsChannelServer(folder, u"my server", [&](std::int32_t, std::string_view data) {
          if (++count > answered) ::pause();
          return data != "refuse";
        });
    Report(report, "R");
    for (;;) server->Serve(100ms);
  };
}

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
  std::unique_ptr<MessageChannelFactory> factory_;
};

Text JobMessage(int i) {
  return u"<DataURL>http://h.example/bild-ü-字-😀-" + DecimalText(i) +
         u".jpg?a=1&b=\"2\"</DataURL><DataPath>/home/ä/Bilder/</DataPath><DataOrgin>"
         u"http://h.example/</DataOrgin><DataGroup>g999</DataGroup><DataOrder>" +
         DecimalText(i) + u"</DataOrder>";
}

TEST_F(SocketChannelTest, GivenAServerInAnotherProcessWeShouldDeliverTenThousandMessagesExactly) {
  constexpr int kCount = 10000;
  ServerProcess server(RecordingServer(folder_, kCount));
  ASSERT_TRUE(server.WaitListening());
  auto channel = Open();
  const std::int32_t peer = channel->PeerHandle();
  ASSERT_NE(peer, NoPeer);
  for (int i = 1; i <= kCount; ++i) channel->SendData(peer, 401, JobMessage(i));

  const std::string report = server.Read(20s);
  std::string_view rest = report;
  int i = 0;
  while (const std::optional<channel::Frame> frame = channel::DecodeFrame(rest)) {
    ++i;
    ASSERT_EQ(frame->message_number, 401) << i;
    ASSERT_EQ(frame->data, ToUtf8(JobMessage(i))) << i;
    rest.remove_prefix(frame->size);
  }
  EXPECT_EQ(i, kCount);
  EXPECT_TRUE(rest.empty());
}

TEST_F(SocketChannelTest, GivenNoServerOrAClosedChannelWeShouldAnswerNoPeerOrRaise) {
  auto channel = Open();
  EXPECT_EQ(channel->PeerHandle(), NoPeer);
  channel::PrepareChannelFolder(folder_);
  EXPECT_EQ(channel->PeerHandle(), NoPeer);
  EXPECT_THROW(channel->SendData(1, 401, u"x"), Failure);
  channel->CloseChannel();
  EXPECT_THROW(channel->PeerHandle(), Failure);
}

TEST_F(SocketChannelTest, GivenAStaleSocketFileWeShouldAnswerNoPeerAndLetANewServerReplaceIt) {
  channel::PrepareChannelFolder(folder_);
  const std::string path = channel::SocketPath(folder_, u"my server");
  const int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, path.c_str());
  ASSERT_EQ(::bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ::close(stale);
  ASSERT_TRUE(std::filesystem::exists(path));

  auto channel = Open();
  EXPECT_EQ(channel->PeerHandle(), NoPeer);

  ServerProcess server(RecordingServer(folder_, 1));
  ASSERT_TRUE(server.WaitListening());
  const std::int32_t peer = channel->PeerHandle();
  ASSERT_NE(peer, NoPeer);
  channel->SendData(peer, 401, u"after the stale one");
  EXPECT_EQ(server.Read(5s), channel::EncodeFrame(401, "after the stale one"));
}

TEST_F(SocketChannelTest, GivenAListeningServerWeShouldRefuseASecondOfTheSameName) {
  ServerProcess server(StallingServer(folder_, 1000));
  ASSERT_TRUE(server.WaitListening());
  try {
    ListenAsChannelServer(folder_, u"my server",
                          [](std::int32_t, std::string_view) { return true; });
    ADD_FAILURE() << "a second server took the name";
  } catch (const ServerNameTaken& taken) {
    EXPECT_THAT(ToUtf8(taken.description()), HasSubstr("already listening"));
  }
}

TEST_F(SocketChannelTest, GivenAServerThatHasEndedWeShouldRemoveItsSocketAndFreeItsName) {
  const auto take_all = [](std::int32_t, std::string_view) { return true; };
  const std::string path = channel::SocketPath(folder_, u"my server");
  ListenAsChannelServer(folder_, u"my server", take_all).reset();
  EXPECT_FALSE(std::filesystem::exists(path));
  auto again = ListenAsChannelServer(folder_, u"my server", take_all);
  EXPECT_TRUE(std::filesystem::exists(path));
}

TEST_F(SocketChannelTest, GivenAServerKilledMidRunWeShouldRaiseAndThenSeeNoPeer) {
  ServerProcess server(StallingServer(folder_, 1000));
  ASSERT_TRUE(server.WaitListening());
  auto channel = Open(1000ms);
  const std::int32_t peer = channel->PeerHandle();
  for (int i = 1; i <= 100; ++i) channel->SendData(peer, 401, JobMessage(i));
  server.Kill();

  EXPECT_THROW(channel->SendData(peer, 401, JobMessage(101)), Failure);
  EXPECT_EQ(channel->PeerHandle(), NoPeer);
}

TEST_F(SocketChannelTest, GivenAServerThatStopsAnsweringWeShouldRaiseWithinTheLimit) {
  ServerProcess server(StallingServer(folder_, 5));
  ASSERT_TRUE(server.WaitListening());
  auto channel = Open(300ms);
  const std::int32_t peer = channel->PeerHandle();
  for (int i = 1; i <= 5; ++i) channel->SendData(peer, 401, JobMessage(i));

  EXPECT_THAT(FailureText([&] { channel->SendData(peer, 401, JobMessage(6)); }),
              HasSubstr("did not answer within 300 ms"));
}

TEST_F(SocketChannelTest, GivenARefusedMessageWeShouldRaiseAndReconnectUnderANewHandle) {
  ServerProcess server(StallingServer(folder_, 1000));
  ASSERT_TRUE(server.WaitListening());
  auto channel = Open();
  const std::int32_t first = channel->PeerHandle();
  EXPECT_THAT(FailureText([&] { channel->SendData(first, 401, u"refuse"); }),
              HasSubstr("refused the message"));
  const std::int32_t second = channel->PeerHandle();
  EXPECT_NE(second, NoPeer);
  EXPECT_NE(second, first);
  EXPECT_THROW(channel->SendData(first, 401, u"to the old peer"), Failure);
  channel->SendData(second, 401, u"to the new peer");
}

// The server runs as user nobody; this test runs as root.
TEST_F(SocketChannelTest, GivenAServerOfAnotherUserWeShouldRefuseEachOtherBothWays) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run a server as another user";
  constexpr uid_t kNobody = 65534;
  ASSERT_EQ(::chmod(base_.c_str(), 0711), 0);
  ASSERT_EQ(::mkdir(folder_.c_str(), 0700), 0);
  ASSERT_EQ(::chown(folder_.c_str(), kNobody, kNobody), 0);
  const std::string folder = folder_;
  ServerProcess server([folder](int report) {
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) return;
    StallingServer(folder, 1000)(report);
  });
  ASSERT_TRUE(server.WaitListening());

  // The server drops a client of another user before reading a byte.
  const int raw = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, channel::SocketPath(folder_, u"my server").c_str());
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
  EXPECT_THAT(FailureText([&] { channel->PeerHandle(); }), HasSubstr("belongs to another user"));
}

}  // namespace
}  // namespace harvelo
