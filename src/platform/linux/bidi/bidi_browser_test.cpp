#include "platform/linux/bidi/bidi_browser.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

#include "fakes/fake_user_interface.h"
#include "platform/failure.h"
#include "platform/linux/bidi/bidi_window_system.h"
#include "platform/linux/bidi/session_ending_ui.h"
#include "platform/linux/devtools/devtools_browser.h"
#include "platform/linux/devtools/devtools_window_system.h"
#include "support/bidi_pages.h"
#include "support/chromium_session.h"
#include "support/devtools_pages.h"
#include "support/firefox_session.h"
#include "support/page_server.h"
#include "support/qt_application.h"

namespace harvelo {
namespace {

using ::testing::HasSubstr;
using namespace std::chrono_literals;

std::string Utf8(const Text& text) { return ToUtf8(text); }

// Every read the program makes of the page at `url` through `browser`, in the order the scan
// makes them; a read that raises gives its text.
std::vector<std::string> ReadsOf(BrowserAutomation& browser, const std::string& url) {
  std::vector<std::string> reads;
  const auto read = [&reads](const std::function<Text()>& property) {
    try {
      reads.push_back(Utf8(property()));
    } catch (const Failure& failure) {
      reads.push_back("raised: " + Utf8(failure.description()));
    }
  };
  for (const auto& page : browser.CreateShellWindows()->Elements()) {
    if (Utf8(page->LocationURL()) != url) continue;
    auto document = page->Document();
    read([&] { return document->documentElement()->innerHTML(); });
    auto links = document->links();
    auto images = document->images();
    for (ElementCollection* items : {links.get(), images.get()}) {
      for (std::int32_t i = 0; i < items->Length(); ++i) {
        auto item = items->item(i);
        read([&] { return item->innerHTML(); });
        read([&] { return item->href(); });
        read([&] { return item->ParentElement()->href(); });
      }
      read([&] { return items->item(items->Length())->href(); });
    }
    read([&] { return document->documentElement()->ParentElement()->href(); });
    return reads;
  }
  ADD_FAILURE() << "no element shows " << url;
  return reads;
}

// One headless Firefox, one headless Chromium and one page server for the whole suite; each
// test opens its own tabs.
class BidiBrowserTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    testing::TestApplication<QCoreApplication>();
    firefox_ = new testing::FirefoxSession({});
    server_ = new testing::PageServer();
  }
  static void TearDownTestSuite() {
    delete firefox_;
    delete server_;
  }

  BidiBrowserTest()
      : client_(QUrl(QString::fromStdString(firefox_->endpoint())), 10s),
        windows_(NewBidiWindowSystem(client_)),
        browser_(NewBidiBrowser(client_, *windows_)) {}

  // Serves `html` at `path`, opens it in a new tab and waits until it has loaded.
  std::string Open(const std::string& path, const std::string& html) {
    server_->Add(path, html);
    testing::OpenTab(client_, server_->Url(path));
    EXPECT_TRUE(testing::LoadedTab(client_, server_->Url(path))) << path;
    return server_->Url(path);
  }

  std::shared_ptr<WebBrowser> Page(const std::string& url) {
    for (const auto& page : browser_->CreateShellWindows()->Elements()) {
      if (Utf8(page->LocationURL()) == url) return page;
    }
    return nullptr;
  }

  static testing::FirefoxSession* firefox_;
  static testing::PageServer* server_;
  BidiClient client_;
  std::unique_ptr<BrowserWindows> windows_;
  std::unique_ptr<BrowserAutomation> browser_;
};

testing::FirefoxSession* BidiBrowserTest::firefox_ = nullptr;
testing::PageServer* BidiBrowserTest::server_ = nullptr;

struct PageCase {
  const char* name;
  const char* markup;
};

