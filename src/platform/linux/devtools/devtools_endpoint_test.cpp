#include "platform/linux/devtools/devtools_endpoint.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTcpServer>

#include "support/child_process.h"

namespace harvelo {
namespace {

TEST(DevToolsEndpointTest, GivenTheSetupWeShouldFindTheEndpointInTheDocumentedOrder) {
  QTcpServer live;
  ASSERT_TRUE(live.listen(QHostAddress::LocalHost));
  const QByteArray live_port = QByteArray::number(live.serverPort());
  // The override, the profile folders under the user's folders and their DevToolsActivePort
  // files ("LIVE": the port of a listening socket), and the endpoint to find.
  // clang-format off
  const struct { const char* override_address; std::vector<std::pair<const char*, const char*>> port_files; const char* expected; } cases[] = {
      {"", {}, "http://127.0.0.1:9222"},
      {"http://127.0.0.1:4444", {{"config/chromium", "5555\n/devtools/browser/x\n"}}, "http://127.0.0.1:4444"},
      {"", {{"config/chromium", "5555\n/devtools/browser/x\n"}}, "http://127.0.0.1:5555"},
      {"", {{"config/google-chrome", "6666\n"}, {"config/chromium", "5555\n"}}, "http://127.0.0.1:5555"},
      {"", {{"config/BraveSoftware/Brave-Browser", "7777\n"}}, "http://127.0.0.1:7777"},
      {"", {{"config/chromium", "not a port\n"}, {"config/vivaldi", "8888\n"}}, "http://127.0.0.1:8888"},
      {"", {{"config/chromium", "70000\n"}}, "http://127.0.0.1:9222"},
      {"", {{"config/chromium", "5555\n"}, {"data/harvelo/browser", "4321\n"}}, "http://127.0.0.1:4321"},
      {"", {{"data/harvelo/browser", "1\n"}, {"config/vivaldi", "LIVE\n"}}, "http://127.0.0.1:LIVE"}};
  // clang-format on
  for (const auto& c : cases) {
    testing::TemporaryFolder user;
    const QString root = QString::fromStdString(user.path());
    for (const auto& [folder, content] : c.port_files) {
      ASSERT_TRUE(QDir().mkpath(root + "/" + folder));
      QFile file(root + "/" + folder + "/DevToolsActivePort");
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write(QByteArray(content).replace("LIVE", live_port));
    }
    EXPECT_EQ(FindDevToolsEndpoint(c.override_address, {root + "/config", root + "/data"}),
              QUrl(QByteArray(c.expected).replace("LIVE", live_port)))
        << c.expected << " " << c.port_files.size();
  }
}

}  // namespace
}  // namespace harvelo
