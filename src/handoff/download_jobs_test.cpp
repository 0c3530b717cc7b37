#include "handoff/download_jobs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace harvelo {

const Text kPage = u"http://gallery.example/show.htm";
const Text kQuorvex = u"/home/user/Documents/Quorvex";
const std::string kLog = "|log /home/user/Documents/Quorvex/SourceLog.txt";
const std::string kEnd = "|unload main form|end";

// One run of the hand-off over fakes, its page showing kPage.
struct HandOff : FakePlatform {
  HandOff() {
    page->location = kPage;
    page->document.html = u"<BODY>pictures</BODY>";
  }
  // Hands over `count` found addresses (-1: not even slot 0).
  std::string Send(int count, const Text& folder = u"/home/user/Pictures") {
    std::vector<Text> media(count < 0 ? 0 : 1);
    for (int k = 1; k <= count; ++k) media.push_back(u"http://i/p" + DecimalText(k) + u".jpg");
    return Story([&] {
      DownloadJobs(platform, channel, app_path, 200).SendDownloadJobs(*page, media, folder);
    });
  }

  JobChannel channel;
  AppPath app_path{machine};
};

TEST(DownloadJobsTest, GivenNoSettingsWeShouldSendTheLastFoundFirstInOneGroupAndLogIt) {
  HandOff run;
  EXPECT_EQ(run.Send(101, u"/home/user/Pictures/"),
            "|sent 101 to 77|group g998" + kLog + "|made 1" + kEnd);
  const std::vector<Text>& sent = run.channels.sent_;
  EXPECT_EQ(sent[0],
            u"77 401 <DataURL>http://i/p101.jpg</DataURL><DataPath>/home/user/Pictures/"
            u"</DataPath><DataOrgin>" +
                kPage + u"</DataOrgin><DataGroup>g999</DataGroup><DataOrder>101</DataOrder>");
  for (const auto& [k, order] : {std::pair{100, u"100"}, {10, u"10"}, {9, u"09"}, {1, u"01"}}) {
    EXPECT_TRUE(Contains(sent[101 - k], u"/p" + DecimalText(k) + u".jpg</DataURL>")) << k;
    EXPECT_TRUE(EndsWith(sent[101 - k], u"<DataOrder>" + Text(order) + u"</DataOrder>")) << k;
  }
  EXPECT_EQ(run.fs.files_.begin()->second, u"05/12/2026 15:30:00\tg999\t" + kPage + u"\r\n");
  EXPECT_THAT(run.channels.calls_, ::testing::ElementsAre("open my server|my client"));
  EXPECT_TRUE(run.channel.ChannelOpen);
  // Grouping off: the fixed empty group, nothing counted and nothing logged.
  HandOff ungrouped;
  ungrouped.Store(u"dAddGroup", u"0");
  ungrouped.Store(u"dLogSource", u"1");
  EXPECT_EQ(ungrouped.Send(2), "|sent 2 to 77" + kEnd);
  EXPECT_TRUE(
      EndsWith(ungrouped.channels.sent_[0], u"<DataGroup></DataGroup><DataOrder></DataOrder>"));
}

TEST(DownloadJobsTest, GivenTheSettingsFoldersAndPeerWeShouldLogSendOrFailAsDescribed) {
  const std::string haulbeam = "|start \"/opt/harvelo/Haulbeam.exe\" 4";
  const struct {
    std::function<void(HandOff&)> arrange;
    int count;
    std::string story;
  } cases[] = {
      {[](HandOff& r) { r.Store(u"dLogPath", u"/media/gone"); }, 1,
       "|sent 1 to 77|group g998" + kLog + "|made 1" + kEnd},
      {[](HandOff& r) { r.Store(u"dLogPath", u"/srv/logs/"), r.fs.AddFolder(u"/srv/logs"); }, 1,
       "|sent 1 to 77|group g998|log /srv/logs/SourceLog.txt" + kEnd},
      {[](HandOff& r) { r.fs.AddFolder(kQuorvex); }, 1, "|sent 1 to 77|group g998" + kLog + kEnd},
      {[](HandOff& r) { r.Store(u"dLogSource", u"0"); }, 1, "|sent 1 to 77|group g998" + kEnd},
      {[](HandOff& r) { r.fs.read_only_.insert(u"/home/user/Documents"); }, 1,
       "|sent 1 to 77|group g998" + kEnd},
      {[](HandOff& r) { r.fs.AddFolder(kQuorvex), r.fs.read_only_.insert(kQuorvex); }, 4,
       "|failed Permission denied|group g998"},
      {[](HandOff& r) { r.Store(u"dGroupNumber", u"c500"), r.channels.send_fails_at_ = 1; }, 4,
       "|failed The download program did not take the message|sent 1 to 77|group c499" + kLog +
           "|made 1"},
      {[](HandOff& r) { r.channels.open_fails_ = true; }, 4,
       "|failed The channel cannot be opened"},
      {[](HandOff& r) { r.channels.absent_for_ = -1; }, 4,
       "|failed The download program Haulbeam.exe did not answer. It was looked for in the folder "
       "/opt/harvelo/" +
           haulbeam + "|group g998" + kLog + "|made 1|yields 21|slept 200"},
      // Haulbeam late: started once, polled with a yield between pauses.
      {[](HandOff& r) { r.channels.absent_for_ = 4; }, 3,
       haulbeam + "|sent 3 to 77|group g998" + kLog + "|made 1|yields 4|slept 30" + kEnd},
      {[](HandOff& r) { r.channels.absent_for_ = 3, r.processes.fails_ = true; }, 3,
       haulbeam + "|sent 3 to 77|group g998" + kLog + "|made 1|yields 3|slept 20" + kEnd},
      // A failed question leaves the first answer.
      {[](HandOff& r) { r.channels.peer_fails_ = true; }, 3,
       "|sent 3 to 0|group g998" + kLog + "|made 1" + kEnd},
      // Nothing found: the run still counts and logs, and ends.
      {[](HandOff&) {}, 0, "|group g998" + kLog + "|made 1" + kEnd},
      {[](HandOff&) {}, -1, "|group g998" + kLog + "|made 1" + kEnd},
  };
  for (const auto& c : cases) {
    HandOff run;
    c.arrange(run);
    EXPECT_EQ(run.Send(c.count), c.story);
  }
  // The program's own bound is thirty seconds of pauses.
  HandOff run;
  run.channels.absent_for_ = -1;
  JobChannel channel{run.channels.Create(), false};
  EXPECT_EQ(run.Story([&] { DownloadJobs(run.platform, channel, run.app_path).WaitForHaulbeam(); }),
            "|failed The download program Haulbeam.exe did not answer. It was looked for in the "
            "folder /opt/harvelo/|start \"/opt/harvelo/Haulbeam.exe\" 4|yields 3001|slept 30000");
}

TEST(DownloadJobsTest, GivenTheAddressAndTheMarkersWeShouldSettleTheOrigin) {
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
    run.page->location = c.location;
    run.page->document.html = c.html;
    run.Send(1);
    EXPECT_TRUE(Contains(run.channels.sent_.at(0), u"<DataOrgin>" + c.origin + u"</DataOrgin>"))
        << ToUtf8(run.channels.sent_[0]);
  }
}

}  // namespace harvelo
