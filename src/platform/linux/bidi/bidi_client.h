#ifndef HARVELO_PLATFORM_LINUX_BIDI_BIDI_CLIENT_H_
#define HARVELO_PLATFORM_LINUX_BIDI_BIDI_CLIENT_H_

// One WebDriver BiDi session with a browser (Firefox): one WebSocket, one session, opened at
// the first call. The browser keeps a single session at a time and keeps it, with every id it
// handed out, until the client ends it, whether or not the socket stays open: so the session
// must be ended (EndSession) before the program ends, or the browser refuses every later
// client. Every wait has a time limit, and every error of the network or the protocol is
// turned into a Failure naming the endpoint here and only here.

#include <QJsonObject>
#include <QString>
#include <QUrl>
#include <chrono>
#include <map>
#include <memory>

class QWebSocket;

namespace harvelo {

class BidiClient {
 public:
  // `endpoint` is the browser's WebSocket address ("ws://127.0.0.1:9222"); the session is
  // asked for at its path "/session". A QCoreApplication must exist and remain live while
  // this object is; calls run its event loop while they wait, so they must come from its
  // thread.
  BidiClient(QUrl endpoint, std::chrono::milliseconds time_limit);
  // Ends the session.
  ~BidiClient();
  BidiClient(const BidiClient&) = delete;
  BidiClient& operator=(const BidiClient&) = delete;

  // Sends `method` with `params` in the session and answers the command's result. A script
  // that threw becomes a Failure with the thrown text when it threw a text, else with the
  // exception's description.
  QJsonObject Call(const QString& method, const QJsonObject& params = {});

  // Raises what a page function threw, as a snapshot row keeps it ({"value": a thrown text}
  // or {"description": what else was thrown}): a Failure with the thrown text when it threw a
  // text, else with the description.
  [[noreturn]] void RaiseThrown(const QJsonObject& exception) const;

  // The browser's main process (the one that owns its windows).
  std::int64_t ProcessId();

  // A number for `id`, one of the ids the session handed out: the same for the same id while
  // the session lasts, never 0, ascending in the order of first asking.
  std::int32_t NumberOf(const QString& id);

  // Ends the session and closes the socket; the next call opens a new session, in which
  // every id of this one is unknown. Does nothing when no session is open; never raises.
  void EndSession();

  const QUrl& endpoint() const { return endpoint_; }

 private:
  void OpenSession();
  // The browser's whole answer to one command.
  QJsonObject Exchange(const QString& method, const QJsonObject& params);
  // Drops the socket and all that belonged to the session.
  void Forget();
  [[noreturn]] void Fail(const QString& what) const;

  QUrl endpoint_;
  std::chrono::milliseconds time_limit_;
  std::unique_ptr<QWebSocket> socket_;
  QJsonObject capabilities_;  // of the open session; empty without one
  std::map<int, QJsonObject> answers_;
  std::map<QString, std::int32_t> numbers_;
  int next_id_ = 1;
};

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_BIDI_BIDI_CLIENT_H_
