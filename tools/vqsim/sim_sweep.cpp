// Sweeps over simulated time: a sweep of N points takes --sweep-ms, the points it has measured
// are those whose share of the sweep time has passed. The spectrum is the DFB laser model under
// the conditions the viewer mirrored.
#include "sim_sweep.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string_view>

#include "link/remote_actions.h"
#include "link/reply_framing.h"
#include "platform/clock.h"
#include "sim_session.h"
#include "sim_text.h"
#include "spectrum_models.h"
#include "state/trace_state.h"

namespace vq {

namespace {

constexpr int kZeroingMs = 300;
constexpr int kMinPoints = 101;

struct SweepCall {
  SimAnalyzer& sim;
  SimSession& session;
  const std::string& args;
  std::vector<std::string>& answers;
};
using SweepHandler = void (*)(SweepCall&);

std::string Number(const char* format, double value) {
  char text[48];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

double ArgNumber(const std::string& args) {
  return std::strtod(args.c_str(), nullptr);
}

// A value in nm from "1550.000nm", "1.55E-6" (metres) or "193.4THz".
double ArgNanometres(const std::string& args) {
  const double value = ArgNumber(args);
  const std::string unit = Upper(args);
  if (unit.find("THZ") != std::string::npos && value > 0) return 299792.458 / value;
  return std::fabs(value) < 1e-3 ? value * 1e9 : value;
}

SimSweep& Sweep(SweepCall& c) {
  return c.sim.sweep;
}

// The conditions the sweep measures with: the analyzer's own.
SimState& Conditions(SweepCall& c) {
  return c.sim.state;
}

// A finished sweep is the active trace's data, as the analyzer's files and trace queries see it.
void StoreSweep(SimAnalyzer& sim) {
  SimState& state = sim.state;
  state.traces[static_cast<size_t>(std::clamp(state.activeTrace, 0, kSimTraces - 1))].levels =
      sim.sweep.levels;
}

// Brings the running sweep up to now: its measured points, its end, a repeat sweep's next start.
void Advance(SimAnalyzer& sim) {
  SimSweep& s = sim.sweep;
  if (!s.running) return;
  const int64_t elapsed = MonotonicMs() - s.startMs;
  const int64_t sweepMs = std::max(1, sim.options.sweepMs);
  const int span = s.lastPoint - s.firstPoint;
  const int64_t done = elapsed >= sweepMs ? span : span * elapsed / sweepMs;
  s.measured = s.firstPoint + static_cast<int>(done);
  if (s.measured < s.lastPoint) return;
  s.running = false;
  s.endedNormally = true;
  StoreSweep(sim);
}

void StartSweep(SimAnalyzer& sim) {
  SimSweep& s = sim.sweep;
  const SimState& state = sim.state;
  const bool continueSegment = s.mode == SweepMode::Segment && !s.levels.empty() &&
                               static_cast<int>(s.levels.size()) == state.points &&
                               s.lastPoint < state.points;
  if (!continueSegment) {
    SpectrumWindow window{state.centre, state.span, state.resolution, state.points};
    s.levels = MakeSpectrum(SpectrumModel::DfbLaser, window, ++s.sweeps).levels;
    s.levels.resize(static_cast<size_t>(state.points), 0.0);
    s.firstPoint = 0;
  } else {
    s.firstPoint = s.lastPoint;
  }
  s.lastPoint = s.mode == SweepMode::Segment
                    ? std::min(state.points, s.firstPoint + s.segmentPoints)
                    : state.points;
  s.measured = s.firstPoint;
  s.running = true;
  s.endedNormally = false;
  s.startMs = MonotonicMs();
}

// ---- handlers ----------------------------------------------------------------------------------

void Init(SweepCall& c) {
  Sweep(c);
  StartSweep(c.sim);
}

void SweepModeSet(SweepCall& c) {
  const std::string mode = Upper(c.args);
  SimSweep& s = Sweep(c);
  if (mode.starts_with("AUTO")) {
    s.mode = SweepMode::Auto;
  } else if (mode.starts_with("SING")) {
    s.mode = SweepMode::Single;
  } else if (mode.starts_with("REP")) {
    s.mode = SweepMode::Repeat;
  } else if (mode.starts_with("SEGM")) {
    s.mode = SweepMode::Segment;
  }
}

// An abort also clears the "ended" of an automatic sweep: its state reads 0 from then on.
void Abort(SweepCall& c) {
  Advance(c.sim);
  c.sim.sweep.running = false;
  c.sim.sweep.endedNormally = false;
}

// "3" an automatic sweep runs, "2" it has ended, "1" another sweep runs, "0" none runs.
void SweepState(SweepCall& c) {
  Advance(c.sim);
  const SimSweep& s = Sweep(c);
  // The repeat sweep starts over as soon as one ends: it is never seen idle.
  if (!s.running && s.mode == SweepMode::Repeat && s.endedNormally) StartSweep(c.sim);
  if (s.mode == SweepMode::Auto) {
    c.answers.push_back(s.running ? "3" : s.endedNormally ? "2" : "0");
  } else {
    c.answers.push_back(s.running ? "1" : "0");
  }
}

void SweepPoints(SweepCall& c) {
  Advance(c.sim);
  c.answers.push_back(std::to_string(Sweep(c).measured));
}

// ":TRAC:YLIN? TRx[,FIRST,LAST]": linear levels of points FIRST to LAST (from 1, both included)
// of the measured points; every trace answers the sweep's levels.
void TraceLinear(SweepCall& c) {
  Advance(c.sim);
  SimSweep& s = Sweep(c);
  const std::string args = Upper(c.args);
  if (args.size() < 3 || args.compare(0, 2, "TR") != 0 || args[2] < 'A' || args[2] > 'G') {
    c.answers.push_back("");
    c.session.errors.push_back("-224,\"Illegal parameter value\"");
    return;
  }
  if (s.levels.empty()) {
    c.answers.emplace_back();  // no sweep yet: an empty trace
    return;
  }
  int first = 1;
  int last = s.running ? s.measured : static_cast<int>(s.levels.size());
  if (args.size() > 3) {
    if (std::sscanf(args.c_str() + 3, ",%d,%d", &first, &last) != 2 || first < 1 || first > last) {
      c.answers.emplace_back();
      c.session.errors.push_back("-224,\"Illegal parameter value\"");
      return;
    }
  }
  last = std::min(last, static_cast<int>(s.levels.size()));
  std::string bytes;
  for (int i = first - 1; i < last; ++i) {
    if (c.session.realData) {
      const uint64_t bits = std::bit_cast<uint64_t>(s.levels[static_cast<size_t>(i)]);
      for (size_t b = 0; b < sizeof bits; ++b) bytes += static_cast<char>(bits >> (8 * b));
    } else {
      bytes += Number(i == first - 1 ? "%.6E" : ",%.6E", s.levels[static_cast<size_t>(i)]);
    }
  }
  c.answers.push_back(c.session.realData ? BlockHeader(bytes.size()) + bytes : bytes);
}

void Centre(SweepCall& c) {
  if (!c.args.empty()) Conditions(c).centre = ArgNanometres(c.args);
}
void Span(SweepCall& c) {
  if (!c.args.empty()) Conditions(c).span = std::max(0.0, ArgNanometres(c.args));
}
void Start(SweepCall& c) {
  SimState& s = Conditions(c);
  const double stop = s.centre + s.span / 2;
  const double start = ArgNanometres(c.args);
  s.span = std::max(0.0, stop - start);
  s.centre = start + s.span / 2;
}
void Stop(SweepCall& c) {
  SimState& s = Conditions(c);
  const double start = s.centre - s.span / 2;
  s.span = std::max(0.0, ArgNanometres(c.args) - start);
  s.centre = start + s.span / 2;
}
void Points(SweepCall& c) {
  const long points = std::lround(ArgNumber(c.args));
  if (points >= kMinPoints && points <= kMaxPoints) Conditions(c).points = static_cast<int>(points);
}
void Resolution(SweepCall& c) {
  Conditions(c).resolution = ArgNanometres(c.args);
}
void Sensitivity(SweepCall& c) {
  Sweep(c).sensitivity = static_cast<int>(std::lround(ArgNumber(c.args)));
}
void SegmentPoints(SweepCall& c) {
  Sweep(c).segmentPoints = std::max(1, static_cast<int>(std::lround(ArgNumber(c.args))));
}
void RefLevel(SweepCall& c) {
  Conditions(c).refLevel = ArgNumber(c.args);  // "-10.0dBm"; the linear form is not simulated
}

// Queries of the conditions: wavelengths in metres, as the analyzer answers them.
void CentreQ(SweepCall& c) {
  c.answers.push_back(Number("%.8E", Conditions(c).centre * 1e-9));
}
void SpanQ(SweepCall& c) {
  c.answers.push_back(Number("%.8E", Conditions(c).span * 1e-9));
}
void StartQ(SweepCall& c) {
  c.answers.push_back(Number("%.8E", (Conditions(c).centre - Conditions(c).span / 2) * 1e-9));
}
void StopQ(SweepCall& c) {
  c.answers.push_back(Number("%.8E", (Conditions(c).centre + Conditions(c).span / 2) * 1e-9));
}
void RefLevelQ(SweepCall& c) {
  c.answers.push_back(Number("%.1f", Conditions(c).refLevel));
}
void ResolutionQ(SweepCall& c) {
  c.answers.push_back(Number("%.8E", Conditions(c).resolution * 1e-9));
}
void PointsQ(SweepCall& c) {
  c.answers.push_back(std::to_string(Conditions(c).points));
}
void SensitivityQ(SweepCall& c) {
  c.answers.push_back(std::to_string(Sweep(c).sensitivity));
}

// Offset zeroing: ":CAL:ZERO ONCE" starts it, ":CAL:ZERO:STAT?" answers 1 until it is done.
void Zero(SweepCall& c) {
  if (Upper(c.args) == "ONCE") c.sim.sweep.zeroUntilMs = MonotonicMs() + kZeroingMs;
}
void ZeroState(SweepCall& c) {
  c.answers.push_back(MonotonicMs() < c.sim.sweep.zeroUntilMs ? "1" : "0");
}
void OperationComplete(SweepCall& c) {
  c.answers.push_back("1");
}
void Ignore(SweepCall&) {}

struct SweepRow {
  std::string_view header;  // short form, upper case, no leading colon
  SweepHandler handler;
};

constexpr SweepRow kSweepCommands[] = {
    {"INIT", Init},
    {"INIT:IMM", Init},
    {"INIT:SMOD", SweepModeSet},
    {"INIT:SST?", SweepState},
    {"INIT:SPO?", SweepPoints},
    {"ABOR", Abort},
    {"STP", Abort},
    {"STAT:OLAP:CANC", Ignore},
    {"TRAC:YLIN?", TraceLinear},
    {"SENS:WAV:CENT", Centre},
    {"SENS:WAV:SPAN", Span},
    {"SENS:WAV:STAR", Start},
    {"SENS:WAV:STOP", Stop},
    {"SENS:SWE:POIN", Points},
    {"SENS:SWE:SEGM:POIN", SegmentPoints},
    {"SENS:BAND:RES", Resolution},
    {"SENS:SENS", Sensitivity},
    {"DISP:TRAC:Y1:RLEV", RefLevel},
    {"SENS:WAV:CENT?", CentreQ},
    {"SENS:WAV:SPAN?", SpanQ},
    {"SENS:WAV:STAR?", StartQ},
    {"SENS:WAV:STOP?", StopQ},
    {"DISP:TRAC:Y1:RLEV?", RefLevelQ},
    {"SENS:BAND:RES?", ResolutionQ},
    {"SENS:SWE:POIN?", PointsQ},
    {"SENS:SENS?", SensitivityQ},
    {"CAL:ZERO", Zero},
    {"CAL:ZERO:STAT?", ZeroState},
    {"*OPC?", OperationComplete},
};

constexpr bool SweepTableWellFormed() {
  for (size_t i = 0; i < std::size(kSweepCommands); ++i) {
    for (size_t j = 0; j < i; ++j) {
      if (kSweepCommands[i].header == kSweepCommands[j].header) return false;
    }
  }
  return true;
}
static_assert(SweepTableWellFormed(), "each sweep command once");

bool Vowel(char c) {
  return c == 'A' || c == 'E' || c == 'I' || c == 'O' || c == 'U';
}

// The headers of every piece of every mirrored row's command, in short form.
std::set<std::string> MirroredHeaders() {
  std::set<std::string> headers;
  for (auto table : {RemoteActionTable(), AutomaticsTable()}) {
    for (const RemoteActionRow& row : table) {
      std::string path;
      std::string_view rest = row.command;
      while (!rest.empty()) {
        const size_t semicolon = rest.find(';');
        std::string piece = Trim(rest.substr(0, semicolon));
        rest = semicolon == std::string_view::npos ? "" : rest.substr(semicolon + 1);
        std::string header = Upper(piece.substr(0, piece.find(' ')));
        if (header.empty()) continue;
        if (header[0] == ':') {
          header.erase(0, 1);
        } else if (header[0] != '*') {
          header = path + header;
        }
        const size_t colon = header.rfind(':');
        path = colon == std::string::npos ? "" : header.substr(0, colon + 1);
        headers.insert(ShortHeader(header));
      }
    }
  }
  return headers;
}

}  // namespace

std::string ShortHeader(const std::string& header) {
  std::string out;
  size_t at = 0;
  while (at <= header.size()) {
    const size_t colon = std::min(header.find(':', at), header.size());
    std::string node = header.substr(at, colon - at);
    const bool query = node.ends_with('?');
    if (query) node.pop_back();
    if (node.size() > 4 && node[0] != '*') node.resize(Vowel(node[3]) ? 3 : 4);
    if (!out.empty() || at > 0) out += ':';
    out += node + (query ? "?" : "");
    at = colon + 1;
  }
  return out;
}

bool IsMirroredHeader(const std::string& header) {
  static const std::set<std::string> headers = MirroredHeaders();
  return headers.contains(ShortHeader(header));
}

bool HandleSweepCommand(SimAnalyzer& sim, SimSession& session, const std::string& header,
                        const std::string& args, std::vector<std::string>& answers) {
  const std::string shortHeader = ShortHeader(header);
  for (const SweepRow& row : kSweepCommands) {
    if (row.header != shortHeader) continue;
    SweepCall call{sim, session, args, answers};
    // A sweep past its middle: the close-mid-sweep fault drops the connection now.
    Advance(sim);
    const SimSweep& s = sim.sweep;
    if (s.running && 2 * (s.measured - s.firstPoint) >= s.lastPoint - s.firstPoint) {
      for (const Fault& f : sim.options.faults) {
        if (f.kind == FaultKind::CloseMidSweep) session.closeNow = true;
      }
    }
    if (session.closeNow) return true;
    row.handler(call);
    return true;
  }
  return false;
}

}  // namespace vq
