// The combiner against the browser itself: for what real pages carry, it must give the
// address that Chromium's `new URL(link, base).href` gives.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "fakes/fake_user_interface.h"
#include "platform/linux/scanner/url_combiner.h"
#include "scanner/list_links.h"

namespace harvelo {
namespace {

struct Pair {
  std::string base;
  std::string relative;
};

const std::vector<Pair> kPairs = {
    {"http://a/b/c/d;p?q", "//g"},
    {"http://a/b/c/d;p?q", "../../../g"},
    {"http://a/b/c/d;p?q", "g;x=1/../y"},
    {"http://a/b/c/d;p?q", "?y"},
    {"http://host/dir/page.htm", "my pic.jpg"},
    {"http://host/dir/page.htm", "a{b}|c^d`e.jpg"},
    {"http://host/dir/page.htm", "a.jpg?x=1 2&y=\xc3\xa9"},
    {"http://host/dir/page.htm", "#frag ment"},
    {"http://host/dir/page.htm", "caf\xc3\xa9/\xe6\xbc\xa2.jpg"},
    {"http://HOST:80/dir/", "../x"},
    {"https://host:443/dir/", "x.jpg"},
    {"http://host:8080/dir/", "x.jpg"},
    {"http://host/dir/page.htm", "http://Other.HOST"},
    {"http://host/dir/page.htm", "\\\\other\\x.jpg"},
    {"http://host/dir/page.htm", "..\\img\\a.jpg"},
    {"http://host/dir/page.htm", "http:\\\\other\\x.jpg"},
    {"http://h\xc3\xa9st/dir/", "a.jpg"},
    {"http://host/dir/page.htm", "a\"b<c>.jpg"},
    {"http://host/dir/page.htm", "  spaced.jpg  "},
    {"http://host/dir/page.htm", "line\nbreak.jpg"},
    {"http://host/dir/page.htm", "javascript:void(0)"},
    {"http://host/dir/page.htm", "mailto:me@host"},
    {"http://host/dir/page.htm", "HTTPS://HOST/A.JPG"},
    {"http://host/dir/page.htm", "/fileadmin/_processed_/a_f6053b5f89.jpg"},
    {"http://host/dir/page.htm", "index.php?id=1&amp;x=2"},
    {"http://host/dir/page.htm", "./images/full/001.jpg"},
    {"http://host/dir/page.htm", "../content/ohoopee1.jpg"},
    {"http://host/", "1.JPG?lol=lol"},
};

std::string Combine(const Pair& pair) {
  const auto urls = NewUrlCombiner();
  char buffer[256];
  std::uint32_t length = sizeof buffer;
  if (!urls->InternetCombineUrlA(pair.base, pair.relative, buffer, &length, ICU_BROWSER_MODE)) {
    return std::string();
  }
  return std::string(buffer, length);
}

// What Chromium answers for every pair, read from the page it renders.
std::vector<std::string> AskChromium(const std::vector<Pair>& pairs) {
  QTemporaryDir dir;
  QJsonArray cases;
  for (const Pair& pair : pairs) {
    cases.append(QJsonArray{QString::fromStdString(pair.base),
                            QString::fromStdString(pair.relative)});
  }
  QFile page(dir.filePath("page.html"));
  if (!page.open(QIODevice::WriteOnly)) return {};
  page.write("<!doctype html><meta charset=utf-8><pre id=out></pre><script>\nconst cases = ");
  page.write(QJsonDocument(cases).toJson(QJsonDocument::Compact));
  page.write(";\ndocument.getElementById('out').textContent = JSON.stringify(cases.map("
             "([b, r]) => { try { return new URL(r, b).href; } catch (e) { return ''; } }));"
             "\n</script>\n");
  page.close();

  QProcess chromium;
  chromium.start("chromium", {"--headless=new", "--no-sandbox", "--no-first-run",
                              "--disable-background-networking", "--disable-component-update",
                              "--disable-sync", "--user-data-dir=" + dir.filePath("profile"),
                              "--dump-dom", "file://" + dir.filePath("page.html")});
  if (!chromium.waitForFinished(60000)) {
    chromium.kill();
    chromium.waitForFinished(5000);
    return {};
  }
  const QString dom = QString::fromUtf8(chromium.readAllStandardOutput());
  const QRegularExpressionMatch match =
      QRegularExpression(R"(<pre id="out">(.*)</pre>)").match(dom);
  if (!match.hasMatch()) return {};
  QString json = match.captured(1);
  json.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&amp;", "&");
  std::vector<std::string> answers;
  for (const QJsonValue& value : QJsonDocument::fromJson(json.toUtf8()).array()) {
    answers.push_back(value.toString().toStdString());
  }
  return answers;
}

TEST(UrlCombinerChromiumTest, GivenWhatRealPagesCarryWeShouldAnswerAsChromiumDoes) {
  const std::vector<std::string> chromium = AskChromium(kPairs);
  ASSERT_EQ(chromium.size(), kPairs.size()) << "Chromium did not answer";
  for (std::size_t i = 0; i < kPairs.size(); ++i) {
    EXPECT_EQ(Combine(kPairs[i]), chromium[i])
        << kPairs[i].base << " + " << kPairs[i].relative;
  }
}

// Hands every pair the link extraction asks for to the real combiner, and keeps it.
struct RecordingCombiner : UrlService {
  bool InternetCombineUrlA(const std::string& base, const std::string& relative, char* buffer,
                           std::uint32_t* length, std::uint32_t flags) override {
    pairs.push_back({base, relative});
    return inner->InternetCombineUrlA(base, relative, buffer, length, flags);
  }
  std::unique_ptr<UrlService> inner = NewUrlCombiner();
  std::vector<Pair> pairs;
};

TEST(UrlCombinerChromiumTest, GivenTheLinksOfRealPagesWeShouldAnswerAsChromiumDoes) {
  const std::pair<const char*, const char*> pages[] = {
      {"lightbox2-examples", "http://lokeshdhakar.com/projects/lightbox2/examples/index.html"},
      {"photoswipe3-default", "http://www.photoswipe.com/latest/examples/01-default.html"},
      {"colorbox-example1", "http://www.jacklmoore.com/colorbox/example1/index.html"},
  };
  RecordingCombiner urls;
  for (const auto& [name, address] : pages) {
    QFile file(QStringLiteral(HARVELO_REALPAGES "/") + name + ".html");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    FakeUserInterface ui;
    LinkSets sets(2);
    ListLinks(sets, 1, FromUtf8(file.readAll().toStdString()), FromUtf8(address), urls, ui);
  }
  ASSERT_GT(urls.pairs.size(), 40u);
  const std::vector<std::string> chromium = AskChromium(urls.pairs);
  ASSERT_EQ(chromium.size(), urls.pairs.size()) << "Chromium did not answer";
  for (std::size_t i = 0; i < urls.pairs.size(); ++i) {
    EXPECT_EQ(Combine(urls.pairs[i]), chromium[i])
        << urls.pairs[i].base << " + " << urls.pairs[i].relative;
  }
}

}  // namespace
}  // namespace harvelo
