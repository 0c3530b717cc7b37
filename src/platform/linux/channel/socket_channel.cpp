#include "platform/linux/channel/socket_channel.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/failure.h"
#include "platform/linux/channel/channel_folder.h"
#include "platform/linux/channel/frame.h"
#include "platform/linux/channel/peer_credentials.h"
#include "platform/linux/posix/file_descriptor.h"

namespace harvelo {

namespace {

using Clock = std::chrono::steady_clock;

// The one place where this adapter's errors become the program's.
[[noreturn]] void Fail(const std::string& what, int error = 0) {
  std::string text = "Message channel: " + what;
  if (error != 0) text += " (" + std::string(std::strerror(error)) + ")";
  throw Failure(FromUtf8(text));
}

class SocketChannel final : public MessageChannel {
 public:
  SocketChannel(std::string folder, std::chrono::milliseconds reply_limit)
      : folder_(std::move(folder)), reply_limit_(reply_limit) {}
  ~SocketChannel() override { Disconnect(); }

  std::int32_t OpenChannel(const Text& server_name, const Text& client_name) override {
    Disconnect();
    socket_path_ = channel::SocketPath(folder_, server_name);
    client_name_ = ToUtf8(client_name);
    open_ = true;
    return 1;
  }

  std::int32_t PeerHandle() override {
    if (!open_) Fail("the channel is not open");
    if (fd_.valid() && !ConnectionAlive()) Disconnect();
    if (!fd_.valid() && !Connect()) return NoPeer;
    return handle_;
  }

  void SendData(std::int32_t peer, std::int32_t message_number, const Text& data) override {
    if (!fd_.valid() || peer != handle_) Fail("the download program is not connected");
    Exchange(channel::EncodeFrame(message_number, ToUtf8(data)));
  }

  void CloseChannel() override {
    Disconnect();
    open_ = false;
  }

 private:
  // False when no server listens on the socket (none there, or a stale file).
  bool Connect() {
    fd_.reset(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd_.valid()) Fail("no socket", errno);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socket_path_.c_str(), socket_path_.size() + 1);
    if (::connect(fd_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      const int error = errno;
      Disconnect();
      // A listener with a full backlog is treated like an absent one: the next question
      // tries again.
      if (error == ENOENT || error == ECONNREFUSED || error == EAGAIN) return false;
      Fail("cannot reach " + socket_path_, error);
    }
    if (!channel::PeerIsSameUser(fd_.get())) {
      Disconnect();
      Fail("the server at " + socket_path_ + " belongs to another user");
    }
    Exchange(channel::EncodeFrame(channel::kHelloMessageNumber, client_name_));
    handle_ = ++connections_;
    return true;
  }

  // A connection whose server has gone reads as closed.
  bool ConnectionAlive() {
    pollfd poll_fd{fd_.get(), POLLIN, 0};
    if (::poll(&poll_fd, 1, 0) <= 0) return true;
    char byte;
    return !(poll_fd.revents & (POLLHUP | POLLERR)) &&
           ::recv(fd_.get(), &byte, 1, MSG_PEEK | MSG_DONTWAIT) != 0;
  }

  // Sends one frame and waits for its answer. On any fault the connection is dropped, as
  // its state is no longer known.
  void Exchange(const std::string& frame) {
    const Clock::time_point deadline = Clock::now() + reply_limit_;
    std::size_t sent = 0;
    while (sent < frame.size()) {
      const ssize_t n = ::send(fd_.get(), frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL);
      if (n > 0) {
        sent += static_cast<std::size_t>(n);
      } else if (n < 0 && errno == EAGAIN) {
        Await(POLLOUT, deadline);
      } else if (n < 0 && errno != EINTR) {
        DropAndFail("the download program is gone", errno);
      }
    }
    char answer = 0;
    for (;;) {
      const ssize_t n = ::recv(fd_.get(), &answer, 1, 0);
      if (n == 1) break;
      if (n == 0) DropAndFail("the download program closed the channel");
      if (errno == EAGAIN) {
        Await(POLLIN, deadline);
      } else if (errno != EINTR) {
        DropAndFail("the download program is gone", errno);
      }
    }
    if (answer != channel::kAccepted) {
      DropAndFail(answer == channel::kRefused ? "the download program refused the message"
                                              : "the download program answered nonsense");
    }
  }

  void Await(short events, Clock::time_point deadline) {
    for (;;) {
      const auto left =
          std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) {
        DropAndFail("the download program did not answer within " +
                    std::to_string(reply_limit_.count()) + " ms");
      }
      pollfd poll_fd{fd_.get(), events, 0};
      const int ready = ::poll(&poll_fd, 1, static_cast<int>(left));
      if (ready > 0) return;
      if (ready < 0 && errno != EINTR) DropAndFail("cannot wait for the answer", errno);
    }
  }

  [[noreturn]] void DropAndFail(const std::string& what, int error = 0) {
    Disconnect();
    Fail(what, error);
  }

  void Disconnect() { fd_.reset(); }

  const std::string folder_;
  const std::chrono::milliseconds reply_limit_;
  std::string socket_path_;
  std::string client_name_;
  bool open_ = false;
  FileDescriptor fd_;
  // Each connection gets its own handle, so a send meant for a server that has gone
  // cannot reach its successor.
  std::int32_t handle_ = 0;
  std::int32_t connections_ = 0;
};

class SocketChannelFactory final : public MessageChannelFactory {
 public:
  SocketChannelFactory(std::string folder, std::chrono::milliseconds reply_limit)
      : folder_(std::move(folder)), reply_limit_(reply_limit) {}
  std::unique_ptr<MessageChannel> Create() override {
    return std::make_unique<SocketChannel>(folder_, reply_limit_);
  }

 private:
  const std::string folder_;
  const std::chrono::milliseconds reply_limit_;
};

}  // namespace

std::unique_ptr<MessageChannelFactory> NewSocketChannelFactory(
    std::string folder, std::chrono::milliseconds reply_limit) {
  return std::make_unique<SocketChannelFactory>(std::move(folder), reply_limit);
}

}  // namespace harvelo
