// Conversion between the page's UTF-8 bytes and the program's text, against copying the
// same bytes (the floor), on pages of plain ASCII and of ASCII with an accented letter
// about every fifty characters, as pages in most languages but English have.
//
//   utf8_bench

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "text/text.h"

namespace harvelo {
namespace {

constexpr std::size_t kMegabyte = 1000 * 1000;

std::string Page(std::size_t megabytes, bool accented) {
  const std::string line = accented ? "<p>Caf\xC3\xA9 by the sea, photo by Ren\xC3\xA9"
                                      "e</p>\n"
                                    : "<p>Cafe by the sea, photo by Renee</p>\n";
  std::string page;
  while (page.size() < megabytes * kMegabyte) page += line;
  return page;
}

void BM_FromUtf8(benchmark::State& state) {
  const std::string page = Page(static_cast<std::size_t>(state.range(0)), state.range(1) != 0);
  Text text;
  for (auto _ : state) {
    FromUtf8(page, text);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
  state.SetComplexityN(static_cast<std::int64_t>(page.size()));
}

void BM_ToUtf8(benchmark::State& state) {
  const Text text = FromUtf8(Page(static_cast<std::size_t>(state.range(0)), state.range(1) != 0));
  std::string page;
  for (auto _ : state) {
    ToUtf8(text, page);
    benchmark::DoNotOptimize(page.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
  state.SetComplexityN(static_cast<std::int64_t>(page.size()));
}

void BM_CopyBytes(benchmark::State& state) {
  const std::string page = Page(static_cast<std::size_t>(state.range(0)), state.range(1) != 0);
  std::string copy(page.size(), '\0');
  for (auto _ : state) {
    std::memcpy(copy.data(), page.data(), page.size());
    benchmark::DoNotOptimize(copy.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
  state.SetComplexityN(static_cast<std::int64_t>(page.size()));
}

// Arguments: megabytes, accented (0 or 1).
void Sizes(benchmark::internal::Benchmark* b) {
  for (const int accented : {0, 1}) {
    for (const int megabytes : {1, 10}) b->Args({megabytes, accented});
  }
  b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_FromUtf8)->Apply(Sizes);
BENCHMARK(BM_ToUtf8)->Apply(Sizes);
BENCHMARK(BM_CopyBytes)->Apply(Sizes);

}  // namespace
}  // namespace harvelo

BENCHMARK_MAIN();
