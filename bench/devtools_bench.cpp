// What one read of the browser costs, against a real headless Chromium: each figure
// beside its floor, the bare protocol round trip or Chromium's own serialisation. And the
// scan of a marker page, whose reads of every link and image are the most a page asks.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <chrono>
#include <memory>
#include <string>

#include "fakes/fake_platform.h"
#include "large_page.h"
#include "run/attach_browser.h"
#include "scanner/page_scan.h"
#include "support/browser_pages.h"
#include "support/browser_process.h"
#include "support/page_server.h"
#include "thumbnail_page.h"

namespace harvelo {
namespace {

using namespace std::chrono_literals;

// The marker page that the harvest benchmark shows.
constexpr int kMarkerLinks = 2000;
constexpr int kMarkerLoose = 1000;

struct Bench {
  testing::PageServer server;
  std::unique_ptr<testing::BrowserProcess> chromium;
  std::unique_ptr<testing::BrowserConnection> program;

  Bench() {
    server.Add("/small.html", "<title>small</title><body><p>small</p></body>");
    server.Add("/large.html", LargePage());
    server.Add("/marker.html", ThumbnailPage(true, kMarkerLinks, kMarkerLoose));
    chromium = std::make_unique<testing::BrowserProcess>(
        testing::BrowserProtocol::kDevTools,
        testing::BrowserProcess::Options{{}, {server.Url("/large.html")}});
    program = std::make_unique<testing::BrowserConnection>(testing::BrowserProtocol::kDevTools,
                                                           chromium->endpoint(), 30s);
    testing::OpenTarget(*program->devtools, server.Url("/marker.html"));
  }

  // Opens `count` more tabs of the small page.
  void OpenTabs(int count) {
    for (int i = 0; i < count; ++i)
      testing::OpenTarget(*program->devtools, server.Url("/small.html"));
  }

  // The tab showing `path`, once it has loaded, and its socket.
  std::shared_ptr<WebBrowser> Page(const std::string& path) {
    socket = testing::PageSocket(
        chromium->endpoint(),
        testing::LoadedTarget(*program->devtools, chromium->endpoint(), server.Url(path)));
    return program->Page(server.Url(path));
  }
  QString socket;
};

Bench& Shared() {
  static Bench bench;
  return bench;
}

void BM_RoundTripFloor(benchmark::State& state) {
  Bench& bench = Shared();
  bench.Page("/large.html");
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        bench.program->devtools->Call(bench.socket, "Runtime.evaluate", {{"expression", "1"}}));
  }
}
BENCHMARK(BM_RoundTripFloor)->Unit(benchmark::kMicrosecond);

void BM_LocationURL(benchmark::State& state) {
  auto page = Shared().Page("/large.html");
  for (auto _ : state) benchmark::DoNotOptimize(page->LocationURL());
}
BENCHMARK(BM_LocationURL)->Unit(benchmark::kMicrosecond);

// A link's href: one call into the page's renderer, the floor of every element read.
void BM_LinkHref(benchmark::State& state) {
  auto link = Shared().Page("/large.html")->Document()->links()->item(0);
  for (auto _ : state) benchmark::DoNotOptimize(link->href());
}
BENCHMARK(BM_LinkHref)->Unit(benchmark::kMicrosecond);

void BM_ChromiumInnerHtml1MB(benchmark::State& state) {
  Bench& bench = Shared();
  bench.Page("/large.html");
  std::size_t size = 0;
  for (auto _ : state) {
    size = testing::EvaluateIn(*bench.program->devtools, bench.socket,
                               "document.documentElement.innerHTML")
               .size();
  }
  state.counters["bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_ChromiumInnerHtml1MB)->Unit(benchmark::kMillisecond);

void BM_InnerHtml(benchmark::State& state, const char* path) {
  auto page = Shared().Page(path);
  std::size_t size = 0;
  for (auto _ : state) {
    // A pause before each read, as the program's yields make one: the read is then afresh.
    QCoreApplication::processEvents();
    size = page->Document()->documentElement()->innerHTML().size();
  }
  state.counters["chars"] = static_cast<double>(size);
}
BENCHMARK_CAPTURE(BM_InnerHtml, 1MB, "/large.html")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_InnerHtml, marker_page, "/marker.html")->Unit(benchmark::kMillisecond);

// The whole scan of the marker page as harvelo makes it, over the real page and fakes of the
// other parts: a read of the page's HTML (beside, BM_InnerHtml/marker_page) that answers the
// second read as well, the link and image passes.
void BM_MarkerPageScan(benchmark::State& state) {
  auto page = Shared().Page("/marker.html");
  std::size_t found = 0;
  for (auto _ : state) {
    FakePlatform fake;
    found = ScanForMedia(*page, fake.urls, fake.ui).MediaURLs.size() - 1;
  }
  if (found != kMarkerLinks + kMarkerLoose) state.SkipWithError("the scan missed pictures");
  state.counters["found"] = static_cast<double>(found);
}
BENCHMARK(BM_MarkerPageScan)->Unit(benchmark::kMillisecond);

// Four walks of 50 page targets, none of them in front: the attachment's worst case, its
// pauses recorded rather than waited.
void BM_FourAttemptWalkOf50Targets(benchmark::State& state) {
  Bench& bench = Shared();
  const int targets =
      static_cast<int>(bench.program->browser->CreateShellWindows()->Elements().size());
  if (targets < 50) bench.OpenTabs(50 - targets);
  MemoryRegistry registry;
  FakeUserInterface ui;
  FakeClock warm_up_clock;
  RunState warm_up;
  // The first walk opens a socket to each page; the program keeps them for the later ones.
  AttachBrowser({*bench.program->browser, *bench.program->windows, registry, ui, warm_up_clock},
                warm_up, -1, false);
  for (auto _ : state) {
    FakeClock clock;
    RunState run;
    benchmark::DoNotOptimize(AttachBrowser(
        {*bench.program->browser, *bench.program->windows, registry, ui, clock}, run, -1, false));
  }
  state.counters["targets"] =
      static_cast<double>(bench.program->browser->CreateShellWindows()->Elements().size());
}
BENCHMARK(BM_FourAttemptWalkOf50Targets)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace harvelo

int main(int argc, char** argv) {
  int qt_argc = 1;
  QCoreApplication application(qt_argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
