#include "platform/linux/devtools/devtools_browser.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QThread>
#include <functional>
#include <regex>
#include <thread>

#include "platform/failure.h"
#include "platform/linux/devtools/devtools_window_system.h"
#include "support/chromium_session.h"
#include "support/devtools_pages.h"
#include "support/page_server.h"
#include "support/qt_application.h"

namespace harvelo {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using namespace std::chrono_literals;

std::string Utf8(const Text& text) { return ToUtf8(text); }

// Chromium's serialisation with element names upper-cased and nothing else changed:
// comments and the raw text of script, style and noscript stay as they are.
std::string UpperCaseElementNames(const std::string& html) {
  static const std::regex tag("<!--[\\s\\S]*?-->|<(/?)([a-zA-Z][a-zA-Z0-9]*)");
  std::string result;
  std::string raw_until;  // while inside raw text: its end tag
  auto last = html.cbegin();
  for (std::sregex_iterator it(html.begin(), html.end(), tag), end; it != end; ++it) {
    const std::smatch& match = *it;
    if (match[2].length() == 0) continue;  // a comment
    std::string name = match[2];
    std::string lower = name;
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (!raw_until.empty() && !(match[1] == "/" && lower == raw_until)) continue;
    raw_until.clear();
    if (match[1] == "" && (lower == "script" || lower == "style" || lower == "noscript")) {
      raw_until = lower;
    }
    result.append(last, match[0].first);
    result += "<" + std::string(match[1]) + name;
    last = match[0].second;
  }
  result.append(last, html.cend());
  return result;
}

// One headless Chromium and one page server for the whole suite; each test opens its
// own tab.
class DevToolsBrowserTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    testing::TestApplication<QCoreApplication>();
    chromium_ = new testing::ChromiumSession({});
    server_ = new testing::PageServer();
  }
  static void TearDownTestSuite() {
    delete chromium_;
    delete server_;
  }

  DevToolsBrowserTest()
      : client_(QUrl(QString::fromStdString(chromium_->endpoint())), 10s),
        windows_(NewDevToolsWindowSystem(client_)),
        browser_(NewDevToolsBrowser(client_, *windows_)) {}

  // Serves `html` at `path`, opens it in a new tab, waits until it has loaded and answers
  // the tab's element of the window collection.
  std::shared_ptr<WebBrowser> Open(const std::string& path, const std::string& html) {
    server_->Add(path, html);
    const std::string url = server_->Url(path);
    testing::OpenTarget(client_, url);
    target_ = testing::LoadedTarget(client_, chromium_->endpoint(), url);
    for (const auto& page : browser_->CreateShellWindows()->Elements()) {
      if (Utf8(page->LocationURL()) == url) return page;
    }
    ADD_FAILURE() << "no element shows " << url;
    return nullptr;
  }

  bool Listed(const QString& target) {
    for (const QJsonValue& listed : client_.ListAt("/json/list")) {
      if (listed["id"].toString() == target) return true;
    }
    return false;
  }

  // Evaluates `expression` in the last opened tab, without the adapter.
  std::string Evaluate(const QString& expression) {
    return testing::EvaluateIn(client_, testing::PageSocket(chromium_->endpoint(), target_),
                               expression);
  }

  static testing::ChromiumSession* chromium_;
  static testing::PageServer* server_;
  DevToolsClient client_;
  std::unique_ptr<BrowserWindows> windows_;
  std::unique_ptr<BrowserAutomation> browser_;
  QString target_;
};

testing::ChromiumSession* DevToolsBrowserTest::chromium_ = nullptr;
testing::PageServer* DevToolsBrowserTest::server_ = nullptr;

