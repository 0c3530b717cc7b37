#include "platform/linux/bidi/client_windows.h"

#include <QJsonArray>
#include <QJsonObject>
#include <algorithm>

namespace harvelo {

std::vector<ClientWindow> ClientWindows(BidiClient& client) {
  std::vector<ClientWindow> windows;
  for (const QJsonValue& described : client.Call(QStringLiteral("browser.getClientWindows"))
                                         .value(QStringLiteral("clientWindows"))
                                         .toArray()) {
    ClientWindow window;
    window.id = described[QStringLiteral("clientWindow")].toString();
    window.number = client.NumberOf(window.id);
    window.left = described[QStringLiteral("x")].toInt();
    window.top = described[QStringLiteral("y")].toInt();
    window.width = described[QStringLiteral("width")].toInt();
    window.height = described[QStringLiteral("height")].toInt();
    window.state = described[QStringLiteral("state")].toString();
    window.active = described[QStringLiteral("active")].toBool();
    windows.push_back(window);
  }
  return windows;
}

BrowserWindow Describe(const ClientWindow& window, const std::vector<ClientWindow>& all,
                       std::int64_t browser_process, std::u16string shown_page_title) {
  std::vector<std::int32_t> alike;
  for (const ClientWindow& other : all) {
    if (other.left == window.left && other.top == window.top && other.width == window.width &&
        other.height == window.height) {
      alike.push_back(other.number);
    }
  }
  std::sort(alike.begin(), alike.end());
  return {.browser_process = browser_process,
          .window_id = window.number,
          .left = window.left,
          .top = window.top,
          .width = window.width,
          .height = window.height,
          .shown_page_title = std::move(shown_page_title),
          .ids_alike = [alike] { return alike; }};
}

}  // namespace harvelo
