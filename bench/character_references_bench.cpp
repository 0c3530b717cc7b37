// Haulbeam's decoding of character references on texts that a page can make as long as it
// likes: ampersands with no ";" after them (an address of nothing but query separators), and
// references of every kind between plain text, beside one pass that counts the ampersands
// (the floor). The time must grow with the text, as the floor's does, not with its square.
//
//   character_references_bench

#include <benchmark/benchmark.h>

#include <QString>

#include "character_references.h"

namespace {

void BM_Decode(benchmark::State& state, const QString& piece) {
  const QString text = piece.repeated(state.range(0) / piece.size());
  for (auto _ : state) benchmark::DoNotOptimize(haulbeam::DecodeCharacterReferences(text));
  state.SetComplexityN(text.size());
}

void BM_CountAmpersands(benchmark::State& state, const QString& piece) {
  const QString text = piece.repeated(state.range(0) / piece.size());
  for (auto _ : state) benchmark::DoNotOptimize(text.count(u'&'));
  state.SetComplexityN(text.size());
}

BENCHMARK_CAPTURE(BM_CountAmpersands, ampersands, QStringLiteral("&"))
    ->RangeMultiplier(8)
    ->Range(1 << 10, 1 << 16)
    ->Complexity();
BENCHMARK_CAPTURE(BM_Decode, ampersands, QStringLiteral("&"))
    ->RangeMultiplier(8)
    ->Range(1 << 10, 1 << 16)
    ->Complexity();
BENCHMARK_CAPTURE(BM_Decode, references, QStringLiteral("a=1&amp;b=&#233;&eacute;&x;"))
    ->RangeMultiplier(8)
    ->Range(1 << 10, 1 << 16)
    ->Complexity();

}  // namespace

BENCHMARK_MAIN();
