// Cost of the machine object's two busiest uses against the simulated CNC
// in-process, with the number of FOCAS2 calls each makes:
//  - a full status-screen refresh: every operation-signal getter once
//    (16 status bits, the feed hold of path 1), GetSelectedPath and GetMemMode;
//  - the same refresh as one reading, lib_ReadMachineStatus;
//  - the identity through its getters and as one reading, lib_ReadMachineIdentity;
//  - GetDispOrderIdx for each position of a 32-axis path, as a screen that
//    lays out all its axes asks for them.
//
// Run: TAVRIN_FOCAS=<build>/simcnc/libtavrin_simcnc.so <build>/bench/tavrin_mchn_bench
//
// On a real CNC every FOCAS2 call is one round trip to the CNC (HSSB or
// Ethernet), and that count, not the in-process time, sets the cost.  A
// refresh costs 19 round trips when K0 reports path 1 and 21 when no path bit
// is set (GetSelectedPath reads up to three keep relays); one reading costs
// 9 (8 ranged PMC reads and the path count, which never reaches the wire)
// and 11 without a path bit.  The 17 bit getters
// share only 10 distinct bytes, but the machine object reads each byte anew
// for every getter, by design: it caches nothing.  Each GetDispOrderIdx is 3 round trips, so laying out all
// 32 positions costs 96.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "tavrin/simcnc.h"
#include "tavrin/tavrin.h"

namespace sim = tavrin::simcnc;

namespace {

unsigned short Prepare() {
  sim::Reset(1);
  unsigned short handle = 0;
  lib_GetNcLibHandle(&handle);
  return handle;
}

// A path with 32 axes shown in reverse order, every fourth one hidden.
void DefineThirtyTwoAxes() {
  std::vector<std::string> names;
  for (int i = 0; i < 32; ++i)
    names.push_back(std::string(1, static_cast<char>('A' + i % 26)) + std::to_string(i / 26));
  sim::SetAxisNames(1, names);
  sim::DefineParam(1, 3115, sim::ParamKind::Bit, true);
  sim::DefineParam(1, 3130, sim::ParamKind::Byte, true);
  for (short axis = 1; axis <= 32; ++axis) {
    sim::SetParam(1, 3130, axis, 33 - axis);
    sim::SetParam(1, 3115, axis, axis % 4 == 0 ? 1 : 0);
  }
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

int StatusRefresh(CLibMchn& m) {
  int on = m.GetSimulationMode() + m.GetMachineLock() + m.GetProgramCheck() + m.GetIdelMode() + m.GetLChuckCheck() +
           m.GetRChuckCheck() + m.GetHandCheck() + m.GetDryRunMode() + m.GetSingleBlockMode() + m.GetCycleStatus() +
           m.GetOptionalStopMode() + m.GetWorkCoordinatePreset() + m.GetSimuResetProcStatus() +
           m.GetSimuRefProcStatus() + m.Get3dchkMode() + m.GetT6ketaMode() + m.GetStopFeed(1);
  return on + m.GetSelectedPath() + m.GetMemMode();
}

void BM_StatusRefresh(benchmark::State& state) {
  CLibMchn mchn(Prepare());
  sim::SetPmcByte('K', 0, 0x02);  // path 1 selected: the shortest GetSelectedPath
  auto op = [&] { benchmark::DoNotOptimize(StatusRefresh(mchn)); };
  CountCalls(state, op);
  for (auto _ : state) op();
}
BENCHMARK(BM_StatusRefresh);

void BM_StatusRefreshNoPathBit(benchmark::State& state) {
  CLibMchn mchn(Prepare());
  auto op = [&] { benchmark::DoNotOptimize(StatusRefresh(mchn)); };
  CountCalls(state, op);
  for (auto _ : state) op();
}
BENCHMARK(BM_StatusRefreshNoPathBit);

// The same refresh as one reading (lib_ReadMachineStatus): each byte once,
// neighbours of one letter in one ranged read, plus the path count.
void BM_StatusReading(benchmark::State& state) {
  unsigned short handle = Prepare();
  sim::SetPmcByte('K', 0, 0x02);
  TavrinMachineStatus status;
  auto op = [&] { benchmark::DoNotOptimize(lib_ReadMachineStatus(handle, &status)); };
  CountCalls(state, op);
  for (auto _ : state) op();
}
BENCHMARK(BM_StatusReading);

void BM_StatusReadingNoPathBit(benchmark::State& state) {
  unsigned short handle = Prepare();
  TavrinMachineStatus status;
  auto op = [&] { benchmark::DoNotOptimize(lib_ReadMachineStatus(handle, &status)); };
  CountCalls(state, op);
  for (auto _ : state) op();
}
BENCHMARK(BM_StatusReadingNoPathBit);

// The identity a panel or a publisher shows: through the getters, and as one
// reading (lib_ReadMachineIdentity), on a two-path CNC.
void BM_IdentityGetters(benchmark::State& state) {
  sim::Reset(2);
  unsigned short handle = 0;
  lib_GetNcLibHandle(&handle);
  CLibMchn m(handle);
  auto op = [&] {
    char text[TAVRIN_MCHN_TEXT_SIZE] = "";
    benchmark::DoNotOptimize(m.GetMchnSeries(text) + m.GetMchnType() + m.GetMchnModel() + m.GetBRot() +
                             m.GetMagazineStMax() + m.GetMindrVersion() + m.IsInch() + m.GetStationNum(1) +
                             m.GetStationNum(2));
    text[0] = '\0';
    benchmark::DoNotOptimize(m.GetMachineSerialNo(text));
    short paths = 0;
    benchmark::DoNotOptimize(lib_GetPathMax(handle, &paths));
  };
  CountCalls(state, op);
  for (auto _ : state) op();
}
BENCHMARK(BM_IdentityGetters);

void BM_IdentityReading(benchmark::State& state) {
  sim::Reset(2);
  unsigned short handle = 0;
  lib_GetNcLibHandle(&handle);
  TavrinMachineIdentity identity;
  auto op = [&] { benchmark::DoNotOptimize(lib_ReadMachineIdentity(handle, &identity)); };
  CountCalls(state, op);
  for (auto _ : state) op();
}
BENCHMARK(BM_IdentityReading);

void BM_DispOrderIdx(benchmark::State& state) {
  CLibMchn mchn(Prepare());
  DefineThirtyTwoAxes();
  auto position = static_cast<short>(state.range(0));
  auto op = [&] { benchmark::DoNotOptimize(mchn.GetDispOrderIdx(position)); };
  CountCalls(state, op);
  for (auto _ : state) op();
}
BENCHMARK(BM_DispOrderIdx)->DenseRange(0, 31);

void BM_DispOrderAllPositions(benchmark::State& state) {
  CLibMchn mchn(Prepare());
  DefineThirtyTwoAxes();
  auto op = [&] {
    for (short position = 0; position < 32; ++position) benchmark::DoNotOptimize(mchn.GetDispOrderIdx(position));
  };
  CountCalls(state, op);
  for (auto _ : state) op();
}
BENCHMARK(BM_DispOrderAllPositions);

}  // namespace
