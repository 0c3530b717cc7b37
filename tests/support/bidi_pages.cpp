#include "support/bidi_pages.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QThread>

#include "platform/failure.h"

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

}  // namespace harvelo::testing
