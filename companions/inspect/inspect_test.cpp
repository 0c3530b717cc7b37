#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <sstream>

#include "fakes/fake_user_interface.h"
#include "fakes/recording_registry.h"
#include "inspection.h"
#include "oracle/list_links_literal.h"
#include "platform/linux/qt_core/url_combiner.h"
#include "support/real_pages.h"

namespace harvelo {
namespace {

struct Outcome {
  int exit_code = -1;
  QByteArray out;
  QByteArray err;
};

// The settings file of a user who has never changed a setting, unless a test writes one.
QString SettingsHome() {
  static QTemporaryDir home;
  return home.path();
}

Outcome RunInspect(const QStringList& arguments, const QByteArray& input = {},
                   const QString& config_home = SettingsHome()) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("XDG_CONFIG_HOME", config_home);
  process.setProcessEnvironment(environment);
  process.start(QStringLiteral(HARVELO_INSPECT), arguments);
  Outcome outcome;
  if (!process.waitForStarted(10000)) return outcome;
  process.write(input);
  process.closeWriteChannel();
  if (!process.waitForFinished(30000)) {
    process.kill();
    process.waitForFinished(5000);
    return outcome;
  }
  outcome.exit_code = process.exitCode();
  outcome.out = process.readAllStandardOutput();
  outcome.err = process.readAllStandardError();
  return outcome;
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(InspectionTest, GivenASmallGalleryWeShouldPrintItsPairsMediaAndCounts) {
  const Text page =
      u"<p>Gallery</p><a href=\"big/1.jpg\"><img src=\"t/1.jpg\"></a>"
      u"<a href=\"http://h/clip.mpg\"><IMG SRC='t/2.jpg'></a>"
      u"<a href=\"http://h/2.jpg\">text</a><a name=end>";
  FakeUserInterface ui;
  RecordingRegistry api;
  Registry registry(api);
  const auto urls = NewUrlCombiner();
  std::ostringstream json;
  WriteInspectionJson(InspectPage(page, u"http://h/g/index.html", registry, *urls, ui), json);
  EXPECT_EQ(json.str(),
            R"({"mode":"source","links":[["http://h/g/big/1.jpg","http://h/g/t/1.jpg"],)"
            R"(["http://h/clip.mpg","http://h/g/t/2.jpg"],["http://h/2.jpg","text"]],)"
            R"("media":["http://h/g/big/1.jpg","http://h/clip.mpg"],"pictures":1,"movies":1,)"
            R"("harvest_allowed":true})");
}

TEST(InspectionTest, GivenAMarkerPageWeShouldReportOnlyItsMode) {
  const Outcome outcome =
      RunInspect({"--page-url", "http://h/"}, "<QXPICS value=1><a href=a.jpg><img src=b.jpg></a>");
  EXPECT_EQ(outcome.exit_code, 0);
  EXPECT_EQ(
      outcome.out,
      R"({"mode":"marker","links":[],"media":[],"pictures":0,"movies":0,"harvest_allowed":true})"
      "\n");
}

struct RealPage {
  const char* name;
  const char* address;
};

class InspectRealPages : public ::testing::TestWithParam<RealPage> {};

TEST_P(InspectRealPages, GivenASavedPageWeShouldPrintExactlyTheKnownAnswer) {
  if (!testing::HaveRealPages()) GTEST_SKIP() << testing::kNoRealPages;
  const QString page =
      QString::fromStdString(testing::RealPagePath(std::string(GetParam().name) + ".html"));
  const Outcome outcome = RunInspect({"--page-url", GetParam().address, page});
  ASSERT_EQ(outcome.exit_code, 0) << outcome.err.toStdString();
  EXPECT_EQ(outcome.out,
            ReadFile(QStringLiteral(HARVELO_TESTDATA "/") + GetParam().name + ".json"));

  // The pairs are those of the link extraction written step by step.
  FakeUserInterface ui;
  const auto urls = NewUrlCombiner();
  LinkSets sets(2);
  oracle::ListLinksLiteral(sets, 1, FromUtf8(ReadFile(page).toStdString()),
                           FromUtf8(GetParam().address), *urls, ui);
  const QJsonArray links = QJsonDocument::fromJson(outcome.out).object()["links"].toArray();
  ASSERT_EQ(static_cast<std::size_t>(links.size()), sets[1].LinkURLs.size() - 1);
  for (qsizetype j = 0; j < links.size(); ++j) {
    EXPECT_EQ(links[j].toArray()[0].toString().toStdU16String(), sets[1].LinkURLs[j + 1]);
    EXPECT_EQ(links[j].toArray()[1].toString().toStdU16String(), sets[1].LinkContents[j + 1]);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Pages, InspectRealPages,
    ::testing::Values(RealPage{"lightbox2-examples",
                               "http://lokeshdhakar.com/projects/lightbox2/examples/index.html"},
                      RealPage{"photoswipe3-default",
                               "http://www.photoswipe.com/latest/examples/01-default.html"},
                      RealPage{"colorbox-example1",
                               "http://www.jacklmoore.com/colorbox/example1/index.html"}),
    [](const auto& info) {
      std::string name = info.param.name;
      for (char& c : name)
        if (c == '-') c = '_';
      return name;
    });

TEST(InspectCommandTest, GivenRobotsExclusionWeShouldReportTheGateWithTheUsersSetting) {
  QTemporaryDir ignoring_robots;
  QFile settings(ignoring_robots.path() + "/Quorvex/registry.reg");
  ASSERT_TRUE(QDir().mkpath(ignoring_robots.path() + "/Quorvex"));
  ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
  settings.write(
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_CURRENT_USER\\SOFTWARE\\Quorvex]\n\"vObeyRobot\"=\"0\"\n");
  settings.close();
  struct Case {
    const char* page;
    bool allowed_by_default;
    bool allowed_when_robots_ignored;
  };
  const Case cases[] = {
      {"<META NAME=\"ROBOTS\" CONTENT=\"NOFOLLOW\"><a href=a.jpg><img src=t.jpg></a>", false, true},
      {"<meta name=\"quorvex\" content=\"nofollow\"><a href=a.jpg>t</a>", false, false},
      {"<p>nofollow is only a word here</p>", true, true},
      {"<meta name=robots content=noarchive>", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.page);
    const auto allowed = [&](const QString& home) {
      const Outcome outcome = RunInspect({"--page-url", "http://h/"}, c.page, home);
      EXPECT_EQ(outcome.exit_code, 0) << outcome.err.toStdString();
      return QJsonDocument::fromJson(outcome.out).object()["harvest_allowed"].toBool(true);
    };
    EXPECT_EQ(allowed(SettingsHome()), c.allowed_by_default);
    EXPECT_EQ(allowed(ignoring_robots.path()), c.allowed_when_robots_ignored);
  }
}

TEST(InspectCommandTest, GivenRealPagesWeShouldRefuseExactlyThoseWithRobotsNameAndNofollow) {
  if (!testing::HaveRealPages()) GTEST_SKIP() << testing::kNoRealPages;
  struct Case {
    const char* page;
    bool allowed;
  };
  const Case cases[] = {
      {"robots-noindex-nofollow.html", false},  // a robots meta tag saying nofollow
      {"smh-robots-rel-nofollow.html", false},  // robots tags, and nofollow in rel attributes
      {"typo3-base-fancybox.html", true},       // a robots tag without nofollow
      {"news-com-au-large.html", true},         // likewise
      {"wp-nextgen-gallery.html", true},        // nofollow, but no robots name
  };
  for (const Case& c : cases) {
    const Outcome outcome = RunInspect(
        {"--page-url", "http://h/", QString::fromStdString(testing::RealPagePath(c.page))});
    ASSERT_EQ(outcome.exit_code, 0) << c.page;
    EXPECT_EQ(QJsonDocument::fromJson(outcome.out).object()["harvest_allowed"].toBool(!c.allowed),
              c.allowed)
        << c.page;
  }
}

TEST(InspectCommandTest, GivenUnreadableInputWeShouldSayWhyAndExitWithTwo) {
  const Outcome missing = RunInspect({"--page-url", "http://h/", "/nonexistent/page.html"});
  EXPECT_EQ(missing.exit_code, 2);
  EXPECT_TRUE(missing.err.contains("cannot read /nonexistent/page.html"));
  EXPECT_TRUE(missing.out.isEmpty());
  const Outcome folder = RunInspect({"--page-url", "http://h/", "/"});
  EXPECT_EQ(folder.exit_code, 2);
  const Outcome no_url = RunInspect({}, "<a href=x>t</a>");
  EXPECT_EQ(no_url.exit_code, 2);
  EXPECT_TRUE(no_url.err.contains("--page-url"));
}

TEST(InspectCommandTest, GivenHelpWeShouldExplainTheContract) {
  const Outcome help = RunInspect({"--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_TRUE(help.out.contains("Usage: harvelo-inspect --page-url URL [FILE]"));
  EXPECT_TRUE(help.out.contains("\"mode\""));
}

}  // namespace
}  // namespace harvelo