const char kKnownMarkup[] = R"(<!DOCTYPE html>
<html><head><title>Fish &amp; chips</title>
<style>p > a { color: red }</style>
<script>var less = 1 < 2 && "x";</script></head>
<body class=" a&amp;b " data-x='say "hi" <now>'>
<!-- a comment with <b>markup</b> -->
<p>Caf&eacute;&nbsp;&lt;open&gt; &amp; shut &#x1F600;<br>line<img src="a.jpg" alt="">
<a href="/x?a=1&amp;b=2" title="it's">link <IMG SRC="b.gif"></a><i lang="a&nbsp;b">nb</i>
<table><tr><td>cell</table>
<textarea>&lt;kept&gt;</textarea><pre>
first</pre>
<template><b>inside</b></template>
<noscript><i>off</i></noscript><select><option selected>one</select>
<input type=checkbox checked disabled>
</body></html>)";

TEST_F(DevToolsBrowserTest, GivenAPageWeShouldSerialiseAsChromiumWithCapitalElementNames) {
  auto page = Open("/known.html", kKnownMarkup);
  ASSERT_NE(page, nullptr);

  const std::string ours = Utf8(page->Document()->documentElement()->innerHTML());
  const std::string chromium = Evaluate("document.documentElement.innerHTML");

  EXPECT_EQ(ours, UpperCaseElementNames(chromium));
  EXPECT_THAT(ours, HasSubstr("<A href=\"/x?a=1&amp;b=2\" title=\"it's\">link <IMG "
                              "src=\"b.gif\"></A>"));
  const std::string link = Utf8(page->Document()->links()->item(0)->innerHTML());
  EXPECT_EQ(link, "link <IMG src=\"b.gif\">");
}

TEST_F(DevToolsBrowserTest, GivenTagsChromiumDoesNotKnowWeShouldWriteThemAsEmptyElements) {
  auto page = Open("/markers.html",
                   "<html><body><qxpics value=\"1\"></qxpics>"
                   "<qxsource value=\"http://origin/a?b=1&amp;c=&quot;2&quot;\">text <b>bold</b>"
                   "</qxsource><my-thing>custom</my-thing><svg width=\"4\"><circle r=\"1\"/>"
                   "</svg><p>after</p></body></html>");
  ASSERT_NE(page, nullptr);

  const std::string html = Utf8(page->Document()->documentElement()->innerHTML());

  EXPECT_THAT(html, HasSubstr("<BODY><QXPICS value=\"1\" />"
                              "<QXSOURCE value=\"http://origin/a?b=1&amp;c=&quot;2&quot;\" />"
                              "text <B>bold</B>"
                              "<MY-THING />custom"
                              "<SVG width=\"4\" /><CIRCLE r=\"1\" />"
                              "<P>after</P></BODY>"));
}

TEST_F(DevToolsBrowserTest, GivenLinksAndImagesWeShouldListThemInDocumentOrder) {
  auto page = Open("/order/page.html",
                   "<body><a href=\"one.html\">1</a><img src=\"pics/a.jpg\">"
                   "<map name=m><area href=\"two.html\"></map>"
                   "<a name=\"anchor\">no target</a><a href=\"http://other/3\">3</a>"
                   "<img src=\"/b.gif\"><img src=\"http://elsewhere/c.jpeg\"></body>");
  ASSERT_NE(page, nullptr);
  auto document = page->Document();

  std::vector<std::string> links;
  auto link_items = document->links();
  for (std::int32_t i = 0; i < link_items->Length(); ++i) {
    links.push_back(Utf8(link_items->item(i)->href()));
  }
  std::vector<std::string> images;
  auto image_items = document->images();
  for (std::int32_t i = 0; i < image_items->Length(); ++i) {
    images.push_back(Utf8(image_items->item(i)->href()));
  }

  EXPECT_THAT(links, ElementsAre(server_->Url("/order/one.html"), server_->Url("/order/two.html"),
                                 "http://other/3"));
  EXPECT_THAT(images, ElementsAre(server_->Url("/order/pics/a.jpg"), server_->Url("/b.gif"),
                                  "http://elsewhere/c.jpeg"));
  EXPECT_THROW(link_items->item(3), Failure);
}

