// Benchmarks of the trace calculations on 50001 points: the LOG and LIN operations into C and
// the GAUSS and 5TH POLY curve fits into G.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

#include "calc/trace_calc.h"
#include "instrument.h"
#include "platform/headless_host.h"
#include "traces/meas_condition.h"

namespace {

using namespace vq;

// Traces A and B: a Gaussian line over a noise floor that changes at every point; the measured
// record on their window, so the sources are taken by index.
struct Spectra {
  HeadlessHost host;
  std::unique_ptr<Instrument> context = CreateInstrument(host);

  Spectra() {
    InitConditions();
    uint32_t seed = 12345;
    for (int trace : {0, 1}) {
      Trace& t = context->traces.traces[trace];
      t.condition = DefaultSettingRecord();
      t.condition.start = 1540;
      t.condition.span = 20;
      t.condition.stop = 1560;
      t.condition.samplingPoints = t.condition.storedPoints = kMaxPoints;
      for (int i = 0; i < kMaxPoints; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const double x = 1540 + 20.0 * i / (kMaxPoints - 1);
        const double line = std::exp(-0.5 * std::pow((x - 1550 - trace) / 3, 2));
        t.level[i] = line + DbmToLinear(-65) * (1 + 0.3 * (seed >> 8) / double(1 << 24));
      }
    }
    context->conditions.measured = context->traces.traces[0].condition;
  }
  ~Spectra() { DestroyInstrument(context); }
};

// One operation by its attribute code.
void BM_Operation(benchmark::State& state) {
  Spectra s;
  const int code = static_cast<int>(state.range(0));
  state.SetLabel(AttributeCalcName(code));
  for (auto _ : state) {
    ApplyCalculation(code);
    benchmark::DoNotOptimize(s.context->traces.traces[2].level[kMaxPoints / 2]);
  }
}
// A-B(LOG), B-A(LOG), A+B(LOG); A-B(LIN), B-A(LIN), A+B(LIN), 1-K(A/B), 1-K(B/A).
BENCHMARK(BM_Operation)
    ->Arg(5)
    ->Arg(6)
    ->Arg(45)
    ->Arg(7)
    ->Arg(8)
    ->Arg(9)
    ->Arg(14)
    ->Arg(15)
    ->Unit(benchmark::kMillisecond);

// CRV FIT A through every point above the threshold (99 dB: all 50001 points).
void BM_CurveFit(benchmark::State& state) {
  Spectra s;
  const int algorithm = static_cast<int>(state.range(0));
  state.SetLabel(FitAlgorithmName(algorithm));
  s.context->conditions.setting.fittingAlgorithm = static_cast<uint16_t>(algorithm);
  s.context->traces.state.curveFitThreshold = 99;
  for (auto _ : state) {
    ApplyCalculation(39);
    benchmark::DoNotOptimize(s.context->traces.traces[6].level[kMaxPoints / 2]);
  }
}
BENCHMARK(BM_CurveFit)->Arg(kCurveGauss)->Arg(kCurve5thPoly)->Unit(benchmark::kMillisecond);

}  // namespace
