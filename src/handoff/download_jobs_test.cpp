#include "handoff/download_jobs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <numeric>

#include "fakes/fake_platform.h"
#include "platform/failure.h"

namespace harvelo {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const Text kPage = u"http://gallery.example/show.htm";
const Text kDocumentsQuorvex = u"/home/user/Documents/Quorvex";

class DownloadJobsTest : public ::testing::Test {
 protected:
  DownloadJobsTest() {
    fake_.page->location = kPage;
    fake_.page->document.root_innerHTML = u"<HEAD></HEAD><BODY>pictures</BODY>";
  }

  // The hand-off combines no address, opens no dialog and shows no notice.
  void TearDown() override {
    EXPECT_THAT(fake_.urls.calls_, IsEmpty());
    EXPECT_EQ(fake_.folder_browser.created_, 0);
    EXPECT_EQ(fake_.notice.shown_, 0);
  }

  void SetSetting(const Text& name, const Text& value) {
    registry_.WriteSetting(kSettingsKey, name, value);
  }
  Text Setting(const Text& name) { return registry_.ReadSetting(kSettingsKey, name); }

  void Find(int count) {
    for (int k = 1; k <= count; ++k) {
      media_.push_back(u"http://img.example/p" + DecimalText(k) + u".jpg");
    }
  }

  // Runs the hand-off to its end; a Failure it raises is returned for the test to read.
  std::optional<Failure> Send(const Text& folder = u"/home/user/Pictures") {
    DownloadJobs jobs(fake_.platform, channel_, app_path_, 200);
    try {
      jobs.SendDownloadJobs(*page_, media_, folder);
    } catch (const Failure& failure) {
      return failure;
    } catch (const ProgramEnded&) {
    }
    return std::nullopt;
  }

  std::vector<Text> SentData() {
    std::vector<Text> data;
    for (const auto& sent : fake_.channels.record_.sent) data.push_back(sent.data);
    return data;
  }

