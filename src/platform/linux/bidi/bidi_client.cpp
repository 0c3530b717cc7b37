#include "platform/linux/bidi/bidi_client.h"

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QWebSocket>

#include "platform/failure.h"
#include "platform/linux/devtools/devtools_client.h"
#include "platform/linux/qt_core/qt_text.h"

namespace harvelo {
namespace {

// What the session asks of the browser: a prompt that a page opens stays for the user to
// answer, as without a client (the protocol's default is to dismiss it).
QJsonObject SessionCapabilities() {
  return {
      {QStringLiteral("capabilities"),
       QJsonObject{
           {QStringLiteral("alwaysMatch"),
            QJsonObject{{QStringLiteral("unhandledPromptBehavior"),
                         QJsonObject{{QStringLiteral("default"), QStringLiteral("ignore")}}}}}}}};
}

}  // namespace

BidiClient::BidiClient(QUrl endpoint, std::chrono::milliseconds time_limit)
    : endpoint_(std::move(endpoint)), time_limit_(time_limit) {}

BidiClient::~BidiClient() { EndSession(); }

void BidiClient::Fail(const QString& what) const {
  throw Failure(ToText(QStringLiteral("The browser at %1: %2").arg(endpoint_.toString(), what)));
}

void BidiClient::OpenSession() {
  socket_ = std::make_unique<QWebSocket>();
  socket_->setMaxAllowedIncomingMessageSize(1ULL << 31);
  QWebSocket* raw = socket_.get();
  QObject::connect(raw, &QWebSocket::textMessageReceived, raw, [this](const QString& text) {
    const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
    // Events carry no id; only answers to commands are kept, until their caller takes them.
    if (message.contains(QStringLiteral("id"))) {
      answers_[message.value(QStringLiteral("id")).toInt()] = message;
    }
  });
  QUrl address = endpoint_;
  if (address.path().isEmpty() || address.path() == QStringLiteral("/")) {
    address.setPath(QStringLiteral("/session"));
  }
  // Sent without an Origin header: the browser refuses a handshake that names a web page's.
  if (!Connect(*raw, address, QDeadlineTimer(time_limit_))) {
    const QString reason = raw->errorString();
    Forget();
    Fail(QStringLiteral("cannot reach %1 (%2)").arg(address.toString(), reason));
  }
  QJsonObject answer;
  try {
    answer = Exchange(QStringLiteral("session.new"), SessionCapabilities());
  } catch (const Failure&) {
    Forget();
    throw;
  }
  if (answer.value(QStringLiteral("type")).toString() != QStringLiteral("success")) {
    Forget();
    // The browser keeps one session, and keeps it for a client that ended without ending it.
    Fail(QStringLiteral("it gives no session (%1); another WebDriver BiDi client holds it, or "
                        "held it and ended without letting it go: end that client, or restart "
                        "the browser")
             .arg(answer.value(QStringLiteral("message")).toString()));
  }
  capabilities_ = answer.value(QStringLiteral("result"))
                      .toObject()
                      .value(QStringLiteral("capabilities"))
                      .toObject();
}

QJsonObject BidiClient::Call(const QString& method, const QJsonObject& params) {
  if (!socket_) OpenSession();
  const QJsonObject message = Exchange(method, params);
  if (message.value(QStringLiteral("type")).toString() == QStringLiteral("error")) {
    Fail(QStringLiteral("%1 failed: %2 (%3)")
             .arg(method, message.value(QStringLiteral("message")).toString(),
                  message.value(QStringLiteral("error")).toString()));
  }
  const QJsonObject result = message.value(QStringLiteral("result")).toObject();
  if (result.value(QStringLiteral("type")).toString() == QStringLiteral("exception")) {
    const QJsonObject details = result.value(QStringLiteral("exceptionDetails")).toObject();
    const QJsonObject thrown = details.value(QStringLiteral("exception")).toObject();
    // A text thrown on purpose is the error as the program knows it, without the address.
    if (thrown.value(QStringLiteral("type")).toString() == QStringLiteral("string")) {
      throw Failure(ToText(thrown.value(QStringLiteral("value")).toString()));
    }
    Fail(details.value(QStringLiteral("text")).toString());
  }
  return result;
}

void BidiClient::RaiseThrown(const QJsonObject& exception) const {
  const QJsonValue thrown = exception.value(QStringLiteral("value"));
  if (thrown.isString()) throw Failure(ToText(thrown.toString()));
  Fail(exception.value(QStringLiteral("description")).toString());
}

QJsonObject BidiClient::Exchange(const QString& method, const QJsonObject& params) {
  const int id = next_id_++;
  const QJsonObject command{{QStringLiteral("id"), id},
                            {QStringLiteral("method"), method},
                            {QStringLiteral("params"), params}};
  socket_->sendTextMessage(
      QString::fromUtf8(QJsonDocument(command).toJson(QJsonDocument::Compact)));
  const bool answered = WaitFor(
      [&] {
        return answers_.count(id) != 0 || socket_->state() != QAbstractSocket::ConnectedState;
      },
      QDeadlineTimer(time_limit_));
  auto answer = answers_.find(id);
  if (answer == answers_.end()) {
    // A late answer is kept by nobody; the session itself goes on.
    if (!answered) {
      Fail(QStringLiteral("no answer to %1 within %2 ms").arg(method).arg(time_limit_.count()));
    }
    Forget();
    Fail(QStringLiteral("the browser closed the connection during %1").arg(method));
  }
  const QJsonObject message = answer->second;
  answers_.erase(answer);
  return message;
}

std::int64_t BidiClient::ProcessId() {
  if (!socket_) OpenSession();
  return static_cast<std::int64_t>(capabilities_.value(QStringLiteral("moz:processID")).toDouble());
}

std::int32_t BidiClient::NumberOf(const QString& id) {
  auto found = numbers_.find(id);
  if (found != numbers_.end()) return found->second;
  const auto number = static_cast<std::int32_t>(numbers_.size() + 1);
  numbers_.emplace(id, number);
  return number;
}

void BidiClient::EndSession() {
  if (!socket_) return;
  try {
    if (socket_->state() == QAbstractSocket::ConnectedState) {
      Exchange(QStringLiteral("session.end"), {});
    }
  } catch (const Failure&) {
    // Gone already, or not answering: nothing more can be done from here.
  }
  Forget();
}

void BidiClient::Forget() {
  socket_.reset();
  capabilities_ = {};
  answers_.clear();
  numbers_.clear();
}

}  // namespace harvelo
