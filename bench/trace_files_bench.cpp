// Benchmarks of reading 50001-point trace files: the CSV and the binary form.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "files/trace_files.h"
#include "instrument.h"
#include "platform/headless_host.h"
#include "platform/image_files.h"

namespace {

using namespace vq;

// A context whose trace A holds 50001 points, written once in both forms.
struct Files {
  HeadlessHost host;
  std::unique_ptr<Instrument> context = CreateInstrument(host);
  std::string folder = (std::filesystem::temp_directory_path() / "vq_trace_bench_").string();
  std::vector<uint8_t> csv, binary;

  Files() {
    InitConditions();
    Trace& t = context->traces.traces[0];
    t.condition = DefaultSettingRecord();
    t.condition.samplingAuto = 0;
    t.condition.samplingPoints = kMaxPoints;
    t.condition.samplingInterval = t.condition.span / (kMaxPoints - 1);
    for (int i = 0; i < kMaxPoints; ++i) t.level[i] = DbmToLinear(-80 + 60.0 * i / kMaxPoints);
    WriteTraceCsv(folder + "t.csv", 0);
    WriteTraceBinary(folder + "t.wav", 0);
    ReadWholeFile(folder + "t.csv", csv);
    ReadWholeFile(folder + "t.wav", binary);
  }
  ~Files() {
    std::filesystem::remove(folder + "t.csv");
    std::filesystem::remove(folder + "t.wav");
    DestroyInstrument(context);
  }
};

Files& Shared() {
  static Files files;
  return files;
}

void BM_ReadCsv50001(benchmark::State& state) {
  Files& f = Shared();
  for (auto _ : state) {
    TraceFileData data;
    if (ReadTraceFile(f.folder + "t.csv", data) != 0 || data.levels.size() != kMaxPoints)
      state.SkipWithError("the CSV file did not read back");
    benchmark::DoNotOptimize(data.levels.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.csv.size()));
}
BENCHMARK(BM_ReadCsv50001)->Unit(benchmark::kMillisecond);

void BM_ReadBinary50001(benchmark::State& state) {
  Files& f = Shared();
  for (auto _ : state) {
    TraceFileData data;
    if (ReadTraceFile(f.folder + "t.wav", data) != 0 || data.levels.size() != kMaxPoints)
      state.SkipWithError("the binary file did not read back");
    benchmark::DoNotOptimize(data.levels.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.binary.size()));
}
BENCHMARK(BM_ReadBinary50001)->Unit(benchmark::kMillisecond);

void BM_LoadCsvIntoTrace(benchmark::State& state) {
  Files& f = Shared();
  for (auto _ : state) {
    if (LoadTraceFile(f.folder + "t.csv", 1) != 0) state.SkipWithError("load failed");
  }
}
BENCHMARK(BM_LoadCsvIntoTrace)->Unit(benchmark::kMillisecond);

}  // namespace
