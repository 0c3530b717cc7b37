#include "inspection.h"

#include <gtest/gtest.h>

#include <sstream>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include "fakes/fake_user_interface.h"
#include "oracle/list_links_literal.h"
#include "platform/linux/scanner/url_combiner.h"

namespace harvelo {
namespace {

struct Outcome {
  int exit_code = -1;
  QByteArray out;
  QByteArray err;
};

Outcome RunInspect(const QStringList& arguments, const QByteArray& input = {}) {
  QProcess process;
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
  const auto urls = NewUrlCombiner();
  std::ostringstream json;
  WriteInspectionJson(InspectPage(page, u"http://h/g/index.html", *urls, ui), json);
  EXPECT_EQ(json.str(),
            R"({"mode":"source","links":[["http://h/g/big/1.jpg","http://h/g/t/1.jpg"],)"
            R"(["http://h/clip.mpg","http://h/g/t/2.jpg"],["http://h/2.jpg","text"]],)"
            R"("media":["http://h/g/big/1.jpg","http://h/clip.mpg"],"pictures":1,"movies":1})");
}

TEST(InspectionTest, GivenAMarkerPageWeShouldReportOnlyItsMode) {
  const Outcome outcome =
      RunInspect({"--page-url", "http://h/"}, "<QXPICS value=1><a href=a.jpg><img src=b.jpg></a>");
  EXPECT_EQ(outcome.exit_code, 0);
  EXPECT_EQ(outcome.out,
            R"({"mode":"marker","links":[],"media":[],"pictures":0,"movies":0})" "\n");
}

struct RealPage {
  const char* name;
  const char* address;
};

class InspectRealPages : public ::testing::TestWithParam<RealPage> {};

TEST_P(InspectRealPages, GivenASavedPageWeShouldPrintExactlyTheKnownAnswer) {
  const QString page = QStringLiteral(HARVELO_TESTDATA "/") + GetParam().name + ".html";
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
    ::testing::Values(
        RealPage{"lightbox2-examples",
                 "http://lokeshdhakar.com/projects/lightbox2/examples/index.html"},
        RealPage{"photoswipe3-default", "http://www.photoswipe.com/latest/examples/01-default.html"},
        RealPage{"colorbox-example1", "http://www.jacklmoore.com/colorbox/example1/index.html"}),
    [](const auto& info) {
      std::string name = info.param.name;
      for (char& c : name) if (c == '-') c = '_';
      return name;
    });

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