TEST_F(DevToolsBrowserTest, GivenAnImageWeShouldTellALinkParentFromAParagraphByItsHref) {
  auto page = Open("/parents.html",
                   "<body><p><img src=\"in-paragraph.jpg\"></p>"
                   "<a href=\"big.jpg\"><img src=\"thumb.jpg\"></a>"
                   "<a><img src=\"in-empty-link.jpg\"></a></body>");
  ASSERT_NE(page, nullptr);
  auto images = page->Document()->images();

  try {
    images->item(0)->ParentElement()->href();
    ADD_FAILURE() << "a paragraph answered href";
  } catch (const Failure& failure) {
    EXPECT_EQ(Utf8(failure.description()), "Object doesn't support this property or method");
  }
  EXPECT_EQ(Utf8(images->item(1)->ParentElement()->href()), server_->Url("/big.jpg"));
  // A link without a target has the property, empty.
  EXPECT_EQ(Utf8(images->item(2)->ParentElement()->href()), "");
  EXPECT_THROW(page->Document()->documentElement()->ParentElement(), Failure);
}

// Every read of an element as far as its grandparent's address; a read that raises gives its
// text.
std::vector<std::string> ReadsOf(HtmlElement& element) {
  std::vector<std::string> reads;
  const auto read = [&reads](const std::function<std::string()>& what) {
    try {
      reads.push_back(what());
    } catch (const Failure& failure) {
      reads.push_back("raised " + Utf8(failure.description()));
    }
  };
  std::unique_ptr<HtmlElement> parent;
  read([&] { return Utf8(element.innerHTML()); });
  read([&] { return Utf8(element.href()); });
  read([&] { return (parent = element.ParentElement(), "parent"); });
  if (parent) {
    read([&] { return Utf8(parent->href()); });
    read([&] { return Utf8(parent->innerHTML()); });
    read([&] { return Utf8(parent->ParentElement()->href()); });
  }
  return reads;
}

