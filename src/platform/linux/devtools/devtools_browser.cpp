#include "platform/linux/devtools/devtools_browser.h"

#include <QJsonArray>
#include <QJsonObject>
#include <map>
#include <optional>
#include <set>

#include "platform/failure.h"
#include "platform/linux/devtools/kept_until_pause.h"
#include "platform/linux/devtools/page_document.h"
#include "platform/linux/devtools/page_reader.h"
#include "platform/linux/devtools/page_scripts.h"

namespace harvelo {
namespace {

// The browser's own session: its socket and its process are asked once per collection, as
// they do not change while the browser runs, and every window of one walk belongs to it.
class BrowserSession {
 public:
  explicit BrowserSession(DevToolsClient& client) : client_(client) {}

  std::int64_t ProcessId() {
    if (!id_) {
      const QJsonArray processes =
          client_.Call(Socket(), QStringLiteral("SystemInfo.getProcessInfo"))
              .value(QStringLiteral("processInfo"))
              .toArray();
      id_ = 0;
      for (const QJsonValue& process : processes) {
        if (process[QStringLiteral("type")].toString() == QStringLiteral("browser")) {
          id_ = static_cast<std::int64_t>(process[QStringLiteral("id")].toDouble());
        }
      }
    }
    return *id_;
  }

  // The browser's id of the window that holds the page target `target_id`: asked of the
  // browser, not of the page, so a page that is busy or unloaded is not disturbed.
  std::int32_t WindowIdOf(const QString& target_id) {
    return client_
        .Call(Socket(), QStringLiteral("Browser.getWindowForTarget"),
              {{QStringLiteral("targetId"), target_id}})
        .value(QStringLiteral("windowId"))
        .toInt();
  }

 private:
  const QString& Socket() {
    if (socket_.isEmpty()) {
      socket_ = client_.ObjectAt(QStringLiteral("/json/version"))
                    .value(QStringLiteral("webSocketDebuggerUrl"))
                    .toString();
    }
    return socket_;
  }

  DevToolsClient& client_;
  QString socket_;
  std::optional<std::int64_t> id_;
};

class DevToolsPage : public WebBrowser {
 public:
  DevToolsPage(std::shared_ptr<PageReader> page, BrowserWindowFinder& finder,
               std::shared_ptr<BrowserSession> browser)
      : page_(std::move(page)), finder_(finder), browser_(std::move(browser)) {}

  WindowHandle HWND() override {
    const QJsonObject answer = WindowOf(page_->target_id());
    const QJsonObject bounds = answer.value(QStringLiteral("bounds")).toObject();
    BrowserWindow window;
    window.browser_process = browser_->ProcessId();
    window.window_id = answer.value(QStringLiteral("windowId")).toInt();
    window.left = bounds.value(QStringLiteral("left")).toInt();
    window.top = bounds.value(QStringLiteral("top")).toInt();
    window.width = bounds.value(QStringLiteral("width")).toInt();
    window.height = bounds.value(QStringLiteral("height")).toInt();
    window.shown_page_title = ShownTitle().value_or(Text());
    window.ids_alike = [this, window] {
      std::set<std::int32_t> ids;
      for (const QJsonValue& target : page_->Call(QStringLiteral("Target.getTargets"))
                                          .value(QStringLiteral("targetInfos"))
                                          .toArray()) {
        if (target[QStringLiteral("type")].toString() != QStringLiteral("page")) continue;
        const QJsonObject other = WindowOf(target[QStringLiteral("targetId")].toString());
        const QJsonObject at = other.value(QStringLiteral("bounds")).toObject();
        if (at.value(QStringLiteral("left")).toInt() == window.left &&
            at.value(QStringLiteral("top")).toInt() == window.top &&
            at.value(QStringLiteral("width")).toInt() == window.width &&
            at.value(QStringLiteral("height")).toInt() == window.height) {
          ids.insert(other.value(QStringLiteral("windowId")).toInt());
        }
      }
      return std::vector<std::int32_t>(ids.begin(), ids.end());
    };
    return finder_.HandleOf(window);
  }

  Text LocationURL() override { return ToText(Info().value(QStringLiteral("url")).toString()); }

  std::unique_ptr<HtmlDocument> Document() override { return NewPageDocument(page_, html_); }

  // The page's title when its window shows it; nothing for a page behind another tab, and
  // for a page that cannot be read (hung, or gone), which is taken for one behind.
  std::optional<Text> ShownTitle() {
    try {
      const QJsonValue title =
          page_->RunOnDocument(QString(page_scripts::kShownTitle)).value(QStringLiteral("value"));
      if (title.isString()) return ToText(title.toString());
    } catch (const Failure&) {
      // Its window can still be told by its bounds.
    }
    return std::nullopt;
  }

