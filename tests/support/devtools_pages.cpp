#include "support/devtools_pages.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QThread>

namespace harvelo::testing {

QString BrowserSocket(DevToolsClient& client) {
  return client.ObjectAt("/json/version").value("webSocketDebuggerUrl").toString();
}

QString PageSocket(const std::string& endpoint, const QString& target) {
  return QString::fromStdString(endpoint).replace("http", "ws") + "/devtools/page/" + target;
}

QString LoadedTarget(DevToolsClient& client, const std::string& endpoint, const std::string& url) {
  for (int tries = 0; tries < 200; ++tries) {
    for (const QJsonValue& target : client.ListAt("/json/list")) {
      if (target["url"].toString().toStdString() != url) continue;
      const QString id = target["id"].toString();
      if (EvaluateIn(client, PageSocket(endpoint, id),
                     "location.href + ' ' + document.readyState") == url + " complete") {
        return id;
      }
    }
    QThread::msleep(50);
  }
  return {};
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
  return client
      .Call(socket, "Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}})
      .value("result")
      .toObject()
      .value("value")
      .toString()
      .toStdString();
}

}  // namespace harvelo::testing
