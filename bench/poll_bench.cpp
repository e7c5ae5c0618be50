// Benchmark of one poll cycle of a running sweep over loopback: the error queue, "INIT:SST?",
// "INIT:SPO?" and the incremental ":TRAC:YLIN?" of 5000 new points, applied to the traces. The
// analyzer is a small server thread in this process that measures 5000 more points per cycle.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "instrument.h"
#include "link/link.h"
#include "link/remote_actions.h"
#include "link/reply_framing.h"
#include "loopback_analyzer.h"
#include "started_instrument.h"

namespace {

constexpr int kPoints = 50001;
constexpr int kNewPoints = 5000;

// An analyzer whose sweep always has 5000 new points, read with ":TRAC:YLIN?".
class SweepingAnalyzer {
 public:
  SweepingAnalyzer() {
    levels_.resize(kPoints);
    for (int i = 0; i < kPoints; ++i) levels_[i] = 1e-6 * (1 + i % 100);
  }

  std::string Answer(const std::string& line) {
    if (line == ":SYST:ERR?") return "0,\"No error\"\r\n";
    if (line == "INIT:SST?") return "1\r\n";
    if (line == "INIT:SPO?") {
      if (measured_ + kNewPoints > kPoints - 1) measured_ = 0;  // the next sweep
      return std::to_string(measured_ + kNewPoints) + "\r\n";
    }
    int first = 0, last = 0;
    if (std::sscanf(line.c_str(), ":FORM REAL,64;:TRAC:YLIN? TRA,%d,%d", &first, &last) == 2) {
      measured_ = last;
      const size_t bytes = static_cast<size_t>(last - first + 1) * sizeof(double);
      return vq::BlockHeader(bytes) +
             std::string(reinterpret_cast<const char*>(&levels_[first - 1]), bytes) + "\r\n";
    }
    return "";
  }

 private:
  int measured_ = 0;
  std::vector<double> levels_;
};

void BM_PollCycleOf5000NewPoints(benchmark::State& state) {
  vq::StartedInstrument instrument("vq_poll_bench");
  vq::Instrument& g = *vq::GInstrument;
  SweepingAnalyzer sweeping;
  vq::LoopbackAnalyzer analyzer{
      [&sweeping](const std::string& line) { return sweeping.Answer(line); }};
  if (vq::LinkOpen("127.0.0.1", analyzer.port) != vq::kLinkDone) {
    state.SkipWithError("no loopback connection");
    return;
  }
  g.link.connected = 1;
  g.conditions.setting.samplingPoints = kPoints;
  g.link.sweepFlag = 1;
  g.link.remoteSweep = vq::kActSweepSingle;
  g.link.lastPoint = 1;
  for (auto _ : state) {
    if (g.link.lastPoint + kNewPoints > kPoints) g.link.lastPoint = 1;
    vq::StartLinkTimer(vq::kTimerLinkTracePoll, 1000);
    vq::LinkTimerFired(vq::kTimerLinkTracePoll);
    vq::LinkPollStep();
    if (g.link.connected != 1 || g.link.sweepFlag != 1) {
      state.SkipWithError("the poll did not keep the sweep running");
      break;
    }
  }
  state.counters["points"] = kNewPoints;
  g.link.connected = 0;
  vq::LinkClose();
}
BENCHMARK(BM_PollCycleOf5000NewPoints)->Unit(benchmark::kMillisecond);

}  // namespace
