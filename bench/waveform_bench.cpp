// Benchmarks of the waveform display: filling one 50001-point trace and a full redraw of seven.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "frame/frame.h"
#include "frame/headless_loop.h"
#include "instrument.h"
#include "screen/renderer.h"
#include "screen/waveform.h"
#include "started_instrument.h"

namespace {

// A started instrument on a headless host showing seven noisy 50001-point traces.
struct Started : vq::StartedInstrument {
  Started() : vq::StartedInstrument("vq_waveform_bench_home") {
    vq::Instrument& g = *vq::GInstrument;
    vq::MeasCondition& c = g.conditions.setting;
    c.start = 1500, c.stop = 1600, c.span = 100, c.centre = 1550, c.refLevel = 0, c.logScale = 10;
    for (int t = 0; t < vq::kTraceCount; ++t) {
      vq::Trace& trace = g.traces.traces[t];
      trace.condition = c;
      trace.condition.samplingPoints = trace.condition.storedPoints = vq::kMaxPoints;
      for (int i = 0; i < vq::kMaxPoints; ++i) {
        // A peak over a noise floor that changes every point, as a measured spectrum does.
        const double x = (i - 25000.0) / 2000.0;
        trace.level[i] = std::exp(-x * x) * 0.1 + 1e-7 * (1 + ((i * 7919 + t * 131) % 97));
      }
      g.traces.state.display[t] = 0;
    }
  }
};

void BM_FillColumns50001(benchmark::State& state) {
  Started s;
  vq::Instrument& g = *vq::GInstrument;
  vq::PlotContext p;
  vq::SetupPlot(vq::GraphLevelScale(g.conditions.setting, false), vq::kGraphSingle, 5, p);
  p.rows = g.waveform.columns[0].data();
  const int result = vq::MapColumns({1500, 100}, {1500, 100}, vq::kMaxPoints, p);
  for (auto _ : state) {
    vq::FillColumns(p, g.traces.traces[0].level.data(), vq::kMaxPoints, result);
    benchmark::DoNotOptimize(p.rows);
  }
}
BENCHMARK(BM_FillColumns50001)->Unit(benchmark::kMicrosecond);

void BM_FullRedrawSevenTraces(benchmark::State& state) {
  Started s;
  for (auto _ : state) {
    vq::GInstrument->frame.redrawFlags = vq::kRedrawAll;
    vq::RedrawScreen(true, false);
  }
  benchmark::DoNotOptimize(vq::GInstrument->screen.backBuffer.pixels.data());
}
BENCHMARK(BM_FullRedrawSevenTraces)->Unit(benchmark::kMicrosecond);

}  // namespace
