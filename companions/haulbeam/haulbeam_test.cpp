// Haulbeam as Harvelo meets it: the program started on its own, jobs through the channel's
// socket, files from a server on 127.0.0.1, one line per job on its standard output.
#include <gtest/gtest.h>

#include <QString>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "file_naming.h"
#include "platform/failure.h"
#include "platform/linux/channel/channel_folder.h"
#include "platform/linux/channel/socket_channel.h"
#include "support/child_process.h"
#include "support/eventually.h"
#include "support/page_server.h"

namespace haulbeam {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using harvelo::testing::ChildProcess;
using harvelo::testing::PageServer;
using Files = std::map<std::string, std::string>;

std::string JobMessage(const std::string& url, const std::string& folder, const std::string& origin,
                       const std::string& order) {
  return "<DataURL>" + url + "</DataURL><DataPath>" + folder + "</DataPath><DataOrgin>" + origin +
         "</DataOrgin><DataGroup>g999</DataGroup><DataOrder>" + order + "</DataOrder>";
}

class HaulbeamTest : public ::testing::Test {
 protected:
  HaulbeamTest() { fs::create_directory(run_); }

  // Haulbeam without a window, ending soon after its last job, its output to output_.
  std::unique_ptr<ChildProcess> Start() {
    return std::make_unique<ChildProcess>(
        std::vector<std::string>{HAULBEAM, "--no-window", "--end-after", "0.3", "--retry-pauses",
                                 "0.05,0.05", "--largest-file", "1"},
        std::map<std::string, std::string>{
            {"XDG_RUNTIME_DIR", run_}, {"http_proxy", ""}, {"https_proxy", ""}},
        output_.fd());
  }

  // Joins the channel as Harvelo does, once Haulbeam listens (within 20 s of its start).
  std::unique_ptr<harvelo::MessageChannel> Join() {
    auto channel = harvelo::NewSocketChannelFactory(run_ + "/quorvex")->Create();
    channel->OpenChannel(u"my server", u"my client");
    harvelo::testing::Eventually([&] { return channel->PeerHandle() != harvelo::NoPeer; }, 20s);
    return channel;
  }

  // Sends each message over `channel`: "+" for each one taken, "-" for each one refused.
  static std::string Answers(harvelo::MessageChannel& channel,
                             const std::vector<std::pair<std::int32_t, std::string>>& messages) {
    std::string answers;
    for (const auto& [number, data] : messages) {
      try {
        channel.SendData(channel.PeerHandle(), number, harvelo::FromUtf8(data));
        answers += '+';
      } catch (const harvelo::Failure&) {
        answers += '-';
      }
    }
    return answers;
  }