  FakePlatform fake_;
  std::shared_ptr<FakeWebBrowser> page_ = fake_.page;
  std::vector<Text> media_{Text()};
  JobChannel channel_;
  AppPath app_path_{fake_.machine};
  Registry registry_{fake_.registry};
};

TEST_F(DownloadJobsTest, GivenNoSettingsWeShouldSendG999StoreG998AndLogInTheCreatedDefaultFolder) {
  Find(1);
  EXPECT_FALSE(Send());
  EXPECT_THAT(
      SentData(),
      ElementsAre(u"<DataURL>http://img.example/p1.jpg</DataURL><DataPath>"
                  u"/home/user/Pictures/</DataPath><DataOrgin>" +
                  kPage + u"</DataOrgin><DataGroup>g999</DataGroup><DataOrder>01</DataOrder>"));
  EXPECT_EQ(fake_.channels.record_.sent[0].message_number, 401);
  EXPECT_EQ(fake_.channels.record_.sent[0].peer, 77);
  EXPECT_EQ(Setting(u"dGroupNumber"), u"g998");
  EXPECT_THAT(fake_.fs.created_, ElementsAre(kDocumentsQuorvex));
  EXPECT_THAT(fake_.fs.appends_, ElementsAre(kDocumentsQuorvex + u"/SourceLog.txt"));
  EXPECT_EQ(fake_.fs.files_[kDocumentsQuorvex + u"/SourceLog.txt"],
            u"05/12/2026 15:30:00\tg999\t" + kPage + u"\r\n");
  EXPECT_THAT(fake_.ui.events_, ElementsAre("unload main form", "end"));
  EXPECT_TRUE(channel_.ChannelOpen && channel_.channel);
  // Haulbeam answers at once: nothing is started and nothing waited for.
  EXPECT_THAT(fake_.processes.starts_, IsEmpty());
  EXPECT_EQ(fake_.ui.do_events_, 0);
}

TEST_F(DownloadJobsTest, GivenGroupingOffWeShouldSendTheFixedEmptyGroupAndNeitherCountNorLog) {
  SetSetting(u"dAddGroup", u"0");
  SetSetting(u"dLogSource", u"1");
  Find(2);
  EXPECT_FALSE(Send());
  for (const Text& data : SentData()) {
    EXPECT_TRUE(EndsWith(data, u"</DataOrgin><DataGroup></DataGroup><DataOrder></DataOrder>"))
        << ToUtf8(data);
  }
  EXPECT_EQ(SentData().size(), 2u);
  EXPECT_EQ(Setting(u"dGroupNumber"), u"");
  EXPECT_THAT(fake_.fs.appends_, IsEmpty());
}

TEST_F(DownloadJobsTest, GivenManyItemsWeShouldSendTheLastFoundFirstWithTwoOrMoreDigitOrders) {
  Find(101);
  EXPECT_FALSE(Send());
  const std::vector<Text> sent = SentData();
  ASSERT_EQ(sent.size(), 101u);
  EXPECT_TRUE(StartsWith(sent.front(), u"<DataURL>http://img.example/p101.jpg</DataURL>"));
  EXPECT_TRUE(StartsWith(sent.back(), u"<DataURL>http://img.example/p1.jpg</DataURL>"));
  const std::pair<std::size_t, Text> orders[] = {{0, u"101"}, {1, u"100"}, {2, u"99"},
                                                 {91, u"10"}, {92, u"09"}, {100, u"01"}};
  for (const auto& [index, order] : orders) {
    EXPECT_TRUE(EndsWith(sent[index], u"<DataOrder>" + order + u"</DataOrder>")) << index;
  }
}

TEST_F(DownloadJobsTest, GivenAnyFolderWeShouldSendOneSharedPathEndingInTheSeparator) {
  for (const Text folder : {u"/home/user/Pictures", u"/home/user/Pictures/"}) {
    fake_.channels.record_.sent.clear();
    media_ = {Text()};
    Find(3);
    EXPECT_FALSE(Send(folder));
    const std::vector<Text> sent = SentData();
    ASSERT_EQ(sent.size(), 3u);
    const Text tail = u"</DataURL><DataPath>/home/user/Pictures/</DataPath><DataOrgin>" + kPage +
                      u"</DataOrgin><DataGroup>";
    for (std::size_t i = 0; i < sent.size(); ++i) {
      EXPECT_EQ(sent[i].substr(sent[i].find(u"</DataURL>"), tail.size()), tail);
    }
  }
  // Two runs, two numbers: each run shares its own.
  EXPECT_TRUE(Contains(SentData()[0], u"g998"));
}

struct OriginCase {
  const char* name;
  Text location;
  Text html;
  Text origin;
  int location_reads;
  int html_reads;
};

TEST_F(DownloadJobsTest, GivenTheAddressAndTheMarkersWeShouldSettleTheOriginAsDescribed) {
  const Text plain = u"http://Gallery.example/Show.htm";
  const OriginCase cases[] = {
      {"item in capitals", u"http://g.example/p?QXSOURCE=1&qxurl=http%3A%2F%2Fo.example%2Fa+b", u"",
       u"http://o.example/a b", 2, 0},
      {"item without qxurl", u"http://g.example/p?qxsource=1", u"", u"", 2, 0},
      {"qxurl with its case", u"http://g.example/p?qxsource=1&QxUrl=X%41", u"", u"XA", 2, 0},
      {"marker", plain, u"<BR /><QXSOURCE value=\"http://o.example/\" /><P>", u"http://o.example/",
       1, 2},
      {"marker without quote", plain, u"<QXSOURCE value=http://o.example/ />", u"", 1, 2},
      {"marker in small letters", plain, u"<qxsource value=\"http://o.example/\" />", plain, 1, 1},
      {"nothing", plain, u"<P>hello</P>", plain, 1, 1},
  };
  for (const OriginCase& c : cases) {
    auto page = std::make_shared<FakeWebBrowser>();
    page->location = c.location;
    page->document.root_innerHTML = c.html;
    page_ = page;
    media_ = {Text(), u"http://img.example/a.jpg"};
    fake_.channels.record_.sent.clear();
    EXPECT_FALSE(Send()) << c.name;
    ASSERT_EQ(SentData().size(), 1u) << c.name;
    EXPECT_TRUE(Contains(SentData()[0], u"<DataOrgin>" + c.origin + u"</DataOrgin>"))
        << c.name << ": " << ToUtf8(SentData()[0]);
    EXPECT_EQ(page->reads["LocationURL"], c.location_reads) << c.name;
    EXPECT_EQ(page->reads["documentElement.innerHTML"], c.html_reads) << c.name;
  }
}

struct LogCase {
  const char* name;
  std::vector<std::pair<Text, Text>> settings;
  std::vector<Text> folders;    // folders that exist besides the documents folder
  std::vector<Text> read_only;  // folders that refuse new children
  std::vector<Text> appends;
  std::vector<Text> created;
};

TEST_F(DownloadJobsTest, GivenTheLogSettingsAndFoldersWeShouldAppendOneLineWhereDescribed) {
  const LogCase cases[] = {
      {"log folder that does not exist",
       {{u"dLogPath", u"/media/gone"}},
       {},
       {},
       {kDocumentsQuorvex + u"/SourceLog.txt"},
       {kDocumentsQuorvex}},
      {"existing log folder",
       {{u"dLogPath", u"/srv/logs/"}},
       {u"/srv/logs"},
       {},
       {u"/srv/logs/SourceLog.txt"},
       {}},
      {"existing default folder",
       {},
       {kDocumentsQuorvex},
       {},
       {kDocumentsQuorvex + u"/SourceLog.txt"},
       {}},
      {"logging off",
       {{u"dLogSource", u"0"}, {u"dLogPath", u"/srv/logs"}},
       {u"/srv/logs"},
       {},
       {},
       {}},
      {"no folder can be made", {}, {}, {u"/home/user/Documents"}, {}, {}},
  };
  for (const LogCase& c : cases) {
    FakePlatform f;
    f.page->document.root_innerHTML = u"<BODY>pictures</BODY>";
    Registry registry(f.registry);
    for (const Text& folder : c.folders) f.fs.AddFolder(folder);
    for (const Text& folder : c.read_only) f.fs.read_only_.insert(folder);
    for (const auto& [name, value] : c.settings) registry.WriteSetting(kSettingsKey, name, value);
    JobChannel channel;
    AppPath app_path(f.machine);
    try {
      DownloadJobs(f.platform, channel, app_path)
          .SendDownloadJobs(*f.page, {Text(), u"http://img.example/a.jpg"}, u"/home/user/Pictures");
    } catch (const ProgramEnded&) {
    }
    EXPECT_EQ(f.fs.appends_, c.appends) << c.name;
    EXPECT_EQ(f.fs.created_, c.created) << c.name;
    EXPECT_EQ(f.channels.record_.sent.size(), 1u) << c.name;
    EXPECT_EQ(registry.ReadSetting(kSettingsKey, u"dGroupNumber"), u"g998") << c.name;
    for (const auto& [name, value] : c.settings) {
      EXPECT_EQ(registry.ReadSetting(kSettingsKey, name), value) << c.name;
    }
  }
}

TEST_F(DownloadJobsTest, GivenALogThatCannotBeWrittenWeShouldRaiseBeforeSendingAnything) {
  fake_.fs.AddFolder(kDocumentsQuorvex);
  fake_.fs.read_only_.insert(kDocumentsQuorvex);
  Find(2);
  const std::optional<Failure> failure = Send();
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->description(), u"Permission denied");
  EXPECT_THAT(SentData(), IsEmpty());
  EXPECT_EQ(Setting(u"dGroupNumber"), u"g998");
  EXPECT_FALSE(fake_.ui.ended_);
}

