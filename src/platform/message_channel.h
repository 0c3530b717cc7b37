#ifndef HARVELO_PLATFORM_MESSAGE_CHANNEL_H_
#define HARVELO_PLATFORM_MESSAGE_CHANNEL_H_

// The channel through which job messages reach the download program. Abstract so tests
// can record the messages sent; the real implementation is a Unix domain socket.

#include <cstdint>
#include <memory>

#include "text/text.h"

namespace harvelo {

// What PeerHandle answers while no server peer is present.
inline constexpr std::int32_t NoPeer = static_cast<std::int32_t>(0x80000E3Fu);

class MessageChannel {
 public:
  virtual ~MessageChannel() = default;
  // Joins the channel as client `client_name` of server `server_name`. Throws Failure.
  virtual std::int32_t OpenChannel(const Text& server_name, const Text& client_name) = 0;
  // The server peer, or NoPeer when none is present.
  virtual std::int32_t PeerHandle() = 0;
  // Delivers one message; returns only once the peer has taken it. Throws Failure when
  // the peer is gone, refuses the message or does not answer in time.
  virtual void SendData(std::int32_t peer, std::int32_t message_number, const Text& data) = 0;
  virtual void CloseChannel() = 0;
};

class MessageChannelFactory {
 public:
  virtual ~MessageChannelFactory() = default;
  virtual std::unique_ptr<MessageChannel> Create() = 0;
};

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_MESSAGE_CHANNEL_H_