  harvelo::testing::TemporaryFolder folder_;
  const std::string run_ = folder_.path() + "/run";
  harvelo::testing::MemoryFile output_;
};

TEST_F(HaulbeamTest, GivenJobsForTheServersADownloaderMeetsWeShouldSaveOrReportEachOne) {
  PageServer server;
  server.Require("/guarded/", "Referer", "http://gallery.example/");
  server.Add("/target.jpg", PageServer::Reply{.body = "target"});
  const struct Case {
    std::string served;  // the path on the server
    PageServer::Reply reply;
    Files before;         // the folder's files before the job; "(part)": the address's part file
    std::string outcome;  // "saved\t<name>" or "failed\t<reason>"
    Files after;
    std::string sent = served;  // the path in the job, as the page's markup wrote it
    std::string origin = "http://gallery.example/page.html";
    // clang-format off
  } kCases[] = {
      {"/plain.jpg", {.body = "picture"}, {}, "saved\tplain.jpg", {{"plain.jpg", "picture"}}},
      {"/taken.jpg", {.body = "new"}, {{"taken.jpg", "old"}},
       "saved\ttaken (2).jpg", {{"taken.jpg", "old"}, {"taken (2).jpg", "new"}}},
      {"/resume.jpg", {.body = "abcdefgh", .ranges = true}, {{"(part)", "XXXX"}},
       "saved\tresume.jpg", {{"resume.jpg", "XXXXefgh"}}},
      {"/restart.jpg", {.body = "abcdefgh"}, {{"(part)", "XXXX"}},
       "saved\trestart.jpg", {{"restart.jpg", "abcdefgh"}}},
      // Resumed at each retry: starting again, the third attempt would end as the others.
      {"/dropped.jpg", {.body = "abcdefgh", .ranges = true, .drops = 3, .drop_after = 3}, {},
       "saved\tdropped.jpg", {{"dropped.jpg", "abcdefgh"}}},
      {"/broken.jpg", {.body = "abcdefgh", .drops = 100}, {}, "failed\t", {}},
      {"/guarded/a.jpg", {.body = "guarded"}, {}, "saved\ta.jpg", {{"a.jpg", "guarded"}}},
      {"/guarded/b.jpg", {.body = "guarded"}, {}, "failed\tHTTP 403 Forbidden", {},
       "/guarded/b.jpg", ""},
      {"/go.jpg", {.status = 302, .headers = {{"Location", "/target.jpg"}}}, {},
       "saved\ttarget.jpg", {{"target.jpg", "target"}}},
      {"/named", {.body = "named", .headers = {{"Content-Disposition",
                                                "attachment; filename=\"../../x.jpg\""}}}, {},
       "saved\tx.jpg", {{"x.jpg", "named"}}},
      {"/a&b;c.jpg", {.body = "amp"}, {}, "saved\ta&b;c.jpg", {{"a&b;c.jpg", "amp"}},
       "/a&amp;b&#59;c.jpg"},
      {"/missing.jpg", {.status = 404}, {}, "failed\tHTTP 404 Not Found", {}},
      {"/large.jpg", {.body = std::string((1 << 20) + 1, 'L')}, {},
       "failed\tlarger than 1 MB, the largest file Haulbeam saves", {}},
  };  // clang-format on

  // Each job's folder is named by its order; messages Haulbeam refuses, and takes the next job.
  const auto order = [](std::size_t row) { return std::to_string(10 + row); };
  const auto folder = [&](std::size_t row) { return folder_.path() + "/" + order(row) + "/"; };
  const auto files = [&](Files files, const Case& c) {
    if (files.contains("(part)")) {
      files[PartFileName(QUrl(QString::fromStdString(server.Url(c.served)))).toStdString()] =
          files["(part)"];
      files.erase("(part)");
    }
    return files;
  };
  std::vector<std::pair<std::int32_t, std::string>> jobs = {
      {401, "<DataURL>" + server.Url("/plain.jpg") + "</DataURL>"},
      {402, JobMessage(server.Url("/plain.jpg"), folder_.path() + "/", "", "01")},
      {401, JobMessage(server.Url("/plain.jpg"), "relative/", "", "01")}};
  for (std::size_t row = 0; row < std::size(kCases); ++row) {
    const Case& c = kCases[row];
    server.Add(c.served, c.reply);
    fs::create_directory(folder(row));
    for (const auto& [name, bytes] : files(c.before, c)) {
      std::ofstream(folder(row) + name, std::ios::binary) << bytes;
    }
    jobs.emplace_back(401, JobMessage(server.Url(c.sent), folder(row), c.origin, order(row)));
  }
  auto program = Start();
  EXPECT_EQ(Answers(*Join(), jobs), "---" + std::string(std::size(kCases), '+'));
  EXPECT_EQ(program->Wait(30s), 0);

  std::map<std::string, std::string> line_of_order;
  std::istringstream lines(output_.Text());
  for (std::string line; std::getline(lines, line);) {
    line_of_order[line.substr(line.find("\tg999\t") + 6, 2)] = line;
  }
  EXPECT_EQ(line_of_order.size(), std::size(kCases)) << output_.Text();
  for (std::size_t row = 0; row < std::size(kCases); ++row) {
    const Case& c = kCases[row];
    const std::string state = c.outcome.substr(0, c.outcome.find('\t')),
                      detail = c.outcome.substr(state.size() + 1), line = line_of_order[order(row)];
    const std::string expected =
        state + "\tg999\t" + order(row) + "\t" +
        (state == "saved" ? folder(row) + detail + "\t" + server.Url(c.served) : detail);
    EXPECT_TRUE(state == "saved" ? line == expected : line.starts_with(expected)) << line;
    Files saved;
    for (const auto& entry : fs::directory_iterator(folder(row))) {
      saved[entry.path().filename().string()] = harvelo::testing::FileBytes(entry.path());
    }
    EXPECT_EQ(saved, files(c.after, c)) << c.served;
  }
}

TEST_F(HaulbeamTest, GivenHaulbeamRunningWeShouldEndASecondAtOnceAndTheFirstOnceIdle) {
  auto first = Start();
  auto channel = Join();  // the first stays while a client is connected
  ChildProcess second({HAULBEAM, "--no-window"}, {{"XDG_RUNTIME_DIR", run_}});
  EXPECT_EQ(second.Wait(30s), 0);
  EXPECT_EQ(Answers(*channel, {{401, "not a job"}}), "-");  // the first still answers
  channel->CloseChannel();
  EXPECT_EQ(first->Wait(30s), 0);
  EXPECT_FALSE(fs::exists(harvelo::channel::SocketPath(run_ + "/quorvex", u"my server")));
}

}  // namespace
}  // namespace haulbeam
