// The first synchronisation over loopback against the simulator holding seven 50001-point
// traces: settings pull, seven trace queries, seven trace-file pulls, the automatics, the table
// and the axis (target: under 300 ms in all).
#include <benchmark/benchmark.h>

#include <string>

#include "link/connection.h"
#include "link/link.h"
#include "link/sync.h"
#include "sim_child.h"
#include "started_instrument.h"

namespace {

void BM_FirstSynchronisationSevenFullTraces(benchmark::State& state) {
  vq::VqsimProcess sim({"--traces", "ABCDEFG", "--points", "50001"});
  if (sim.port() == 0) {
    state.SkipWithError(("vqsim did not start: " + sim.firstLine()).c_str());
    return;
  }
  vq::StartedInstrument instrument("vq_sync_bench");
  instrument.host.connectAnswers = {
      vq::ConnectFields{"127.0.0.1", std::to_string(sim.port()), "user", "pass"}};
  instrument.host.boxAnswers = {vq::BoxAnswer::Ok};
  vq::WindowProc(vq::WM_COMMAND, vq::kCmdConnect, 0);
  if (vq::GInstrument->link.connected != 1) {
    state.SkipWithError("the connection failed");
    return;
  }
  for (auto _ : state) {
    vq::GInstrument->link.pullInProgress = 1;
    const int code = vq::FirstSynchronisation();
    vq::GInstrument->link.pullInProgress = 0;
    if (code != 0) {
      state.SkipWithError("the synchronisation failed");
      break;
    }
  }
  vq::Disconnect(0);
}
BENCHMARK(BM_FirstSynchronisationSevenFullTraces)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
