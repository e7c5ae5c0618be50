// Benchmarks of the link over loopback: one 400 kB block reply (received and parsed into
// doubles), and the CPU time spent while a reply stalls for 2 s. The analyzer is a small server
// thread in this process that frames its replies with the link's own framing.
#include <benchmark/benchmark.h>
#include <time.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "instrument.h"
#include "link/link.h"
#include "link/reply_framing.h"
#include "loopback_analyzer.h"
#include "platform/headless_host.h"

namespace {

constexpr size_t kPoints = 50001;  // 400,008 bytes of 8-byte doubles

// The block the analyzer answers to ":TRAC:Y? TRA": 50001 doubles and a trailing LF; anything
// else (the "STALL?" of the stall benchmark) gets no answer.
std::string TraceBlock() {
  std::vector<double> values(kPoints);
  for (size_t i = 0; i < kPoints; ++i) values[i] = -60.0 + 0.001 * static_cast<double>(i);
  std::string block = vq::BlockHeader(values.size() * sizeof(double));
  block.append(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(double));
  return block + "\n";
}

struct LinkedInstrument {
  vq::HeadlessHost host;
  std::unique_ptr<vq::Instrument> context = vq::CreateInstrument(host);
  vq::LoopbackAnalyzer analyzer{[block = TraceBlock()](const std::string& line) {
    return line.find(":TRAC:Y? TRA") != std::string::npos ? block : std::string();
  }};
  LinkedInstrument() { vq::LinkOpen("127.0.0.1", analyzer.port); }
  ~LinkedInstrument() {
    vq::LinkClose();
    vq::DestroyInstrument(context);
  }
};

double ProcessCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

void BM_BlockReply400kB(benchmark::State& state) {
  LinkedInstrument s;
  vq::LinkState& link = vq::GInstrument->link;
  std::vector<double> trace(kPoints);
  for (auto _ : state) {
    link.blockReplyMode = 1;
    const int code = vq::LinkQuery(":FORM REAL,64;:TRAC:Y? TRA", 10);
    link.blockReplyMode = 0;
    const std::string_view reply = link.reply.Text();
    const size_t header = 2 + static_cast<size_t>(reply[1] - '0');
    if (code != 0 || reply.size() < header + kPoints * sizeof(double)) {
      state.SkipWithError("the block reply failed");
      break;
    }
    std::memcpy(trace.data(), reply.data() + header, kPoints * sizeof(double));
    benchmark::DoNotOptimize(trace.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kPoints * sizeof(double)));
}
BENCHMARK(BM_BlockReply400kB)->Unit(benchmark::kMillisecond);

// The CPU the whole process spends while a reply stalls for its 2 s time-out.
void BM_StalledReplyCpu(benchmark::State& state) {
  LinkedInstrument s;
  double cpuMs = 0;
  for (auto _ : state) {
    const double before = ProcessCpuMs();
    const int code = vq::LinkExchange("STALL?", vq::GInstrument->link.reply, 2);
    cpuMs = ProcessCpuMs() - before;
    if (code != vq::kLinkTimeout) state.SkipWithError("the stalled reply did not time out");
  }
  state.counters["cpu_ms"] = cpuMs;
}
BENCHMARK(BM_StalledReplyCpu)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
