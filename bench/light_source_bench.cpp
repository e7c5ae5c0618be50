// Benchmarks of the light-source analyses on 50001 points of a DFB laser spectrum.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

#include "analysis/light_source.h"
#include "instrument.h"
#include "platform/headless_host.h"
#include "traces/meas_condition.h"

namespace {

using namespace vq;

// Trace A: a DFB laser at 1550 nm (-5 dBm, 0.02 nm wide) with side modes 0.8 nm away 40 and
// 45 dB down, over 1545 to 1555 nm and a noise floor near -65 dBm that changes at every point.
struct DfbSpectrum {
  HeadlessHost host;
  std::unique_ptr<Instrument> context = CreateInstrument(host);

  DfbSpectrum() {
    InitConditions();
    Trace& t = context->traces.traces[0];
    t.condition = DefaultSettingRecord();
    t.condition.start = 1545;
    t.condition.span = 10;
    t.condition.stop = 1555;
    t.condition.samplingPoints = t.condition.storedPoints = kMaxPoints;
    uint32_t seed = 12345;
    auto line = [](double x, double centre, double mw) {
      const double u = (x - centre) / 0.01;
      return mw / (1 + u * u);
    };
    for (int i = 0; i < kMaxPoints; ++i) {
      seed = seed * 1664525u + 1013904223u;
      const double x = 1545 + 10.0 * i / (kMaxPoints - 1);
      t.level[i] = line(x, 1550, DbmToLinear(-5)) + line(x, 1550.8, DbmToLinear(-45)) +
                   line(x, 1549.2, DbmToLinear(-50)) +
                   DbmToLinear(-65) * (1 + 0.3 * (seed >> 8) / double(1 << 24));
    }
  }
  ~DfbSpectrum() { DestroyInstrument(context); }
};

void BM_DfbLd(benchmark::State& state) {
  DfbSpectrum s;
  for (auto _ : state) {
    if (RunDfbLd() != 0) state.SkipWithError("DFB-LD failed");
    benchmark::DoNotOptimize(s.context->analysis.light.dfb.osnrDb);
  }
}
BENCHMARK(BM_DfbLd)->Unit(benchmark::kMillisecond);

void BM_Smsr(benchmark::State& state) {
  DfbSpectrum s;
  for (auto _ : state) {
    if (RunSmsr() != 0) state.SkipWithError("SMSR failed");
    benchmark::DoNotOptimize(s.context->analysis.light.smsr.ratio[0]);
  }
}
BENCHMARK(BM_Smsr)->Unit(benchmark::kMillisecond);

void BM_Color(benchmark::State& state) {
  DfbSpectrum s;
  Trace& t = s.context->traces.traces[0];
  t.condition.start = 380;  // the same samples as visible light
  t.condition.span = 400;
  t.condition.stop = 780;
  for (auto _ : state) {
    RunColor();
    benchmark::DoNotOptimize(s.context->analysis.light.color.dominantNm);
  }
}
BENCHMARK(BM_Color)->Unit(benchmark::kMillisecond);

}  // namespace
