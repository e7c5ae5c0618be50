// vq_make_samples: writes the shipped sample spectra (binary .wv8 and .csv trace files).
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "files/trace_files.h"
#include "instrument.h"
#include "platform/headless_host.h"
#include "spectrum_models.h"

namespace {

constexpr uint64_t kSampleSeed = 20240601;  // fixed, so the samples are the same on every run

// Puts the spectrum into trace A of the context and writes both file forms; 0 or an exit code.
int WriteSample(vq::Instrument& g, const std::string& folder, vq::SpectrumModel model) {
  const vq::Spectrum s = vq::MakeSpectrum(model, vq::DefaultWindow(model), kSampleSeed);
  const std::string base = folder + "/" + vq::SpectrumModelName(model);
  if (!s.error.empty()) {
    std::fprintf(stderr, "vq_make_samples: %s: %s\n", base.c_str(), s.error.c_str());
    return 1;
  }
  // The writers take the label and the level scale from the setting and pane records.
  g.conditions.setting = g.conditions.measured = s.condition;
  g.conditions.panes[0] = g.conditions.panes[1] = s.condition;
  vq::Trace& trace = g.traces.traces[0];
  trace.condition = s.condition;
  trace.level.fill(0.0);
  std::copy(s.levels.begin(), s.levels.end(), trace.level.begin());
  trace.source = trace.level;
  for (const char* extension : {".wv8", ".csv"}) {
    const std::string path = base + extension;
    const int code = std::strcmp(extension, ".wv8") == 0 ? vq::WriteTraceBinary(path, 0)
                                                         : vq::WriteTraceCsv(path, 0);
    if (code != 0) {
      std::fprintf(stderr, "vq_make_samples: cannot write %s (code %d)\n", path.c_str(), code);
      return 1;
    }
    std::printf("%s\n", path.c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || std::strcmp(argv[1], "--help") == 0) {
    std::fprintf(argc == 2 ? stdout : stderr,
                 "usage: vq_make_samples FOLDER\n"
                 "Writes the simulated sample spectra to FOLDER as NAME.wv8 and NAME.csv.\n");
    return argc == 2 ? 0 : 2;
  }
  const std::string folder = argv[1];
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) {
    std::fprintf(stderr, "vq_make_samples: %s is not a folder\n", folder.c_str());
    return 2;
  }
  vq::HeadlessHost host;
  auto instrument = vq::CreateInstrument(host);
  int result = 0;
  for (int m = 0; m < vq::kSpectrumModelCount && result == 0; ++m) {
    result = WriteSample(*instrument, folder, static_cast<vq::SpectrumModel>(m));
  }
  vq::DestroyInstrument(instrument);
  return result;
}
