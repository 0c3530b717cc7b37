// The combiner against the browser itself, headless with a profile of its own: for what real
// pages carry, it must give the address that Chromium gives, except where the service's own
// rules decide.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <iostream>
#include <string>
#include <vector>

#include "fakes/fake_platform.h"
#include "platform/linux/qt_core/url_combiner.h"
#include "scanner/list_links.h"
#include "support/browser_pages.h"
#include "support/browser_process.h"
#include "support/qt_application.h"
#include "support/real_pages.h"

namespace harvelo {
namespace {

using namespace std::chrono_literals;

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
      "a/./b/../../../c", "/..", "javascript:void(0)", "mailto:me@host", "a b",
      "data:image/gif;base64,R0lGOD", "index.php?id=1&amp;x=2", "a\001b", "\177del",
      std::string(250, 'a')};
  // clang-format on
  // The bound of the answer: 255 characters pass, 256 fail.
  std::vector<Pair> pairs = {{"http://h/", std::string(246, 'x')},
                             {"http://h/", std::string(247, 'x')}};
  for (const std::string base : bases) {
    for (const std::string& link : links) {
      if (!base.starts_with("foo:") || !link.starts_with("\\\\")) pairs.push_back({base, link});
    }
  }
  return pairs;
}

std::string Combine(const Pair& pair) {
  char buffer[256];
  std::uint32_t length = sizeof buffer;
  if (!NewUrlCombiner()->InternetCombineUrlA(pair.base, pair.relative, buffer, &length,
                                             ICU_BROWSER_MODE)) {
    return std::string();
  }
  return std::string(buffer, length);
}

// Every pair must agree with what Chromium's `new URL(link, base).href` answers, where an
// answer of 256 characters or more fails; says how many do, for the record.
void ExpectChromiumAnswers(const std::vector<Pair>& pairs) {
  testing::TestApplication<QCoreApplication>();
  testing::BrowserProcess chromium(testing::BrowserProtocol::kDevTools);
  testing::BrowserConnection browser(testing::BrowserProtocol::kDevTools, chromium.endpoint(), 60s);
  QJsonArray cases;
  for (const Pair& pair : pairs) {
    cases.append(
        QJsonArray{QString::fromStdString(pair.base), QString::fromStdString(pair.relative)});
  }
  const QJsonArray answers =
      QJsonDocument::fromJson(
          QByteArray::fromStdString(browser.Evaluate(
              "about:blank", "JSON.stringify(" + QJsonDocument(cases).toJson() +
                                 ".map(([b, r]) => { try { return new URL(r, b).href; } "
                                 "catch (e) { return ''; } }))")))
          .array();
  ASSERT_EQ(answers.size(), static_cast<qsizetype>(pairs.size())) << "Chromium did not answer";
  std::size_t agreeing = 0;
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    const std::string answer = answers[static_cast<qsizetype>(i)].toString().toStdString();
    const std::string expected = answer.size() > 255 ? std::string() : answer;
    EXPECT_EQ(Combine(pairs[i]), expected) << pairs[i].base << " + " << pairs[i].relative;
    agreeing += Combine(pairs[i]) == expected;
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
  if (!testing::HaveRealPages()) GTEST_SKIP() << testing::kNoRealPages;
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
    const std::string text = testing::FileBytes(testing::RealPagePath(name + std::string(".html")));
    ASSERT_FALSE(text.empty()) << name;
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
