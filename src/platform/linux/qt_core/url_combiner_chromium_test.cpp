// The combiner against the browser itself: for what real pages carry, it must give the
// address that Chromium's `new URL(link, base).href` gives, except where the service's own
// rules decide (an answer of 256 characters or more fails).

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <iostream>
#include <string>
#include <vector>

#include "fakes/fake_user_interface.h"
#include "platform/linux/qt_core/url_combiner.h"
#include "scanner/list_links.h"

namespace harvelo {
namespace {

struct Pair {
  std::string base;
  std::string relative;
};

// Every kind of base against every shape of link: the examples of RFC 3986 (5.4), and where a
// browser's reading and a plain RFC 3986 resolution part ways. Left out: a link opening with
// two backslashes against a base of a scheme the browser does not know, which Chromium reads
// as a path that drops the base's host ("foo:/\\other\x.jpg"); the combiner reads its
// backslashes as slashes, as in every other relative link.
std::vector<Pair> ShapePairs() {
  const char* const bases[] = {
      "http://a/b/c/d;p?q",        "https://Host.EXAMPLE:443/dir/page.htm?x#top",
      "http://host:8080/dir/",     "ftp://host/pub/dir/",
      "file:///home/me/page.html", "ws://host/socket/x",
      "foo://host/dir/page",       "mailto:someone@host",
      "HTTP://HOST:80/dir/",       "page.htm",
  };
  // A row per kind of link, which the formatter would set out one link a line.
  // clang-format off
  const std::string links[] = {
      "g:h", "g", "./g", "g/", "/g", "//g", "?y", "g?y", "#s", "g#s", "g?y#s", ";x", "g;x",
      "g;x?y#s", "", ".", "./", "..", "../", "../g", "../..", "../../", "../../g", "../../../g",
      "../../../../g", "/./g", "/../g", "g.", ".g", "g..", "..g", "./../g", "./g/.", "g/./h",
      "g/../h", "g;x=1/./y", "g;x=1/../y", "g?y/./x", "g?y/../x", "g#s/./x", "g#s/../x",
      "http:g", " ", "  spaced.jpg  ", "line\nbreak\t.jpg", "media/clips/x\\sub.mov",
      "..\\img\\a.jpg", "\\\\other\\x.jpg", "a.jpg?x=\\y#z\\w", "##share-market", "#a#b",
      "#frag ment", "x#f\"<>`{}|^'", "x?q\"<>`{}|^'#", "p\"<>`{}|^'", "x?'`{}#'`{}",
      "http:img/movie.html", "https:img", "HTTP:IMG", "ftp:x/y", "file:img", "foo:bar",
      "http:\\\\other\\x.jpg", "http://Other.HOST:80/A", "HTTPS://HOST:443", "http://h\xc3\xa9st/",
      "http://xn--hst-bma/", "http://host./a", "http://[::1]:8080/", "http://127.1/", "my pic.jpg",
      "caf\xc3\xa9/\xe6\xbc\xa2.jpg?\xc3\xa9#\xc3\xa9", "%41%2e%zz%c3%a9", "a/%2e%2E/b/.%2e/c",
      "a/./b/../../../c", "/..", "javascript:void(0)", "mailto:me@host",
      "data:image/gif;base64,R0lGOD", "index.php?id=1&amp;x=2", "a\001b", "\177del",
      std::string(250, 'a')};
  // clang-format on
  std::vector<Pair> pairs;
  for (const std::string base : bases) {
    for (const std::string& link : links) {
      if (!base.starts_with("foo:") || !link.starts_with("\\\\")) pairs.push_back({base, link});
    }
  }
  return pairs;
}

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
    cases.append(
        QJsonArray{QString::fromStdString(pair.base), QString::fromStdString(pair.relative)});
  }
  QFile page(dir.filePath("page.html"));
  if (!page.open(QIODevice::WriteOnly)) return {};
  page.write("<!doctype html><meta charset=utf-8><pre id=out></pre><script>\nconst cases = ");
  page.write(QJsonDocument(cases).toJson(QJsonDocument::Compact));
  page.write(
      ";\ndocument.getElementById('out').textContent = JSON.stringify(cases.map("
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

// Every pair must agree with Chromium; says how many do, for the record.
void ExpectChromiumAnswers(const std::vector<Pair>& pairs) {
  const std::vector<std::string> chromium = AskChromium(pairs);
  ASSERT_EQ(chromium.size(), pairs.size()) << "Chromium did not answer";
  std::size_t agreeing = 0;
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    const std::string expected = chromium[i].size() > 255 ? std::string() : chromium[i];
    const std::string ours = Combine(pairs[i]);
    EXPECT_EQ(ours, expected) << pairs[i].base << " + " << pairs[i].relative;
    if (ours == expected) ++agreeing;
  }
  std::cout << agreeing << " of " << pairs.size() << " agree with Chromium\n";
}

TEST(UrlCombinerChromiumTest, GivenLinksOfEveryShapeWeShouldAnswerAsChromiumDoes) {
  ExpectChromiumAnswers(ShapePairs());
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
  if (!QDir(QStringLiteral(HARVELO_REALPAGES)).exists()) {
    GTEST_SKIP() << "no saved real pages in " HARVELO_REALPAGES;
  }
  // Each page with the address it was published under (for a page with a base address,
  // that address is what counts).
  const std::pair<const char*, const char*> pages[] = {
      {"lightbox2-examples", "http://lokeshdhakar.com/projects/lightbox2/examples/index.html"},
      {"photoswipe3-default", "http://www.photoswipe.com/latest/examples/01-default.html"},
      {"colorbox-example1", "http://www.jacklmoore.com/colorbox/example1/index.html"},
      {"prettyphoto-demo", "http://www.no-margin-for-errors.com/demos/prettyPhoto/index.html"},
      {"wp-nextgen-gallery", "http://www.colours-of-the-soul.alhelm.net/"},
      {"typo3-base-fancybox",
       "https://www.berliner-feuerwehr.de/aktuelles/nachrichten/"
       "feuerwehr-und-katastrophenschutz-ehrenzeichen-verliehen-3896/"},
      {"robots-noindex-nofollow",
       "https://www.kirche-und-leben.de/artikel/"
       "muensters-caritas-chef-kessmann-ist-gegen-impfpflicht-in-der-pflege"},
      {"ie5-saved-uppercase", "http://bp6.gamesquad.net/"},
      {"ie5-frameset", "http://www.agents-tech.com/"},
      {"yahoo-jp-base", "http://www.yahoo.co.jp/"},
      {"smh-robots-rel-nofollow", "http://www.smh.com.au/business/index.html"},
      {"news-com-au-large", "http://www.news.com.au/"},
      {"javadoc-allclasses-large", "http://ant.apache.org/manual/api/allclasses-noframe.html"},
      {"pencil-code-movies", "http://www.nordita.org/software/pencil-code/tests.php"},
  };
  // What the link extraction asks for, and then every href and src value of the page
  // as written, against the same base.
  const QRegularExpression attribute(
      R"re((?i)\b(?:href|src)\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>]+)))re");
  RecordingCombiner urls;
  for (const auto& [name, address] : pages) {
    QFile file(QStringLiteral(HARVELO_REALPAGES "/") + name + ".html");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    const std::string text = file.readAll().toStdString();
    const std::size_t first = urls.pairs.size();
    FakeUserInterface ui;
    LinkSets sets(2);
    ListLinks(sets, 1, FromUtf8(text), FromUtf8(address), urls, ui);
    const std::string base = urls.pairs.size() > first ? urls.pairs[first].base : address;
    for (const auto& match : attribute.globalMatch(QString::fromStdString(text))) {
      const QString value = match.captured(1) + match.captured(2) + match.captured(3);
      if (!value.isEmpty()) urls.pairs.push_back({base, value.toStdString()});
    }
  }
  ASSERT_GT(urls.pairs.size(), 4000u);
  ExpectChromiumAnswers(urls.pairs);
}

}  // namespace
}  // namespace harvelo
