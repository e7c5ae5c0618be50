// The simulated analyzer's sweeps: the conditions the mirrored commands set, a sweep that
// measures the model spectrum point by point over its sweep time, and the offset zeroing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vq {

struct SimAnalyzer;
struct SimSession;

enum class SweepMode { Single, Auto, Repeat, Segment };

// The sweep's own state; the conditions it measures with (centre, span, resolution, reference
// level, points) are the analyzer state's (sim_state.h), which the mirrored commands change.
struct SimSweep {
  int sensitivity = 1;
  int segmentPoints = 1001;
  // The sweep.
  SweepMode mode = SweepMode::Single;
  bool running = false;
  int64_t startMs = 0;
  int firstPoint = 0;  // a segment sweep measures from here
  int lastPoint = 0;   // and up to here (excluded)
  int measured = 0;    // points of `levels` measured so far
  bool endedNormally = false;
  uint64_t sweeps = 0;         // a fresh noise seed for each sweep
  std::vector<double> levels;  // mW by point: the sweep being measured, or the last one
  int64_t zeroUntilMs = -1;    // offset zeroing in progress until then
};

// Handles a command the sweep owns (INIT, ABOR, the sweep queries, the conditions, the zeroing);
// false when the header is not one of them. `answers` takes a query's reply.
bool HandleSweepCommand(SimAnalyzer& sim, SimSession& session, const std::string& header,
                        const std::string& args, std::vector<std::string>& answers);
// A header that the viewer's mirror sends and the simulator accepts without acting on it.
bool IsMirroredHeader(const std::string& header);
// The short form of a header: each node of more than four letters cut to four, or to three when
// the fourth is a vowel ("SENSE:WAVELENGTH:CENTER" is "SENS:WAV:CENT").
std::string ShortHeader(const std::string& header);

}  // namespace vq
