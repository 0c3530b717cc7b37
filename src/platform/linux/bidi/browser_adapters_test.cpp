// Both browser adapters against real headless browsers, one table of behaviours run against
// each: Chromium over the DevTools protocol, Firefox over WebDriver BiDi. What a page truly
// holds is told by Chromium: its own serialisation, and the reads of its adapter.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <functional>
#include <regex>
#include <thread>

#include "fakes/fake_platform.h"
#include "platform/failure.h"
#include "platform/linux/bidi/session_ending_ui.h"
#include "support/browser_pages.h"
#include "support/browser_process.h"
#include "support/eventually.h"
#include "support/page_server.h"
#include "support/qt_application.h"

namespace harvelo {
namespace {

using ::testing::HasSubstr;
using namespace std::chrono_literals;
using testing::BrowserConnection;
using Kind = testing::BrowserProtocol;

// Chromium's serialisation with element names upper-cased and nothing else changed: comments
// and the raw text of script, style and noscript stay as they are.
std::string UpperCaseElementNames(const std::string& html) {
  static const std::regex tag("<!--[\\s\\S]*?-->|<(/?)([a-zA-Z][a-zA-Z0-9]*)");
  std::string result;
  std::string raw_until;  // while inside raw text: its end tag
  auto last = html.cbegin();
  for (std::sregex_iterator it(html.begin(), html.end(), tag), end; it != end; ++it) {
    std::string name = (*it)[2];
    if (name.empty()) continue;  // a comment
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (!raw_until.empty() && !((*it)[1] == "/" && name == raw_until)) continue;
    const bool raw = (*it)[1] == "" && (name == "script" || name == "style" || name == "noscript");
    raw_until = raw ? name : "";
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    result.append(last, (*it)[0].first) += "<" + std::string((*it)[1]) + name;
    last = (*it)[0].second;
  }
  return result.append(last, html.cend());
}

// A page that, half a second after it has loaded, tells the server (asking for "/looping"
// and waiting for the answer, or for Firefox's refusal of it) and then holds its thread for
// good: a read that the browser takes after that request can only wait behind the loop.
constexpr char kLoopingScript[] =
    "<body><script>setTimeout(() => { const told = new XMLHttpRequest(); "
    "told.open('GET', '/looping', false); try { told.send(); } finally { for (;;); } }, "
    "500)</script>";

// What `read` answers; a read that raises gives "raised " and the failure's description.
std::string Read(const std::function<Text()>& read) {
  try {
    return ToUtf8(read());
  } catch (const Failure& failure) {
    return "raised " + ToUtf8(failure.description());
  }
}

// Every read of an element as far as its grandparent's address.
std::vector<std::string> ReadsOf(HtmlElement& element) {
  return {Read([&] { return element.innerHTML(); }), Read([&] { return element.href(); }),
          Read([&] { return element.ParentElement()->href(); }),
          Read([&] { return element.ParentElement()->ParentElement()->href(); })};
}

// Every read the program makes of a page, in the order of a scan.
std::vector<std::string> ReadsOf(WebBrowser& page) {
  auto document = page.Document();
  std::vector<std::string> reads = {Read([&] { return page.LocationURL(); }),
                                    Read([&] { return document->documentElement()->innerHTML(); })};
  for (auto collection : {&HtmlDocument::links, &HtmlDocument::images}) {
    auto items = ((*document).*collection)();
    const std::int32_t length = items->Length();
    for (std::int32_t i = 0; i < length; ++i) {
      const std::vector<std::string> item = ReadsOf(*items->item(i));
      // A collection whose length was never read reads each item from the document.
      EXPECT_EQ(ReadsOf(*((*document).*collection)()->item(i)), item) << i;
      reads.insert(reads.end(), item.begin(), item.end());
    }
    reads.push_back(Read([&] { return items->item(length)->href(); }));
  }
  reads.push_back(Read([&] { return document->documentElement()->ParentElement()->href(); }));
  return reads;
}

testing::PageServer& Server() {
  static testing::PageServer server;
  return server;
}

// A browser of each kind for the whole test program, started on first use.
std::string Endpoint(Kind kind) {
  testing::TestApplication<QCoreApplication>();
  if (kind == Kind::kDevTools) {
    static testing::BrowserProcess chromium(kind);
    return chromium.endpoint();
  }
  static testing::BrowserProcess firefox(kind);
  return firefox.endpoint();
}

class BrowserAdapterTest : public ::testing::TestWithParam<Kind> {
 protected:
  // Serves `html` at `path` and opens it in the program's browser; answers its page.
  std::shared_ptr<WebBrowser> Open(const std::string& path, const std::string& html) {
    Server().Add(path, html);
    EXPECT_TRUE(program_.Open(Server().Url(path))) << path;
    return program_.Page(Server().Url(path));
  }

