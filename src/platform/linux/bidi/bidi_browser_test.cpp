#include "platform/linux/bidi/bidi_browser.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <fstream>
#include <sstream>

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
      : client_(QUrl(QString::fromStdString(firefox_->endpoint())), 60s),
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

// Markup whose serialisation has corners: escapes, raw text, comments, template content,
// tags that are not HTML, custom elements defined and not, links with and without targets.
const char kCorners[] = R"(<!DOCTYPE html><html lang="en"><head><title>Corners &amp; edges</title>
<script>if (1 < 2 && true) { /* <b>not markup</b> */ }</script>
<style>a[href$=".jpg"] > img { border: 0 }</style></head>
<body data-q='He said "yes" & <left>'><!-- note: <i>kept</i> -->
<h1>Fa&ccedil;ade&nbsp;&gt;&lt; &#169;</h1>
<a href="pics/one.jpg?w=1&amp;h=2"><IMG SRC="thumbs/one.jpg" ALT="one"></a>
<a href="#top"><img src="two.gif"></a><a>bare <img src="three.jpeg"></a>
<map name="m"><area href="four.jpe" alt=""></map><img src="m.gif" usemap="#m">
<qxpics value="2"></qxpics><qxsource value="http://origin/x?y=&quot;1&quot;">a <u>b</u></qxsource>
<x-ready k="v">ready</x-ready><x-never>never</x-never>
<svg viewBox="0 0 2 2"><rect width="1" height="1"/></svg><math><mi>x</mi></math>
<template><img src="in-template.jpg"></template><noscript><img src="no-script.jpg"></noscript>
<textarea>&lt;/textarea&gt;</textarea><pre>
line</pre><table><tr><td><img src="cell.jpg"></table><input type=radio checked>
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
Set.prototype.has = () => true;
customElements.get = () => undefined;
document.currentScript.remove();</script>)";

// Firefox parses and resolves as Chromium does, and the adapters serialise alike: every read
// of a page, and every failure, must be the same in both, whatever the page's scripts bend.
// The pages: the project's samples, and one with the corners of serialisation.
TEST_F(BidiBrowserTest, GivenPagesWeShouldReadInFirefoxWhatWeReadInChromium) {
  testing::ChromiumSession chromium({});
  DevToolsClient devtools(QUrl(QString::fromStdString(chromium.endpoint())), 10s);
  auto chromium_windows = NewDevToolsWindowSystem(devtools);
  auto chromium_browser = NewDevToolsBrowser(devtools, *chromium_windows);
  server_->ServeFolder(HARVELO_SAMPLES);
  server_->Add("/corners/index.html", kCorners);
  for (const std::string folder : {"/gallery/", "/marker/", "/robots/", "/plain/", "/corners/"}) {
    const std::string url = server_->Url(folder + "index.html");
    testing::OpenTarget(devtools, url);
    ASSERT_FALSE(testing::LoadedTarget(devtools, chromium.endpoint(), url).isEmpty());
    const std::vector<std::string> in_chromium = ReadsOf(*chromium_browser, url);
    std::stringstream markup;
    if (std::ifstream file(std::string(HARVELO_SAMPLES) + folder + "index.html"); file) {
      markup << file.rdbuf();
    } else {
      markup << kCorners;
    }

    testing::OpenTab(client_, url);
    ASSERT_TRUE(testing::LoadedTab(client_, url));
    EXPECT_EQ(ReadsOf(*browser_, url), in_chromium) << folder;
    const std::string bent = Open(folder + "bent.html", markup.str() + kBending);
    std::vector<std::string> bent_reads = ReadsOf(*browser_, bent);
    for (std::string& read : bent_reads) {  // a link to "#top" names the page's own address
      for (auto at = read.find(bent); at != std::string::npos; at = read.find(bent, at)) {
        read.replace(at, bent.size(), url);
      }
    }
    EXPECT_EQ(bent_reads, in_chromium) << folder << " bent";
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
  // The calm tab first: a fresh Firefox may not make a tab while a page of it is busy.
  const std::string calm = Open("/calm.html", "<title>calm</title>");
  server_->Add("/busy.html", "<body><script>setTimeout(() => { for (;;); }, 500)</script>");
  std::string busy = server_->Url("/busy.html");
  busy.replace(busy.find("127.0.0.1"), 9, "localhost");
  testing::OpenTab(client_, busy);
  ASSERT_TRUE(testing::LoadedTab(client_, busy));
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
