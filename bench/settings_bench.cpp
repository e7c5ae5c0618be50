// Benchmarks of the settings files: an image built and read back in memory, and a settings file
// written and loaded as the file menu does (target: write plus read under 2 ms).
#include <benchmark/benchmark.h>

#include "files/settings_file.h"
#include "started_instrument.h"

namespace {

using namespace vq;

void BM_SettingsImageBuildAndRead(benchmark::State& state) {
  StartedInstrument instrument("vq_settings_bench_image");
  for (auto _ : state) {
    const std::vector<uint8_t> image = BuildSettingsImage();
    if (ReadSettingsImage(image.data(), image.size()) != 0) state.SkipWithError("refused");
    benchmark::DoNotOptimize(image.data());
  }
}
BENCHMARK(BM_SettingsImageBuildAndRead)->Unit(benchmark::kMicrosecond);

void BM_SettingsFileWriteAndLoad(benchmark::State& state) {
  StartedInstrument instrument("vq_settings_bench_file");
  const std::string path = (instrument.home / "S0001.ST8").string();
  for (auto _ : state) {
    if (WriteSettingsFile(path) != 0 || LoadSettingsFile(path) != 0) {
      state.SkipWithError("write or load failed");
    }
  }
}
BENCHMARK(BM_SettingsFileWriteAndLoad)->Unit(benchmark::kMicrosecond);

}  // namespace
