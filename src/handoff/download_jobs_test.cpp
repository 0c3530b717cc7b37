#include "handoff/download_jobs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <numeric>

#include "fakes/fake_platform.h"

namespace harvelo {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const Text kPage = u"http://gallery.example/show.htm";
const Text kQuorvex = u"/home/user/Documents/Quorvex";
const Text kLog = kQuorvex + u"/SourceLog.txt";

// One run of the hand-off over fakes, its page showing kPage.
struct HandOff {
  HandOff() {
    fake.page->location = kPage;
    fake.page->document.root_innerHTML = u"<BODY>pictures</BODY>";
  }
  void Set(const Text& name, const Text& value) {
    Registry(fake.registry).WriteSetting(kSettingsKey, name, value);
  }
  Text Setting(const Text& name) { return Registry(fake.registry).ReadSetting(kSettingsKey, name); }
  // Hands over `count` found addresses (-1: not even slot 0); the Failure raised, if any.
  Text Send(int count, const Text& folder = u"/home/user/Pictures") {
    std::vector<Text> media(count < 0 ? 0 : 1);
    for (int k = 1; k <= count; ++k) media.push_back(u"http://i/p" + DecimalText(k) + u".jpg");
    try {
      DownloadJobs(fake.platform, channel, app_path, 200)
          .SendDownloadJobs(*fake.page, media, folder);
    } catch (const Failure& failure) {
      return failure.description();
    } catch (const ProgramEnded&) {
    }
    return Text();
  }