TEST_F(DownloadJobsTest, GivenAFailingSendWeShouldRaiseKeepTheNumberAdvancedAndDropTheRest) {
  SetSetting(u"dGroupNumber", u"c500");
  fake_.channels.record_.send_fails_at = 1;
  Find(4);
  const std::optional<Failure> failure = Send();
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->description(), u"The download program did not take the message");
  EXPECT_EQ(SentData().size(), 1u);
  EXPECT_EQ(Setting(u"dGroupNumber"), u"c499");
  EXPECT_THAT(fake_.ui.events_, IsEmpty());
}

TEST_F(DownloadJobsTest, GivenAChannelThatCannotOpenWeShouldRaiseBeforeTouchingAnything) {
  fake_.channels.record_.open_fails = true;
  Find(1);
  ASSERT_TRUE(Send());
  EXPECT_FALSE(channel_.ChannelOpen);
  EXPECT_EQ(Setting(u"dGroupNumber"), u"");
  EXPECT_EQ(fake_.page->reads["LocationURL"], 0);
}

TEST_F(DownloadJobsTest, GivenNothingFoundOrNoSlotZeroWeShouldSendNothingAndEnd) {
  for (const std::vector<Text>& media : {std::vector<Text>{Text()}, std::vector<Text>{}}) {
    media_ = media;
    fake_.ui.ended_ = false;
    EXPECT_FALSE(Send());
    EXPECT_THAT(SentData(), IsEmpty());
    EXPECT_TRUE(fake_.ui.ended_);
    EXPECT_THAT(fake_.processes.starts_, IsEmpty());
  }
}

