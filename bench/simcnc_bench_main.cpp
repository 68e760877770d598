// The main of the Google Benchmark programs that measure the library against
// the simulated CNC built beside them (unless TAVRIN_FOCAS names another
// FOCAS2 library).
#include <benchmark/benchmark.h>

#include <cstdlib>

int main(int argc, char** argv) {
  if (std::getenv("TAVRIN_FOCAS") == nullptr) setenv("TAVRIN_FOCAS", TAVRIN_BENCH_SIMCNC_PATH, 1);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
