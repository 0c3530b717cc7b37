// A stand-in for the download program: listens as "my server" in the user's channel
// folder and appends every message it takes, as a channel frame, to the file beside
// itself named after it with ".record", and its process number to the one with ".pid". It
// ends when its last client leaves, or after ten
// seconds without one.
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>

#include "platform/linux/channel/channel_folder.h"
#include "platform/linux/channel/channel_server.h"
#include "platform/linux/channel/frame.h"

int main(int, char** argv) {
  using namespace std::chrono_literals;
  const std::string self{argv[0]};
  std::ofstream(self + ".pid") << ::getpid();
  std::ofstream record(self + ".record", std::ios::binary);
  auto server = harvelo::ListenAsChannelServer(
      harvelo::channel::DefaultChannelFolder(), u"my server",
      [&](std::int32_t number, std::string_view data) {
        record << harvelo::channel::EncodeFrame(number, data) << std::flush;
        return static_cast<bool>(record);
      });
  bool served = false;
  const auto give_up = std::chrono::steady_clock::now() + 10s;
  while (std::chrono::steady_clock::now() < give_up) {
    server->Serve(50ms);
    if (server->Clients() > 0) served = true;
    if (served && server->Clients() == 0) return 0;
  }
  return 1;
}
