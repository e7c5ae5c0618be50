// The simulated analyzer's files, laid out by the core's own writers: an instrument context of
// the simulator's (started in a scratch folder) takes the state, writes or reads the file bytes,
// and hands the result back to the SimState.
#include "sim_state.h"

#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>

#include "files/settings_file.h"
#include "files/trace_files.h"
#include "frame/frame.h"
#include "frame/headless_loop.h"
#include "instrument.h"
#include "platform/file_io.h"
#include "platform/headless_host.h"
#include "sim_text.h"
#include "spectrum_models.h"
#include "traces/meas_condition.h"

namespace vq {

namespace {

struct WriterContext {
  HeadlessHost host;
  std::unique_ptr<Instrument> instrument;
  std::string home;
};
std::unique_ptr<WriterContext> gWriters;

// The state's conditions into the context's setting record and traces.
void StoreState(const SimState& s) {
  Instrument& g = *GInstrument;
  MeasCondition& c = g.conditions.setting;
  c.frequencyMode = 0;
  SetCentre(c, s.centre);
  SetSpan(c, s.span);
  c.resolution = s.resolution;
  c.refLevel = s.refLevel;
  c.logScale = s.logScale;
  c.samplingAuto = 0;
  c.samplingPoints = s.points;
  c.storedPoints = s.points;
  g.conditions.measured = c;
  g.traces.state.activeTrace = static_cast<uint16_t>(s.activeTrace);
  for (int t = 0; t < kSimTraces; ++t) {
    Trace& trace = g.traces.traces[t];
    const std::vector<double>& levels = s.traces[t].levels;
    trace.condition = c;
    trace.condition.samplingPoints = static_cast<int32_t>(levels.size());
    trace.condition.storedPoints = trace.condition.samplingPoints;
    trace.condition.traceAttribute = kAttrWrite;
    g.traces.state.attribute[t] = kAttrWrite;
    std::fill(trace.level.begin(), trace.level.end(), 0.0);
    std::copy(levels.begin(), levels.end(), trace.level.begin());
  }
}

std::string ScratchFile(const char* name) {
  return gWriters->home + name;
}

std::string ReadWhole(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (ReadFileBytes(path, bytes) != 0) return {};
  std::filesystem::remove(path);
  return {bytes.begin(), bytes.end()};
}

}  // namespace

bool PrepareSimState(SimState& state, const std::string& traceLetters, std::string& error) {
  gWriters = std::make_unique<WriterContext>();
  gWriters->instrument = CreateInstrument(gWriters->host);
  std::string pattern = (std::filesystem::temp_directory_path() / "vqsim_XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    error = "cannot make a scratch folder";
    return false;
  }
  gWriters->home = pattern + "/";
  StartOptions start;
  start.home = gWriters->home;
  start.singleInstance = false;
  start.saveState = false;
  if (!StartUp(gWriters->host, start).running || !PumpUntilIdle(gWriters->host)) {
    error = "the file writers did not start";
    return false;
  }
  SpectrumWindow window{state.centre, state.span, state.resolution, state.points};
  for (char letter : traceLetters) {
    const int t = std::toupper(static_cast<unsigned char>(letter)) - 'A';
    if (t < 0 || t >= kSimTraces) {
      error = std::string("--traces takes letters A to G, not ") + letter;
      return false;
    }
    // Each trace its own noise, so that traces are told apart.
    const Spectrum s = MakeSpectrum(SpectrumModel::DfbLaser, window, 1 + static_cast<uint64_t>(t));
    if (!s.error.empty()) {
      error = s.error;
      return false;
    }
    state.traces[t].levels = s.levels;
  }
  return true;
}

void EndSimState() {
  if (!gWriters) return;
  if (GInstrument != nullptr && !GInstrument->frame.windowDestroyed) {
    WindowProc(WM_CLOSE, 0, 0);
    PumpUntilIdle(gWriters->host);
  }
  DestroyInstrument(gWriters->instrument);
  std::error_code ignored;
  std::filesystem::remove_all(gWriters->home, ignored);
  gWriters.reset();
}

std::string SimSettingsFile(const SimState& state) {
  StoreState(state);
  const std::vector<uint8_t> image = BuildSettingsImage();
  return {image.begin(), image.end()};
}

std::string SimTraceFile(const SimState& state, int trace) {
  StoreState(state);
  const std::string path = ScratchFile("trace.wv8");
  if (WriteTraceBinary(path, trace) != 0) return {};
  return ReadWhole(path);
}

bool LoadSimSettings(SimState& state, const std::string& bytes) {
  StoreState(state);
  if (ReadSettingsImage(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()) != 0) {
    return false;
  }
  const MeasCondition& c = GInstrument->conditions.setting;
  state.centre = c.centre;
  state.span = c.span;
  state.resolution = c.resolution;
  state.refLevel = c.refLevel;
  state.logScale = c.logScale;
  state.points = std::clamp(c.samplingPoints, 1, kMaxPoints);
  return true;
}

bool LoadSimTrace(SimState& state, int trace, const std::string& bytes) {
  if (trace < 0 || trace >= kSimTraces) return false;
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  const int format = TraceFormatIndex(data, bytes.size());
  if (format < 0) return false;
  StoreState(state);
  TraceFileData parsed;
  if (ParseBinaryTrace(data, bytes.size(), format, GInstrument->conditions.setting, parsed) != 0) {
    return false;
  }
  state.traces[trace].levels = parsed.levels;
  return true;
}

std::vector<double> SimTraceReadout(const SimState& state, int trace) {
  std::vector<double> values = state.traces[trace].levels;
  if (state.logScale < 0) return values;
  for (double& v : values) v = LinearToDbm(v);
  return values;
}

}  // namespace vq
