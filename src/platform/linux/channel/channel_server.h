#ifndef HARVELO_PLATFORM_LINUX_CHANNEL_CHANNEL_SERVER_H_
#define HARVELO_PLATFORM_LINUX_CHANNEL_CHANNEL_SERVER_H_

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/failure.h"
#include "text/text.h"

namespace harvelo {

// The server end of the message channel, for the download program: it listens under its
// name, takes clients of its own user only, and answers every frame once its handler has
// taken or refused it.
class ChannelServer {
 public:
  // Called once per message, in arrival order; `data` is the message as UTF-8. True takes
  // the message, false refuses it.
  using Handler = std::function<bool(std::int32_t message_number, std::string_view data)>;

  virtual ~ChannelServer() = default;
  // Waits up to `timeout` for activity, then serves everything that has arrived: new
  // clients and whole frames. Never throws; a client that breaks the protocol is dropped.
  virtual void Serve(std::chrono::milliseconds timeout) = 0;
  // How many clients are connected now.
  virtual int Clients() const = 0;
  // The descriptors that Serve waits on, for a program that waits in an event loop of its
  // own and calls Serve(0ms) when one is readable. The set changes with every Serve.
  virtual std::vector<int> Descriptors() const = 0;
};

// Raised when another server already listens under the name.
class ServerNameTaken : public Failure {
 public:
  using Failure::Failure;
};

// Listens as `server_name` in `folder`, which is prepared first (PrepareChannelFolder),
// holding a lock on the name beside the socket while it lives. A stale socket file of a
// server that has gone is replaced. Throws ServerNameTaken when another server of that
// name is listening, Failure when the socket cannot be made. The socket file is removed
// when the server is destroyed. `handler` must remain live while the server is.
std::unique_ptr<ChannelServer> ListenAsChannelServer(const std::string& folder,
                                                     const Text& server_name,
                                                     ChannelServer::Handler handler);

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_CHANNEL_CHANNEL_SERVER_H_
