#include "browser_cookies.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QPointer>
#include <QTimer>
#include <QWebSocket>
#include <deque>
#include <map>

namespace haulbeam {
namespace {

using namespace Qt::Literals::StringLiterals;

// How long the browser may take over one step (the page listing, the connection, an
// answer) before it counts as absent.
constexpr int kStepLimitMs = 5000;

// A cookie as the protocol describes it ("expires" is -1, or seconds since the epoch).
QNetworkCookie CookieOf(const QJsonObject& cookie) {
  QNetworkCookie made(cookie["name"_L1].toString().toUtf8(),
                      cookie["value"_L1].toString().toUtf8());
  made.setDomain(cookie["domain"_L1].toString());
  made.setPath(cookie["path"_L1].toString());
  made.setSecure(cookie["secure"_L1].toBool());
  made.setHttpOnly(cookie["httpOnly"_L1].toBool());
  const double expires = cookie["expires"_L1].toDouble(-1);
  if (!cookie["session"_L1].toBool() && expires > 0) {
    made.setExpirationDate(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(expires * 1000)));
  }
  return made;
}

// The WebSocket address of the first page in a /json/list answer; empty when none.
QString PageSocket(const QJsonArray& targets) {
  for (const QJsonValue& target : targets) {
    const QString socket = target["webSocketDebuggerUrl"_L1].toString();
    if (target["type"_L1].toString() == u"page"_s && !socket.isEmpty()) return socket;
  }
  return {};
}

class DevToolsCookies : public BrowserCookies {
 public:
  DevToolsCookies(std::function<QUrl()> find_endpoint, std::function<void(const QString&)> log)
      : find_endpoint_(std::move(find_endpoint)), log_(std::move(log)) {
    // The browser is on this machine: never through the proxy that downloads take.
    network_.setProxy(QNetworkProxy::NoProxy);
    socket_.setProxy(QNetworkProxy::NoProxy);
    limit_.setSingleShot(true);
    limit_.setInterval(kStepLimitMs);
    QObject::connect(&limit_, &QTimer::timeout, &context_,
                     [this] { Absent(u"no answer within %1 s"_s.arg(kStepLimitMs / 1000)); });
    QObject::connect(&socket_, &QWebSocket::connected, &context_, [this] {
      version_id_ = Send(u"Browser.getVersion"_s, {});
      limit_.start();
    });
    QObject::connect(&socket_, &QWebSocket::textMessageReceived, &context_,
                     [this](const QString& message) { Receive(message); });
    QObject::connect(&socket_, &QWebSocket::disconnected, &context_, [this] {
      if (state_ == State::kOpen && waiting_.empty() && sent_.empty()) {
        state_ = State::kIdle;  // the page went away between two questions
      } else if (state_ != State::kIdle) {
        Absent(socket_.errorString());
      }
    });
  }

  void Ask(const QUrl& address, QObject* context, Answer answer) override {
    waiting_.push_back(Pending{address, context, std::move(answer)});
    if (state_ == State::kOpen) SendWaiting();
    if (state_ == State::kIdle) Connect();
  }

 private:
  enum class State { kIdle, kConnecting, kOpen };
  struct Pending {
    QUrl address;
    QPointer<QObject> context;
    Answer answer;
  };

  void Connect() {
    state_ = State::kConnecting;
    endpoint_ = find_endpoint_();
    QUrl listing = endpoint_;
    listing.setPath(u"/json/list"_s);
    QNetworkRequest request(listing);
    request.setTransferTimeout(kStepLimitMs);
    QNetworkReply* reply = network_.get(request);
    QObject::connect(reply, &QNetworkReply::finished, &context_, [this, reply] {
      reply->deleteLater();
      if (reply->error() != QNetworkReply::NoError) return Absent(reply->errorString());
      const QString socket = PageSocket(QJsonDocument::fromJson(reply->readAll()).array());
      if (socket.isEmpty()) return Absent(u"it shows no page"_s);
      limit_.start();
      socket_.open(QUrl(socket));
    });
  }

  int Send(const QString& method, const QJsonObject& params) {
    const int id = next_id_++;
    const QJsonObject call{{u"id"_s, id}, {u"method"_s, method}, {u"params"_s, params}};
    socket_.sendTextMessage(QString::fromUtf8(QJsonDocument(call).toJson(QJsonDocument::Compact)));
    return id;
  }

  void SendWaiting() {
    while (!waiting_.empty()) {
      Pending pending = std::move(waiting_.front());
      waiting_.pop_front();
      if (!pending.context) continue;
      const QJsonArray urls{pending.address.toString(QUrl::FullyEncoded)};
      sent_.emplace(Send(u"Network.getCookies"_s, {{u"urls"_s, urls}}), std::move(pending));
    }
    if (!sent_.empty() && !limit_.isActive()) limit_.start();
  }

  void Receive(const QString& message) {
    const QJsonObject answer = QJsonDocument::fromJson(message.toUtf8()).object();
    if (!answer.contains("id"_L1)) return;  // an event
    const int id = answer["id"_L1].toInt();
    const QJsonObject result = answer["result"_L1].toObject();
    if (state_ == State::kConnecting && id == version_id_) {
      user_agent_ = result["userAgent"_L1].toString().toUtf8();
      state_ = State::kOpen;
      limit_.stop();
      return SendWaiting();
    }
    const auto found = sent_.find(id);
    if (found == sent_.end()) return;
    Pending pending = std::move(found->second);
    sent_.erase(found);
    if (sent_.empty()) {
      limit_.stop();
    } else {
      limit_.start();
    }
    BrowserIdentity identity{{}, user_agent_};
    for (const QJsonValue& cookie : result["cookies"_L1].toArray()) {
      identity.cookies.append(CookieOf(cookie.toObject()));
    }
    Deliver(pending, identity);
  }

  // Every question still open gets the empty answer; the next one tries again.
  void Absent(const QString& reason) {
    state_ = State::kIdle;
    limit_.stop();
    if (!told_) {
      told_ = true;
      log_(u"Haulbeam: no browser answers at %1 (%2); downloading without its cookies.\n"_s.arg(
          endpoint_.toString(), reason));
    }
    std::deque<Pending> open = std::move(waiting_);
    waiting_.clear();
    for (auto& [id, pending] : sent_) open.push_back(std::move(pending));
    sent_.clear();
    socket_.abort();
    for (Pending& pending : open) Deliver(pending, {});
  }

  static void Deliver(Pending& pending, const BrowserIdentity& identity) {
    if (pending.context) pending.answer(identity);
  }

  const std::function<QUrl()> find_endpoint_;
  const std::function<void(const QString&)> log_;
  QNetworkAccessManager network_;
  QWebSocket socket_;
  QTimer limit_;
  State state_ = State::kIdle;
  QUrl endpoint_;
  QByteArray user_agent_;
  std::deque<Pending> waiting_;
  std::map<int, Pending> sent_;
  int next_id_ = 1;
  int version_id_ = 0;
  bool told_ = false;
  QObject context_;  // of the connections: they end first, with the object
};

}  // namespace

std::unique_ptr<BrowserCookies> NewDevToolsCookies(std::function<QUrl()> find_endpoint,
                                                   std::function<void(const QString&)> log) {
  return std::make_unique<DevToolsCookies>(std::move(find_endpoint), std::move(log));
}

}  // namespace haulbeam