const PageCase kPages[] = {
    {"KnownMarkup", R"(<!DOCTYPE html>
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
</body></html>)"},
    {"UnknownTags",
     "<html><body><qxpics value=\"1\"></qxpics>"
     "<qxsource value=\"http://origin/a?b=1&amp;c=&quot;2&quot;\">text <b>bold</b>"
     "</qxsource><my-thing>custom</my-thing><svg width=\"4\"><circle r=\"1\"/>"
     "</svg><p>after</p></body></html>"},
    {"LinksAndImages",
     "<body><a href=\"one.html\">1</a><img src=\"pics/a.jpg\">"
     "<map name=m><area href=\"two.html\"></map><a name=\"anchor\">no target</a>"
     "<a href=\"http://other/3\">3</a><img src=\"/b.gif\"><img src=\"http://elsewhere/c.jpeg\">"
     "<p><img src=\"in-paragraph.jpg\"></p><a href=\"big.jpg\"><img src=\"thumb.jpg\"></a>"
     "<a><img src=\"in-empty-link.jpg\"></a></body>"},
    {"DefinedCustomElements",
     "<body><x-known a=\"1\">known</x-known><x-unknown>?</x-unknown>"
     "<script>customElements.define('x-known', class extends HTMLElement {});"
     "document.currentScript.remove();</script></body>"},
};

// A script that replaces what reads depend on, put at the end of a page.
const char kBend[] = R"(<script>
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
    }
    document.currentScript.remove();</script>)";

// Firefox parses and resolves as Chromium does; the adapters serialise alike, so every read of
// a page, and every failure, must be the same in both, whatever the page's scripts bend.
TEST_F(BidiBrowserTest, GivenPagesWeShouldReadInFirefoxWhatWeReadInChromium) {
  testing::ChromiumSession chromium({});
  DevToolsClient devtools(QUrl(QString::fromStdString(chromium.endpoint())), 10s);
  auto chromium_windows = NewDevToolsWindowSystem(devtools);
  auto chromium_browser = NewDevToolsBrowser(devtools, *chromium_windows);
  for (const PageCase& page : kPages) {
    const std::string path = std::string("/same/") + page.name + ".html";
    const std::string url = Open(path, page.markup);
    testing::OpenTarget(devtools, url);
    ASSERT_FALSE(testing::LoadedTarget(devtools, chromium.endpoint(), url).isEmpty());
    const std::vector<std::string> in_chromium = ReadsOf(*chromium_browser, url);

    EXPECT_EQ(ReadsOf(*browser_, url), in_chromium) << page.name;
    const std::string bent =
        Open(std::string("/same/bent-") + page.name + ".html", page.markup + std::string(kBend));
    EXPECT_EQ(ReadsOf(*browser_, bent), in_chromium) << page.name << " bent";
  }
}

TEST_F(BidiBrowserTest, GivenATabOpenedBehindWeShouldListThePageShownFirst) {
  const std::string front = Open("/front.html", "<title>front</title>");
  server_->Add("/behind.html", "<title>behind</title>");
  testing::OpenTab(client_, server_->Url("/behind.html"), false, true);
  ASSERT_TRUE(testing::LoadedTab(client_, server_->Url("/behind.html")));

  auto pages = browser_->CreateShellWindows()->Elements();

  ASSERT_FALSE(pages.empty());
  EXPECT_EQ(Utf8(pages[0]->LocationURL()), front);
  EXPECT_EQ(pages[0]->HWND(), windows_->GetForegroundWindow());
  EXPECT_EQ(pages.back()->HWND(), pages[0]->HWND());
}

TEST_F(BidiBrowserTest, GivenATabClosedBetweenTwoReadsWeShouldRaiseNamingTheEndpoint) {
  auto page = Page(Open("/closing.html", "<body>soon gone</body>"));
  ASSERT_NE(page, nullptr);
  auto html = page->Document()->documentElement();
  testing::CloseTabs(client_, server_->Url("/closing.html"));

  for (const auto& read : std::vector<std::function<Text()>>{[&] { return page->LocationURL(); },
                                                             [&] { return html->innerHTML(); }}) {
    try {
      read();
      ADD_FAILURE() << "a closed tab answered";
    } catch (const Failure& failure) {
      EXPECT_THAT(Utf8(failure.description()), HasSubstr(firefox_->endpoint()));
    }
  }
}

