// Benchmarks of the filter analyses on 50001 points: FILTER-PK on a flat-top filter with ripple,
// WDM FIL-PK on an 80-channel filter comb and WDM FIL-BTM on the same comb turned into notches.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

#include "analysis/filter.h"
#include "instrument.h"
#include "platform/headless_host.h"
#include "traces/meas_condition.h"

namespace {

using namespace vq;

// Trace A over 1528 to 1568 nm. The comb: 80 raised-cosine pass bands 0.5 nm apart, 0.4 nm wide
// at the base, over a noisy -50 dBm floor; `notches` turns it upside down.
struct Spectrum {
  HeadlessHost host;
  std::unique_ptr<Instrument> context = CreateInstrument(host);

  Spectrum(bool comb, bool notches) {
    InitConditions();
    Trace& t = context->traces.traces[0];
    t.condition = DefaultSettingRecord();
    t.condition.start = 1528;
    t.condition.span = 40;
    t.condition.stop = 1568;
    t.condition.samplingPoints = t.condition.storedPoints = kMaxPoints;
    uint32_t seed = 12345;
    for (int i = 0; i < kMaxPoints; ++i) {
      seed = seed * 1664525u + 1013904223u;
      const double x = 1528 + 40.0 * i / (kMaxPoints - 1);
      const double noise = DbmToLinear(-50) * (1 + 0.3 * (seed >> 8) / double(1 << 24));
      double shape = 0;
      if (comb) {
        const double d = std::remainder(x - 1528.25, 0.5);
        shape = std::abs(d) < 0.2 ? 0.5 + 0.5 * std::cos(d / 0.2 * M_PI) : 0;
      } else {  // one flat top from 1547 to 1549 nm with 0.3 dB of ripple
        const double d = std::abs(x - 1548);
        shape = d < 1 ? DbmToLinear(-0.15 + 0.15 * std::cos(x * 20)) : d < 1.2 ? (1.2 - d) * 5 : 0;
      }
      t.level[i] = (notches ? 1 - shape * 0.999 : shape) + noise;
    }
  }
  ~Spectrum() { DestroyInstrument(context); }
};

void BM_FilterPk(benchmark::State& state) {
  Spectrum s(false, false);
  for (auto _ : state) benchmark::DoNotOptimize(RunFilterPk());
}
BENCHMARK(BM_FilterPk)->Unit(benchmark::kMicrosecond);

void BM_WdmFilter(benchmark::State& state) {
  const bool bottom = state.range(0) != 0;
  Spectrum s(true, bottom);
  for (auto _ : state) benchmark::DoNotOptimize(RunWdmFilter(bottom));
  state.SetLabel(std::to_string(s.context->analysis.filter.channelCount) + " channels");
}
BENCHMARK(BM_WdmFilter)->DenseRange(0, 1)->Unit(benchmark::kMicrosecond);

}  // namespace
