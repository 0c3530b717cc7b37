// Haulbeam as Harvelo meets it: the program started on its own, jobs through the channel's
// socket, files from a server on 127.0.0.1, one line per job on its standard output.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QString>
#include <QUrl>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "file_naming.h"
#include "platform/linux/channel/channel_folder.h"
#include "platform/linux/channel/frame.h"
#include "support/child_process.h"
#include "support/page_server.h"

namespace haulbeam {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using harvelo::testing::ChildProcess;
using harvelo::testing::PageServer;
using Files = std::map<std::string, std::string>;
using Frames = std::vector<std::pair<std::int32_t, std::string>>;

// The files of `folder` and what they hold.
Files Contents(const fs::path& folder) {
  Files files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::ostringstream bytes;
    bytes << std::ifstream(entry.path(), std::ios::binary).rdbuf();
    files[entry.path().filename().string()] = bytes.str();
  }
  return files;
}

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
                                 "0.05,0.05"},
        std::map<std::string, std::string>{
            {"XDG_RUNTIME_DIR", run_}, {"http_proxy", ""}, {"https_proxy", ""}},
        output_.fd());
  }

  // Connects as Harvelo does (within 20 s of the start) and says hello: the connection,
  // or -1 when the hello is not taken.
  int Connect() {
    sockaddr_un address{.sun_family = AF_UNIX};
    std::strcpy(address.sun_path,
                harvelo::channel::SocketPath(run_ + "/quorvex", u"my server").c_str());
    const int client = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    for (int i = 0; i < 200; ++i) {
      if (::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) break;
      std::this_thread::sleep_for(100ms);
    }
    if (Answers(client, {{0, "my client"}}) == "\x06") return client;
    ::close(client);
    return -1;
  }

  // Sends each frame over `client` after the answer to the one before: the answers.
  static std::string Answers(int client, const Frames& frames) {
    std::string answers;
    for (const auto& [number, data] : frames) {
      const std::string bytes = harvelo::channel::EncodeFrame(number, data);
      char answer = 0;
      pollfd ready{client, POLLIN, 0};
      if (::send(client, bytes.data(), bytes.size(), MSG_NOSIGNAL) < 0 ||
          ::poll(&ready, 1, 20000) <= 0 || ::read(client, &answer, 1) != 1) {
        break;
      }
      answers += answer;
    }
    return answers;
  }

  // Sends `frames` to a Haulbeam started for them: its answers; the program has ended.
  std::string Send(const Frames& frames) {
    auto program = Start();
    const int client = Connect();
    const std::string answers = Answers(client, frames);
    ::close(client);
    EXPECT_EQ(program->Wait(30s), 0);
    return answers;
  }

  harvelo::testing::TemporaryFolder folder_;
  const std::string run_ = folder_.path() + "/run";
  harvelo::testing::MemoryFile output_;
};

