#include "support/bidi_pages.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QThread>

#include "platform/failure.h"
#include "platform/linux/bidi/bidi_browser.h"
#include "platform/linux/bidi/bidi_window_system.h"
#include "platform/linux/devtools/devtools_browser.h"
#include "platform/linux/devtools/devtools_window_system.h"
#include "support/devtools_pages.h"

namespace harvelo::testing {

bool LoadedTab(BidiClient& client, const std::string& url) {
  // Generous: a browser just started on a loaded machine takes long over its first page.
  for (QDeadlineTimer deadline(std::chrono::seconds(60)); !deadline.hasExpired();) {
    try {
      if (EvaluateIn(client, url, "location.href + ' ' + document.readyState") ==
          url + " complete") {
        return true;
      }
    } catch (const Failure&) {
      // A tab between two documents: asked again.
    }
    QThread::msleep(50);
  }
  return false;
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

void CloseTabs(BidiClient& client, const std::string& url) {
  for (const QJsonValue& tab :
       client.Call("browsingContext.getTree", {{"maxDepth", 0}}).value("contexts").toArray()) {
    if (tab["url"].toString().toStdString() == url) {
      client.Call("browsingContext.close", {{"context", tab["context"].toString()}});
    }
  }
}

std::string EvaluateIn(BidiClient& client, const std::string& url, const QString& expression) {
  for (const QJsonValue& tab :
       client.Call("browsingContext.getTree", {{"maxDepth", 0}}).value("contexts").toArray()) {
    if (tab["url"].toString().toStdString() != url) continue;
    return client
        .Call("script.evaluate", {{"expression", expression},
                                  {"target", QJsonObject{{"context", tab["context"].toString()}}},
                                  {"awaitPromise", false}})
        .value("result")
        .toObject()
        .value("value")
        .toString()
        .toStdString();
  }
  return {};
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
  if (devtools) {
    OpenTarget(*devtools, url, new_window, background);
  } else {
    OpenTab(*bidi, url, new_window, background);
  }
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
  if (bidi) return CloseTabs(*bidi, url);
  const auto shown = [&] {
    QStringList targets;
    for (const QJsonValue& page : devtools->ListAt("/json/list")) {
      if (page["url"].toString().toStdString() == url) targets << page["id"].toString();
    }
    return targets;
  };
  for (const QString& target : shown()) {
    devtools->Call(BrowserSocket(*devtools), "Target.closeTarget", {{"targetId", target}});
  }
  for (QDeadlineTimer deadline(std::chrono::seconds(10)); !deadline.hasExpired();) {
    if (shown().isEmpty()) return;
    QThread::msleep(50);
  }
}

}  // namespace harvelo::testing
