// What one read of Firefox costs over WebDriver BiDi, against a real headless Firefox: each
// figure beside its floor, the bare round trip of a script in the page or Firefox's own
// serialisation. devtools_bench gives the same figures for Chromium over the DevTools protocol.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <chrono>
#include <memory>
#include <string>

#include "large_page.h"
#include "support/browser_pages.h"
#include "support/browser_process.h"
#include "support/page_server.h"
#include "support/qt_application.h"

namespace harvelo {
namespace {

using namespace std::chrono_literals;

struct Bench {
  testing::PageServer server;
  std::unique_ptr<testing::BrowserProcess> firefox;
  std::unique_ptr<testing::BrowserConnection> program;
  std::shared_ptr<WebBrowser> page;
  QString context;

  Bench() {
    server.Add("/large.html", LargePage());
    firefox = std::make_unique<testing::BrowserProcess>(
        testing::BrowserProtocol::kBidi,
        testing::BrowserProcess::Options{{}, {server.Url("/large.html")}});
    program = std::make_unique<testing::BrowserConnection>(testing::BrowserProtocol::kBidi,
                                                           firefox->endpoint(), 30s);
    program->Loaded(server.Url("/large.html"));
    page = program->Page(server.Url("/large.html"));
    context = program->bidi->Call("browsingContext.getTree", {{"maxDepth", 0}})
                  .value("contexts")
                  .toArray()
                  .at(0)["context"]
                  .toString();
  }

  // `expression` evaluated by the page itself, the browser's own floor of any read.
  QJsonObject Evaluate(const QString& expression) {
    return program->bidi->Call("script.evaluate", {{"expression", expression},
                                                   {"target", QJsonObject{{"context", context}}},
                                                   {"awaitPromise", false}});
  }
};

Bench& Shared() {
  testing::TestApplication<QCoreApplication>();
  static Bench bench;
  return bench;
}

void BM_BidiRoundTripFloor(benchmark::State& state) {
  Bench& bench = Shared();
  for (auto _ : state) benchmark::DoNotOptimize(bench.Evaluate("1"));
}
BENCHMARK(BM_BidiRoundTripFloor)->Unit(benchmark::kMicrosecond);

void BM_BidiLocationURL(benchmark::State& state) {
  Bench& bench = Shared();
  for (auto _ : state) benchmark::DoNotOptimize(bench.page->LocationURL());
}
BENCHMARK(BM_BidiLocationURL)->Unit(benchmark::kMicrosecond);

// A link's href: one call into the page's sandbox, the floor of every element read.
void BM_BidiLinkHref(benchmark::State& state) {
  auto link = Shared().page->Document()->links()->item(0);
  for (auto _ : state) benchmark::DoNotOptimize(link->href());
}
BENCHMARK(BM_BidiLinkHref)->Unit(benchmark::kMicrosecond);

void BM_FirefoxInnerHtml1MB(benchmark::State& state) {
  Bench& bench = Shared();
  std::size_t size = 0;
  for (auto _ : state) {
    size = bench.Evaluate("document.documentElement.innerHTML")
               .value("result")
               .toObject()
               .value("value")
               .toString()
               .size();
  }
  state.counters["chars"] = static_cast<double>(size);
}
BENCHMARK(BM_FirefoxInnerHtml1MB)->Unit(benchmark::kMillisecond);

void BM_BidiInnerHtml1MB(benchmark::State& state) {
  auto html = Shared().page->Document()->documentElement();
  std::size_t size = 0;
  for (auto _ : state) size = html->innerHTML().size();
  state.counters["chars"] = static_cast<double>(size);
}
BENCHMARK(BM_BidiInnerHtml1MB)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace harvelo

BENCHMARK_MAIN();