TEST_F(DevToolsBrowserTest, GivenTheItemsOfACollectionWeShouldAnswerAndRaiseAsTheElementsDo) {
  // A link of 300,000 characters comes in an answer of its own (not laid out, which takes long).
  const std::string large_links =
      "<div hidden><a href=a.jpg>" + std::string(300'000, 'a') + "</a><a href=b.jpg>b</a></div>";
  const struct {
    const char* path;
    std::string markup;
    const char* raised;
  } kPages[] = {
      {"/kinds.html",
       "<p><img src=p.jpg></p><a href=big.jpg><img src=t.jpg></a><a name=x><span><img src=s.jpg>"
       "</span></a><map name=m><area href=a.html></map><a href=b.html> <b>bold</b></a>",
       "raised Object doesn't support this property or method"},
      {"/root-image.html",
       "<script>document.replaceChild(Object.assign(document.createElement('img'), "
       "{src: 'root.jpg'}), document.documentElement)</script>",
       "raised Object variable not set"},
      {"/large.html", large_links + "<p><img src=p.jpg></p>",
       "raised Object doesn't support this property or method"},
  };
  for (const auto& [path, markup, raised] : kPages) {
    auto page = Open(path, markup);
    ASSERT_NE(page, nullptr);
    auto document = page->Document();
    std::vector<std::string> every_read;
    for (auto collection : {&HtmlDocument::links, &HtmlDocument::images}) {
      auto items = ((*document).*collection)();
      const std::int32_t length = items->Length();
      for (std::int32_t i = 0; i < length; ++i) {
        const std::vector<std::string> reads = ReadsOf(*items->item(i));
        // A collection whose length was never read reads each item from the document.
        EXPECT_EQ(reads, ReadsOf(*((*document).*collection)()->item(i))) << path << " " << i;
        every_read.insert(every_read.end(), reads.begin(), reads.end());
      }
      EXPECT_THROW(((*document).*collection)()->item(length), Failure) << path;
    }
    EXPECT_THAT(every_read, ::testing::Contains(raised)) << path;
  }
}

TEST_F(DevToolsBrowserTest, GivenATabClosedBetweenTwoReadsWeShouldRaiseNamingTheEndpoint) {
  auto page = Open("/closing.html", "<body>soon gone</body>");
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(Utf8(page->LocationURL()), server_->Url("/closing.html"));

  client_.Call(testing::BrowserSocket(client_), "Target.closeTarget", {{"targetId", target_}});
  for (int tries = 0; tries < 100 && Listed(target_); ++tries) QThread::msleep(50);

  try {
    page->LocationURL();
    ADD_FAILURE() << "a closed tab answered";
  } catch (const Failure& failure) {
    EXPECT_THAT(Utf8(failure.description()), HasSubstr(chromium_->endpoint()));
  }
  EXPECT_THROW(page->Document()->documentElement()->innerHTML(), Failure);
}

TEST_F(DevToolsBrowserTest, GivenAPageThatNeverAnswersWeShouldRaiseWhenTheTimeIsUp) {
  auto page = Open("/busy.html", "<body><script>setTimeout(() => { for (;;); }, 500)</script>");
  ASSERT_NE(page, nullptr);
  QThread::msleep(1000);
  DevToolsClient impatient(QUrl(QString::fromStdString(chromium_->endpoint())), 1500ms);
  auto windows = NewDevToolsWindowSystem(impatient);
  for (const auto& element :
       NewDevToolsBrowser(impatient, *windows)->CreateShellWindows()->Elements()) {
    if (Utf8(element->LocationURL()) != server_->Url("/busy.html")) continue;
    try {
      element->Document()->documentElement()->innerHTML();
      ADD_FAILURE() << "a hung page answered";
    } catch (const Failure& failure) {
      EXPECT_THAT(Utf8(failure.description()), HasSubstr("within 1500 ms"));
    }
  }
  client_.Call(testing::BrowserSocket(client_), "Target.closeTarget", {{"targetId", target_}});
}

TEST_F(DevToolsBrowserTest, GivenTheForegroundPageWeShouldAnswerItsBrowserWindowId) {
  auto page = Open("/front.html", "<body>front</body>");
  ASSERT_NE(page, nullptr);

  const WindowHandle front = windows_->GetForegroundWindow();

  EXPECT_NE(front, 0);
  EXPECT_EQ(page->HWND(), front);
}

// Every read the program makes of a page; a read that raises gives its text.
std::vector<std::string> EveryRead(WebBrowser& page) {
  auto document = page.Document();
  std::vector<std::string> reads = {Utf8(page.LocationURL()),
                                    Utf8(document->documentElement()->innerHTML())};
  auto links = document->links();
  auto images = document->images();
  for (ElementCollection* items : {links.get(), images.get()}) {
    for (std::int32_t i = 0; i < items->Length(); ++i) {
      auto item = items->item(i);
      reads.push_back(Utf8(item->href()) + " " + Utf8(item->innerHTML()));
      try {
        reads.push_back(Utf8(item->ParentElement()->href()));
      } catch (const Failure& failure) {
        reads.push_back(Utf8(failure.description()));
      }
    }
  }
  return reads;
}

TEST_F(DevToolsBrowserTest, GivenAPageThatReplacesBuiltInsWeShouldReadWhatItTrulyHolds) {
  const std::string markup =
      "<body><p><img src=\"in-paragraph.jpg\"></p><a href=\"big.jpg\"><img src=\"thumb.jpg\">"
      "</a><qxpics value=\"1\"></qxpics><x-known a=\"1\">known</x-known><x-unknown>?</x-unknown>"
      "<script>customElements.define('x-known', class extends HTMLElement {});"
      "document.currentScript.remove();";
  const std::string bend = R"(
    Array.prototype.join = Array.prototype.push = String.prototype.replace = () => 'bent';
    window.Set = class { has() { return true; } };
    customElements.get = () => undefined;
    for (const [object, name, value] of [
        [Element.prototype, 'attributes', []], [Element.prototype, 'tagName', 'BENT'],
        [Node.prototype, 'parentElement', null], [Node.prototype, 'firstChild', null],
        [HTMLImageElement.prototype, 'src', 'http://bent/'], [Document.prototype, 'images', []],
        [HTMLAnchorElement.prototype, 'href', 'http://bent/'], [document, 'links', []],
        [Document.prototype, 'documentElement', null]]) {
      Object.defineProperty(object, name, {get: () => value});
    })";
  server_->Add("/bent.html", markup + bend + "</script>");
  auto page = Open("/plain.html", markup + "</script>");
  ASSERT_NE(page, nullptr);
  std::vector<std::string> reads = EveryRead(*page);
  EXPECT_THAT(reads[1], HasSubstr("<X-KNOWN a=\"1\">known</X-KNOWN><X-UNKNOWN />?"));

  // The same tab goes to the bending page, then back to the first one, which the browser has
  // kept whole in its cache of pages: each read goes to the document shown at the time.
  for (const auto& [go, path, joined] :
       {std::tuple{"location.href = 'bent.html'", "/bent.html", "bent"},
        std::tuple{"history.back()", "/plain.html", "1,2"}}) {
    Evaluate(go);
    ASSERT_FALSE(
        testing::LoadedTarget(client_, chromium_->endpoint(), server_->Url(path)).isEmpty());
    ASSERT_EQ(Evaluate("[1, 2].join()"), joined);
    reads[0] = server_->Url(path);
    EXPECT_EQ(EveryRead(*page), reads) << path;
  }
}

