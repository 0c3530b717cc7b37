#include "browser_cookies.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSslConfiguration>
#include <QTest>
#include <QWebSocket>
#include <QWebSocketServer>

#include "support/page_server.h"
#include "support/qt_application.h"
#include "trusted_authorities.h"

namespace haulbeam {
namespace {

using namespace Qt::Literals::StringLiterals;

enum class Browser { kAnswers, kOddCookies, kSilent, kNoPage, kUnreadableList, kSocketRefused };

// A Chromium as Haulbeam meets it: the page listing served on 127.0.0.1 and the page's
// WebSocket, which answers the browser's version and its cookies for the address asked.
class FakeBrowser {
 public:
  explicit FakeBrowser(Browser browser) : browser_(browser) {
    sockets_.listen(QHostAddress::LocalHost);
    QObject::connect(&sockets_, &QWebSocketServer::newConnection, [this] {
      QWebSocket* page = sockets_.nextPendingConnection();
      page->setParent(&sockets_);  // ends with the fake browser
      QObject::connect(page, &QWebSocket::textMessageReceived, page,
                       [this, page](const QString& text) { Answer(*page, text); });
    });
    const QString list =
        uR"([{"type":"worker","webSocketDebuggerUrl":"ws://x"},
        {"type":"page","webSocketDebuggerUrl":"ws://127.0.0.1:%1/devtools/page/1"}])"_s.arg(
            browser == Browser::kSocketRefused ? 1 : sockets_.serverPort());
    listing_.Add("/json/list", browser == Browser::kNoPage           ? "[]"
                               : browser == Browser::kUnreadableList ? "<html>"
                                                                     : list.toStdString());
  }
  QUrl Endpoint() const { return QUrl(QString::fromStdString(listing_.Url(""))); }

 private:
  void Answer(QWebSocket& page, const QString& text) {
    const QJsonObject call = QJsonDocument::fromJson(text.toUtf8()).object();
    QString result = uR"({"userAgent":"FakeBrowser/1"})"_s;
    if (call["method"_L1] == u"Network.getCookies"_s) {
      if (browser_ == Browser::kSilent) return;
      page.sendTextMessage(uR"({"method":"Network.dataReceived","params":{}})"_s);
      page.sendTextMessage(uR"({"id":999,"result":{}})"_s);
      result = browser_ == Browser::kOddCookies ? uR"({"cookies":"none"})"_s
                                                : uR"({"cookies":[{"name":"member","value":"%1",
          "domain":"127.0.0.1","path":"/m","secure":true,"httpOnly":true,"expires":2e9,
          "session":false},{"name":"s","value":"1","expires":-1,"session":true}]})"_s.arg(
                                                      call["params"_L1]["urls"_L1][0].toString());
    }
    page.sendTextMessage(uR"({"id":%1,"result":%2})"_s.arg(call["id"_L1].toInt()).arg(result));
  }

  const Browser browser_;
  QWebSocketServer sockets_{u"fake"_s, QWebSocketServer::NonSecureMode};
  harvelo::testing::PageServer listing_;
};

TEST(BrowserCookiesTest, GivenABrowserThatAnswersOrNotWeShouldAnswerEachQuestionOnce) {
  harvelo::testing::TestApplication<QCoreApplication>();
  const struct {
    Browser browser;
    bool endpoint;   // whether anything listens at the endpoint
    QString answer;  // to each question at the address %1
    QString log;     // a part of what the log heard, once
  } kCases[] = {
      {Browser::kAnswers, true,
       u"FakeBrowser/1 | member=%1; secure; HttpOnly; expires=Wed, 18-May-2033 03:33:20 GMT; "
       "domain=127.0.0.1; path=/m | s=1"_s,
       ""},
      {Browser::kOddCookies, true, u"FakeBrowser/1"_s, ""},
      {Browser::kSilent, true, "", "(no answer within 5 s)"},
      {Browser::kNoPage, true, "", "(it shows no page)"},
      {Browser::kUnreadableList, true, "", "(it shows no page)"},
      {Browser::kSocketRefused, true, "", "refused"},
      {Browser::kAnswers, false, "", "refused"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.log.toStdString() + (c.endpoint ? "" : " at no endpoint"));
    FakeBrowser browser(c.browser);
    QString log;
    const auto cookies = NewDevToolsCookies(
        [&] { return c.endpoint ? browser.Endpoint() : QUrl(u"http://127.0.0.1:1"_s); },
        [&](const QString& line) { log += line; });
    QStringList answers, expected;
    const auto ask = [&](const QString& address, QObject* context) {
      if (context) expected << QString(c.answer).replace(u"%1"_s, address);
      cookies->Ask(QUrl(address), context ? context : std::make_unique<QObject>().get(),
                   [&](const BrowserIdentity& identity) {
                     QString line = QString::fromUtf8(identity.user_agent);
                     for (const auto& cookie : identity.cookies) line += " | " + cookie.toRawForm();
                     answers << line;
                   });
    };
    // Two questions at once, with one whose asker goes away meanwhile, then one on the open
    // connection.
    QObject asker;
    ask(u"http://127.0.0.1/a"_s, &asker);
    ask(u"http://127.0.0.1/gone"_s, nullptr);
    ask(u"http://127.0.0.1/b"_s, &asker);
    ASSERT_TRUE(QTest::qWaitFor([&] { return answers.size() == 2; }, 15000));
    ask(u"http://127.0.0.1/c"_s, &asker);
    ASSERT_TRUE(QTest::qWaitFor([&] { return answers.size() == 3; }, 15000));
    EXPECT_EQ(answers, expected);
    EXPECT_EQ(log.count(u"no browser answers"_s), c.log.isEmpty() ? 0 : 1) << log.toStdString();
    EXPECT_TRUE(log.contains(c.log)) << log.toStdString();
  }
}

TEST(TrustedAuthoritiesTest, GivenAPemFileWeShouldTrustItsAuthoritiesBesidesTheSystems) {
  const QString folder = QString::fromUtf8(HARVELO_TLS_FOLDER);
  for (const QString& name : {u"missing.pem"_s, u"server.key"_s, u"authority.pem"_s}) {
    QString problem;
    const bool trusted = TrustAuthoritiesFrom(folder + name, problem);
    EXPECT_EQ(trusted, problem.isEmpty());
    EXPECT_EQ(problem, name == u"missing.pem"_s
                           ? u"cannot read "_s + folder + name + u": No such file or directory"_s
                       : name == u"server.key"_s ? folder + name + u" holds no PEM certificate"_s
                                                 : u""_s);
  }
  const auto trusted = QSslConfiguration::defaultConfiguration().caCertificates();
  EXPECT_TRUE(trusted.contains(QSslCertificate::fromPath(folder + u"authority.pem"_s).value(0)));
  EXPECT_GT(trusted.size(), 1);
}

}  // namespace
}  // namespace haulbeam