 private:
  QJsonObject WindowOf(const QString& target_id) {
    return page_->Call(QStringLiteral("Browser.getWindowForTarget"),
                       {{QStringLiteral("targetId"), target_id}});
  }

  QJsonObject Info() {
    return page_
        ->Call(QStringLiteral("Target.getTargetInfo"),
               {{QStringLiteral("targetId"), page_->target_id()}})
        .value(QStringLiteral("targetInfo"))
        .toObject();
  }

  std::shared_ptr<PageReader> page_;
  BrowserWindowFinder& finder_;
  std::shared_ptr<BrowserSession> browser_;
  // The page's HTML, kept while the program does not pause, for every document handed out.
  std::shared_ptr<KeptUntilPause> html_ = std::make_shared<KeptUntilPause>();
};

class DevToolsShellWindows : public ShellWindows {
 public:
  DevToolsShellWindows(DevToolsClient& client, BrowserWindowFinder& finder)
      : client_(client), finder_(finder), browser_(std::make_shared<BrowserSession>(client)) {}

  // The pages that their windows show first, then the others, each group in the order of
  // the endpoint's list. A window's pages are read only until the one it shows is found: a
  // page further behind (unloaded, or busy) is not disturbed. The readers, and with them the
  // adapter's worlds in the pages, are kept from one walk to the next.
  std::vector<std::shared_ptr<WebBrowser>> Elements() override {
    std::vector<std::shared_ptr<WebBrowser>> shown;
    std::vector<std::shared_ptr<WebBrowser>> behind;
    std::map<QString, std::shared_ptr<PageReader>> readers;
    std::set<std::int32_t> windows_told;
    for (const QJsonValue& target : client_.ListAt(QStringLiteral("/json/list"))) {
      if (target[QStringLiteral("type")].toString() != QStringLiteral("page")) continue;
      const QString id = target[QStringLiteral("id")].toString();
      std::shared_ptr<PageReader>& reader = readers[id];
      if (auto kept = readers_.find(id); kept != readers_.end()) reader = kept->second;
      if (!reader) reader = std::make_shared<PageReader>(client_, id, SocketOf(target));
      auto page = std::make_shared<DevToolsPage>(reader, finder_, browser_);
      if (IsShownFirst(id, *page, windows_told)) {
        shown.push_back(std::move(page));
      } else {
        behind.push_back(std::move(page));
      }
    }
    readers_ = std::move(readers);
    shown.insert(shown.end(), behind.begin(), behind.end());
    return shown;
  }

 private:
  // Whether `page` is the one its window shows, that window not yet told in this walk. A
  // page that the browser places in no window is taken for one behind.
  bool IsShownFirst(const QString& target_id, DevToolsPage& page,
                    std::set<std::int32_t>& windows_told) {
    std::int32_t window = 0;
    try {
      window = browser_->WindowIdOf(target_id);
    } catch (const Failure&) {
      return false;
    }
    if (windows_told.count(window) != 0 || !page.ShownTitle()) return false;
    windows_told.insert(window);
    return true;
  }

  QString SocketOf(const QJsonValue& target) const {
    const QString socket_url = target[QStringLiteral("webSocketDebuggerUrl")].toString();
    if (!socket_url.isEmpty()) return socket_url;
    // Listed without an address while another client holds it exclusively.
    return QStringLiteral("ws://%1:%2/devtools/page/%3")
        .arg(client_.endpoint().host())
        .arg(client_.endpoint().port())
        .arg(target[QStringLiteral("id")].toString());
  }

  DevToolsClient& client_;
  BrowserWindowFinder& finder_;
  std::shared_ptr<BrowserSession> browser_;
  std::map<QString, std::shared_ptr<PageReader>> readers_;
};

class DevToolsBrowser : public BrowserAutomation {
 public:
  DevToolsBrowser(DevToolsClient& client, BrowserWindowFinder& finder)
      : client_(client), finder_(finder) {}

  std::unique_ptr<ShellWindows> CreateShellWindows() override {
    return std::make_unique<DevToolsShellWindows>(client_, finder_);
  }

 private:
  DevToolsClient& client_;
  BrowserWindowFinder& finder_;
};

}  // namespace

std::unique_ptr<BrowserAutomation> NewDevToolsBrowser(DevToolsClient& client,
                                                      BrowserWindowFinder& finder) {
  return std::make_unique<DevToolsBrowser>(client, finder);
}

}  // namespace harvelo
