// Downloading a folder of 100 files of 10 kB from the simulator over loopback, with every query
// the File Transfer window makes (the folder's listing with dates and sizes, each file's size,
// status, block read and error check): target under 0.5 s.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "link/connection.h"
#include "link/file_transfer.h"
#include "sim_child.h"
#include "started_instrument.h"

namespace {

constexpr int kFiles = 100;
constexpr size_t kFileBytes = 10000;

void BM_DownloadFolderOf100Files(benchmark::State& state) {
  vq::VqsimProcess sim;
  if (sim.port() == 0) {
    state.SkipWithError(("vqsim did not start: " + sim.firstLine()).c_str());
    return;
  }
  vq::StartedInstrument instrument("vq_transfer_bench");
  vq::Instrument& g = *vq::GInstrument;
  const std::filesystem::path pc = instrument.home / "pc";
  std::filesystem::create_directories(pc / "BENCH");
  for (int i = 0; i < kFiles; ++i) {
    std::ofstream(pc / "BENCH" / ("F" + std::to_string(i) + ".DAT"), std::ios::binary)
        << std::string(kFileBytes, static_cast<char>('A' + i % 26));
  }
  instrument.host.connectAnswers = {
      vq::ConnectFields{"127.0.0.1", std::to_string(sim.port()), "user", "pass"}};
  g.link.connectOpener = vq::kCmdFileTransfer;
  vq::ConnectCommand(vq::kCmdFileTransfer);
  if (g.link.connected != 1 || !vq::OpenTransfer()) {
    state.SkipWithError("the connection failed");
    return;
  }
  // The folder goes up once; each iteration downloads it into an empty PC folder.
  instrument.host.browseAnswers = {pc.string()};
  vq::BrowsePcFolder();
  vq::SelectNames(vq::TransferSide::Pc, {"BENCH"});
  vq::UploadCommand();
  const std::filesystem::path target = instrument.home / "down";
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove_all(target);
    std::filesystem::create_directories(target);
    instrument.host.browseAnswers = {target.string()};
    vq::BrowsePcFolder();
    vq::SelectNames(vq::TransferSide::Analyzer, {"BENCH"});
    state.ResumeTiming();
    vq::DownloadCommand();
    if (g.transfer.filesDone != kFiles || g.transfer.errors != 0) {
      state.SkipWithError("the download did not bring every file");
      break;
    }
  }
  state.counters["files"] = static_cast<double>(g.transfer.filesDone);
  vq::CloseTransfer();
  vq::Disconnect(2);
}
BENCHMARK(BM_DownloadFolderOf100Files)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