  FakePlatform fake;
  JobChannel channel;
  AppPath app_path{fake.machine};
};

class DownloadJobsTest : public ::testing::Test, public HandOff {};

TEST_F(DownloadJobsTest, GivenNoSettingsWeShouldSendTheLastFoundFirstInOneGroupAndLogIt) {
  EXPECT_EQ(Send(101, u"/home/user/Pictures/"), u"");
  const std::vector<Text>& sent = fake.channels.sent_;
  ASSERT_EQ(sent.size(), 101u);
  EXPECT_EQ(sent[0],
            u"77 401 <DataURL>http://i/p101.jpg</DataURL><DataPath>/home/user/Pictures/"
            u"</DataPath><DataOrgin>" +
                kPage + u"</DataOrgin><DataGroup>g999</DataGroup><DataOrder>101</DataOrder>");
  const std::pair<int, Text> orders[] = {{100, u"100"}, {10, u"10"}, {9, u"09"}, {1, u"01"}};
  for (const auto& [k, order] : orders) {
    EXPECT_TRUE(Contains(sent[101 - k], u"/p" + DecimalText(k) + u".jpg</DataURL>")) << k;
    EXPECT_TRUE(EndsWith(sent[101 - k], u"<DataOrder>" + order + u"</DataOrder>")) << k;
  }
  EXPECT_EQ(Setting(u"dGroupNumber"), u"g998");
  EXPECT_THAT(fake.fs.files_,
              ElementsAre(std::pair{kLog, u"05/12/2026 15:30:00\tg999\t" + kPage + u"\r\n"}));
  EXPECT_THAT(fake.ui.events_, ElementsAre("unload main form", "end"));
  EXPECT_THAT(fake.channels.calls_, ElementsAre("open my server|my client"));
  EXPECT_TRUE(channel.ChannelOpen);
  // Haulbeam answers at once: nothing is started and nothing waited for.
  EXPECT_THAT(fake.processes.starts_, IsEmpty());
  EXPECT_EQ(fake.ui.do_events_, 0);
}

TEST_F(DownloadJobsTest, GivenGroupingOffWeShouldSendTheFixedEmptyGroupAndNeitherCountNorLog) {
  Set(u"dAddGroup", u"0");
  Set(u"dLogSource", u"1");
  EXPECT_EQ(Send(2), u"");
  EXPECT_THAT(fake.channels.sent_,
              ElementsAre(u"77 401 <DataURL>http://i/p2.jpg</DataURL><DataPath>/home/user/Pictures/"
                          u"</DataPath><DataOrgin>" +
                              kPage + u"</DataOrgin><DataGroup></DataGroup><DataOrder></DataOrder>",
                          ::testing::_));
  EXPECT_EQ(Setting(u"dGroupNumber"), u"");
  EXPECT_THAT(fake.fs.files_, IsEmpty());
}

TEST(DownloadJobsOriginTest, GivenTheAddressAndTheMarkersWeShouldSettleTheOrigin) {
  const Text plain = u"http://Gallery.example/Show.htm";
  const struct {
    Text location, html, origin;
  } cases[] = {
      {u"http://g/p?QXSOURCE=1&qxurl=http%3A%2F%2Fo.example%2Fa+b", u"", u"http://o.example/a b"},
      {u"http://g/p?qxsource=1", u"", u""},
      {u"http://g/p?qxsource=1&QxUrl=X%41", u"", u"XA"},
      {plain, u"<BR /><QXSOURCE value=\"http://o.example/\" /><P>", u"http://o.example/"},
      {plain, u"<QXSOURCE value=http://o.example/ />", u""},
      {plain, u"<qxsource value=\"http://o.example/\" />", plain},
      {plain, u"<P>hello</P>", plain},
  };
  for (const auto& c : cases) {
    HandOff run;
    run.fake.page->location = c.location;
    run.fake.page->document.root_innerHTML = c.html;
    EXPECT_EQ(run.Send(1), u"");
    ASSERT_EQ(run.fake.channels.sent_.size(), 1u);
    EXPECT_TRUE(Contains(run.fake.channels.sent_[0], u"<DataOrgin>" + c.origin + u"</DataOrgin>"))
        << ToUtf8(run.fake.channels.sent_[0]);
  }
}

TEST(DownloadJobsLogTest, GivenTheLogSettingsAndFoldersWeShouldAppendOneLineWhereDescribed) {
  const Text logs = u"/srv/logs";
  const struct {
    Text log_path, log_source, existing, read_only, log;
    std::size_t created;
  } cases[] = {
      {u"/media/gone", u"", u"", u"", kLog, 1},  // a log folder that does not exist
      {u"/srv/logs/", u"", logs, u"", logs + u"/SourceLog.txt", 0},
      {u"", u"", kQuorvex, u"", kLog, 0},
      {logs, u"0", logs, u"", u"", 0},                   // logging off
      {u"", u"", u"", u"/home/user/Documents", u"", 0},  // no folder can be made
  };
  for (const auto& c : cases) {
    HandOff run;
    run.Set(u"dLogPath", c.log_path);
    run.Set(u"dLogSource", c.log_source);
    if (!c.existing.empty()) run.fake.fs.AddFolder(c.existing);
    run.fake.fs.read_only_.insert(c.read_only);
    EXPECT_EQ(run.Send(1), u"");
    EXPECT_EQ(run.fake.fs.files_.size(), c.log.empty() ? 0u : 1u) << ToUtf8(c.log_path);
    if (!c.log.empty()) {
      EXPECT_EQ(run.fake.fs.files_.begin()->first, c.log);
    }
    EXPECT_EQ(run.fake.fs.created_.size(), c.created) << ToUtf8(c.log_path);
    EXPECT_EQ(run.fake.channels.sent_.size(), 1u);
    EXPECT_EQ(run.Setting(u"dGroupNumber"), u"g998");
  }
}

TEST(DownloadJobsFailureTest, GivenAFailureWeShouldRaiseItSendNoMoreAndNotEnd) {
  const Text folder_name =
      u"The download program Haulbeam.exe did not answer. It was looked for in the folder "
      u"/opt/harvelo/";
  const struct {
    std::function<void(HandOff&)> arrange;
    Text failure;
    std::size_t sent;
    Text group;
  } cases[] = {
      {[](HandOff& r) {  // the log cannot be written
         r.fake.fs.AddFolder(kQuorvex);
         r.fake.fs.read_only_.insert(kQuorvex);
       },
       u"Permission denied", 0, u"g998"},
      {[](HandOff& r) {
         r.Set(u"dGroupNumber", u"c500");
         r.fake.channels.send_fails_at_ = 1;
       },
       u"The download program did not take the message", 1, u"c499"},
      {[](HandOff& r) { r.fake.channels.open_fails_ = true; }, u"The channel cannot be opened", 0,
       u""},
      {[](HandOff& r) { r.fake.channels.absent_for_ = -1; }, folder_name, 0, u"g998"},
  };
  for (const auto& c : cases) {
    HandOff run;
    c.arrange(run);
    EXPECT_EQ(run.Send(4), c.failure);
    EXPECT_EQ(run.fake.channels.sent_.size(), c.sent) << ToUtf8(c.failure);
    EXPECT_EQ(run.Setting(u"dGroupNumber"), c.group) << ToUtf8(c.failure);
    EXPECT_THAT(run.fake.ui.events_, IsEmpty()) << ToUtf8(c.failure);
  }
}

TEST_F(DownloadJobsTest, GivenHaulbeamThatNeverComesWeShouldPollUntilTheBound) {
  fake.channels.absent_for_ = -1;
  EXPECT_NE(Send(2), u"");
  EXPECT_EQ(std::accumulate(fake.clock.sleeps_.begin(), fake.clock.sleeps_.end(), 0), 200);
  EXPECT_EQ(fake.ui.do_events_, 21);
  // The program's own bound is thirty seconds of pauses.
  FakePlatform other;
  other.channels.absent_for_ = -1;
  JobChannel channel{other.channels.Create(), false};
  EXPECT_THROW(DownloadJobs(other.platform, channel, app_path).WaitForHaulbeam(), Failure);
  EXPECT_EQ(std::accumulate(other.clock.sleeps_.begin(), other.clock.sleeps_.end(), 0), 30000);
}

TEST(DownloadJobsStartTest,
     GivenHaulbeamLateWeShouldStartItOnceSwallowFailuresAndPumpBetweenPolls) {
  const struct {
    int absent_for;
    bool start_fails, peer_fails;
    std::size_t starts;
    int yields;
    Text first;  // how the first message begins
  } cases[] = {{4, false, false, 1, 4, u"77 401 "},
               {3, true, false, 1, 3, u"77 401 "},
               {0, false, true, 0, 0, u"0 401 "}};  // a failed question leaves the first answer
  for (const auto& c : cases) {
    HandOff run;
    run.fake.channels.absent_for_ = c.absent_for;
    run.fake.processes.fails_ = c.start_fails;
    run.fake.channels.peer_fails_ = c.peer_fails;
    EXPECT_EQ(run.Send(3), u"");
    ASSERT_EQ(run.fake.channels.sent_.size(), 3u);
    EXPECT_TRUE(StartsWith(run.fake.channels.sent_[0], c.first));
    EXPECT_EQ(run.fake.processes.starts_,
              decltype(run.fake.processes.starts_)(
                  c.starts, {u"\"/opt/harvelo/Haulbeam.exe\"", kNormalNoFocus}));
    EXPECT_EQ(run.fake.ui.do_events_, c.yields);
    EXPECT_EQ(run.fake.clock.sleeps_, std::vector<int>(std::max(c.yields - 1, 0), 10));
  }
}

TEST_F(DownloadJobsTest, GivenNothingFoundOrNoSlotZeroWeShouldSendNothingAndEnd) {
  for (const int count : {0, -1}) {
    fake.ui.events_.clear();
    EXPECT_EQ(Send(count), u"");
    EXPECT_THAT(fake.ui.events_, ElementsAre("unload main form", "end"));
  }
  EXPECT_THAT(fake.channels.sent_, IsEmpty());
  EXPECT_THAT(fake.processes.starts_, IsEmpty());
}

}  // namespace
}  // namespace harvelo
