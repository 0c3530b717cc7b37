#include "platform/linux/bidi/bidi_endpoint.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTcpServer>

#include "support/child_process.h"

namespace harvelo {
namespace {

TEST(BidiEndpointTest, GivenTheSetupWeShouldFindTheListeningFirefoxInTheDocumentedOrder) {
  QTcpServer live;
  ASSERT_TRUE(live.listen(QHostAddress::LocalHost));
  QTcpServer closed;
  ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
  const QByteArray dead_port = QByteArray::number(closed.serverPort());
  closed.close();
  const char* live_file = R"({"ws_host": "127.0.0.1", "ws_port": LIVE})";
  const char* dead_file = R"({"ws_host": "127.0.0.1", "ws_port": DEAD})";
  const char* listed =
      "[Profile1]\nName=other\nIsRelative=1\nPath=b.other\n\n"
      "[Profile0]\nName=default\nIsRelative=1\nPath=a.default\n\n[General]\nVersion=2\n";
  const char* launched = ".local/share/harvelo/firefox/WebDriverBiDiServer.json";
  // The override, files under the user's home folder and their content ("LIVE": the port of a
  // listening socket, "DEAD": one that nobody listens on, "HOME": the home folder), and the
  // endpoint to find, empty for none.
  // clang-format off
  const struct { const char* override_address; std::vector<std::pair<const char*, const char*>> files; const char* expected; } cases[] = {
      {"", {}, ""},
      {"ws://127.0.0.1:4444", {{launched, live_file}}, "ws://127.0.0.1:4444"},
      {"", {{launched, live_file}}, "ws://127.0.0.1:LIVE"},
      {"", {{".config/mozilla/firefox/profiles.ini", listed}, {".config/mozilla/firefox/a.default/WebDriverBiDiServer.json", live_file}}, "ws://127.0.0.1:LIVE"},
      {"", {{".mozilla/firefox/profiles.ini", listed}, {".mozilla/firefox/c.stray/WebDriverBiDiServer.json", live_file}}, ""},
      {"", {{launched, dead_file}, {".mozilla/firefox-esr/profiles.ini", listed}, {".mozilla/firefox-esr/a.default/WebDriverBiDiServer.json", dead_file}, {".mozilla/firefox-esr/b.other/WebDriverBiDiServer.json", live_file}}, "ws://127.0.0.1:LIVE"},
      {"", {{"snap/firefox/common/.mozilla/firefox/profiles.ini", "[Profile0]\nIsRelative=0\nPath=HOME/elsewhere\n"}, {"elsewhere/WebDriverBiDiServer.json", live_file}}, "ws://127.0.0.1:LIVE"},
      {"", {{launched, "{\"ws_port\": "}, {".var/app/org.mozilla.firefox/.mozilla/firefox/profiles.ini", listed}, {".var/app/org.mozilla.firefox/.mozilla/firefox/b.other/WebDriverBiDiServer.json", live_file}}, "ws://127.0.0.1:LIVE"}};
  // clang-format on
  for (const auto& c : cases) {
    testing::TemporaryFolder user;
    const QString home = QString::fromStdString(user.path());
    const auto fill = [&](QByteArray text) {
      return text.replace("LIVE", QByteArray::number(live.serverPort()))
          .replace("DEAD", dead_port)
          .replace("HOME", home.toUtf8());
    };
    for (const auto& [path, content] : c.files) {
      ASSERT_TRUE(QDir().mkpath(QFileInfo(home + "/" + path).path()));
      QFile out(home + "/" + path);
      ASSERT_TRUE(out.open(QIODevice::WriteOnly));
      out.write(fill(content));
    }
    const std::optional<QUrl> found =
        FindBidiEndpoint(c.override_address, {home + "/.config", home + "/.local/share"}, home);
    EXPECT_EQ(found ? found->toString().toStdString() : "", fill(c.expected).toStdString())
        << c.files.size() << " files, " << c.expected;
  }
}

}  // namespace
}  // namespace harvelo
