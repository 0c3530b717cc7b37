#ifndef HARVELO_TESTS_FAKES_REFUSING_PORTS_H_
#define HARVELO_TESTS_FAKES_REFUSING_PORTS_H_

#include "platform/failure.h"
#include "platform/message_channel.h"
#include "platform/process_starter.h"

namespace harvelo {

// Ports a test does not expect to be used: each use is counted and raises.
struct RefusingChannels : MessageChannelFactory {
  std::unique_ptr<MessageChannel> Create() override {
    ++uses_;
    throw Failure(u"No message channel in this test");
  }
  int uses_ = 0;
};

struct RefusingProcesses : ProcessStarter {
  std::int64_t Shell(const Text&, int) override {
    ++uses_;
    throw Failure(u"No program may be started in this test");
  }
  int uses_ = 0;
};

}  // namespace harvelo

#endif  // HARVELO_TESTS_FAKES_REFUSING_PORTS_H_