  BrowserConnection program_{GetParam(), Endpoint(GetParam()), 60s};
};

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

TEST_P(BrowserAdapterTest, GivenKnownElementsWeShouldSerialiseAsChromiumWithCapitalNames) {
  auto page = Open("/known.html", kKnownMarkup);
  ASSERT_NE(page, nullptr);
  BrowserConnection chromium(Kind::kDevTools, Endpoint(Kind::kDevTools), 10s);
  ASSERT_TRUE(chromium.Open(Server().Url("/known.html")));

  EXPECT_EQ(ToUtf8(page->Document()->documentElement()->innerHTML()),
            UpperCaseElementNames(chromium.Evaluate(Server().Url("/known.html"),
                                                    "document.documentElement.innerHTML")));
  EXPECT_EQ(ToUtf8(page->Document()->links()->item(0)->innerHTML()), "link <IMG src=\"b.gif\">");
}

// Markup whose serialisation has corners: tags that are not HTML, custom elements defined and
// not, links with and without targets, areas, raw text, template content.
const char kCorners[] = R"(<!DOCTYPE html><html lang="en"><head><title>Corners</title>
<script>if (1 < 2 && true) { /* <b>not markup</b> */ }</script></head>
<body data-q='He said "yes" & <left>'><!-- note: <i>kept</i> -->
<a href="pics/one.jpg?w=1&amp;h=2"><IMG SRC="thumbs/one.jpg" ALT="one"></a>
<a href="#top"><img src="two.gif"></a><a>bare <img src="three.jpeg"></a>
<map name="m"><area href="four.jpe" alt=""></map><img src="m.gif" usemap="#m">
<qxpics value="2"></qxpics><qxsource value="http://origin/x?y=&quot;1&quot;">a <u>b</u></qxsource>
<x-ready k="v">ready</x-ready><x-never>never</x-never><a name=x><span><img src=s.jpg></span></a>
<svg viewBox="0 0 2 2"><rect width="1" height="1"/></svg><math><mi>x</mi></math>
<template><img src="in-template.jpg"></template><noscript><img src="no-script.jpg"></noscript>
<textarea>&lt;/textarea&gt;</textarea><table><tr><td><img src="cell.jpg"></table>
<script>customElements.define('x-ready', class extends HTMLElement {});
document.currentScript.remove();</script></body></html>)";

// Put at the end of a page: replaces what the reads rest on, then leaves no trace in the DOM.
const char kBending[] = R"(<script>
const bend = (target, name, value) => Object.defineProperty(target, name, {get: () => value});
[[Node.prototype, 'parentElement', null], [Node.prototype, 'firstChild', null],
 [Element.prototype, 'tagName', 'X'], [Element.prototype, 'attributes', []],
 [HTMLImageElement.prototype, 'src', 'http://x/'], [HTMLAnchorElement.prototype, 'href', 'x'],
 [HTMLAreaElement.prototype, 'href', 'x'], [Document.prototype, 'links', []],
 [Document.prototype, 'images', []], [Document.prototype, 'documentElement', null]]
    .forEach((b) => bend(...b));
Array.prototype.join = Array.prototype.push = String.prototype.replace = () => 'x';
window.Set = class { has() { return true; } };
customElements.get = () => undefined;
document.currentScript.remove();</script>)";

