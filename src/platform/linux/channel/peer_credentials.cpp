#include "platform/linux/channel/peer_credentials.h"

#include <sys/socket.h>
#include <unistd.h>

namespace harvelo::channel {

bool PeerIsSameUser(int fd) {
  ucred credentials{};
  socklen_t size = sizeof credentials;
  if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0) return false;
  return size == sizeof credentials && credentials.uid == ::geteuid();
}

}  // namespace harvelo::channel
