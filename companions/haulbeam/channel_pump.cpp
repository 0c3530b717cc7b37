#include "channel_pump.h"

#include <chrono>
#include <set>

namespace haulbeam {

void ChannelPump::Retire::operator()(QSocketNotifier* notifier) const {
  notifier->setEnabled(false);
  notifier->deleteLater();
}

ChannelPump::ChannelPump(harvelo::ChannelServer& server, std::function<void()> served)
    : server_(server), served_(std::move(served)) {
  Watch();
}

void ChannelPump::Serve() {
  server_.Serve(std::chrono::milliseconds(0));
  Watch();
  served_();
}

void ChannelPump::Watch() {
  const std::vector<int> watched = server_.Descriptors();
  const std::set<int> now(watched.begin(), watched.end());
  std::erase_if(notifiers_, [&](const auto& entry) { return now.count(entry.first) == 0; });
  for (const int fd : now) {
    if (notifiers_.count(fd) != 0) continue;
    auto notifier =
        std::unique_ptr<QSocketNotifier, Retire>(new QSocketNotifier(fd, QSocketNotifier::Read));
    QObject::connect(notifier.get(), &QSocketNotifier::activated, [this] { Serve(); });
    notifiers_.emplace(fd, std::move(notifier));
  }
}

}  // namespace haulbeam
