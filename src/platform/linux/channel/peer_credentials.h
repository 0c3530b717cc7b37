#ifndef HARVELO_PLATFORM_LINUX_CHANNEL_PEER_CREDENTIALS_H_
#define HARVELO_PLATFORM_LINUX_CHANNEL_PEER_CREDENTIALS_H_

// Both ends of the message channel talk only to programs of their own user.

#include <sys/types.h>

namespace harvelo::channel {

// True when the process at the other end of the connected Unix socket `fd` runs as the
// same user (effective user id) as this one, as the kernel recorded it at connect time.
bool PeerIsSameUser(int fd);

}  // namespace harvelo::channel

#endif  // HARVELO_PLATFORM_LINUX_CHANNEL_PEER_CREDENTIALS_H_
