// Benchmarks of WDM (80 channels, each fitting algorithm) and EDFA-NF (40 channels) on 50001
// points of a noisy spectrum.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>

#include "analysis/wdm.h"
#include "instrument.h"
#include "platform/headless_host.h"
#include "traces/meas_condition.h"

namespace {

using namespace vq;

// `channels` channels 0.4 nm apart from 1530 nm over 40 nm, Gaussian lines of 0.04 nm, over an
// ASE floor near -45 dBm that changes at every point; trace B (when `gain` is above 0) the
// amplified input plus the floor.
struct Spectrum {
  HeadlessHost host;
  std::unique_ptr<Instrument> context = CreateInstrument(host);

  Spectrum(int channels, double gain) {
    InitConditions();
    uint32_t seed = 12345;
    for (int t = 0; t < (gain > 0 ? 2 : 1); ++t) {
      Trace& tr = context->traces.traces[t];
      tr.condition = DefaultSettingRecord();
      tr.condition.start = 1530;
      tr.condition.span = 40;
      tr.condition.stop = 1570;
      tr.condition.resolution = 0.1;
      tr.condition.samplingPoints = tr.condition.storedPoints = kMaxPoints;
      for (int i = 0; i < kMaxPoints; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const double x = 1530 + 40.0 * i / (kMaxPoints - 1);
        const double k = std::round((x - 1534) / 0.4);
        double line = 0;
        if (k >= 0 && k < channels) {
          const double u = (x - 1534 - 0.4 * k) / 0.04;
          line = 0.01 * std::exp(-2.77 * u * u);
        }
        const double floor =
            DbmToLinear(t == 0 ? -70 : -45) * (1 + 0.3 * (seed >> 8) / double(1 << 24));
        tr.level[i] = (t == 0 ? line : gain * line) + floor;
      }
    }
  }
  ~Spectrum() { DestroyInstrument(context); }
};

void BM_Wdm80Channels(benchmark::State& state) {
  Spectrum s(80, 0);
  WdmSettings& w = s.context->analysis.wdm.wdm;
  w.noise.fittingAlgo = static_cast<uint16_t>(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(RunWdmAnalysis());
  }
  if (s.context->analysis.wdm.count != 80) state.SkipWithError("not 80 channels");
  constexpr const char* kNames[] = {"LINEAR",   "GAUSS",    "LORENZ",
                                    "3RD POLY", "4TH POLY", "5TH POLY"};
  state.SetLabel(kNames[state.range(0)]);
}
BENCHMARK(BM_Wdm80Channels)->DenseRange(kFitLinear, kFit5th)->Unit(benchmark::kMicrosecond);

void BM_EdfaNf40Channels(benchmark::State& state) {
  Spectrum s(40, 100);
  for (auto _ : state) {
    benchmark::DoNotOptimize(RunEdfaNfAnalysis());
  }
  if (s.context->analysis.wdm.count != 40) state.SkipWithError("not 40 channels");
}
BENCHMARK(BM_EdfaNf40Channels)->Unit(benchmark::kMicrosecond);

}  // namespace
