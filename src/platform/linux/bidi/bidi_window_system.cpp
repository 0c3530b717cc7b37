#include "platform/linux/bidi/bidi_window_system.h"

#include <QJsonObject>

#include "platform/failure.h"
#include "platform/linux/bidi/client_windows.h"

namespace harvelo {
namespace {

class BidiWindowSystem : public BrowserWindows {
 public:
  explicit BidiWindowSystem(BidiClient& client) : client_(client) {}

  WindowHandle GetForegroundWindow() override {
    try {
      const std::vector<ClientWindow> windows = ClientWindows(client_);
      for (const ClientWindow& window : windows) {
        if (window.active) return window.number;
      }
      if (!windows.empty()) return windows.front().number;
    } catch (const Failure&) {
      // No browser to ask: no window has the focus.
    }
    return 0;
  }

  bool IsZoomed(WindowHandle window) override {
    return Numbered(window).state == QStringLiteral("maximized");
  }

  bool ShowWindow(WindowHandle window, int command) override {
    const ClientWindow shown = Numbered(window);
    if (command == SW_MAXIMIZE) {
      client_.Call(QStringLiteral("browser.setClientWindowState"),
                   {{QStringLiteral("clientWindow"), shown.id},
                    {QStringLiteral("state"), QStringLiteral("maximized")}});
    }
    return shown.state != QStringLiteral("minimized");
  }

  std::int32_t SetWindowLongA(WindowHandle, int, std::int32_t) override { return 0; }

  WindowHandle HandleOf(const BrowserWindow& window) override { return window.window_id; }

 private:
  // The window numbered `number`; one without an id when the browser has none such, which the
  // browser refuses to change.
  ClientWindow Numbered(WindowHandle number) {
    for (const ClientWindow& window : ClientWindows(client_)) {
      if (window.number == number) return window;
    }
    return {};
  }

  BidiClient& client_;
};

}  // namespace

std::unique_ptr<BrowserWindows> NewBidiWindowSystem(BidiClient& client) {
  return std::make_unique<BidiWindowSystem>(client);
}

}  // namespace harvelo
