#ifndef HARVELO_COMPANIONS_HAULBEAM_BROWSER_COOKIES_H_
#define HARVELO_COMPANIONS_HAULBEAM_BROWSER_COOKIES_H_

// What the user's browser would send with a request for an address, its cookies and its
// User-Agent, so that a download reaches what the signed-in browser reaches (galleries that
// serve full-size pictures only to their members).

#include <QByteArray>
#include <QList>
#include <QNetworkCookie>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>

namespace haulbeam {

struct BrowserIdentity {
  // The cookies the browser holds for the address, as it keeps them (domain, path,
  // secure, expiry), for a cookie jar to send.
  QList<QNetworkCookie> cookies;
  // The browser's User-Agent; empty when there is no browser to ask.
  QByteArray user_agent;
};

class BrowserCookies {
 public:
  using Answer = std::function<void(const BrowserIdentity&)>;
  virtual ~BrowserCookies() = default;

  // Asks for what the browser would send to `address`. `answer` comes once, from the event
  // loop, unless `context` is destroyed first; it is empty when no browser answers.
  virtual void Ask(const QUrl& address, QObject* context, Answer answer) = 0;
};

// Asks the Chromium-family browser at the DevTools endpoint that `find_endpoint` answers
// (looked for again at each connection, since the browser may come and go) over one
// WebSocket kept open to one of its pages. The first time no browser answers, `log` hears
// so; the cookies themselves never reach it. The event loop's QCoreApplication must remain
// live while the object is.
std::unique_ptr<BrowserCookies> NewDevToolsCookies(std::function<QUrl()> find_endpoint,
                                                   std::function<void(const QString&)> log);

}  // namespace haulbeam

#endif  // HARVELO_COMPANIONS_HAULBEAM_BROWSER_COOKIES_H_
