#ifndef HARVELO_TESTS_FAKES_FAKE_MESSAGE_CHANNEL_H_
#define HARVELO_TESTS_FAKES_FAKE_MESSAGE_CHANNEL_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "platform/message_channel.h"

namespace harvelo {

// What happened on the fake channels of one factory, and how their peer behaves.
struct ChannelRecord {
  struct Sent {
    std::int32_t peer;
    std::int32_t message_number;
    Text data;
  };

  // The handle of the download program once it is present.
  std::int32_t peer = 77;
  // How many PeerHandle questions answer NoPeer before the peer is present; -1: never.
  int absent_for = 0;
  // PeerHandle raises instead of answering.
  bool peer_handle_fails = false;
  // The SendData call (counting from 0) that raises; -1: none does.
  int send_fails_at = -1;
  bool open_fails = false;

  int created = 0;
  std::vector<std::string> calls;  // "open my server|my client", "peer", "send", "close"
  int peer_questions = 0;
  std::vector<Sent> sent;
};

class FakeMessageChannel : public MessageChannel {
 public:
  explicit FakeMessageChannel(ChannelRecord& record) : record_(record) {}

  std::int32_t OpenChannel(const Text& server_name, const Text& client_name) override {
    record_.calls.push_back("open " + ToUtf8(server_name) + "|" + ToUtf8(client_name));
    if (record_.open_fails) throw Failure(u"The channel cannot be opened");
    return 1;
  }
  std::int32_t PeerHandle() override {
    record_.calls.push_back("peer");
    const int question = record_.peer_questions++;
    if (record_.peer_handle_fails) throw Failure(u"The channel is closed");
    if (record_.absent_for < 0 || question < record_.absent_for) return NoPeer;
    return record_.peer;
  }
  void SendData(std::int32_t peer, std::int32_t message_number, const Text& data) override {
    record_.calls.push_back("send");
    if (static_cast<int>(record_.sent.size()) == record_.send_fails_at) {
      record_.send_fails_at = -2;
      throw Failure(u"The download program did not take the message");
    }
    record_.sent.push_back({peer, message_number, data});
  }
  void CloseChannel() override { record_.calls.push_back("close"); }

 private:
  ChannelRecord& record_;
};

struct FakeMessageChannelFactory : MessageChannelFactory {
  std::unique_ptr<MessageChannel> Create() override {
    ++record_.created;
    return std::make_unique<FakeMessageChannel>(record_);
  }
  ChannelRecord record_;
};

}  // namespace harvelo

#endif  // HARVELO_TESTS_FAKES_FAKE_MESSAGE_CHANNEL_H_
