// The table that turns a viewer action into the analyzer's remote command, and the mirroring of
// actions, sweeps and polling while the viewer is connected.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vq {

// Where a row's argument comes from: a field of the setting record or a viewer setting.
// Special: the row's identifier has its own rule in RemoteAction. Unbuilt: the viewer has no such
// setting yet, so the row sends nothing rather than a command without its value.
enum class Arg : uint8_t {
  None,
  Special,
  Unbuilt,
  Centre,
  RefLevel,
  LogScale,
  BaseLevel,
  YDivisions,
  SubScaleLog,
  SubScaleLinear,
  SubScaleDbKm,
  SubScalePercent,
  SubScaleMin,
  SubScaleMinPercent,
  OffsetLevel,
  OffsetLevelPerKm,
  FibreLength,
  Resolution,
  Sensitivity,
  Average,
  Points,
  Interval,
  XAxis,
  PeakHold,
  Smoothing,
  CalcK,
  SplitPane,  // the pane (0 upper, 1 lower) of the trace the command names
  PaneHoldUpper,
  PaneHoldLower,
  NoiseMask,
  AutoSearch,
  AutoAnalysis,
};

// Argument types of a row.
constexpr int16_t kArgNone = 0;
constexpr int16_t kArgInt16 = 1;
constexpr int16_t kArgInt32 = 2;
constexpr int16_t kArgDouble = 5;
constexpr int16_t kArgLevel = 61;
constexpr int16_t kArgSplitPosition = 184;
constexpr int16_t kArgText = 7;

struct RemoteActionRow {
  const char* command;  // the head in the standard command set; a trailing blank is part of it
  const char* format;   // the argument's format, often empty
  int16_t id;           // the viewer's action code
  int16_t argType;
  Arg arg;
};

constexpr int kRemoteActionRows = 199;
constexpr int kAutomaticsRows = 7;
std::span<const RemoteActionRow> RemoteActionTable();
// The analyzer's automatics (noise mask, offset zeroing, auto centre, ...): their commands switch
// them off after the first synchronisation and mirror the viewer's switches.
std::span<const RemoteActionRow> AutomaticsTable();
// The first row of either table for the action, or nullptr.
const RemoteActionRow* FindRemoteAction(int id);

// Action codes with a rule of their own.
constexpr int kActSweepAuto = 30;
constexpr int kActSweepSingle = 31;
constexpr int kActSweepRepeat = 32;
constexpr int kActSweepStop = 33;
constexpr int kActSweepSegment = 34;
constexpr int kActAlignment = 693;
constexpr int kActWavelengthCal = 345;

// Mirrors one action to the analyzer: 1 handled (also when nothing had to be sent), 0 when the
// error-queue query before sending failed.
int RemoteAction(int id);
// Whether the key engine mirrors the action: the link is up and the action has a row.
bool MirrorsAction(int id);

// The remote sweep has ended on the viewer's side too: flags, sweep state and the SWEEP keys.
void EndRemoteSweep();
// Starts a sweep (or calibration) on the analyzer and the polling timers.
void StartRemoteSweep(int id, const std::string& command);
// One pass of the polling engine; the idle step calls it while connected.
void LinkPollStep();
// Reads the new points of the running sweep into the traces.
void FetchSweepData(bool first, bool autoEnded, bool final, bool whole);
// Takes the conditions the analyzer chose in an automatic sweep: 1 when anything was taken.
int ReadAutoSetup();
// The analyzer status poll of the frame's timer step while no sweep runs; restarts timer 14.
void LinkStatusPoll();
// Starts the automatic offset adjustment when it is due.
void OffsetAdjust();
// (Re)starts the viewer's offset timer for the automatic offset adjustment.
void StartOffsetTimer();
// Greys the soft keys the connected analyzer lacks; RestoreAnalyzerFeatures undoes it.
void CheckAnalyzerFeatures();
void RestoreAnalyzerFeatures();
// The SWEEP menu's keys: live while connected, greyed offline.
void BindSweepMenu();
// The key engine's and the idle step's way to the mirror (the menu cannot include the link).
void InstallRemoteCalls();

}  // namespace vq
