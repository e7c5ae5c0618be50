// The first synchronisation with a connected analyzer and the small pulls around it: model.ini,
// the resolution-correction table, the automatics quieted, the trace attributes re-sent, and the
// settings pulled again after the analyzer chose its own.
#include "link/sync.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "analysis/markers.h"
#include "calc/trace_calc.h"
#include "files/settings_file.h"
#include "files/trace_files.h"
#include "instrument.h"
#include "link/connection.h"
#include "link/link.h"
#include "link/remote_actions.h"
#include "menu/menu_engine.h"
#include "platform/file_io.h"
#include "traces/traces.h"

namespace vq {

namespace {

constexpr int kFileReadSeconds = 10;
constexpr int kTraceReadSeconds = 30;
constexpr int kTraceFileVersion = 8;
constexpr double kDbFloor = -210.0;
constexpr double kDbCeiling = 210.0;
constexpr double kLinearCeiling = 3.40282e38;
// The display-mode words kept from the pulled settings file (UPPER HOLD, LOWER HOLD).
constexpr size_t kTraceDisplayWordsOffset = 1187;

// The automatics the viewer quiets after a pull; the mirror sends the same rows with " %d".
struct Automatic {
  const char* header;
  int quietValue;
  int action;
};
constexpr Automatic kAutomatics[] = {
    {"DISP:TRAC:Y:NMAS", -999, 182},    {"CAL:ZERO", 0, 322},
    {"CALC:MARK:MAX:SCEN:AUTO", 0, 42}, {"CALC:MARK:MAX:SRL:AUTO", 0, 64},
    {"DISP:TRAC:Y2:SCAL:AUTO", 0, 68},  {"CALC:MARK:AUTO", 0, 103},
    {"CALC:IMM:AUTO", 0, 119},
};
static_assert(std::size(kAutomatics) == 7, "seven automatics");

// The display-axis queries: the x-axis unit u reads rows 2u and 2u + 1.
struct AxisQuery {
  const char* query;
  int action;
  double WaveformState::*value;
};
constexpr AxisQuery kAxisQueries[] = {
    {":DISP:TRAC:X:CENT?", 886, &WaveformState::zoomCentre},
    {":DISP:TRAC:X:SPAN?", 887, &WaveformState::zoomSpan},
    {":DISP:TRAC:X:STAR?", 888, &WaveformState::zoomStart},
    {":DISP:TRAC:X:STOP?", 463, &WaveformState::zoomStop},
};

std::string UserFile(const std::string& name) {
  return GInstrument->files.userFolder + name;
}

void RemoveQuietly(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

// Reads a small file of the analyzer's system area into the user folder (and deletes it once
// read): the query code.
int PullSystemFile(const std::string& remotePath, const std::string& localName) {
  LinkState& link = GInstrument->link;
  SetCommandFormat(1);
  link.blockReplyMode = 1;
  const int code = LinkQuery("fileread? '" + remotePath + "'", kFileReadSeconds);
  link.blockReplyMode = 0;
  if (code == kLinkDone && link.reply.Text().starts_with('#')) {
    const std::string_view data = BlockData(link.reply.Text());
    const std::string path = UserFile(localName);
    // The model information and the correction table are read by the system pages, which the
    // viewer does not have; the file is taken and dropped again.
    if (WriteFileBytes(path, std::vector<uint8_t>(data.begin(), data.end())) == 0) {
      RemoveQuietly(path);
    }
  }
  return code;
}

void SendWarningBuzzer() {
  SetCommandFormat(0);
  LinkSend("SYST:BUZZ:WARN " + std::to_string(GInstrument->link.warningBuzzer));
}

// Step 7 of the first synchronisation: the levels of every trace, and which traces to pull.
int QueryTraces(const std::string& base) {
  Instrument& g = *GInstrument;
  LinkState& link = g.link;
  SetCommandFormat(0);
  for (int t = 0; t < kTraceCount; ++t) {
    const char letter = static_cast<char>('A' + t);
    link.blockReplyMode = 1;
    const int code =
        LinkQuery(std::string(":FORM REAL,64;:TRAC:Y? TR") + letter, kTraceReadSeconds);
    link.blockReplyMode = 0;
    if (code != kLinkDone) return code;
    if (!link.reply.Text().starts_with('#')) continue;  // no data on the analyzer
    const std::string_view data = BlockData(link.reply.Text());
    Trace& trace = g.traces.traces[t];
    const int32_t previous = trace.condition.samplingPoints;
    const size_t points = std::min(data.size() / sizeof(double), size_t{kMaxPoints});
    std::memcpy(trace.level.data(), data.data(), points * sizeof(double));
    trace.condition.samplingPoints = static_cast<int32_t>(points);
    // The analyzer sends the levels of a trace on a logarithmic scale (its record's log scale
    // not negative) in dB; a linear main scale sends them in mW.
    if (trace.condition.logScale >= 0) DecibelsToLinear(trace.level.data(), points);
    if (TraceHasData(t)) {
      link.pulledTraces[t] = true;
      char command[96];
      std::snprintf(command, sizeof command, ":MMEM:STOR:TRAC TR%c,BIN,\"\\%s_TR%c\",int", letter,
                    base.c_str(), letter);
      LinkSend(command);
    } else {
      trace.condition.samplingPoints = previous;
    }
  }
  return kLinkDone;
}

// Step 10: the pulled settings file read whole and parsed; the two display-mode words kept.
void TakePulledSettings() {
  Instrument& g = *GInstrument;
  std::vector<uint8_t> bytes;
  if (ReadFileBytes(UserFile(g.link.settingsWorkFile), bytes) != 0) return;
  if (ReadSettingsImage(bytes.data(), bytes.size()) != 0) return;
  g.conditions.measured = g.conditions.setting;
  if (bytes.size() >= kTraceDisplayWordsOffset + 4) {
    std::memcpy(g.link.traceDisplayWords.data(), bytes.data() + kTraceDisplayWordsOffset, 4);
  }
}

// Step 12: the displayed window as the analyzer shows it, and the pane holds.
void QueryDisplayAxis() {
  Instrument& g = *GInstrument;
  SetCommandFormat(0);
  const int unit = std::clamp<int>(g.conditions.setting.frequencyMode, 0, 1);
  for (int row = 2 * unit; row < 2 * unit + 2; ++row) {
    if (LinkQuery(kAxisQueries[row].query, kFileReadSeconds) != kLinkDone) return;
    g.waveform.*kAxisQueries[row].value = std::atof(std::string(g.link.reply.Text()).c_str());
  }
  WaveformState& w = g.waveform;
  if (unit == 0) {
    w.zoomStart = w.zoomCentre - w.zoomSpan / 2;
    w.zoomStop = w.zoomCentre + w.zoomSpan / 2;
  } else {
    w.zoomCentre = (w.zoomStart + w.zoomStop) / 2;
    w.zoomSpan = w.zoomStop - w.zoomStart;
  }
  const MeasCondition& s = g.conditions.setting;
  constexpr double kSameNm = 1e-6;
  w.zoomed = std::abs(w.zoomSpan - s.span) > kSameNm || std::abs(w.zoomCentre - s.centre) > kSameNm;
  for (int pane = 0; pane < 2; ++pane) {
    if (g.link.traceDisplayWords[pane] == 1) SetPaneHold(pane, true);
  }
  RefreshTraceAttributes();
}

void SendTraceAction(int trace) {
  LinkSend(std::string("TRACe:ACTive TR") + static_cast<char>('A' + trace));
}

}  // namespace

void DecibelsToLinear(double* values, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const double db = values[i];
    values[i] = db <= kDbFloor ? 0.0 : db >= kDbCeiling ? kLinearCeiling : std::pow(10.0, db / 10);
  }
}

// The viewer serves the VQ7000B alone: its model selection needs no switching here.
int PullModelIni() {
  LinkState& link = GInstrument->link;
  const int16_t buzzer = link.warningBuzzer;
  link.warningBuzzer = 0;  // the analyzer stays silent during the reads
  SendWarningBuzzer();
  PullSystemFile(std::string("c:\\") + kModelName + "\\current\\model.ini", "model.ini");
  link.warningBuzzer = buzzer;
  SendWarningBuzzer();
  return LinkQuery(":SYST:ERR?", kFileReadSeconds);
}

int PullResolutionTable() {
  const int code = PullSystemFile(
      std::string("c:\\") + kModelName + "\\current\\caldata\\rescor.tbl", "rescor.tbl");
  SetCommandFormat(0);
  return code;
}

void QuietAnalyzerAutomatics() {
  SetCommandFormat(0);
  for (const Automatic& a : kAutomatics) {
    LinkSend(std::string(a.header) + " " + std::to_string(a.quietValue));
  }
}

void RefreshTraceAttributes() {
  Instrument& g = *GInstrument;
  const int active = g.traces.state.activeTrace;
  SetCommandFormat(0);
  for (int t = 0; t < kTraceCount; ++t) {
    const int attribute = g.traces.state.attribute[t];
    if (attribute != kAttrRollAvg && (attribute < 39 || attribute > 44)) continue;
    SetActiveTrace(t);
    SendTraceAction(t);
    LinkSend("TRACe:ATTRibute 0");
  }
  SetActiveTrace(active);
  SendTraceAction(active);
}

int FirstSynchronisation() {
  Instrument& g = *GInstrument;
  LinkState& link = g.link;
  const std::string& base = link.pulledSettingsBase;
  int code = PullModelIni();
  if (code == kLinkDone) {
    link.savedMeasAreaMode = link.measAreaMode;
    SetCommandFormat(1);
    code = LinkQuery("MEASAREA?", kFileReadSeconds);
    SetCommandFormat(0);
  }
  if (code == kLinkDone) {
    const int area = std::atoi(std::string(link.reply.Text()).c_str()) - 1;
    if (area >= 0 && area != link.measAreaMode) {
      link.measAreaMode = static_cast<int16_t>(area);
      StartMenus();
      code = PullResolutionTable();
    }
  }
  // Soft keys of features this analyzer lacks are greyed until the disconnection.
  if (code == kLinkDone) CheckAnalyzerFeatures();
  const uint16_t fileItem = g.files.settings.item;
  if (code == kLinkDone) {
    LinkSend(":MMEM:STOR:SETT \"\\" + base + "\",int");
    code = PullAnalyzerFile(link.settingsWorkFile, kFileSettings, 0);
  }
  link.pulledTraces = {};
  if (code == kLinkDone) code = QueryTraces(base);
  if (link.connected == 1) {
    for (Trace& trace : g.traces.traces) trace.source.fill(0.0);
    g.frame.redrawFlags = kRedrawAll;
  }
  for (int t = 0; t < kTraceCount && code == kLinkDone; ++t) {
    if (!link.pulledTraces[t]) continue;
    char name[64];
    std::snprintf(name, sizeof name, "%s_TR%c.wv%d", base.c_str(), 'A' + t, kTraceFileVersion);
    code = PullAnalyzerFile(name, kFileTrace, t);
  }
  if (code == kLinkDone) {
    QuietAnalyzerAutomatics();
    TakePulledSettings();
  }
  RemoveQuietly(UserFile(link.settingsWorkFile));
  if (code == kLinkDone) code = PullResolutionTable();
  link.blockReplyMode = 0;
  if (code == kLinkDone) QueryDisplayAxis();
  RecalculateTraces();
  for (int t = 0; t < kTraceCount; ++t) {
    if (link.pulledTraces[t]) NewTraceData(t);
  }
  g.frame.redrawFlags = kRedrawAll;
  g.files.settings.item = fileItem;
  return code;
}

int RePullSettings() {
  Instrument& g = *GInstrument;
  LinkState& link = g.link;
  // The settings reader clears the traces: what the sweeps brought stays.
  const TraceStateBlock traceState = g.traces.state;
  const auto traces = std::make_unique<std::array<Trace, kTraceCount>>(g.traces.traces);
  SetCommandFormat(0);
  LinkSend(":ABOR");
  g.host->Sleep(300);
  LinkSend(":MMEM:STOR:SETT \"\\" + link.pulledSettingsBase + "\",int");
  link.pullInProgress = 1;
  const int code = PullAnalyzerFile(link.settingsWorkFile, kFileSettings, 0);
  link.pullInProgress = 0;
  RemoveQuietly(UserFile(link.settingsWorkFile));
  if (code == kLinkDone) {
    StartMenus();
    MeasCondition received;
    std::memcpy(&received, link.receivedRecord.data(), sizeof received);
    g.conditions.setting = received;
    g.conditions.measured = received;
    for (Trace& trace : *traces) trace.condition = received;
  }
  g.traces.traces = *traces;
  g.traces.state = traceState;
  g.frame.redrawFlags = kRedrawAll;
  return code == kLinkDone ? 1 : 0;
}

}  // namespace vq
