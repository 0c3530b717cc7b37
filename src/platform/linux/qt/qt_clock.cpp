#include "platform/linux/qt/qt_clock.h"

#include <QDateTime>
#include <QLocale>
#include <chrono>
#include <thread>

namespace harvelo {
namespace {

class QtClock : public Clock {
 public:
  void Sleep(int milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }

  Text GeneralDateNow() override {
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale = QLocale::system();
    const QString text = locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                         locale.toString(now.time(), QLocale::LongFormat);
    return Text(reinterpret_cast<const char16_t*>(text.utf16()),
                static_cast<std::size_t>(text.size()));
  }
};

}  // namespace

std::unique_ptr<Clock> NewQtClock() { return std::make_unique<QtClock>(); }

}  // namespace harvelo
