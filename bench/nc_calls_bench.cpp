// Cost of typical NC calls against the simulated CNC in-process, and the
// number of FOCAS2 calls each makes (on a real CNC each is a network round
// trip, so that count is the figure that matters there).
//
// Run: TAVRIN_FOCAS=<build>/simcnc/libtavrin_simcnc.so <build>/bench/tavrin_bench
#include <benchmark/benchmark.h>

#include <vector>

#include "tavrin/simcnc.h"
#include "tavrin/tavrin.h"

namespace sim = tavrin::simcnc;

namespace {

unsigned short Prepare() {
  sim::Reset(1);
  sim::DefineParam(1, 1421, sim::ParamKind::Real, true, 3);
  unsigned short handle = 0;
  lib_GetNcLibHandle(&handle);
  return handle;
}

// Counts the FOCAS2 calls of one operation from the journal, then turns the
// journal off so it does not weigh on the timing.
template <typename Op>
void CountCalls(benchmark::State& state, Op op) {
  sim::SetJournalEnabled(true);
  sim::ClearJournal();
  op();
  state.counters["focas_calls"] = static_cast<double>(sim::JournalSize());
  sim::SetJournalEnabled(false);
}

void BM_PmcBitRead(benchmark::State& state) {
  unsigned short h = Prepare();
  bool bit = false;
  auto op = [&] { benchmark::DoNotOptimize(lib_ReadPmcParam_Bit(h, 'F', 4, 3, &bit)); };
  CountCalls(state, op);
  for (auto _ : state) op();
}
BENCHMARK(BM_PmcBitRead);

void BM_PmcBitWrite(benchmark::State& state) {
  unsigned short h = Prepare();
  bool on = false;
  auto op = [&] { benchmark::DoNotOptimize(lib_WritePmcParam_Bit(h, 'D', 9550, 2, on = !on)); };
  CountCalls(state, op);
  for (auto _ : state) op();
}
BENCHMARK(BM_PmcBitWrite);

void BM_AllAxesRealRead(benchmark::State& state) {
  unsigned short h = Prepare();
  double values[32];
  auto op = [&] { benchmark::DoNotOptimize(lib_ReadCncParam_Real(h, 1421, -1, values)); };
  CountCalls(state, op);
  for (auto _ : state) op();
}
BENCHMARK(BM_AllAxesRealRead);

void BM_PluralMacroRead1000(benchmark::State& state) {
  unsigned short h = Prepare();
  std::vector<double> values(1000);
  auto op = [&] { benchmark::DoNotOptimize(lib_ReadPluralPCode(h, 500, 1000, values.data())); };
  CountCalls(state, op);
  for (auto _ : state) op();
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_PluralMacroRead1000);

void BM_SingleMacroRead1000(benchmark::State& state) {
  unsigned short h = Prepare();
  double value = 0;
  auto op = [&] {
    for (int i = 0; i < 1000; ++i) benchmark::DoNotOptimize(lib_ReadPCode(h, 500 + i, &value));
  };
  CountCalls(state, op);
  for (auto _ : state) op();
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_SingleMacroRead1000);

}  // namespace
