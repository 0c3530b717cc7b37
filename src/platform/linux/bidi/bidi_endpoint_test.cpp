#include "platform/linux/bidi/bidi_endpoint.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTcpServer>

#include "support/child_process.h"

namespace harvelo {
namespace {

struct EndpointCase {
  const char* name;
  const char* override_address;
  // A file under the user's home folder and its content; "LIVE" stands for the port of a
  // listening socket, "DEAD" for one that nobody listens on, "HOME" for the home folder.
  std::vector<std::pair<const char*, const char*>> files;
  const char* expected;  // empty: none found
};

void PrintTo(const EndpointCase& c, std::ostream* os) { *os << c.name; }

constexpr char kLive[] = R"({"ws_host": "127.0.0.1", "ws_port": LIVE})";
constexpr char kDead[] = R"({"ws_host": "127.0.0.1", "ws_port": DEAD})";
constexpr char kListed[] =
    "[Profile1]\nName=other\nIsRelative=1\nPath=b.other\n\n"
    "[Profile0]\nName=default\nIsRelative=1\nPath=a.default\n\n"
    "[General]\nVersion=2\n";

class BidiEndpointTest : public ::testing::TestWithParam<EndpointCase> {};

TEST_P(BidiEndpointTest, GivenTheSetupWeShouldFindTheListeningFirefoxInTheDocumentedOrder) {
  const EndpointCase& c = GetParam();
  testing::TemporaryFolder user;
  const QString home = QString::fromStdString(user.path());
  QTcpServer live;
  ASSERT_TRUE(live.listen(QHostAddress::LocalHost));
  QTcpServer closed;
  ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
  const QByteArray dead_port = QByteArray::number(closed.serverPort());
  closed.close();
  const auto fill = [&](QByteArray text) {
    return text.replace("LIVE", QByteArray::number(live.serverPort()))
        .replace("DEAD", dead_port)
        .replace("HOME", home.toUtf8());
  };
  for (const auto& [path, content] : c.files) {
    const QString file = home + "/" + path;
    ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(fill(content));
  }

  const std::optional<QUrl> found =
      FindBidiEndpoint(c.override_address, {home + "/.config", home + "/.local/share"}, home);

  EXPECT_EQ(found ? found->toString().toStdString() : "", fill(c.expected).toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BidiEndpointTest,
    ::testing::Values(
        EndpointCase{"NothingKnown", "", {}, ""},
        EndpointCase{"OverrideWins",
                     "ws://127.0.0.1:4444",
                     {{".local/share/harvelo/firefox/WebDriverBiDiServer.json", kLive}},
                     "ws://127.0.0.1:4444"},
        EndpointCase{"LauncherProfile",
                     "",
                     {{".local/share/harvelo/firefox/WebDriverBiDiServer.json", kLive}},
                     "ws://127.0.0.1:LIVE"},
        EndpointCase{"ProfileThatProfilesIniListsInTheConfigurationFolder",
                     "",
                     {{".config/mozilla/firefox/profiles.ini", kListed},
                      {".config/mozilla/firefox/a.default/WebDriverBiDiServer.json", kLive}},
                     "ws://127.0.0.1:LIVE"},
        EndpointCase{"ProfileNotListedIsNotLookedAt",
                     "",
                     {{".mozilla/firefox/profiles.ini", kListed},
                      {".mozilla/firefox/c.stray/WebDriverBiDiServer.json", kLive}},
                     ""},
        EndpointCase{"FileLeftBehindSkipped",
                     "",
                     {{".local/share/harvelo/firefox/WebDriverBiDiServer.json", kDead},
                      {".mozilla/firefox-esr/profiles.ini", kListed},
                      {".mozilla/firefox-esr/a.default/WebDriverBiDiServer.json", kDead},
                      {".mozilla/firefox-esr/b.other/WebDriverBiDiServer.json", kLive}},
                     "ws://127.0.0.1:LIVE"},
        EndpointCase{"AbsoluteProfilePathOfTheSnapPackage",
                     "",
                     {{"snap/firefox/common/.mozilla/firefox/profiles.ini",
                       "[Profile0]\nIsRelative=0\nPath=HOME/elsewhere\n"},
                      {"elsewhere/WebDriverBiDiServer.json", kLive}},
                     "ws://127.0.0.1:LIVE"},
        EndpointCase{"DamagedFileSkipped",
                     "",
                     {{".local/share/harvelo/firefox/WebDriverBiDiServer.json", "{\"ws_port\": "},
                      {".var/app/org.mozilla.firefox/.mozilla/firefox/profiles.ini", kListed},
                      {".var/app/org.mozilla.firefox/.mozilla/firefox/b.other/"
                       "WebDriverBiDiServer.json",
                       kLive}},
                     "ws://127.0.0.1:LIVE"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace harvelo
