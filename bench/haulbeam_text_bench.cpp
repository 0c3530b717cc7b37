// Haulbeam's readers of text that a page or a server can make as long as it likes, beside one
// pass that counts the ampersands of the same text (the floor): the decoding of character
// references, on ampersands with no ";" after them (an address of nothing but query
// separators) and on references of every kind; and the making of a file name from a name
// that must be cut to fit. Each time must grow with the text, as the floor's does, not with
// its square.
//
//   haulbeam_text_bench

#include <benchmark/benchmark.h>

#include <QString>

#include "character_references.h"
#include "file_naming.h"

namespace {

// `piece` repeated to about the length the benchmark runs at, which it is told.
QString TextOfLength(benchmark::State& state, const QString& piece) {
  const QString text = piece.repeated(state.range(0) / piece.size());
  state.SetComplexityN(text.size());
  return text;
}

void BM_Decode(benchmark::State& state, const QString& piece) {
  const QString text = TextOfLength(state, piece);
  for (auto _ : state) benchmark::DoNotOptimize(haulbeam::DecodeCharacterReferences(text));
}

void BM_CountAmpersands(benchmark::State& state, const QString& piece) {
  const QString text = TextOfLength(state, piece);
  for (auto _ : state) benchmark::DoNotOptimize(text.count(u'&'));
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

void BM_SafeFileName(benchmark::State& state) {
  const QString name = QString(state.range(0), QChar(u'\u00E9')) + QStringLiteral(".jpg");
  for (auto _ : state) benchmark::DoNotOptimize(haulbeam::SafeFileName(name));
  state.SetComplexityN(name.size());
}

BENCHMARK(BM_SafeFileName)->RangeMultiplier(8)->Range(1 << 10, 1 << 16)->Complexity();

}  // namespace

BENCHMARK_MAIN();