TEST_F(HaulbeamTest, GivenJobsForTheServersADownloaderMeetsWeShouldSaveOrReportEachOne) {
  PageServer server;
  server.RequireReferer("/guarded/", "http://gallery.example/");
  server.Add("/target.jpg", PageServer::Reply{.body = "target"});
  const std::string kPart = "(part)";  // stands for the part file of the row's address
  const struct Case {
    std::string served;  // the path on the server
    PageServer::Reply reply;
    Files before;         // the folder's files before the job
    std::string outcome;  // "saved\t<name>" or "failed\t<reason>"
    Files after;
    std::string sent = served;  // the path in the job, as the page's markup wrote it
    std::string origin = "http://gallery.example/page.html";
    // clang-format off
  } kCases[] = {
      {"/plain.jpg", {.body = "picture"}, {}, "saved\tplain.jpg", {{"plain.jpg", "picture"}}},
      {"/taken.jpg", {.body = "new"}, {{"taken.jpg", "old"}},
       "saved\ttaken (2).jpg", {{"taken.jpg", "old"}, {"taken (2).jpg", "new"}}},
      {"/resume.jpg", {.body = "abcdefgh", .ranges = true}, {{kPart, "XXXX"}},
       "saved\tresume.jpg", {{"resume.jpg", "XXXXefgh"}}},
      {"/restart.jpg", {.body = "abcdefgh"}, {{kPart, "XXXX"}},
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
      {"/missing.jpg", {}, {}, "failed\tHTTP 404 Not Found", {}},
  };  // clang-format on

  const auto folder = [&](std::size_t row) {
    return folder_.path() + "/" + std::to_string(row) + "/";
  };
  const auto order = [](std::size_t row) { return std::to_string(10 + row); };
  const auto files = [](Files files, const std::string& url) {
    const auto part = files.find("(part)");
    if (part == files.end()) return files;
    files[PartFileName(QUrl(QString::fromStdString(url))).toStdString()] = part->second;
    files.erase(part);
    return files;
  };
  Frames jobs;
  for (std::size_t row = 0; row < std::size(kCases); ++row) {
    const Case& c = kCases[row];
    if (c.served != "/missing.jpg") server.Add(c.served, c.reply);
    fs::create_directory(folder(row));
    for (const auto& [name, bytes] : files(c.before, server.Url(c.served))) {
      std::ofstream(folder(row) + name, std::ios::binary) << bytes;
    }
    jobs.emplace_back(401, JobMessage(server.Url(c.sent), folder(row), c.origin, order(row)));
  }
  EXPECT_EQ(Send(jobs), std::string(jobs.size(), harvelo::channel::kAccepted));

  std::map<std::string, std::string> line_of_order;
  std::istringstream lines(output_.Text());
  for (std::string line; std::getline(lines, line);) {
    const auto group = line.find("\tg999\t");
    if (group != std::string::npos) line_of_order[line.substr(group + 6, 2)] = line;
  }
  for (std::size_t row = 0; row < std::size(kCases); ++row) {
    const Case& c = kCases[row];
    const std::string tab_order = "\tg999\t" + order(row) + "\t";
    const std::string line = line_of_order[order(row)];
    if (c.outcome.starts_with("saved")) {
      EXPECT_EQ(line, "saved" + tab_order + folder(row) + c.outcome.substr(6) + "\t" +
                          server.Url(c.served));
    } else {
      EXPECT_TRUE(line.starts_with("failed" + tab_order + c.outcome.substr(7))) << line;
    }
    EXPECT_EQ(Contents(folder(row)), files(c.after, server.Url(c.served))) << c.served;
  }
}

TEST_F(HaulbeamTest, GivenMalformedMessagesWeShouldRefuseThemAndTakeTheNextJob) {
  PageServer server;
  server.Add("/a.jpg", "a");
  const std::string folder = folder_.path() + "/";
  EXPECT_EQ(Send({{401, "<DataURL>" + server.Url("/a.jpg") + "</DataURL>"},
                  {402, JobMessage(server.Url("/a.jpg"), folder, "", "01")},
                  {401, JobMessage(server.Url("/a.jpg"), "relative/", "", "01")},
                  {401, JobMessage(server.Url("/a.jpg"), folder, "", "01")}}),
            "\x15\x15\x15\x06");
  EXPECT_EQ(output_.Text(), "saved\tg999\t01\t" + folder + "a.jpg\t" + server.Url("/a.jpg") + "\n");
}

TEST_F(HaulbeamTest, GivenHaulbeamRunningWeShouldEndASecondAtOnceAndTheFirstOnceIdle) {
  auto first = Start();
  const int client = Connect();  // the first stays while a client is connected
  ASSERT_GE(client, 0);
  ChildProcess second({HAULBEAM, "--no-window"}, {{"XDG_RUNTIME_DIR", run_}});
  EXPECT_EQ(second.Wait(30s), 0);
  EXPECT_EQ(Answers(client, {{401, "not a job"}}), "\x15");  // the first still answers
  ::close(client);
  EXPECT_EQ(first->Wait(30s), 0);
  EXPECT_FALSE(fs::exists(harvelo::channel::SocketPath(run_ + "/quorvex", u"my server")));
}

}  // namespace
}  // namespace haulbeam
