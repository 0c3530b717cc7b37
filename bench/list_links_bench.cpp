// Link extraction speed: the step-by-step algorithm, ours, and a plain scan of the same
// text for "<a" (the floor no extraction can beat), on generated gallery pages of about
// 100 characters per anchor: 100,000 anchors in 10 MB.
//
//   list_links_bench                      runs the comparison
//   list_links_bench --write-page=FILE    writes the 10 MB page (UTF-8) for harvelo-inspect

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "fakes/fake_platform.h"
#include "oracle/list_links_literal.h"
#include "scanner/list_links.h"

namespace harvelo {
namespace {

constexpr std::size_t kMegabyte = 1000 * 1000;

// Combines by joining, recording nothing: the cost measured is the extraction's own.
struct JoiningUrlService : UrlService {
  bool InternetCombineUrlA(const std::string& base, const std::string& relative, char* buffer,
                           std::uint32_t* length, std::uint32_t) override {
    if (base.size() + relative.size() + 1 >= *length) return false;
    std::memcpy(buffer, base.data(), base.size());
    std::memcpy(buffer + base.size(), relative.data(), relative.size());
    *length = static_cast<std::uint32_t>(base.size() + relative.size());
    buffer[*length] = '\0';
    return true;
  }
};

// A gallery page of `size` characters: thumbnails in links, every tenth a text link, with
// a paragraph of text between them; about one anchor per 100 characters.
Text GeneratePage(std::size_t size) {
  Text page = u"<html><head><title>Gallery</title></head><body>\n";
  page.reserve(size + 200);
  for (std::size_t n = 0; page.size() < size; ++n) {
    const Text id = DecimalText(static_cast<std::int64_t>(n));
    if (n % 10 == 9) {
      page += u"<p>Photo " + id + u" in full size by the sea</p><A HREF=\"full/" + id +
              u".jpg\">view " + id + u"</A>\n";
    } else {
      page += u"<p>caf\u00e9 by the sea, no " + id + u"</p><a href=\"http://host/pics/" + id +
              u".jpg\"><img src=\"thumbs/" + id + u".jpg\"></a>\n";
    }
  }
  page += u"</body></html>\n";
  return page;
}

const Text& Page(std::size_t megabytes_tenths) {
  static std::map<std::size_t, Text> pages;
  auto found = pages.find(megabytes_tenths);
  if (found == pages.end()) {
    found = pages.emplace(megabytes_tenths, GeneratePage(megabytes_tenths * kMegabyte / 10)).first;
  }
  return found->second;
}

template <typename Extract>
void RunExtraction(benchmark::State& state, Extract extract) {
  const Text& page = Page(static_cast<std::size_t>(state.range(0)));
  std::size_t pairs = 0;
  for (auto _ : state) {
    JoiningUrlService urls;
    FakeUserInterface ui;
    LinkSets sets(2);
    extract(sets, page, urls, ui);
    pairs = sets[1].LinkURLs.size() - 1;
    benchmark::DoNotOptimize(sets);
    // The program keeps its pairs to the end; giving them back is not part of the scan.
    state.PauseTiming();
    LinkSets().swap(sets);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
  state.SetComplexityN(static_cast<std::int64_t>(page.size()));
  state.counters["pairs"] = static_cast<double>(pairs);
}

void BM_Literal(benchmark::State& state) {
  RunExtraction(state, [](LinkSets& sets, const Text& page, UrlService& urls, UserInterface& ui) {
    oracle::ListLinksLiteral(sets, 1, page, u"http://host/gallery/index.html", urls, ui);
  });
}

void BM_Ours(benchmark::State& state) {
  RunExtraction(state, [](LinkSets& sets, const Text& page, UrlService& urls, UserInterface& ui) {
    ListLinks(sets, 1, page, u"http://host/gallery/index.html", urls, ui);
  });
}

void BM_PlainScan(benchmark::State& state) {
  const Text& page = Page(static_cast<std::size_t>(state.range(0)));
  std::size_t anchors = 0;
  for (auto _ : state) {
    anchors = 0;
    for (std::size_t at = page.find(u"<a"); at != Text::npos; at = page.find(u"<a", at + 2)) {
      ++anchors;
    }
    benchmark::DoNotOptimize(anchors);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
  state.SetComplexityN(static_cast<std::int64_t>(page.size()));
  state.counters["anchors"] = static_cast<double>(anchors);
}

// Sizes in tenths of a megabyte. The literal algorithm's time grows with the square of the
// size, so it is measured only up to 2 MB; its 10 MB time is the fitted square curve.
BENCHMARK(BM_Literal)
    ->Arg(1)
    ->Arg(2)
    ->Arg(5)
    ->Arg(10)
    ->Arg(20)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNSquared);
BENCHMARK(BM_Ours)
    ->Arg(10)
    ->Arg(20)
    ->Arg(50)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_PlainScan)
    ->Arg(10)
    ->Arg(20)
    ->Arg(50)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

int WritePage(const char* path) {
  const std::string bytes = ToUtf8(GeneratePage(10 * kMegabyte));
  std::FILE* out = std::fopen(path, "wb");
  if (!out) return 2;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  return std::fclose(out) == 0 && written ? 0 : 2;
}

}  // namespace
}  // namespace harvelo

int main(int argc, char** argv) {
  constexpr const char* kWrite = "--write-page=";
  if (argc == 2 && std::strncmp(argv[1], kWrite, std::strlen(kWrite)) == 0) {
    return harvelo::WritePage(argv[1] + std::strlen(kWrite));
  }
  // The program scans a page once, in a heap of its own. Repeated here, each run would
  // also measure the allocator handing the previous run's pairs back to the system and
  // faulting them in again; the heap keeps its memory instead, as within one run.
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
