// Benchmarks of the template lines on a measured axis of 50001 points: rendering the three lines
// and judging the active trace against them.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "calc/template_lines.h"
#include "instrument.h"
#include "platform/headless_host.h"
#include "traces/meas_condition.h"

namespace {

using namespace vq;

// Trace A and the measured record: 1500 to 1600 nm in 50001 points, a peak over a -60 dBm floor;
// an upper and a lower line of 1001 points each (TYPE B), a target line of 3 points (TYPE A).
struct Templates {
  HeadlessHost host;
  std::unique_ptr<Instrument> context = CreateInstrument(host);

  Templates() {
    InitConditions();
    MeasCondition& s = context->conditions.setting;
    s.start = 1500, s.stop = 1600, s.span = 100, s.centre = 1550;
    s.samplingPoints = s.storedPoints = kMaxPoints;
    context->conditions.measured = s;
    Trace& t = context->traces.traces[0];
    t.condition = s;
    for (int i = 0; i < kMaxPoints; ++i) {
      const double x = (i - 25000) / 2000.0;
      t.level[i] = DbmToLinear(-60) + DbmToLinear(-10) * std::exp(-x * x);
    }
    std::vector<TemplatePoint> upper, lower;
    for (int j = 0; j <= 1000; ++j) {
      const double wl = 1500.05 + 0.0999 * j, x = (wl - 1550) / 1.0;
      upper.push_back({wl, -5 - 20 * (1 - std::exp(-x * x))});
      lower.push_back({wl, -80 + 0.01 * j});
    }
    SetTemplateLine(kLineUpper, upper, kTemplateAbsolute, kExtrapolTypeB);
    SetTemplateLine(kLineLower, lower, kTemplateAbsolute, kExtrapolTypeB);
    SetTemplateLine(kLineTarget, {{1540, -30}, {1550, -10}, {1560, -30}}, kTemplateAbsolute,
                    kExtrapolTypeA);
  }
  ~Templates() { DestroyInstrument(context); }
};

void BM_RenderThreeLines(benchmark::State& state) {
  Templates t;
  for (auto _ : state) {
    RenderTemplateLines(true);
    benchmark::DoNotOptimize(t.context->templates.lines[0].rendered.data());
  }
}
BENCHMARK(BM_RenderThreeLines)->Unit(benchmark::kMicrosecond);

void BM_Judgement(benchmark::State& state) {
  Templates t;
  RenderTemplateLines(true);
  for (auto _ : state) benchmark::DoNotOptimize(JudgeTemplate());
}
BENCHMARK(BM_Judgement)->Unit(benchmark::kMicrosecond);

}  // namespace
