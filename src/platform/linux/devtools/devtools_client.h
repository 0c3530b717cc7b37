#ifndef HARVELO_PLATFORM_LINUX_DEVTOOLS_DEVTOOLS_CLIENT_H_
#define HARVELO_PLATFORM_LINUX_DEVTOOLS_DEVTOOLS_CLIENT_H_

// One conversation with a browser's DevTools endpoint: its HTTP listings and protocol
// calls over one WebSocket per target. Every answer is fetched when asked for; only the
// sockets are kept. Every wait has a time limit, and every error of the network, the
// protocol or the page is turned into a Failure naming the endpoint here and only here.

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QUrl>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "platform/linux/qt_core/qt_text.h"
#include "text/text.h"

class QDeadlineTimer;
class QNetworkAccessManager;
class QWebSocket;

namespace harvelo {

// Serves the event loop of the QCoreApplication until `done` answers true or `deadline`
// passes; answers `done`. For a client that waits for its socket.
bool WaitFor(const std::function<bool()>& done, const QDeadlineTimer& deadline);

// Opens `socket` to `address`, serving the event loop until it is connected, refused or
// closed, or `deadline` passes; answers whether it is connected.
bool Connect(QWebSocket& socket, const QUrl& address, const QDeadlineTimer& deadline);

class DevToolsClient {
 public:
  // `endpoint` is the browser's HTTP address ("http://127.0.0.1:9222"). A
  // QCoreApplication must exist and remain live while this object is; calls run its
  // event loop while they wait, so they must come from its thread.
  DevToolsClient(QUrl endpoint, std::chrono::milliseconds time_limit);
  ~DevToolsClient();

  // The JSON array the endpoint serves at `path` ("/json/list").
  QJsonArray ListAt(const QString& path);
  // The JSON object the endpoint serves at `path` ("/json/version").
  QJsonObject ObjectAt(const QString& path);

  // Sends `method` with `params` to the target behind `socket_url` and answers the
  // call's result. A thrown page exception becomes a Failure with the thrown text when
  // it threw a text, else with the exception's description.
  QJsonObject Call(const QString& socket_url, const QString& method,
                   const QJsonObject& params = {});
  // As Call, but a call that the target refuses (a protocol error, such as an object or an
  // execution context that no longer exists) answers nothing instead of raising.
  std::optional<QJsonObject> CallUnlessRefused(const QString& socket_url, const QString& method,
                                               const QJsonObject& params = {});

  // Raises what a page function threw, given as the protocol describes a thrown value
  // (`exception`, a remote object): a Failure with the thrown text when it threw a text, else
  // with the exception's description.
  [[noreturn]] void RaiseThrown(const QJsonObject& exception) const;

  const QUrl& endpoint() const { return endpoint_; }

 private:
  QByteArray Get(const QString& path);
  QWebSocket& SocketFor(const QString& socket_url);
  std::optional<QJsonObject> Exchange(const QString& socket_url, const QString& method,
                                      const QJsonObject& params, bool refusal_raises);
  [[noreturn]] void Fail(const QString& what) const;

  QUrl endpoint_;
  std::chrono::milliseconds time_limit_;
  std::unique_ptr<QNetworkAccessManager> network_;
  std::map<QString, std::unique_ptr<QWebSocket>> sockets_;
  std::map<int, QJsonObject> answers_;
  int next_id_ = 1;
};

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_DEVTOOLS_DEVTOOLS_CLIENT_H_
