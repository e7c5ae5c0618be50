// Benchmark of building the FILE menu's list over a folder of 4094 trace files.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>

#include "files/file_list.h"
#include "platform/image_files.h"

namespace {

using namespace vq;

// A folder of 4094 binary trace files of 600 bytes, made once.
struct Folder {
  std::string path = (std::filesystem::temp_directory_path() / "vq_file_list_bench/").string();
  Folder() {
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    std::vector<uint8_t> bytes(600, 0);
    std::memcpy(bytes.data(), "\"QXBWAV\"\r\n", 10);
    for (int i = 0; i < kMaxListEntries; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "W%04d.WV8", (i * 7919) % 10000);
      WriteFileAtomic(path + name, bytes);
    }
  }
  ~Folder() { std::filesystem::remove_all(path); }
};

Folder& TheFolder() {
  static Folder folder;
  return folder;
}

void BuildList(benchmark::State& state) {
  FileListRequest request;
  request.folder = TheFolder().path;
  request.mode = state.range(0) ? kFileModeWrite : kFileModeRead;
  request.settings.sortKey = static_cast<uint16_t>(state.range(1));
  std::vector<FileListEntry> entries;
  for (auto _ : state) {
    BuildFileList(request, entries);
    benchmark::DoNotOptimize(entries.data());
  }
  state.counters["entries"] = static_cast<double>(entries.size());
}
// READ and WRITE (with the new-file entry), sorted by name and by date.
BENCHMARK(BuildList)->Args({0, 0})->Args({1, 0})->Args({1, 2})->Unit(benchmark::kMillisecond);

}  // namespace
