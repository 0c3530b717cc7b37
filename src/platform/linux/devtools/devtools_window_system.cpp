#include "platform/linux/devtools/devtools_window_system.h"

#include <QJsonArray>
#include <QJsonObject>

#include "platform/failure.h"

namespace harvelo {
namespace {

class DevToolsWindowSystem : public BrowserWindows {
 public:
  explicit DevToolsWindowSystem(DevToolsClient& client) : client_(client) {}

  WindowHandle GetForegroundWindow() override {
    try {
      for (const QJsonValue& target : client_.ListAt(QStringLiteral("/json/list"))) {
        if (target[QStringLiteral("type")].toString() != QStringLiteral("page")) continue;
        return client_
            .Call(BrowserSocket(), QStringLiteral("Browser.getWindowForTarget"),
                  {{QStringLiteral("targetId"), target[QStringLiteral("id")].toString()}})
            .value(QStringLiteral("windowId"))
            .toInt();
      }
    } catch (const Failure&) {
      // No browser to ask: no window has the focus.
    }
    return 0;
  }

  bool IsZoomed(WindowHandle window) override {
    return State(window) == QStringLiteral("maximized");
  }

  bool ShowWindow(WindowHandle window, int command) override {
    const bool was_visible = State(window) != QStringLiteral("minimized");
    if (command == SW_MAXIMIZE) {
      client_.Call(BrowserSocket(), QStringLiteral("Browser.setWindowBounds"),
                   {{QStringLiteral("windowId"), window},
                    {QStringLiteral("bounds"),
                     QJsonObject{{QStringLiteral("windowState"), QStringLiteral("maximized")}}}});
    }
    return was_visible;
  }

  std::int32_t SetWindowLongA(WindowHandle, int, std::int32_t) override { return 0; }

  WindowHandle HandleOf(const BrowserWindow& window) override { return window.window_id; }

 private:
  QString BrowserSocket() {
    return client_.ObjectAt(QStringLiteral("/json/version"))
        .value(QStringLiteral("webSocketDebuggerUrl"))
        .toString();
  }

  QString State(WindowHandle window) {
    return client_
        .Call(BrowserSocket(), QStringLiteral("Browser.getWindowBounds"),
              {{QStringLiteral("windowId"), window}})
        .value(QStringLiteral("bounds"))
        .toObject()
        .value(QStringLiteral("windowState"))
        .toString();
  }

  DevToolsClient& client_;
};

}  // namespace

std::unique_ptr<BrowserWindows> NewDevToolsWindowSystem(DevToolsClient& client) {
  return std::make_unique<DevToolsWindowSystem>(client);
}

}  // namespace harvelo