TEST(DevToolsBrowserAloneTest, GivenNoBrowserWeShouldRaiseNamingTheEndpoint) {
  testing::TestApplication<QCoreApplication>();
  testing::PageServer nobody;  // a port that is open but speaks no DevTools
  DevToolsClient client(QUrl("http://127.0.0.1:1"), 5s);
  auto windows = NewDevToolsWindowSystem(client);
  auto collection = NewDevToolsBrowser(client, *windows)->CreateShellWindows();

  try {
    collection->Elements();
    ADD_FAILURE() << "no browser answered";
  } catch (const Failure& failure) {
    EXPECT_THAT(Utf8(failure.description()), HasSubstr("http://127.0.0.1:1"));
  }
  EXPECT_EQ(windows->GetForegroundWindow(), 0);
}

TEST(DevToolsBrowserAloneTest, GivenTheBrowserKilledDuringAReadWeShouldRaiseWithoutWaiting) {
  testing::TestApplication<QCoreApplication>();
  testing::PageServer server;
  server.Add("/hang.html", "<body><script>setTimeout(() => { for (;;); }, 1000)</script>");
  testing::ChromiumSession chromium({.display = "", .urls = {server.Url("/hang.html")}});
  DevToolsClient client(QUrl(QString::fromStdString(chromium.endpoint())), 60s);
  auto windows = NewDevToolsWindowSystem(client);
  ASSERT_FALSE(
      testing::LoadedTarget(client, chromium.endpoint(), server.Url("/hang.html")).isEmpty());
  std::shared_ptr<WebBrowser> page =
      NewDevToolsBrowser(client, *windows)->CreateShellWindows()->Elements().at(0);
  QThread::msleep(1500);  // the page's script now holds its thread

  std::thread killer([&] {
    std::this_thread::sleep_for(1s);
    chromium.Kill();
  });
  const auto started = std::chrono::steady_clock::now();
  try {
    page->Document()->documentElement()->innerHTML();
    ADD_FAILURE() << "a killed browser answered";
  } catch (const Failure& failure) {
    EXPECT_THAT(Utf8(failure.description()), HasSubstr(chromium.endpoint()));
  }
  killer.join();
  EXPECT_LT(std::chrono::steady_clock::now() - started, 30s);
  EXPECT_THROW(page->LocationURL(), Failure);
}

}  // namespace
}  // namespace harvelo
