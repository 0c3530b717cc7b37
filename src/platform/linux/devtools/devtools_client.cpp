#include "platform/linux/devtools/devtools_client.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QWebSocket>

#include "platform/failure.h"

namespace harvelo {

bool WaitFor(const std::function<bool()>& done, const QDeadlineTimer& deadline) {
  QTimer wake;  // makes sure a quiet wait still looks at the deadline
  wake.setSingleShot(true);
  while (!done()) {
    const qint64 left = deadline.remainingTime();
    if (left <= 0) return done();
    wake.start(static_cast<int>(left));
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return true;
}

bool Connect(QWebSocket& socket, const QUrl& address, const QDeadlineTimer& deadline) {
  bool closed = false;
  QObject::connect(&socket, &QWebSocket::disconnected, &socket, [&closed] { closed = true; });
  socket.open(address);
  WaitFor([&] { return closed || socket.state() == QAbstractSocket::ConnectedState; }, deadline);
  QObject::disconnect(&socket, &QWebSocket::disconnected, &socket, nullptr);
  return !closed && socket.state() == QAbstractSocket::ConnectedState;
}

DevToolsClient::DevToolsClient(QUrl endpoint, std::chrono::milliseconds time_limit)
    : endpoint_(std::move(endpoint)),
      time_limit_(time_limit),
      network_(std::make_unique<QNetworkAccessManager>()) {}

DevToolsClient::~DevToolsClient() = default;

void DevToolsClient::Fail(const QString& what) const {
  throw Failure(ToText(QStringLiteral("The browser at %1: %2").arg(endpoint_.toString(), what)));
}

QByteArray DevToolsClient::Get(const QString& path) {
  QUrl url = endpoint_;
  url.setPath(path);
  QNetworkRequest request(url);
  std::unique_ptr<QNetworkReply> reply(network_->get(request));
  const bool finished = WaitFor([&] { return reply->isFinished(); }, QDeadlineTimer(time_limit_));
  if (!finished) {
    reply->abort();
    Fail(QStringLiteral("no answer to %1 within %2 ms").arg(path).arg(time_limit_.count()));
  }
  if (reply->error() != QNetworkReply::NoError) {
    Fail(QStringLiteral("%1 failed: %2").arg(path, reply->errorString()));
  }
  return reply->readAll();
}

QJsonArray DevToolsClient::ListAt(const QString& path) {
  const QJsonDocument document = QJsonDocument::fromJson(Get(path));
  if (!document.isArray()) Fail(QStringLiteral("%1 is not a JSON list").arg(path));
  return document.array();
}

QJsonObject DevToolsClient::ObjectAt(const QString& path) {
  const QJsonDocument document = QJsonDocument::fromJson(Get(path));
  if (!document.isObject()) Fail(QStringLiteral("%1 is not a JSON object").arg(path));
  return document.object();
}

QWebSocket& DevToolsClient::SocketFor(const QString& socket_url) {
  auto found = sockets_.find(socket_url);
  if (found != sockets_.end()) {
    // A target never comes back once its socket has closed.
    if (found->second->state() == QAbstractSocket::ConnectedState) return *found->second;
    Fail(QStringLiteral("the page behind %1 is gone").arg(socket_url));
  }
  auto socket = std::make_unique<QWebSocket>();
  socket->setMaxAllowedIncomingMessageSize(1ULL << 31);
  QWebSocket* raw = socket.get();
  QObject::connect(raw, &QWebSocket::textMessageReceived, raw, [this, raw](const QString& text) {
    const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
    // Events carry no id; only answers to calls are kept, until their caller takes them.
    if (message.contains(QStringLiteral("id"))) {
      answers_[message.value(QStringLiteral("id")).toInt()] = message;
    } else if (message.value(QStringLiteral("method")).toString() ==
               QStringLiteral("Inspector.detached")) {
      // The tab closed or crashed; the browser may keep the socket open regardless.
      raw->abort();
    }
  });
  if (!Connect(*raw, QUrl(socket_url), QDeadlineTimer(time_limit_))) {
    const QString reason = raw->errorString();
    raw->abort();
    Fail(QStringLiteral("cannot reach %1 (%2)").arg(socket_url, reason));
  }
  return *sockets_.emplace(socket_url, std::move(socket)).first->second;
}

QJsonObject DevToolsClient::Call(const QString& socket_url, const QString& method,
                                 const QJsonObject& params) {
  return *Exchange(socket_url, method, params, true);
}

std::optional<QJsonObject> DevToolsClient::CallUnlessRefused(const QString& socket_url,
                                                             const QString& method,
                                                             const QJsonObject& params) {
  return Exchange(socket_url, method, params, false);
}

std::optional<QJsonObject> DevToolsClient::Exchange(const QString& socket_url,
                                                    const QString& method,
                                                    const QJsonObject& params,
                                                    bool refusal_raises) {
  QWebSocket& socket = SocketFor(socket_url);
  const int id = next_id_++;
  QJsonObject request{{QStringLiteral("id"), id}, {QStringLiteral("method"), method}};
  if (!params.isEmpty()) request.insert(QStringLiteral("params"), params);
  socket.sendTextMessage(QString::fromUtf8(QJsonDocument(request).toJson(QJsonDocument::Compact)));

  const bool answered = WaitFor(
      [&] { return answers_.count(id) != 0 || socket.state() != QAbstractSocket::ConnectedState; },
      QDeadlineTimer(time_limit_));
  auto answer = answers_.find(id);
  if (answer == answers_.end()) {
    if (!answered) {
      Fail(QStringLiteral("no answer to %1 within %2 ms").arg(method).arg(time_limit_.count()));
    }
    Fail(QStringLiteral("the page closed during %1").arg(method));
  }
  const QJsonObject message = answer->second;
  answers_.erase(answer);

  if (message.contains(QStringLiteral("error"))) {
    if (!refusal_raises) return std::nullopt;
    Fail(QStringLiteral("%1 failed: %2")
             .arg(method, message.value(QStringLiteral("error"))
                              .toObject()
                              .value(QStringLiteral("message"))
                              .toString()));
  }
  const QJsonObject result = message.value(QStringLiteral("result")).toObject();
  if (result.contains(QStringLiteral("exceptionDetails"))) {
    RaiseThrown(result.value(QStringLiteral("exceptionDetails"))
                    .toObject()
                    .value(QStringLiteral("exception"))
                    .toObject());
  }
  return result;
}

void DevToolsClient::RaiseThrown(const QJsonObject& exception) const {
  const QJsonValue thrown = exception.value(QStringLiteral("value"));
  // A text thrown on purpose is the error as the program knows it, without the address.
  if (thrown.isString()) throw Failure(ToText(thrown.toString()));
  Fail(exception.value(QStringLiteral("description")).toString());
}

}  // namespace harvelo
