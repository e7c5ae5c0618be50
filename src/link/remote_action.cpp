// RemoteAction: one viewer action mirrored to the analyzer as its command, by the row's generic
// argument or the identifier's own rule.
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "calc/calc_menus.h"
#include "instrument.h"
#include "link/link.h"
#include "link/remote_actions.h"
#include "link/sync.h"
#include "traces/meas_condition.h"

namespace vq {

namespace {

constexpr int kStopWaitMs = 300;
constexpr int kMenuCalibrationClear = 596;  // in this menu action 624 only clears the calibration

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

bool FrequencyAxis() {
  return GInstrument->conditions.setting.frequencyMode == 1;
}

// A wavelength in the x-axis unit.
std::string AxisValue(double nm) {
  if (FrequencyAxis()) return Format(" %.4fTHz", WavelengthToFrequency(nm));
  return Format(" %.3fnm", nm);
}

std::string SpanValue(const MeasCondition& c) {
  if (!FrequencyAxis()) return Format(" %.3fnm", c.span);
  return Format(" %.4fTHz", WavelengthToFrequency(c.start) - WavelengthToFrequency(c.stop));
}

// The level of the reference-level rows: linear in W (mW x 0.001) on a linear scale, else dBm.
std::string LevelValue(double dbm) {
  const MeasCondition& c = GInstrument->conditions.setting;
  if (c.logScale < 0) return Format(" %+15.8E", DbmToLinear(dbm) * 0.001);
  return Format(" %.1fdBm", dbm);
}

char TraceLetter(int trace) {
  return static_cast<char>('A' + trace);
}

// The value of a generic row's setting.
double ArgValue(const RemoteActionRow& row) {
  const Instrument& g = *GInstrument;
  const MeasCondition& c = g.conditions.setting;
  const TraceStateBlock& t = g.traces.state;
  switch (row.arg) {
    case Arg::Centre:
      return c.centre;
    case Arg::RefLevel:
      return c.refLevel;
    case Arg::LogScale:
      return c.logScale;
    case Arg::BaseLevel:
      return c.baseLevel;
    case Arg::YDivisions:
      return g.conditions.yDivisions;
    case Arg::SubScaleLog:
      return c.subScaleLog;
    case Arg::SubScaleLinear:
      return c.subScaleLinear;
    case Arg::SubScaleDbKm:
      return c.subScaleDbKm;
    case Arg::SubScalePercent:
      return c.subScalePercent;
    case Arg::SubScaleMin:
      return c.subScaleMin;
    case Arg::SubScaleMinPercent:
      return c.subScaleMinPercent;
    case Arg::OffsetLevel:
      return c.offsetLevel;
    case Arg::OffsetLevelPerKm:
      return c.offsetLevelPerKm;
    case Arg::FibreLength:
      return c.fibreLength;
    case Arg::Resolution:
      return c.resolution;
    case Arg::Sensitivity:
      return c.sensitivity;
    case Arg::Average:
      return c.averageTimes;
    case Arg::Points:
      return c.samplingPoints;
    case Arg::Interval:
      return c.samplingInterval;
    case Arg::XAxis:
      return c.frequencyMode;
    case Arg::PeakHold:
      return c.peakHoldTime;
    case Arg::Smoothing:
      return c.smoothing;
    case Arg::CalcK:
      return c.calcConstantK;
    case Arg::SplitPane: {
      // The trace is the letter that ends the command ("...:POS TRC,").
      const std::string command = row.command;
      const int trace = command[command.size() - 2] - 'A';
      return trace >= 0 && trace < kTraceCount ? t.pane[trace] : 0;
    }
    case Arg::PaneHoldUpper:
      return t.paneHold[0];
    case Arg::PaneHoldLower:
      return t.paneHold[1];
    case Arg::NoiseMask:
      return c.noiseMask;
    case Arg::AutoSearch:
      return g.analysis.search.autoSearch;
    case Arg::AutoAnalysis:
      return g.analysis.autoAnalysis;
    case Arg::None:
    case Arg::Special:
    case Arg::Unbuilt:
      break;
  }
  return 0;
}

// Generic path: the argument by the row's type and format.
std::string GenericArgument(const RemoteActionRow& row) {
  const double value = ArgValue(row);
  switch (row.argType) {
    case kArgInt16:
    case 3:
    case kArgInt32:
    case 4:
      return Format(row.format, static_cast<int>(std::lround(value)));
    case kArgDouble:
      return Format(row.format, value);
    case kArgLevel:
      return LevelValue(value);
    case kArgSplitPosition:
      return Format("%d", static_cast<int>(value));
    default:
      return "";
  }
}

bool SweepRuns() {
  return GInstrument->link.sweepFlag == 1;
}

// Older-format commands (367, 1148, 1149): wrapped with "STP," while a sweep must restart.
int SendOlderFormat(const std::string& command) {
  LinkState& link = GInstrument->link;
  if (QueryErrorQueue() != kLinkDone) return 0;
  const bool restart = SweepRuns() && link.restartSweep != 0;
  SetCommandFormat(1);
  LinkSend(restart ? Format("STP,%s", command.c_str()) : command);
  SetCommandFormat(0);
  if (QueryErrorQueue() != kLinkDone) return 1;
  link.restartSweep = 0;
  if (restart) RemoteAction(link.remoteSweep);
  return 1;
}

int StopSweep() {
  Instrument& g = *GInstrument;
  LinkState& link = g.link;
  if (link.sweepFlag != 1) return 1;
  bool pulled = false;
  if (link.remoteSweep != kActSweepAuto) {
    LinkSend("ABOR");
    g.host->Sleep(kStopWaitMs);
  } else if (link.offsetRunning != 0) {
    LinkSend("ABOR");
    link.remoteSweep = kActSweepStop;
    return 1;
  } else {
    pulled = RePullSettings() == 1;
  }
  link.remoteSweep = kActSweepStop;
  if (pulled) {
    FetchSweepData(false, false, true, false);
  } else {
    StopLinkTimer(kTimerLinkPoll);
    StopLinkTimer(kTimerLinkTracePoll);
  }
  EndRemoteSweep();
  return 1;
}

int StartSweep(int id, const RemoteActionRow& row) {
  LinkState& link = GInstrument->link;
  // After an automatic sweep the analyzer holds settings of its own choosing: they come first.
  if (link.remoteSweep == kActSweepAuto && RePullSettings() != 1) return 1;
  if (link.connected != 1) return 1;
  StartRemoteSweep(id, row.command);
  return 1;
}

// The command of a special identifier, or false when its rule has sent or decided everything.
bool SpecialCommand(int id, const RemoteActionRow& row, std::string& command, int& result) {
  Instrument& g = *GInstrument;
  LinkState& link = g.link;
  const MeasCondition& c = g.conditions.setting;
  const TraceStateBlock& t = g.traces.state;
  result = 1;
  switch (id) {
    case 38:
    case 41:
    case 45:
    case 82:
      command += AxisValue(c.centre).substr(command.ends_with(' ') ? 1 : 0);
      return true;
    case 39:
      command += AxisValue(c.start);
      return true;
    case 40:
      command += AxisValue(c.stop);
      return true;
    case 58:
    case 59:
    case 93:
      command += SpanValue(c).substr(command.ends_with(' ') ? 1 : 0);
      return true;
    case 62:
      command += Format(" %.1fdB", std::fabs(c.logScale));
      return true;
    case 69: {
      const double r = c.resolution;
      if (r >= 0.015) {
        command += Format(row.format, r);
        return true;
      }
      const int older = r >= 0.009 ? 367 : r >= 0.0009 ? 1149 : 1148;
      result = SendOlderFormat(FindRemoteAction(older)->command);
      return false;
    }
    case 367:
    case 1148:
    case 1149:
      result = SendOlderFormat(command);
      return false;
    case 89:
    case 90: {
      const int n = id - 89;
      const LineMarker& m = g.analysis.lineMarkers[n];
      if (m.on == 0) {
        command = "CALC:LMAR:AOFF";
      } else if (FrequencyAxis() && m.value >= c.start && m.value <= c.stop) {
        command = Format("%s %d,%.5fTHz", row.command, n + 1, WavelengthToFrequency(m.value));
      } else {
        command = Format("%s %d,%.4fnm", row.command, n + 1, m.value);
      }
      return true;
    }
    case 145:
      command += Format(" %d", t.display[t.activeTrace] == 0 ? 1 : 0);
      return true;
    case 200: {
      std::string label(c.label, strnlen(c.label, sizeof c.label));
      while (!label.empty() && label.back() == ' ') label.pop_back();
      command += Format(" \"%s\"", label.c_str());
      return true;
    }
    case 322:
      if (link.autoOffset == 0) link.offsetDueMs = -1;
      return false;
    case kActWavelengthCal:
      // The viewer offers only the analyzer's internal reference source.
      StartRemoteSweep(id, "CAL:WAV:INT");
      return false;
    case 470:
      command += Format("%d", t.attribute[t.activeTrace]);
      return true;
    case 473:
      command += TraceLetter(t.activeTrace);
      return true;
    case 486:
      command += Format("%c,TR%c", TraceLetter(t.copySource), TraceLetter(t.copyDestination));
      return true;
    case 585:
      command += Format(" %+15.8E", c.baseLevel * 0.001);
      return true;
    case 586:
      command += Format(" %d", (c.levelUnit == 1 ? 2 : 0) + (c.logScale < 0 ? 1 : 0));
      return true;
    case 624:
      if (g.menu.currentMenu == kMenuCalibrationClear) {
        SetCommandFormat(1);
        LinkSend("CALCLR");
        SetCommandFormat(0);
        return false;
      }
      link.remoteSweep = kActSweepStop;
      StopLinkTimer(kTimerLinkPoll);
      StopLinkTimer(kTimerLinkTracePoll);
      EndRemoteSweep();
      // The initialisation resets the analyzer's correction data: the viewer takes its table anew.
      PullResolutionTable();
      return true;
    case 778:
    case 779:
    case 608: {
      // Opening a calculated trace's CALCULATE page tells the analyzer the trace's calculation,
      // as its operation key would; a trace that does not calculate yet sends nothing.
      const int trace = id == 778 ? 2 : id == 779 ? 5 : 6;
      const RemoteActionRow* chosen = FindRemoteAction(OperationKeyOf(t.attribute[trace]));
      if (chosen == nullptr || !std::string_view(chosen->command).starts_with(row.command)) {
        return false;
      }
      command = chosen->command;
      if (chosen->arg != Arg::None) command += GenericArgument(*chosen);
      return true;
    }
    case kActAlignment:
      // The viewer offers only the internal source: no ":EXT".
      StartRemoteSweep(id, command);
      return false;
    case 777:
      if (t.attribute[t.activeTrace] >= 39 && t.attribute[t.activeTrace] <= 44) {
        command = "TRACe:ATTRibute 0";
      }
      return true;
    case 1361:
      StartOffsetTimer();
      return true;
    default:
      break;
  }
  // A special row whose setting the viewer does not have yet (623, 630: the offset tables).
  return row.arg != Arg::Special;
}

}  // namespace

int RemoteAction(int id) {
  Instrument& g = *GInstrument;
  LinkState& link = g.link;
  link.actionBusy = 0;
  const RemoteActionRow* row = FindRemoteAction(id);
  // Actions without a row (the service menus' own commands among them) send nothing.
  if (row == nullptr || link.connected != 1) return 1;
  SetCommandFormat(0);
  std::string command = row->command;

  switch (id) {
    case kActSweepAuto:
    case kActSweepSingle:
    case kActSweepRepeat:
    case kActSweepSegment:
      return StartSweep(id, *row);
    case kActSweepStop:
      return StopSweep();
    default:
      break;
  }
  if (row->arg == Arg::Unbuilt) return 1;
  // Identifiers with their own rule are known by number (several have a fixed command and no
  // value of their own); the others take the generic argument.
  int result = 1;
  if (!SpecialCommand(id, *row, command, result)) return result;
  if (row->arg != Arg::Special && row->arg != Arg::None) command += GenericArgument(*row);
  if (command.empty()) return 1;

  if (QueryErrorQueue() != kLinkDone) return 0;
  const bool restart = SweepRuns() && link.restartSweep != 0;
  if (restart) command = Format(":ABOR;:%s", command.c_str());
  LinkSend(command);
  if (QueryErrorQueue() != kLinkDone) return 1;
  if (restart) {
    if (link.offsetRunning != 0) {
      link.sweepPending = 1;
    } else {
      link.restartSweep = 0;
      RemoteAction(link.remoteSweep);
    }
  }
  link.restartSweep = 0;
  return 1;
}

}  // namespace vq
