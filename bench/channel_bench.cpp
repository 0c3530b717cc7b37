// Job messages through the message channel to a real peer in another process, each
// acknowledged, beside the same bytes written to a plain socket that nobody answers.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/linux/channel/channel_server.h"
#include "platform/linux/channel/frame.h"
#include "platform/linux/channel/socket_channel.h"

namespace harvelo {
namespace {

constexpr int kMessages = 10000;
constexpr std::size_t kMessageBytes = 300;

Text JobMessage() {
  const Text head = u"<DataURL>http://pictures.example/gallery/";
  const Text tail =
      u".jpg</DataURL><DataPath>/home/user/Pictures/</DataPath><DataOrgin>"
      u"http://pictures.example/</DataOrgin><DataGroup>g999</DataGroup>"
      u"<DataOrder>01</DataOrder>";
  return head + Text(kMessageBytes - head.size() - tail.size(), u'x') + tail;
}

// A child process that runs `body` and is killed when this object goes.
class Child {
 public:
  template <typename Body>
  explicit Child(Body body) : pid_(::fork()) {
    if (pid_ == 0) {
      body();
      ::_exit(0);
    }
  }
  ~Child() {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }

 private:
  pid_t pid_;
};

void BM_AcknowledgedJobMessages(benchmark::State& state) {
  char pattern[] = "/tmp/harvelo-bench-XXXXXX";
  const std::string folder = std::string(::mkdtemp(pattern)) + "/quorvex";
  int ready[2];
  if (::pipe(ready) != 0) std::abort();
  Child server([&] {
    auto listening =
        ListenAsChannelServer(folder, u"my server", [](std::int32_t, std::string_view data) {
          benchmark::DoNotOptimize(data.data());
          return true;
        });
    if (::write(ready[1], "R", 1) != 1) return;
    for (;;) listening->Serve(std::chrono::milliseconds(1000));
  });
  char byte;
  if (::read(ready[0], &byte, 1) != 1) std::abort();

  auto channel = NewSocketChannelFactory(folder)->Create();
  channel->OpenChannel(u"my server", u"my client");
  const std::int32_t peer = channel->PeerHandle();
  const Text message = JobMessage();
  for (auto _ : state) {
    for (int i = 0; i < kMessages; ++i) channel->SendData(peer, 401, message);
  }
  state.SetItemsProcessed(state.iterations() * kMessages);
  std::filesystem::remove_all(std::filesystem::path(folder).parent_path());
}

void BM_PlainSocketWritesWithoutAnswers(benchmark::State& state) {
  int ends[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0) std::abort();
  Child reader([&] {
    ::close(ends[0]);
    char buffer[65536];
    while (::read(ends[1], buffer, sizeof buffer) > 0) {
    }
  });
  ::close(ends[1]);
  const std::string frame = channel::EncodeFrame(401, ToUtf8(JobMessage()));
  for (auto _ : state) {
    for (int i = 0; i < kMessages; ++i) {
      if (::send(ends[0], frame.data(), frame.size(), MSG_NOSIGNAL) !=
          static_cast<ssize_t>(frame.size())) {
        state.SkipWithError("the reader went away");
        break;
      }
    }
  }
  state.SetItemsProcessed(state.iterations() * kMessages);
  ::close(ends[0]);
}

BENCHMARK(BM_AcknowledgedJobMessages)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainSocketWritesWithoutAnswers)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace harvelo

BENCHMARK_MAIN();
