#ifndef HARVELO_PLATFORM_LINUX_CHANNEL_SOCKET_CHANNEL_H_
#define HARVELO_PLATFORM_LINUX_CHANNEL_SOCKET_CHANNEL_H_

#include <chrono>
#include <memory>
#include <string>

#include "platform/message_channel.h"

namespace harvelo {

// How long a client waits for the server's answer to one frame.
inline constexpr std::chrono::milliseconds kChannelReplyLimit{5000};

// Message channels whose server peer is the program listening on the Unix domain socket
// named after the server in `folder` (see channel_folder.h and docs/message-channel.md).
// PeerHandle connects when no connection is alive; NoPeer means no server listens.
std::unique_ptr<MessageChannelFactory> NewSocketChannelFactory(
    std::string folder, std::chrono::milliseconds reply_limit = kChannelReplyLimit);

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_CHANNEL_SOCKET_CHANNEL_H_
