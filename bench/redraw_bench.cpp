// Benchmarks of the drawing pass: a full redraw and a dynamic-only (bit 8) pass.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "app/frame.h"
#include "app/headless_loop.h"
#include "app/instrument.h"
#include "app/renderer.h"
#include "platform/headless_host.h"

namespace {

// A started instrument on a headless host, in a throw-away configuration folder.
struct Started {
  vq::HeadlessHost host;
  std::unique_ptr<vq::Instrument> context;
  std::filesystem::path home;

  Started() {
    home = std::filesystem::temp_directory_path() / "vq_bench_home";
    std::filesystem::create_directories(home);
    host.realSleep = false;
    context = vq::CreateInstrument(host);
    vq::StartUp(host, {home.string(), false});
    vq::PumpUntilIdle(host);
  }
  ~Started() {
    vq::WindowProc(vq::WM_CLOSE, 0, 0);
    vq::DestroyInstrument(context);
    std::filesystem::remove_all(home);
  }
};

void BM_FullRedraw(benchmark::State& state) {
  Started s;
  for (auto _ : state) {
    vq::GInstrument->frame.redrawFlags = vq::kRedrawAll;
    vq::RedrawScreen(true, false);
  }
  benchmark::DoNotOptimize(vq::GInstrument->screen.backBuffer.pixels.data());
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMicrosecond);

void BM_DynamicOnlyRedraw(benchmark::State& state) {
  Started s;
  for (auto _ : state) {
    vq::GInstrument->frame.redrawFlags = vq::kRedrawDynamicOnly;
    vq::RedrawScreen(true, false);
  }
  benchmark::DoNotOptimize(vq::GInstrument->screen.backBuffer.pixels.data());
}
BENCHMARK(BM_DynamicOnlyRedraw)->Unit(benchmark::kMicrosecond);

}  // namespace
