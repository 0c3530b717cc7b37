#include "platform/linux/devtools/devtools_endpoint.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "support/child_process.h"

namespace harvelo {
namespace {

struct EndpointCase {
  const char* name;
  const char* override_address;
  std::vector<std::pair<const char*, const char*>> port_files;  // profile folder, content
  const char* expected;
};

void PrintTo(const EndpointCase& c, std::ostream* os) { *os << c.name; }

class DevToolsEndpointTest : public ::testing::TestWithParam<EndpointCase> {};

TEST_P(DevToolsEndpointTest, GivenTheSetupWeShouldFindTheEndpointInTheDocumentedOrder) {
  const EndpointCase& c = GetParam();
  testing::TemporaryFolder config;
  for (const auto& [folder, content] : c.port_files) {
    const QString path = QString::fromStdString(config.path()) + "/" + folder;
    ASSERT_TRUE(QDir().mkpath(path));
    QFile file(path + "/DevToolsActivePort");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  }

  EXPECT_EQ(FindDevToolsEndpoint(c.override_address, QString::fromStdString(config.path()))
                .toString()
                .toStdString(),
            c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DevToolsEndpointTest,
    ::testing::Values(
        EndpointCase{"NothingKnown", "", {}, "http://127.0.0.1:9222"},
        EndpointCase{"OverrideWins",
                     "http://127.0.0.1:4444",
                     {{"chromium", "5555\n/devtools/browser/x\n"}},
                     "http://127.0.0.1:4444"},
        EndpointCase{"ChromiumProfile",
                     "",
                     {{"chromium", "5555\n/devtools/browser/x\n"}},
                     "http://127.0.0.1:5555"},
        EndpointCase{"ChromiumBeforeChrome",
                     "",
                     {{"google-chrome", "6666\n"}, {"chromium", "5555\n"}},
                     "http://127.0.0.1:5555"},
        EndpointCase{
            "BraveOnly", "", {{"BraveSoftware/Brave-Browser", "7777\n"}}, "http://127.0.0.1:7777"},
        EndpointCase{"DamagedFileSkipped",
                     "",
                     {{"chromium", "not a port\n"}, {"vivaldi", "8888\n"}},
                     "http://127.0.0.1:8888"},
        EndpointCase{"PortOutOfRange", "", {{"chromium", "70000\n"}}, "http://127.0.0.1:9222"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace harvelo
