#ifndef HARVELO_COMPANIONS_HAULBEAM_CHANNEL_PUMP_H_
#define HARVELO_COMPANIONS_HAULBEAM_CHANNEL_PUMP_H_

// Serves the message channel from Qt's event loop, so that the channel's handler runs on
// the same thread as the downloads and the window and nothing waits or polls: whenever a
// descriptor of the server is readable, the server serves what has arrived.

#include <QSocketNotifier>
#include <functional>
#include <map>
#include <memory>

#include "platform/linux/channel/channel_server.h"

namespace haulbeam {

class ChannelPump {
 public:
  // `server` must remain live while the pump is. `served` is called after each round.
  ChannelPump(harvelo::ChannelServer& server, std::function<void()> served);

  // Serves what has arrived now, then calls `served`.
  void Serve();

 private:
  // A notifier may end inside its own signal: it is switched off and deleted later.
  struct Retire {
    void operator()(QSocketNotifier* notifier) const;
  };

  void Watch();

  harvelo::ChannelServer& server_;
  std::function<void()> served_;
  std::map<int, std::unique_ptr<QSocketNotifier, Retire>> notifiers_;
};

}  // namespace haulbeam

#endif  // HARVELO_COMPANIONS_HAULBEAM_CHANNEL_PUMP_H_
