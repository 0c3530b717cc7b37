#include "platform/linux/channel/channel_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/failure.h"
#include "platform/linux/channel/channel_folder.h"
#include "platform/linux/channel/frame.h"
#include "platform/linux/channel/peer_credentials.h"
#include "platform/linux/posix/file_descriptor.h"

namespace harvelo {

namespace {

// The one place where this adapter's errors become the program's.
[[noreturn]] void Fail(const std::string& what, int error = 0) {
  std::string text = "Message channel server: " + what;
  if (error != 0) text += " (" + std::string(std::strerror(error)) + ")";
  throw Failure(FromUtf8(text));
}

sockaddr_un AddressOf(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return address;
}

// Takes the name for this process: an exclusive lock on "<socket>.lock", held while the
// server lives, so that two servers starting at once cannot both take it. Returns the
// lock's descriptor.
FileDescriptor LockName(const std::string& path, const Text& server_name) {
  const std::string lock_path = path + ".lock";
  FileDescriptor fd(::open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (!fd.valid()) Fail("cannot open " + lock_path, errno);
  if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    if (error == EWOULDBLOCK) {
      throw ServerNameTaken(u"Message channel server: " + server_name +
                            u" is already listening at " + FromUtf8(path));
    }
    Fail("cannot lock " + lock_path, error);
  }
  return fd;
}

struct Client {
  FileDescriptor fd;
  bool introduced = false;
  std::string input;
};

class SocketChannelServer final : public ChannelServer {
 public:
  SocketChannelServer(FileDescriptor lock, FileDescriptor listener, std::string path,
                      Handler handler)
      : lock_(std::move(lock)),
        listener_(std::move(listener)),
        path_(std::move(path)),
        handler_(std::move(handler)) {}

  // The socket file goes before the descriptors, the lock on the name last of all.
  ~SocketChannelServer() override { ::unlink(path_.c_str()); }

  void Serve(std::chrono::milliseconds timeout) override {
    std::vector<pollfd> watched{{listener_.get(), POLLIN, 0}};
    for (const Client& client : clients_) watched.push_back({client.fd.get(), POLLIN, 0});
    if (::poll(watched.data(), watched.size(), static_cast<int>(timeout.count())) <= 0) return;

    std::vector<Client> kept;
    for (std::size_t i = 0; i < clients_.size(); ++i) {
      // A client that is not kept is closed with the old list.
      if (watched[i + 1].revents == 0 || ReadAndAnswer(clients_[i])) {
        kept.push_back(std::move(clients_[i]));
      }
    }
    clients_ = std::move(kept);
    if (watched[0].revents & POLLIN) Accept();
  }

  int Clients() const override { return static_cast<int>(clients_.size()); }

  std::vector<int> Descriptors() const override {
    std::vector<int> watched{listener_.get()};
    for (const Client& client : clients_) watched.push_back(client.fd.get());
    return watched;
  }

 private:
  void Accept() {
    for (;;) {
      FileDescriptor fd(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
      if (!fd.valid()) return;
      if (!channel::PeerIsSameUser(fd.get())) continue;
      clients_.push_back(Client{std::move(fd), false, {}});
    }
  }

  // Reads what the client sent and answers each whole frame; false drops the client.
  bool ReadAndAnswer(Client& client) {
    char buffer[65536];
    for (;;) {
      const ssize_t n = ::recv(client.fd.get(), buffer, sizeof buffer, 0);
      if (n > 0) {
        client.input.append(buffer, static_cast<std::size_t>(n));
        if (static_cast<std::size_t>(n) < sizeof buffer) break;
      } else if (n == 0) {
        return false;
      } else if (errno == EAGAIN) {
        break;
      } else if (errno != EINTR) {
        return false;
      }
    }
    std::string answers;
    std::size_t used = 0;
    while (true) {
      const std::string_view rest = std::string_view(client.input).substr(used);
      if (rest.size() >= channel::kFrameHeaderSize &&
          channel::AnnouncedLength(rest) > channel::kMaxFrameData) {
        return false;
      }
      const std::optional<channel::Frame> frame = channel::DecodeFrame(rest);
      if (!frame) break;
      used += frame->size;
      answers += Take(client, *frame) ? channel::kAccepted : channel::kRefused;
    }
    client.input.erase(0, used);
    return answers.empty() || ::send(client.fd.get(), answers.data(), answers.size(),
                                     MSG_NOSIGNAL) == static_cast<ssize_t>(answers.size());
  }

  bool Take(Client& client, const channel::Frame& frame) {
    if (!client.introduced) {
      client.introduced = frame.message_number == channel::kHelloMessageNumber;
      return client.introduced;
    }
    return handler_(frame.message_number, frame.data);
  }

  const FileDescriptor lock_;
  const FileDescriptor listener_;
  const std::string path_;
  Handler handler_;
  std::vector<Client> clients_;
};

}  // namespace

std::unique_ptr<ChannelServer> ListenAsChannelServer(const std::string& folder,
                                                     const Text& server_name,
                                                     ChannelServer::Handler handler) {
  channel::PrepareChannelFolder(folder);
  const std::string path = channel::SocketPath(folder, server_name);
  FileDescriptor lock = LockName(path, server_name);
  // With the name locked, a socket file still there was left by a server that has gone.
  ::unlink(path.c_str());

  FileDescriptor listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  const sockaddr_un address = AddressOf(path);
  if (!listener.valid() ||
      ::bind(listener.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      ::chmod(path.c_str(), 0600) != 0 || ::listen(listener.get(), SOMAXCONN) != 0) {
    const int error = errno;
    Fail("cannot listen at " + path, error);
  }
  return std::make_unique<SocketChannelServer>(std::move(lock), std::move(listener), path,
                                               std::move(handler));
}

}  // namespace harvelo
