// The main of the Google Benchmark programs that measure the library against
// the simulated CNC built beside them (unless TAVRIN_FOCAS names another
// FOCAS2 library).
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "tavrin/nc/focas2_library.h"

int main(int argc, char** argv) {
  if (std::getenv("TAVRIN_FOCAS") == nullptr) lib_SetFocas2Library(TAVRIN_BENCH_SIMCNC_PATH);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
