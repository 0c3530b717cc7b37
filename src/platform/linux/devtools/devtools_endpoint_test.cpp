#include "platform/linux/devtools/devtools_endpoint.h"

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
  // Profile folder under the user's folders, and the file's content; "LIVE" stands for the
  // port of a listening socket.
  std::vector<std::pair<const char*, const char*>> port_files;
  const char* expected;
};

void PrintTo(const EndpointCase& c, std::ostream* os) { *os << c.name; }

class DevToolsEndpointTest : public ::testing::TestWithParam<EndpointCase> {};

TEST_P(DevToolsEndpointTest, GivenTheSetupWeShouldFindTheEndpointInTheDocumentedOrder) {
  const EndpointCase& c = GetParam();
  testing::TemporaryFolder user;
  QTcpServer live;
  ASSERT_TRUE(live.listen(QHostAddress::LocalHost));
  const QByteArray live_port = QByteArray::number(live.serverPort());
  for (const auto& [folder, content] : c.port_files) {
    const QString path = QString::fromStdString(user.path()) + "/" + folder;
    ASSERT_TRUE(QDir().mkpath(path));
    QFile file(path + "/DevToolsActivePort");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(content).replace("LIVE", live_port));
  }

  const QString root = QString::fromStdString(user.path());
  EXPECT_EQ(FindDevToolsEndpoint(c.override_address, {root + "/config", root + "/data"})
                .toString()
                .toStdString(),
            QByteArray(c.expected).replace("LIVE", live_port).toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DevToolsEndpointTest,
    ::testing::Values(
        EndpointCase{"NothingKnown", "", {}, "http://127.0.0.1:9222"},
        EndpointCase{"OverrideWins",
                     "http://127.0.0.1:4444",
                     {{"config/chromium", "5555\n/devtools/browser/x\n"}},
                     "http://127.0.0.1:4444"},
        EndpointCase{"ChromiumProfile",
                     "",
                     {{"config/chromium", "5555\n/devtools/browser/x\n"}},
                     "http://127.0.0.1:5555"},
        EndpointCase{"ChromiumBeforeChrome",
                     "",
                     {{"config/google-chrome", "6666\n"}, {"config/chromium", "5555\n"}},
                     "http://127.0.0.1:5555"},
        EndpointCase{"BraveOnly",
                     "",
                     {{"config/BraveSoftware/Brave-Browser", "7777\n"}},
                     "http://127.0.0.1:7777"},
        EndpointCase{"DamagedFileSkipped",
                     "",
                     {{"config/chromium", "not a port\n"}, {"config/vivaldi", "8888\n"}},
                     "http://127.0.0.1:8888"},
        EndpointCase{
            "PortOutOfRange", "", {{"config/chromium", "70000\n"}}, "http://127.0.0.1:9222"},
        EndpointCase{"LauncherProfileFirst",
                     "",
                     {{"config/chromium", "5555\n"}, {"data/harvelo/browser", "4321\n"}},
                     "http://127.0.0.1:4321"},
        EndpointCase{"ListeningBrowserBeforeFileLeftBehind",
                     "",
                     {{"data/harvelo/browser", "1\n"}, {"config/vivaldi", "LIVE\n"}},
                     "http://127.0.0.1:LIVE"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace harvelo
