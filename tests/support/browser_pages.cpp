#include "support/browser_pages.h"

#include <QJsonArray>
#include <QJsonObject>

#include "platform/failure.h"
#include "platform/linux/bidi/bidi_browser.h"
#include "platform/linux/bidi/bidi_window_system.h"
#include "platform/linux/devtools/devtools_browser.h"
#include "platform/linux/devtools/devtools_window_system.h"
#include "support/eventually.h"

namespace harvelo::testing {
namespace {

QString BrowserSocket(DevToolsClient& client) {
  return client.ObjectAt("/json/version").value("webSocketDebuggerUrl").toString();
}

QStringList Showing(DevToolsClient& client, const std::string& url) {
  QStringList targets;
  for (const QJsonValue& target : client.ListAt("/json/list")) {
    if (target["url"].toString().toStdString() == url) targets << target["id"].toString();
  }
  return targets;
}

// Closes the targets that show `url`; returns once the browser no longer lists them.
void CloseTargets(DevToolsClient& client, const std::string& url) {
  for (const QString& target : Showing(client, url)) {
    client.Call(BrowserSocket(client), "Target.closeTarget", {{"targetId", target}});
  }
  Eventually([&] { return Showing(client, url).isEmpty(); }, std::chrono::seconds(10));
}

// The value that an evaluation answered, as text.
std::string ValueOf(const QJsonObject& answer) {
  return answer.value("result").toObject().value("value").toString().toStdString();
}

// The contexts of the tabs that show `url`.
QStringList Tabs(BidiClient& client, const std::string& url) {
  QStringList tabs;
  for (const QJsonValue& tab :
       client.Call("browsingContext.getTree", {{"maxDepth", 0}}).value("contexts").toArray()) {
    if (tab["url"].toString().toStdString() == url) tabs << tab["context"].toString();
  }
  return tabs;
}

// Empty when no tab shows `url`.
std::string EvaluateIn(BidiClient& client, const std::string& url, const QString& expression) {
  for (const QString& tab : Tabs(client, url)) {
    return ValueOf(client.Call("script.evaluate", {{"expression", expression},
                                                   {"target", QJsonObject{{"context", tab}}},
                                                   {"awaitPromise", false}}));
  }
  return {};
}

}  // namespace

QString PageSocket(const std::string& endpoint, const QString& target) {
  return QString::fromStdString(endpoint).replace("http", "ws") + "/devtools/page/" + target;
}

QString LoadedTarget(DevToolsClient& client, const std::string& endpoint, const std::string& url) {
  QString loaded;
  Eventually(
      [&] {
        for (const QString& id : Showing(client, url)) {
          if (EvaluateIn(client, PageSocket(endpoint, id),
                         "location.href + ' ' + document.readyState") == url + " complete") {
            loaded = id;
            break;
          }
        }
        return !loaded.isEmpty();
      },
      std::chrono::seconds(60));
  return loaded;
}

QString OpenTarget(DevToolsClient& client, const std::string& url, bool new_window,
                   bool background) {
  return client
      .Call(BrowserSocket(client), "Target.createTarget",
            {{"url", QString::fromStdString(url)},
             {"newWindow", new_window},
             {"background", background}})
      .value("targetId")
      .toString();
}

std::string EvaluateIn(DevToolsClient& client, const QString& socket, const QString& expression) {
  return ValueOf(client.Call(socket, "Runtime.evaluate",
                             {{"expression", expression}, {"returnByValue", true}}));
}

bool LoadedTab(BidiClient& client, const std::string& url) {
  // Generous: a browser just started on a loaded machine takes long over its first page.
  return Eventually(
      [&] {
        try {
          return EvaluateIn(client, url, "location.href + ' ' + document.readyState") ==
                 url + " complete";
        } catch (const Failure&) {
          return false;  // a tab between two documents: asked again
        }
      },
      std::chrono::seconds(60));
}

void OpenTab(BidiClient& client, const std::string& url, bool new_window, bool background) {
  const QString context =
      client
          .Call("browsingContext.create",
                {{"type", new_window ? "window" : "tab"}, {"background", background}})
          .value("context")
          .toString();
  client.Call("browsingContext.navigate",
              {{"context", context}, {"url", QString::fromStdString(url)}, {"wait", "none"}});
}

BrowserConnection::BrowserConnection(BrowserProtocol protocol, const std::string& endpoint,
                                     std::chrono::milliseconds limit,
                                     std::unique_ptr<BrowserWindows> given)
    : endpoint(endpoint), windows(std::move(given)) {
  const QUrl url(QString::fromStdString(endpoint));
  if (protocol == BrowserProtocol::kDevTools) {
    devtools = std::make_unique<DevToolsClient>(url, limit);
    if (!windows) windows = NewDevToolsWindowSystem(*devtools);
    browser = NewDevToolsBrowser(*devtools, *windows);
  } else {
    bidi = std::make_unique<BidiClient>(url, limit);
    if (!windows) windows = NewBidiWindowSystem(*bidi);
    browser = NewBidiBrowser(*bidi, *windows);
  }
}

std::shared_ptr<WebBrowser> BrowserConnection::Page(const std::string& url) {
  for (const auto& page : browser->CreateShellWindows()->Elements()) {
    if (ToUtf8(page->LocationURL()) == url) return page;
  }
  return nullptr;
}

bool BrowserConnection::Open(const std::string& url, bool new_window, bool background) {
  if (devtools) OpenTarget(*devtools, url, new_window, background);
  if (bidi) OpenTab(*bidi, url, new_window, background);
  return Loaded(url);
}

bool BrowserConnection::Loaded(const std::string& url) {
  return bidi ? LoadedTab(*bidi, url) : !LoadedTarget(*devtools, endpoint, url).isEmpty();
}

std::string BrowserConnection::Evaluate(const std::string& url, const QString& expression) {
  if (bidi) return EvaluateIn(*bidi, url, expression);
  return EvaluateIn(*devtools, PageSocket(endpoint, LoadedTarget(*devtools, endpoint, url)),
                    expression);
}

void BrowserConnection::Close(const std::string& url) {
  if (devtools) return CloseTargets(*devtools, url);
  for (const QString& tab : Tabs(*bidi, url)) {
    bidi->Call("browsingContext.close", {{"context", tab}});
  }
}

}  // namespace harvelo::testing