// Every read of a page, and every failure, must be what Chromium's adapter reads, whatever
// the page's scripts bend. The pages: the project's samples and pages with corners.
TEST_P(BrowserAdapterTest, GivenPagesWeShouldReadWhatChromiumHoldsWhateverTheirScriptsBend) {
  BrowserConnection chromium(Kind::kDevTools, Endpoint(Kind::kDevTools), 10s);
  Server().ServeFolder(HARVELO_SAMPLES);
  std::vector<std::pair<std::string, std::string>> pages = {
      {"/corners/", kCorners},
      {"/root-image/",
       "<script>document.replaceChild(Object.assign(document.createElement('img'), "
       "{src: 'root.jpg'}), document.documentElement)</script>"},
      // A link this long comes in an answer of its own (hidden: laying it out takes long).
      {"/large/", "<div hidden><a href=a.jpg>" + std::string(300'000, 'a') +
                      "</a><a href=b.jpg>b</a></div><p><img src=p.jpg></p>"}};
  for (const char* sample : {"/gallery/", "/marker/", "/robots/", "/plain/"}) {
    pages.emplace_back(sample,
                       testing::FileBytes(std::string(HARVELO_SAMPLES) + sample + "index.html"));
  }
  std::vector<std::string> every_read;
  for (const auto& [folder, markup] : pages) {
    SCOPED_TRACE(folder);
    const std::string url = Server().Url(folder + "index.html");
    Server().Add(folder + "index.html", markup);
    ASSERT_TRUE(chromium.Open(url));
    auto in_chromium_page = chromium.Page(url);
    ASSERT_NE(in_chromium_page, nullptr);
    const std::vector<std::string> in_chromium = ReadsOf(*in_chromium_page);
    auto page = Open(folder + "bent.html", markup + kBending);
    ASSERT_NE(page, nullptr);
    std::vector<std::string> reads = ReadsOf(*page);
    for (std::string& read : reads) {  // a link to "#top" names the page's own address
      const std::string bent = Server().Url(folder + "bent.html");
      for (auto at = read.find(bent); at != std::string::npos; at = read.find(bent, at)) {
        read.replace(at, bent.size(), url);
      }
    }
    EXPECT_EQ(reads, in_chromium);
    every_read.insert(every_read.end(), reads.begin(), reads.end());
  }
  for (const char* read :
       {"raised Object doesn't support this property or method", "raised Object variable not set",
        "<QXPICS value=\"2\" /><QXSOURCE value=\"http://origin/x?y=&quot;1&quot;\" />a <U>b</U>"}) {
    EXPECT_THAT(every_read, ::testing::Contains(::testing::HasSubstr(read)));
  }
}

TEST_P(BrowserAdapterTest, GivenLinksAndImagesWeShouldListTheirAddressesInDocumentOrder) {
  auto page = Open("/order/page.html",
                   "<body><a href=\"one.html\">1</a><img src=\"pics/a.jpg\">"
                   "<map name=m><area href=\"two.html\"></map>"
                   "<a name=\"anchor\">no target</a><a href=\"http://other/3\">3</a>"
                   "<img src=\"/b.gif\"><img src=\"http://elsewhere/c.jpeg\"></body>");
  ASSERT_NE(page, nullptr);
  std::vector<std::string> addresses;
  for (auto collection : {&HtmlDocument::links, &HtmlDocument::images}) {
    auto items = ((*page->Document()).*collection)();
    for (std::int32_t i = 0; i < items->Length(); ++i) {
      addresses.push_back(ToUtf8(items->item(i)->href()));
    }
  }
  EXPECT_THAT(addresses, ::testing::ElementsAre(Server().Url("/order/one.html"),
                                                Server().Url("/order/two.html"), "http://other/3",
                                                Server().Url("/order/pics/a.jpg"),
                                                Server().Url("/b.gif"), "http://elsewhere/c.jpeg"));
}

// The page object follows its tab: each read goes to the document shown at the time, also to a
// page the browser brings back whole from its cache.
TEST_P(BrowserAdapterTest, GivenATabThatMovesOnWeShouldReadThePageItShowsNow) {
  const std::string markup = "<a href=\"big.jpg\"><img src=\"thumb.jpg\"></a><x-u>?</x-u>";
  Server().Add("/moved/bent.html", markup + kBending);
  auto page = Open("/moved/plain.html", markup);
  ASSERT_NE(page, nullptr);
  std::vector<std::string> reads = ReadsOf(*page);
  for (const auto& [go, path, joined] :
       {std::tuple{"location.href = 'bent.html'", "/moved/bent.html", "x"},
        std::tuple{"history.back()", "/moved/plain.html", "1,2"}}) {
    const std::string from = ToUtf8(page->LocationURL());
    program_.Evaluate(from, go);
    ASSERT_TRUE(program_.Loaded(Server().Url(path)));
    ASSERT_EQ(program_.Evaluate(Server().Url(path), "[1, 2].join()"), joined);
    reads[0] = Server().Url(path);
    EXPECT_EQ(ReadsOf(*page), reads) << path;
  }
}

TEST_P(BrowserAdapterTest, GivenAChangingPageWeShouldReadItsHtmlAfreshOnlyAfterAPause) {
  auto page =
      Open("/ticking.html", "<p id=t>0</p><script>setInterval(() => ++t.textContent, 1)</script>");
  ASSERT_NE(page, nullptr);
  const auto html = [&page] { return ToUtf8(page->Document()->documentElement()->innerHTML()); };
  const std::string first = html();
  QThread::msleep(50);  // the page ticks on, the program makes no pause
  EXPECT_EQ(html(), first);
  std::string later;
  for (const auto deadline = std::chrono::steady_clock::now() + 10s;
       later == first && std::chrono::steady_clock::now() < deadline;) {
    QCoreApplication::processEvents();  // the pause: a yield, a window, another read
    later = html();
  }
  EXPECT_NE(later, first);
}

// A tab closed between two reads, and no browser at all: the program raises, naming where it
// looked.
TEST_P(BrowserAdapterTest, GivenATabClosedOrNoBrowserWeShouldRaiseNamingTheEndpoint) {
  auto page = Open("/closing.html", "<body>soon gone</body>");
  ASSERT_NE(page, nullptr);
  auto html = page->Document()->documentElement();
  program_.Close(Server().Url("/closing.html"));
  EXPECT_THAT(Read([&] { return page->LocationURL(); }), HasSubstr(Endpoint(GetParam())));
  EXPECT_THAT(Read([&] { return html->innerHTML(); }), HasSubstr(Endpoint(GetParam())));

  const std::string scheme = GetParam() == Kind::kDevTools ? "http" : "ws";
  for (const std::string& endpoint :
       {scheme + "://127.0.0.1:1", Server().Url("").replace(0, 4, scheme)}) {
    BrowserConnection nobody(GetParam(), endpoint, 5s);
    EXPECT_THAT(Read([&] {
                  nobody.browser->CreateShellWindows()->Elements();
                  return Text();
                }),
                HasSubstr(endpoint));
    EXPECT_EQ(nobody.windows->GetForegroundWindow(), 0);
  }
}

// The busy page is of a site of its own, whose pages run in a process of their own.
TEST_P(BrowserAdapterTest, GivenAPageThatNeverAnswersWeShouldRaiseWhenTheTimeIsUpAndReadOthers) {
  // The calm tab first: a fresh Firefox may not make a tab while a page of it is busy.
  ASSERT_NE(Open("/calm.html", "<title>calm</title>"), nullptr);
  Server().Add("/busy.html", kLoopingScript);
  std::string busy = Server().Url("/busy.html");
  busy.replace(busy.find("127.0.0.1"), 9, "localhost");
  ASSERT_TRUE(program_.Open(busy));
  ASSERT_TRUE(testing::Eventually([&] { return Server().Asked("/looping"); }));
  if (program_.bidi) program_.bidi->EndSession();  // the browser keeps one session at a time
  BrowserConnection impatient(GetParam(), Endpoint(GetParam()), 1500ms);
  auto busy_page = impatient.Page(busy);
  auto calm_page = impatient.Page(Server().Url("/calm.html"));
  ASSERT_TRUE(busy_page && calm_page);

  EXPECT_THAT(Read([&] { return busy_page->Document()->documentElement()->innerHTML(); }),
              HasSubstr("within 1500 ms"));
  EXPECT_THAT(ToUtf8(calm_page->Document()->documentElement()->innerHTML()),
              HasSubstr("<TITLE>calm</TITLE>"));
  impatient.Close(busy);
}

TEST_P(BrowserAdapterTest, GivenATabOpenedBehindWeShouldListThePageShownFirstWithItsWindow) {
  const std::string front = ToUtf8(Open("/front.html", "<title>front</title>")->LocationURL());
  Server().Add("/behind.html", "<title>behind</title>");
  ASSERT_TRUE(program_.Open(Server().Url("/behind.html"), false, true));

  auto pages = program_.browser->CreateShellWindows()->Elements();

  ASSERT_FALSE(pages.empty());
  EXPECT_EQ(ToUtf8(pages[0]->LocationURL()), front);
  EXPECT_NE(pages[0]->HWND(), 0);
  EXPECT_EQ(pages[0]->HWND(), program_.windows->GetForegroundWindow());
}

// Firefox keeps one session at a time, for as long as its client does not end it.
TEST_P(BrowserAdapterTest, GivenTheProgramEndingWeShouldLetTheBrowserGoForTheNextRun) {
  if (!program_.bidi) GTEST_SKIP() << "Chromium serves any number of clients at once";
  ASSERT_FALSE(program_.browser->CreateShellWindows()->Elements().empty());
  BidiClient next(QUrl(QString::fromStdString(Endpoint(GetParam()))), 10s);
  EXPECT_THAT(Read([&] {
                next.Call("browsingContext.getTree");
                return Text();
              }),
              HasSubstr("restart the browser"));

  FakeUserInterface fake;
  EXPECT_THROW(NewSessionEndingUserInterface(fake, *program_.bidi)->End(), ProgramEnded);

  EXPECT_NO_THROW(next.Call("browsingContext.getTree"));
}

INSTANTIATE_TEST_SUITE_P(Browsers, BrowserAdapterTest,
                         ::testing::Values(Kind::kDevTools, Kind::kBidi),
                         ::testing::PrintToStringParamName());

TEST(DevToolsBrowserKilledTest, GivenTheBrowserKilledDuringAReadWeShouldRaiseWithoutWaiting) {
  testing::TestApplication<QCoreApplication>();
  testing::PageServer server;
  server.Add("/hang.html", kLoopingScript);
  testing::BrowserProcess chromium(Kind::kDevTools,
                                   {.display = "", .urls = {server.Url("/hang.html")}});
  // A bound beyond the test's own: only noticing that the browser has gone ends the read.
  BrowserConnection program(Kind::kDevTools, chromium.endpoint(), 1h);
  ASSERT_TRUE(program.Loaded(server.Url("/hang.html")));
  std::shared_ptr<WebBrowser> page = program.Page(server.Url("/hang.html"));
  ASSERT_TRUE(testing::Eventually([&] { return server.Asked("/looping"); }));

  std::thread killer([&] {
    std::this_thread::sleep_for(1s);  // into the read, most likely; before it, the same answer
    chromium.Kill();
  });
  EXPECT_THAT(Read([&] { return page->Document()->documentElement()->innerHTML(); }),
              HasSubstr(chromium.endpoint()));
  killer.join();
  EXPECT_THROW(page->LocationURL(), Failure);
}

}  // namespace
}  // namespace harvelo
