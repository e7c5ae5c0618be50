// Benchmarks of the drawing pass: a full redraw and a dynamic-only (bit 8) pass.
#include <benchmark/benchmark.h>

#include "screen/renderer.h"
#include "started_instrument.h"

namespace {

void BM_FullRedraw(benchmark::State& state) {
  vq::StartedInstrument s("vq_bench_home");
  for (auto _ : state) {
    vq::GInstrument->frame.redrawFlags = vq::kRedrawAll;
    vq::RedrawScreen(true, false);
  }
  benchmark::DoNotOptimize(vq::GInstrument->screen.backBuffer.pixels.data());
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMicrosecond);

void BM_DynamicOnlyRedraw(benchmark::State& state) {
  vq::StartedInstrument s("vq_bench_home");
  for (auto _ : state) {
    vq::GInstrument->frame.redrawFlags = vq::kRedrawDynamicOnly;
    vq::RedrawScreen(true, false);
  }
  benchmark::DoNotOptimize(vq::GInstrument->screen.backBuffer.pixels.data());
}
BENCHMARK(BM_DynamicOnlyRedraw)->Unit(benchmark::kMicrosecond);

}  // namespace