TEST_F(DownloadJobsTest, GivenHaulbeamAbsentWeShouldStartItOnceAndPumpBetweenPolls) {
  fake_.channels.record_.absent_for = 4;
  Find(3);
  EXPECT_FALSE(Send());
  ASSERT_EQ(fake_.processes.starts_.size(), 1u);
  EXPECT_EQ(fake_.processes.starts_[0].command_line, u"\"/opt/harvelo/Haulbeam.exe\"");
  EXPECT_EQ(fake_.processes.starts_[0].window_style, kNormalNoFocus);
  // Four absent answers: the first, then three polls each after a pump; the fourth poll finds it.
  EXPECT_EQ(fake_.ui.do_events_, 4);
  EXPECT_THAT(fake_.clock.sleeps_, ElementsAre(10, 10, 10));
  EXPECT_EQ(SentData().size(), 3u);
}

TEST_F(DownloadJobsTest, GivenAStartThatFailsWeShouldSwallowItAndKeepWaiting) {
  fake_.channels.record_.absent_for = 3;
  fake_.processes.fails_ = true;
  Find(1);
  EXPECT_FALSE(Send());
  EXPECT_EQ(fake_.processes.starts_.size(), 1u);
  EXPECT_EQ(SentData().size(), 1u);
}

TEST_F(DownloadJobsTest, GivenAPeerQuestionThatFailsWeShouldSwallowItAndKeepTheLastAnswer) {
  fake_.channels.record_.peer_handle_fails = true;
  Find(1);
  EXPECT_FALSE(Send());
  ASSERT_EQ(fake_.channels.record_.sent.size(), 1u);
  EXPECT_EQ(fake_.channels.record_.sent[0].peer, 0);
  EXPECT_THAT(fake_.processes.starts_, IsEmpty());
}

TEST_F(DownloadJobsTest, GivenHaulbeamThatNeverComesWeShouldRaiseAfterTheBoundNamingTheFolder) {
  fake_.channels.record_.absent_for = -1;
  Find(2);
  const std::optional<Failure> failure = Send();
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->description(),
            u"The download program Haulbeam.exe did not answer. It was looked for in the folder "
            u"/opt/harvelo/");
  EXPECT_EQ(std::accumulate(fake_.clock.sleeps_.begin(), fake_.clock.sleeps_.end(), 0), 200);
  EXPECT_EQ(fake_.ui.do_events_, 21);
  EXPECT_THAT(SentData(), IsEmpty());
  EXPECT_EQ(Setting(u"dGroupNumber"), u"g998");
  EXPECT_FALSE(fake_.ui.ended_);
}

TEST_F(DownloadJobsTest, GivenTheDefaultBoundWeShouldWaitThirtySecondsOfPauses) {
  fake_.channels.record_.absent_for = -1;
  DownloadJobs jobs(fake_.platform, channel_, app_path_);
  channel_.channel = fake_.channels.Create();
  EXPECT_THROW(jobs.WaitForHaulbeam(), Failure);
  EXPECT_EQ(std::accumulate(fake_.clock.sleeps_.begin(), fake_.clock.sleeps_.end(), 0), 30000);
}

}  // namespace
}  // namespace harvelo
