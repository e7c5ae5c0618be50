// The remote sweep: its start, the polling engine on link timers 11, 12 and 14, the incremental
// reads of the new points, the automatic sweep's conditions and the offset adjustment.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "analysis/markers.h"
#include "instrument.h"
#include "link/link.h"
#include "link/remote_actions.h"
#include "platform/clock.h"
#include "traces/meas_condition.h"
#include "traces/sweep_data.h"

namespace vq {

namespace {

constexpr int kTraceSeconds = 30;
constexpr int kZeroSeconds = 30;
constexpr int kEndedRedrawMs = 50;
constexpr int64_t kDefaultOffsetPeriodMs = 600000;
constexpr int kMinPoints = 101;

int SweepSeconds() {
  return GInstrument->link.longTimeouts ? 15 : 10;
}

bool Calibration(int word) {
  return word == kActAlignment || word == kActWavelengthCal;
}

void StartPollTimers() {
  const LinkState& link = GInstrument->link;
  StartLinkTimer(kTimerLinkPoll, link.pollPeriodMs);
  StartLinkTimer(kTimerLinkTracePoll, link.tracePollPeriodMs);
}

// The levels of a definite-length block of little-endian doubles; false when it is not one.
bool ReadBlockDoubles(std::string_view reply, std::vector<double>& values) {
  if (reply.size() < 2 || reply[0] != '#' || reply[1] < '1' || reply[1] > '9') return false;
  const size_t digits = static_cast<size_t>(reply[1] - '0');
  if (reply.size() < 2 + digits) return false;
  const size_t bytes = std::strtoul(std::string(reply.substr(2, digits)).c_str(), nullptr, 10);
  if (reply.size() < 2 + digits + bytes) return false;
  const char* data = reply.data() + 2 + digits;
  values.resize(bytes / sizeof(double));
  for (size_t i = 0; i < values.size(); ++i) {
    uint64_t bits = 0;
    for (size_t b = 0; b < sizeof bits; ++b) {
      bits |= static_cast<uint64_t>(static_cast<uint8_t>(data[i * 8 + b])) << (8 * b);
    }
    values[i] = std::bit_cast<double>(bits);
  }
  return true;
}

// A number of the reply; false when the query failed (the link is gone) or it holds none.
bool QueryNumber(const char* query, double& value) {
  LinkState& link = GInstrument->link;
  if (LinkQuery(query, SweepSeconds()) != kLinkDone) return false;
  char* end = nullptr;
  value = std::strtod(link.reply.bytes.data(), &end);
  return end != link.reply.bytes.data();
}

// The analyzer answers wavelengths in metres and frequencies in hertz; nm and THz pass as they are.
double Nanometres(double value) {
  return std::fabs(value) < 1e-3 ? value * 1e9 : value;
}
double Terahertz(double value) {
  return std::fabs(value) > 1e6 ? value * 1e-12 : value;
}

void OffsetPoll() {
  Instrument& g = *GInstrument;
  LinkState& link = g.link;
  double state = 0;
  if (!QueryNumber(":CAL:ZERO:STAT?", state)) return;
  if (state != 0) {
    StartLinkTimer(kTimerLinkPoll, link.pollPeriodMs);
    return;
  }
  link.zeroing = 0;
  link.offsetRunning = 0;
  if (QueryErrorQueue() != kLinkDone) return;
  if (link.sweepPending != 0) {
    link.sweepPending = 0;
    RemoteAction(link.remoteSweep);
  }
}

void RunOffsetAdjust() {
  Instrument& g = *GInstrument;
  LinkState& link = g.link;
  link.offsetRunning = 1;
  link.zeroing = 1;  // the busy thread shows the spinner with "ZEROING"
  SetCommandFormat(0);
  link.blockReplyMode = 0;
  if (LinkQuery(":CAL:ZERO ONCE;*OPC?", kZeroSeconds) != kLinkDone) return;
  if (QueryErrorQueue() != kLinkDone) return;
  if (link.featureFlags[1] == 0) {
    link.zeroing = 0;
    link.offsetRunning = 0;
  } else {
    StartLinkTimer(kTimerLinkPoll, link.pollPeriodMs);
  }
  StartOffsetTimer();
}

}  // namespace

void EndRemoteSweep() {
  Instrument& g = *GInstrument;
  g.link.sweepFlag = 0;
  g.link.analyzerSweeping = 0;
  g.conditions.sweepState = 0;
  g.frame.redrawFlags |= kRedrawSoftKeys | kRedrawDynamicOnly;
}

void StartRemoteSweep(int id, const std::string& command) {
  Instrument& g = *GInstrument;
  LinkState& link = g.link;
  if (!Calibration(id)) {
    if (link.offsetRunning != 0) {
      link.sweepPending = 1;
    } else {
      g.conditions.sweepState = 1;
      g.frame.redrawFlags |= kRedrawSoftKeys | kRedrawDynamicOnly;
    }
  }
  link.sweepFlag = 1;
  link.remoteSweep = static_cast<int16_t>(id);
  link.analyzerSweeping = id;
  link.lastPoint = 1;
  StopLinkTimer(kTimerLinkSweepCheck);
  LinkSend(command + ";:STAT:OLAP:CANC");
  StartPollTimers();
}

void FetchSweepData(bool first, bool autoEnded, bool final, bool whole) {
  Instrument& g = *GInstrument;
  LinkState& link = g.link;
  const int word = link.remoteSweep;
  if (Calibration(word)) return;
  link.blockReplyMode = 0;
  link.statusPollInFlight = 1;
  int fetched = -1;
  bool read = word != kActSweepAuto || ReadAutoSetup() == 1;
  if (link.connected != 1) read = false;
  if (read) fetched = FirstMeasuringTrace();
  if (fetched >= 0) {
    double measured = 0;
    if (!QueryNumber("INIT:SPO?", measured)) {
      link.statusPollInFlight = 0;
      return;  // the link is gone; what was read stays in the traces
    }
    const int total = std::clamp(g.conditions.setting.samplingPoints, 0, kMaxPoints);
    const int count = std::clamp(static_cast<int>(std::lround(measured)), 0, total);
    // lastPoint is the first point not yet read, so that each point is read once; an answer
    // below what was read already (a new sweep began) reads the whole trace again.
    const int p = link.lastPoint;
    std::string query = ":FORM REAL,64;:TRAC:YLIN? TR";
    query += static_cast<char>('A' + fetched);
    size_t from = 0;
    bool ask = true;
    // A segment sweep measures its segments anew over the whole trace: it is read whole.
    const bool wholeTrace = whole || word == kActSweepSegment;
    if (!wholeTrace && p >= 1 && p - 1 <= count) {
      ask = p - 1 < count;  // nothing new: nothing to read
      char range[32];
      std::snprintf(range, sizeof range, ",%d,%d", p, count);
      query += range;
      from = static_cast<size_t>(p - 1);
    }
    link.lastPoint = (final ? total : count) + 1;
    if (ask) {
      link.blockReplyMode = 1;
      const int code = LinkQuery(query, kTraceSeconds);
      link.blockReplyMode = 0;
      if (code != kLinkDone) {
        link.statusPollInFlight = 0;
        return;
      }
      // A reply that is not a block (an empty trace answers text) leaves the traces as they are.
      if (ReadBlockDoubles(link.reply.Text(), link.sweepBuffer)) {
        ApplySweepPoints(fetched, from, link.sweepBuffer.data(), link.sweepBuffer.size());
      }
    }
  }
  link.statusPollInFlight = 0;
  if (!final || link.connected != 1) return;

  if (word == kActSweepAuto) {
    link.remoteSweep = autoEnded ? kActSweepSingle : kActSweepStop;
  }
  if (word != kActSweepAuto || !autoEnded) EndRemoteSweep();
  EndSweepOnTraces();
  g.frame.redrawFlags |= kRedrawDynamicOnly;
  g.host->Sleep(kEndedRedrawMs);
  // Markers, AUTO SEARCH and AUTO ANALYSIS follow the completed sweep once: on the active trace
  // when the sweep wrote it, else on the trace that was read.
  if (first && fetched >= 0) {
    const int active = g.traces.state.activeTrace;
    const int attribute = active < kTraceCount ? g.traces.state.attribute[active] : kAttrFix;
    NewTraceData(attribute < kAttrFirstCalculation && attribute != kAttrFix ? active : fetched);
  }
  if (link.offsetAdjustPending != 0) {
    link.offsetAdjustPending = 0;
    RunOffsetAdjust();
  }
  if (word == kActSweepRepeat && link.connected == 1) {
    RemoteAction(kActSweepRepeat);  // REPEAT keeps sweeping
  } else if (word == kActSweepAuto && autoEnded) {
    link.sweepFlag = 1;  // the automatic sweep goes on as a single sweep
    StartPollTimers();
  } else {
    StopLinkTimer(kTimerLinkPoll);
    StopLinkTimer(kTimerLinkTracePoll);
    StartLinkTimer(kTimerLinkSweepCheck, kSweepCheckMs);
  }
}

int ReadAutoSetup() {
  Instrument& g = *GInstrument;
  MeasCondition& c = g.conditions.setting;
  const char* const queries[] = {
      "SENSe:WAVelength:CENTer?", "SENSe:WAVelength:SPAN?", "SENSe:WAVelength:STAR?",
      "SENSe:WAVelength:STOP?",   "DISP:TRACe:Y1:RLEVel?",  "SENSe:BANDwidth:RESolution?",
      "SENSe:SWEep:POINts?",      "SENSe:SENSe?",
  };
  double v[std::size(queries)];
  for (size_t i = 0; i < std::size(queries); ++i) {
    if (!QueryNumber(queries[i], v[i])) return 0;
  }
  const MeasCondition before = c;
  if (c.frequencyMode == 0) {
    SetCentre(c, Nanometres(v[0]));
    SetSpan(c, Nanometres(v[1]));
  } else {
    // Start and stop arrive as the frequency edges: the higher frequency is the start wavelength.
    SetStart(c, FrequencyToWavelength(std::max(Terahertz(v[2]), Terahertz(v[3]))));
    SetStop(c, FrequencyToWavelength(std::min(Terahertz(v[2]), Terahertz(v[3]))));
  }
  c.refLevel = c.logScale < 0 ? LinearToDbm(v[4] * 1000) : v[4];
  c.resolution = Nanometres(v[5]);
  const long points = std::lround(v[6]);
  if (points >= kMinPoints && points <= kMaxPoints) c.samplingPoints = static_cast<int32_t>(points);
  const long sensitivity = std::lround(v[7]);
  if (sensitivity >= 0 && sensitivity <= 6) c.sensitivity = static_cast<uint16_t>(sensitivity);
  if (std::memcmp(&before, &c, sizeof c) == 0) return 0;
  NormaliseCondition(c);
  for (int t = 0; t < kTraceCount; ++t) {
    if (g.traces.state.attribute[t] != kAttrFix) g.traces.traces[t].condition = c;
  }
  g.frame.redrawFlags = kRedrawAll;
  return 1;
}

void StartOffsetTimer() {
  LinkState& link = GInstrument->link;
  const int64_t period =
      link.autoOffsetMinutes > 0 ? link.autoOffsetMinutes * int64_t{60000} : kDefaultOffsetPeriodMs;
  link.offsetDueMs = MonotonicMs() + period;
}

void OffsetAdjust() {
  const LinkState& link = GInstrument->link;
  if (link.autoOffset == 0 || link.offsetDueMs < 0 || MonotonicMs() < link.offsetDueMs) return;
  RunOffsetAdjust();
}

void LinkPollStep() {
  Instrument& g = *GInstrument;
  LinkState& link = g.link;
  if (link.wake == 2) link.wake = 0;  // the wake-up of a polling timer has arrived
  BusyIndicatorStep();
  if (link.connected != 1) return;
  if (link.offsetRunning != 0) {
    if (LinkTimerExpired(kTimerLinkPoll)) OffsetPoll();
    return;
  }
  if (link.actionBusy != 0) return;
  if (link.sweepFlag != 1) {
    OffsetAdjust();
    return;
  }
  const int word = link.remoteSweep;
  const bool statusDue = LinkTimerExpired(kTimerLinkPoll);
  const bool dataDue = LinkTimerExpired(kTimerLinkTracePoll) && word != kActSweepAuto;
  if (!statusDue && !dataDue) return;
  if (QueryErrorQueue() != kLinkDone || link.remoteStateWord == 2) return;
  link.blockReplyMode = 0;
  link.statusPollInFlight = 1;
  const int code = LinkQuery("INIT:SST?", SweepSeconds());
  link.statusPollInFlight = 0;
  if (code != kLinkDone) return;
  const char state = link.reply.size > 0 ? link.reply.bytes[0] : '0';
  bool running = word == kActSweepAuto ? state == '3' : state != '0';
  if (word == kActSweepAuto && !running) LinkSend(":ABOR");
  if (running) {
    if (!dataDue) {
      StartLinkTimer(kTimerLinkPoll, link.pollPeriodMs);
      return;
    }
    FetchSweepData(false, false, false, false);
    g.frame.redrawFlags |= kRedrawDynamicOnly;
    if (link.connected == 1) StartPollTimers();
    return;
  }
  link.sweepFlag = 2;
  FetchSweepData(true, word == kActSweepAuto && state == '2', true, false);
  if (Calibration(word)) EndRemoteSweep();
}

void LinkStatusPoll() {
  LinkState& link = GInstrument->link;
  if (link.connected != 1) return;
  link.statusPollInFlight = 1;
  SetCommandFormat(1);
  const int code = LinkQuery("SPOLL?", SweepSeconds());
  link.statusPollInFlight = 0;
  if (code != kLinkDone) return;
  SetCommandFormat(0);
  StartLinkTimer(kTimerLinkSweepCheck, kSweepCheckMs);
}

}  // namespace vq
