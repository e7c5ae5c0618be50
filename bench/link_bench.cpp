// Benchmarks of the link over loopback: one 400 kB block reply (received and parsed into
// doubles), and the CPU time spent while a reply stalls for 2 s. The analyzer is a small server
// thread in this process that frames its replies with the link's own framing.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "instrument.h"
#include "link/link.h"
#include "link/reply_framing.h"
#include "platform/headless_host.h"

namespace {

constexpr size_t kPoints = 50001;  // 400,008 bytes of 8-byte doubles

// Answers ":TRAC:Y? TRA" with a definite-length block of doubles; anything ending in "STALL?"
// never gets an answer. Serves one connection, then ends.
class LoopbackAnalyzer {
 public:
  LoopbackAnalyzer() {
    listen_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    listen(listen_, 1);
    getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &length);
    port = ntohs(a.sin_port);
    std::vector<double> values(kPoints);
    for (size_t i = 0; i < kPoints; ++i) values[i] = -60.0 + 0.001 * static_cast<double>(i);
    block_ = vq::BlockHeader(values.size() * sizeof(double));
    block_.append(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(double));
    block_ += "\n";
    thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackAnalyzer() {
    thread_.join();
    close(listen_);
  }

  uint16_t port = 0;

 private:
  void Serve() {
    const int peer = accept(listen_, nullptr, nullptr);
    if (peer < 0) return;
    std::string stream, line;
    char buffer[4096];
    for (;;) {
      const ssize_t n = recv(peer, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      stream.append(buffer, static_cast<size_t>(n));
      while (vq::TakeCommandLine(stream, line)) {
        if (line.find(":TRAC:Y? TRA") != std::string::npos) {
          for (size_t sent = 0; sent < block_.size();) {
            const ssize_t m = send(peer, block_.data() + sent, block_.size() - sent, MSG_NOSIGNAL);
            if (m <= 0) break;
            sent += static_cast<size_t>(m);
          }
        }
      }
    }
    close(peer);
  }

  int listen_ = -1;
  std::string block_;
  std::thread thread_;
};

struct LinkedInstrument {
  vq::HeadlessHost host;
  std::unique_ptr<vq::Instrument> context = vq::CreateInstrument(host);
  LoopbackAnalyzer analyzer;
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