// The busy page is of a site of its own, whose pages run in a process of their own.
TEST_F(BidiBrowserTest, GivenAPageThatNeverAnswersWeShouldRaiseWhenTheTimeIsUpAndReadOthers) {
  server_->Add("/busy.html", "<body><script>setTimeout(() => { for (;;); }, 500)</script>");
  std::string busy = server_->Url("/busy.html");
  busy.replace(busy.find("127.0.0.1"), 9, "localhost");
  testing::OpenTab(client_, busy);
  ASSERT_TRUE(testing::LoadedTab(client_, busy));
  const std::string calm = Open("/calm.html", "<title>calm</title>");
  QThread::msleep(1000);
  client_.EndSession();  // the browser keeps one session at a time
  BidiClient impatient(QUrl(QString::fromStdString(firefox_->endpoint())), 1500ms);
  auto windows = NewBidiWindowSystem(impatient);
  auto browser = NewBidiBrowser(impatient, *windows);
  std::shared_ptr<WebBrowser> busy_page;
  std::shared_ptr<WebBrowser> calm_page;
  for (const auto& page : browser->CreateShellWindows()->Elements()) {
    if (Utf8(page->LocationURL()) == busy) busy_page = page;
    if (Utf8(page->LocationURL()) == calm) calm_page = page;
  }
  ASSERT_TRUE(busy_page && calm_page);

  try {
    busy_page->Document()->documentElement()->innerHTML();
    ADD_FAILURE() << "a hung page answered";
  } catch (const Failure& failure) {
    EXPECT_THAT(Utf8(failure.description()), HasSubstr("within 1500 ms"));
  }
  EXPECT_THAT(Utf8(calm_page->Document()->documentElement()->innerHTML()),
              HasSubstr("<TITLE>calm</TITLE>"));
  testing::CloseTabs(impatient, busy);
}

// The browser keeps one session at a time, for as long as its client does not end it.
TEST_F(BidiBrowserTest, GivenTheProgramEndingWeShouldLetTheBrowserGoForTheNextRun) {
  ASSERT_FALSE(browser_->CreateShellWindows()->Elements().empty());
  BidiClient next(QUrl(QString::fromStdString(firefox_->endpoint())), 10s);
  try {
    next.Call("browsingContext.getTree");
    ADD_FAILURE() << "a second session was given";
  } catch (const Failure& failure) {
    EXPECT_THAT(Utf8(failure.description()), HasSubstr("restart the browser"));
  }

  FakeUserInterface fake;
  EXPECT_THROW(NewSessionEndingUserInterface(fake, client_)->End(), ProgramEnded);

  EXPECT_NO_THROW(next.Call("browsingContext.getTree"));
  next.EndSession();
}

TEST(BidiBrowserAloneTest, GivenNoBrowserWeShouldRaiseNamingTheEndpoint) {
  testing::TestApplication<QCoreApplication>();
  testing::PageServer nobody;  // a port that is open but speaks no WebDriver BiDi
  for (const std::string& endpoint :
       {std::string("ws://127.0.0.1:1"), nobody.Url("").replace(0, 4, "ws")}) {
    BidiClient client(QUrl(QString::fromStdString(endpoint)), 5s);
    auto windows = NewBidiWindowSystem(client);
    try {
      NewBidiBrowser(client, *windows)->CreateShellWindows()->Elements();
      ADD_FAILURE() << "no browser answered at " << endpoint;
    } catch (const Failure& failure) {
      EXPECT_THAT(Utf8(failure.description()), HasSubstr(endpoint));
    }
    EXPECT_EQ(windows->GetForegroundWindow(), 0);
  }
}

}  // namespace
}  // namespace harvelo
