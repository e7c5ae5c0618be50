// Benchmarks of the peak search and the spectral widths on 50001 points of a noisy spectrum.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

#include "analysis/search.h"
#include "analysis/spectral_width.h"
#include "instrument.h"
#include "platform/headless_host.h"
#include "traces/meas_condition.h"

namespace {

using namespace vq;

// Trace A: a Fabry-Perot laser of `modes` modes under a Gaussian envelope, over a noise floor
// near -65 dBm that changes at every point (the worst case for the turning points).
struct Spectrum {
  HeadlessHost host;
  std::unique_ptr<Instrument> context = CreateInstrument(host);

  explicit Spectrum(int modes) {
    InitConditions();
    Trace& t = context->traces.traces[0];
    t.condition = DefaultSettingRecord();
    t.condition.start = 1300;
    t.condition.span = 20;
    t.condition.stop = 1320;
    t.condition.samplingPoints = t.condition.storedPoints = kMaxPoints;
    uint32_t seed = 12345;
    const double spacing = 20.0 / modes;
    for (int i = 0; i < kMaxPoints; ++i) {
      seed = seed * 1664525u + 1013904223u;
      const double x = 1300 + 20.0 * i / (kMaxPoints - 1);
      const double envelope = std::exp(-0.5 * std::pow((x - 1310) / 4, 2));
      const double offset = std::remainder(x - 1300 - spacing / 2, spacing) / (spacing * 0.02);
      const double line = envelope / (1 + offset * offset);
      t.level[i] = line + DbmToLinear(-65) * (1 + 0.3 * (seed >> 8) / double(1 << 24));
    }
  }
  ~Spectrum() { DestroyInstrument(context); }
};

void BM_PeakSearch(benchmark::State& state) {
  Spectrum s(40);
  for (auto _ : state) {
    SingleSearch(0, true);
    benchmark::DoNotOptimize(s.context->analysis.result);
  }
}
BENCHMARK(BM_PeakSearch)->Unit(benchmark::kMicrosecond);

void BM_PeakSearchWithQualification(benchmark::State& state) {
  Spectrum s(40);
  AnalysisState& a = s.context->analysis;
  for (auto _ : state) {
    SingleSearch(0, true);  // builds the turning points that the qualification then marks
    QualifyBuiltList(a.work, 3.0, a.turning);
    benchmark::DoNotOptimize(a.turning.qualifiedPeaks);
  }
}
BENCHMARK(BM_PeakSearchWithQualification)->Unit(benchmark::kMicrosecond);

void BM_MultiSearchOn1000Modes(benchmark::State& state) {
  Spectrum s(1000);
  for (auto _ : state) {
    MultiSearch(0, true, 30.0, 3.0, 1);
    benchmark::DoNotOptimize(s.context->analysis.multi.count);
  }
}
BENCHMARK(BM_MultiSearchOn1000Modes)->Unit(benchmark::kMicrosecond);

void BM_SpectralWidth(benchmark::State& state) {
  Spectrum s(40);
  const int item = static_cast<int>(state.range(0));
  WidthResult r;
  for (auto _ : state) {
    RunSpectralWidth(0, item, kWidthDefaults[item], 3.0, r);
    benchmark::DoNotOptimize(r.widthNm);
  }
  state.SetLabel(AnalysisItemName(item));
}
BENCHMARK(BM_SpectralWidth)->DenseRange(kItemThresh, kItemNotch)->Unit(benchmark::kMicrosecond);

}  // namespace
