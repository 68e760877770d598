// Screen drawing: the colour-key copy of a full-HD 32-bit picture against
// memcpy of the same bytes, and drawing one 200 x 80 bitmap button.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "tavrin/tavrin.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;
constexpr COLORREF kKey = RGB(255, 0, 255);

// A memory device context with a picture of width x height: stripes of
// colour with every fourth stripe in the transparent colour.
struct Picture {
  CDC dc;
  CBitmap bitmap;
  Picture(int width, int height) {
    dc.CreateCompatibleDC(nullptr);
    bitmap.CreateCompatibleBitmap(&dc, width, height);
    dc.SelectObject(&bitmap);
    for (int x = 0; x < width; x += 16) {
      dc.FillSolidRect(x, 0, 16, height, (x / 16) % 4 == 0 ? kKey : RGB(x % 256, 80, 160));
    }
  }
};

void BM_ColourKeyCopyFullHd(benchmark::State& state) {
  Picture source(kWidth, kHeight), target(kWidth, kHeight);
  for (auto _ : state) {
    target.dc.TransparentBlt(0, 0, kWidth, kHeight, &source.dc, 0, 0, kWidth, kHeight, kKey);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * int64_t{kWidth} * kHeight * 4);
}
BENCHMARK(BM_ColourKeyCopyFullHd)->Unit(benchmark::kMicrosecond);

void BM_MemcpyFullHd(benchmark::State& state) {
  std::vector<std::uint32_t> source(std::size_t{kWidth} * kHeight, 0x123456), target(source.size());
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), source.size() * 4);
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * int64_t{kWidth} * kHeight * 4);
}
BENCHMARK(BM_MemcpyFullHd)->Unit(benchmark::kMicrosecond);

void BM_DrawBmpButton(benchmark::State& state) {
  Picture screen(640, 480);
  CBitmap button;
  button.CreateCompatibleBitmap(&screen.dc, 200, 80);
  CLibBmp item;
  item.SetBmp(static_cast<HBITMAP>(button.Detach()));
  item.SetBmpPos(100, 100);
  item.SetBackClrMode(true);
  for (auto _ : state) {
    item.DrawBmp(&screen.dc);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DrawBmpButton)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
