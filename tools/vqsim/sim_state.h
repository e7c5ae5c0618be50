// The simulated analyzer's own state: its measurement conditions, its seven traces and the files
// of its internal memory and USB storage. Kept apart from the viewer's state; the core's writers
// and readers lay out and read its files (sim_state.cpp runs them on an instrument context of its
// own).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "sim_fs.h"

namespace vq {

constexpr int kSimTraces = 7;

struct SimTrace {
  std::vector<double> levels;  // mW, one per point; empty = the trace holds no data
};

// The automatics the viewer quiets after a synchronisation, by header, with their values.
struct SimAutomatics {
  std::map<std::string, int> values;  // e.g. "CAL:ZERO" -> 0
};

struct SimState {
  // Measurement conditions (wavelength axis, nm).
  double centre = 1550.0;
  double span = 10.0;
  double resolution = 0.05;
  double refLevel = -10.0;
  double logScale = 10.0;  // dB per division; negative = linear main scale
  int points = 50001;
  int activeTrace = 0;
  int measArea = 0;  // measurement-area mode; "MEASAREA?" answers it plus 1
  int warningBuzzer = 1;
  std::array<SimTrace, kSimTraces> traces;
  // The display scale the axis queries answer; 0 span = the measurement window.
  double displayCentre = 0.0;
  double displaySpan = 0.0;
  SimAutomatics automatics;
  // The internal memory and the USB storage (sim_fs.h).
  SimFileSystem fs;
  bool binarySend = false;  // "BINSENDON" came: the next "filewrite" carries a block
};

// Sets up the writers' context and fills the traces named by `traceLetters` ("A", "ACG") from
// the spectrum models over the state's window. False with `error` set when that fails.
bool PrepareSimState(SimState& state, const std::string& traceLetters, std::string& error);
// Ends the writers' context and removes its scratch folder.
void EndSimState();

// The settings file (".st8" image) and the binary trace file of the state, as the core writes
// them; empty on failure.
std::string SimSettingsFile(const SimState& state);
std::string SimTraceFile(const SimState& state, int trace);
// Loads a settings file or a trace file into the state; false when the bytes are not one.
bool LoadSimSettings(SimState& state, const std::string& bytes);
bool LoadSimTrace(SimState& state, int trace, const std::string& bytes);

// Levels of a trace as the analyzer sends them with ":TRAC:Y?": dBm on a log scale, else mW.
std::vector<double> SimTraceReadout(const SimState& state, int trace);

}  // namespace vq
