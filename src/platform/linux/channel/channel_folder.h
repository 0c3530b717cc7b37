#ifndef HARVELO_PLATFORM_LINUX_CHANNEL_CHANNEL_FOLDER_H_
#define HARVELO_PLATFORM_LINUX_CHANNEL_CHANNEL_FOLDER_H_

// Where the servers of the message channel put their sockets: one private folder per user.

#include <sys/types.h>

#include <string>

#include "text/text.h"

namespace harvelo::channel {

// "$XDG_RUNTIME_DIR/quorvex" when the variable is set and not empty, else
// "/tmp/quorvex-<uid>". `xdg_runtime_dir` may be null.
std::string ChannelFolderFor(const char* xdg_runtime_dir, uid_t uid);

// The folder for the running user, from the environment.
std::string DefaultChannelFolder();

// Makes `folder` a directory of mode 0700 owned by the running user, creating it (not
// its parents) when missing. Throws Failure when it is anything else: a link, a file, or
// a folder of another user.
void PrepareChannelFolder(const std::string& folder);

// The socket of server `server_name` in `folder`: the name's UTF-8 bytes, those outside
// A-Z a-z 0-9 _ - written as %XX (so no name
// can climb out of the folder). Throws Failure when the path is too long for a socket.
std::string SocketPath(const std::string& folder, const Text& server_name);

}  // namespace harvelo::channel

#endif  // HARVELO_PLATFORM_LINUX_CHANNEL_CHANNEL_FOLDER_H_
