// The viewer as the analyzer's front panel, against the simulator: a mirrored entry, a SINGLE
// sweep polled to its end with incremental reads, and a link that drops in the middle of a sweep.
#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "link/connection.h"
#include "link/link.h"
#include "link/remote_actions.h"
#include "menu/menu_engine.h"
#include "platform/clock.h"
#include "spectrum_models.h"
#include "support/instrument_fixture.h"
#include "support/vqsim_process.h"
#include "traces/meas_condition.h"

namespace vq {
namespace {

constexpr int kPoints = 2001;

std::vector<std::string> LogLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class MirrorTest : public InstrumentTest {
 protected:
  void StartWith(std::vector<std::string> simArgs) {
    simArgs.insert(simArgs.end(),
                   {"--log", home.Path() + "sim.log", "--points", std::to_string(kPoints)});
    sim = std::make_unique<VqsimProcess>(simArgs);
    ASSERT_NE(sim->port(), 0) << sim->firstLine();
    Start();
    g().conditions.setting.samplingPoints = kPoints;
    host.connectAnswers = {ConnectFields{"127.0.0.1", std::to_string(sim->port()), "user", "pass"}};
    host.boxAnswers = {BoxAnswer::Ok};
    WindowProc(WM_COMMAND, kCmdConnect, 0);
    PumpUntilIdle(host);
    ASSERT_EQ(g().link.connected, 1);
  }
  // The lines the simulator logged from the first one that starts with `from` on.
  std::vector<std::string> LoggedFrom(const std::string& from) {
    const std::vector<std::string> all = LogLines(home.Path() + "sim.log");
    const auto at = std::find_if(all.begin(), all.end(),
                                 [&](const std::string& l) { return l.starts_with(from); });
    return {at, all.end()};
  }
  // Runs the loop with the link timers firing as the host's timers would, until the remote sweep
  // is no longer running or the link is gone; false when that takes too long.
  bool PollSweep(int limitMs = 20000) {
    const int64_t end = MonotonicMs() + limitMs;
    return PollUntil(end) || MonotonicMs() <= end;
  }
  // The same until `end`: true when the sweep ended before.
  bool PollUntil(int64_t end) {
    std::map<int, int64_t> due;
    while (g().link.connected == 1 && g().link.sweepFlag == 1) {
      if (MonotonicMs() > end) return false;
      const int64_t now = MonotonicMs();
      for (int id : {kTimerLinkPoll, kTimerLinkTracePoll}) {
        if (!host.timers.count(id)) {
          due.erase(id);
          continue;
        }
        if (!due.count(id)) due[id] = now + host.timers[id];
        if (now >= due[id]) {
          due.erase(id);
          WindowProc(WM_TIMER, static_cast<uintptr_t>(id), 0);
        }
      }
      PumpUntilIdle(host);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
  }

  std::unique_ptr<VqsimProcess> sim;
};

TEST_F(MirrorTest, CentreEntryReachesTheAnalyzerAsTheRowsCommand) {
  StartWith({});
  Press("Shift+F2", "F1");  // CENTER, then its CENTER entry
  Type("1552.5");
  Press("Enter");
  EXPECT_DOUBLE_EQ(g().conditions.setting.centre, 1552.5);
  // The analyzer took the value: its own answer reads it back (in metres).
  ASSERT_EQ(LinkQuery("SENS:WAV:CENT?", 5), kLinkDone);
  EXPECT_NEAR(std::stod(std::string(g().link.reply.Text())), 1552.5e-9, 1e-15);
  const std::vector<std::string> log = LoggedFrom("SENS:WAV:CENT 1552.500nm");
  ASSERT_FALSE(log.empty()) << "the entry was not mirrored";
  // The error queue is read before and after the command.
  const std::vector<std::string> all = LogLines(home.Path() + "sim.log");
  const auto at = std::find(all.begin(), all.end(), "SENS:WAV:CENT 1552.500nm");
  EXPECT_EQ(*(at - 1), ":SYST:ERR?");
  EXPECT_EQ(*(at + 1), ":SYST:ERR?");
  // An action without a row sends nothing; the SWEEP keys are live while connected.
  const size_t before = LogLines(home.Path() + "sim.log").size();
  EXPECT_EQ(RemoteAction(1), 1);
  EXPECT_EQ(LogLines(home.Path() + "sim.log").size(), before);
  EXPECT_EQ(NodeState(kActSweepSingle), kKeyEnabled);
  host.boxAnswers = {BoxAnswer::Ok};
  WindowProc(WM_COMMAND, kCmdDisconnect, 0);
  EXPECT_EQ(NodeState(kActSweepSingle), kKeyDisabled);
}

TEST_F(MirrorTest, KeysTheAnalyzerLacksAreGreyedUntilTheDisconnection) {
  // The simulator has no smoothing, no system information and an older firmware.
  // The first synchronisation checks the features.
  StartWith({"--idn", "VELDMARK,VQ7000B,VQ0000001,02.04.00"});
  EXPECT_EQ(NodeState(1313), kKeyDisabled);
  EXPECT_EQ(NodeState(1366), kKeyDisabled);
  EXPECT_EQ(NodeState(1383), kKeyDisabled);
  EXPECT_EQ(g().menu.pages[kPageFileItems].target,
            (std::array<int16_t, kSoftKeysPerPage>{235, 257, 248, 238, 237, 236, 759, 0, 0}));
  EXPECT_EQ(g().menu.pages[149].target[2], 0);  // no sweep counter
  host.boxAnswers = {BoxAnswer::Ok};
  WindowProc(WM_COMMAND, kCmdDisconnect, 0);
  EXPECT_EQ(g().menu.nodes[1313].state, nullptr);  // back to the table's own state
  EXPECT_EQ(g().menu.pages[kPageFileItems].target,
            (std::array<int16_t, kSoftKeysPerPage>{235, 1383, 257, 248, 238, 237, 236, 759, 22}));
}

TEST_F(MirrorTest, SingleSweepIsReadIncrementallyEachPointOnce) {
  StartWith({"--sweep-ms", "1500"});
  g().analysis.search.autoSearch = 1;
  Press("Shift+F1", "F2");  // SWEEP, SINGLE
  EXPECT_EQ(g().link.sweepFlag, 1);
  EXPECT_EQ(g().conditions.sweepState, 1);
  ASSERT_TRUE(PollSweep());
  ASSERT_EQ(g().link.connected, 1);
  EXPECT_EQ(g().link.sweepFlag, 0);
  EXPECT_EQ(g().conditions.sweepState, 0);
  EXPECT_EQ(host.timers.count(kTimerLinkPoll), 0u);
  EXPECT_EQ(host.timers[kTimerLinkSweepCheck], 1000);

  // The reads tile points 1 to N: each point once, in more than one read.
  int next = 1;
  int reads = 0;
  for (const std::string& line : LoggedFrom("INIT:SMOD SING;:INIT;:STAT:OLAP:CANC")) {
    int first = 0, last = 0;
    if (std::sscanf(line.c_str(), ":FORM REAL,64;:TRAC:YLIN? TRA,%d,%d", &first, &last) != 2) {
      EXPECT_FALSE(line.starts_with(":FORM REAL,64;:TRAC:YLIN?")) << "a whole-trace read: " << line;
      continue;
    }
    EXPECT_EQ(first, next) << line;
    next = last + 1;
    ++reads;
  }
  EXPECT_EQ(next, kPoints + 1);
  EXPECT_GE(reads, 2);
  // Trace A holds the simulator's spectrum: the DFB model of the first sweep, as linear levels.
  const Spectrum expected =
      MakeSpectrum(SpectrumModel::DfbLaser, SpectrumWindow{1550.0, 10.0, 0.05, kPoints}, 1);
  const Trace& a = g().traces.traces[0];
  for (int i : {0, kPoints / 3, kPoints / 2, kPoints - 1}) {
    EXPECT_DOUBLE_EQ(a.level[i], expected.levels[i]) << i;
  }
  // AUTO SEARCH ran on the completed sweep: the moving marker stands on the peak.
  const auto peak = std::max_element(a.level.begin(), a.level.begin() + kPoints) - a.level.begin();
  EXPECT_EQ(g().analysis.markers[0].index, peak);
}

TEST_F(MirrorTest, ChangesDuringASweepRestartIt) {
  StartWith({"--sweep-ms", "60000"});
  Press("Shift+F1", "F2");
  ASSERT_EQ(g().link.sweepFlag, 1);
  // A new resolution restarts the sweep: the command behind an abort, then the sweep again.
  g().conditions.setting.resolution = 0.05;
  EXPECT_EQ(g().link.remoteAction(361), 1);
  // Below 0.009 nm the older command set's form, wrapped by its own stop.
  g().conditions.setting.resolution = 0.005;
  EXPECT_EQ(g().link.remoteAction(69), 1);
  // A label changes nothing of the sweep: no restart.
  EXPECT_EQ(g().link.remoteAction(200), 1);
  // Opening a CALCULATE page sends the trace's calculation; a trace that calculates nothing
  // (F) sends nothing.
  g().traces.state.attribute[2] = 5;  // C = A-B(LOG)
  EXPECT_EQ(g().link.remoteAction(778), 1);
  EXPECT_EQ(g().link.remoteAction(779), 1);
  sim->Stop();
  std::vector<std::string> sent;
  for (const std::string& line : LoggedFrom("INIT:SMOD SING;:INIT;:STAT:OLAP:CANC")) {
    if (line != ":SYST:ERR?") sent.push_back(line);
  }
  const std::vector<std::string> expected = {
      "INIT:SMOD SING;:INIT;:STAT:OLAP:CANC",
      ":ABOR;:SENS:BAND:RES 0.050nm",
      "INIT:SMOD SING;:INIT;:STAT:OLAP:CANC",
      ":SYST:COMM:CFOR 0",
      "STP,RESWL=NONE",
      "CFORM 1",
      "INIT:SMOD SING;:INIT;:STAT:OLAP:CANC",
      "DISP:TEXT:DATA \"\"",
      "CALC:MATH:TRC A-B(LOG)",
  };
  EXPECT_EQ(
      std::vector<std::string>(sent.begin(), sent.begin() + std::min(sent.size(), expected.size())),
      expected);
}

TEST_F(MirrorTest, SegmentSweepIsReadWholeAndInitializeTakesTheTableAnew) {
  StartWith({"--sweep-ms", "1500"});
  Press("Shift+F1", "F5");  // SEGMENT
  EXPECT_EQ(g().link.remoteSweep, kActSweepSegment);
  ASSERT_TRUE(PollSweep());
  // SYSTEM INITIALIZE reads the analyzer's correction table again before the reset (the first
  // synchronisation read it once already).
  EXPECT_EQ(g().link.remoteAction(624), 1);
  sim->Stop();
  int reads = 0;
  for (const std::string& line : LoggedFrom("INIT:SMOD SEGM;:INIT;:STAT:OLAP:CANC")) {
    if (!line.starts_with(":FORM REAL,64;:TRAC:YLIN?")) continue;
    EXPECT_EQ(line, ":FORM REAL,64;:TRAC:YLIN? TRA");
    ++reads;
  }
  EXPECT_GE(reads, 1);
  const std::vector<std::string> all = LogLines(home.Path() + "sim.log");
  const auto reset = std::find(all.begin(), all.end(), "*RST;:CAL:ZERO OFF");
  ASSERT_NE(reset, all.end());
  EXPECT_EQ(std::count_if(all.begin(), reset,
                          [](const std::string& l) {
                            return l.starts_with("fileread? 'c:\\VQ7000B\\current\\caldata");
                          }),
            2);
}

TEST_F(MirrorTest, AutoSweepTakesTheAnalyzersConditionsThenItsData) {
  StartWith({"--sweep-ms", "600"});
  // The viewer's centre differs from the analyzer's 1550 nm (set here, not mirrored).
  SetCentre(g().conditions.setting, 1540.0);
  Press("Shift+F1", "F1");  // AUTO
  EXPECT_EQ(g().link.remoteSweep, kActSweepAuto);
  ASSERT_TRUE(PollSweep());
  ASSERT_EQ(g().link.connected, 1);
  EXPECT_DOUBLE_EQ(g().conditions.setting.centre, 1550.0);
  EXPECT_EQ(g().conditions.setting.samplingPoints, kPoints);
  EXPECT_EQ(g().link.sweepFlag, 0);
  EXPECT_EQ(g().conditions.sweepState, 0);
  const Spectrum expected =
      MakeSpectrum(SpectrumModel::DfbLaser, SpectrumWindow{1550.0, 10.0, 0.05, kPoints}, 1);
  EXPECT_DOUBLE_EQ(g().traces.traces[0].level[kPoints / 2], expected.levels[kPoints / 2]);
  EXPECT_DOUBLE_EQ(g().traces.traces[0].condition.centre, 1550.0);
  sim->Stop();
  const std::vector<std::string> log = LoggedFrom("INIT:SMOD AUTO;:INIT;:STAT:OLAP:CANC");
  EXPECT_NE(std::find(log.begin(), log.end(), "SENSe:WAVelength:CENTer?"), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), ":ABOR"), log.end());
}

TEST_F(MirrorTest, OffsetAdjustmentHoldsASweepBackUntilItEnds) {
  StartWith({"--sweep-ms", "300"});
  g().link.autoOffset = 1;
  g().link.offsetDueMs = 0;  // due now
  IdleStep();
  EXPECT_EQ(g().link.offsetRunning, 1);
  EXPECT_EQ(g().link.zeroing, 1);
  Press("Shift+F1", "F2");  // SINGLE while the zeroing runs: held back
  EXPECT_EQ(g().link.sweepPending, 1);
  const int64_t end = MonotonicMs() + 10000;
  while (g().link.offsetRunning == 1 && MonotonicMs() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (host.timers.count(kTimerLinkPoll)) WindowProc(WM_TIMER, kTimerLinkPoll, 0);
    PumpUntilIdle(host);
  }
  EXPECT_EQ(g().link.offsetRunning, 0);
  EXPECT_EQ(g().link.zeroing, 0);
  EXPECT_EQ(g().link.sweepPending, 0);
  EXPECT_GT(g().link.offsetDueMs, MonotonicMs() + 500000);  // the next one in 10 minutes
  ASSERT_TRUE(PollSweep());
  sim->Stop();
  // The sweep asked for meanwhile is started again once the zeroing has ended.
  const std::vector<std::string> log = LoggedFrom(":CAL:ZERO ONCE;*OPC?");
  const auto zeroDone = std::find(log.rbegin(), log.rend(), ":CAL:ZERO:STAT?");
  const auto sweep = std::find(log.rbegin(), log.rend(), "INIT:SMOD SING;:INIT;:STAT:OLAP:CANC");
  ASSERT_NE(zeroDone, log.rend());
  ASSERT_NE(sweep, log.rend());
  EXPECT_GT(zeroDone, sweep);  // counted from the end: the sweep start comes later
}

TEST_F(MirrorTest, RepeatSweepsOnUntilStop) {
  StartWith({"--sweep-ms", "700"});
  Press("Shift+F1", "F3");  // REPEAT
  EXPECT_FALSE(PollUntil(MonotonicMs() + 2500)) << "a repeat sweep ended by itself";
  Press("F4");  // STOP
  EXPECT_EQ(g().link.sweepFlag, 0);
  EXPECT_EQ(g().conditions.sweepState, 0);
  EXPECT_EQ(g().link.remoteSweep, kActSweepStop);
  EXPECT_EQ(host.timers.count(kTimerLinkPoll), 0u);
  EXPECT_EQ(host.timers.count(kTimerLinkTracePoll), 0u);
  sim->Stop();
  // The viewer starts each next sweep once the last one was read to its end.
  const std::vector<std::string> log = LoggedFrom("INIT:SMOD SING;:INIT;:STAT:OLAP:CANC");
  EXPECT_GE(std::count(log.begin(), log.end(), "INIT:SMOD SING;:INIT;:STAT:OLAP:CANC"), 2);
  EXPECT_NE(std::find_if(
                log.begin(), log.end(),
                [&](const std::string& l) { return l.ends_with("," + std::to_string(kPoints)); }),
            log.end());
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "ABOR");
  EXPECT_GT(g().traces.traces[0].level[0], 0.0);
}

TEST_F(MirrorTest, LinkDroppedMidSweepKeepsTheTracesAndShowsDisconnect) {
  // The first data read (after 1000 ms) comes before the middle of the sweep (1500 ms).
  StartWith({"--sweep-ms", "3000", "--fault", "close-mid-sweep"});
  Press("Shift+F1", "F2");
  ASSERT_TRUE(PollSweep());
  EXPECT_EQ(g().link.connected, 0);
  EXPECT_EQ(host.statusTexts[1], "Status: DISCONNECT");
  ASSERT_FALSE(host.boxes.empty());
  EXPECT_EQ(host.boxes.back().text, "Connection Error.                    ");
  EXPECT_EQ(g().conditions.sweepState, 0);
  EXPECT_EQ(g().link.sweepFlag, 0);
  // The points read before the drop are kept.
  const Trace& a = g().traces.traces[0];
  const Spectrum expected =
      MakeSpectrum(SpectrumModel::DfbLaser, SpectrumWindow{1550.0, 10.0, 0.05, kPoints}, 1);
  EXPECT_DOUBLE_EQ(a.level[0], expected.levels[0]);
  EXPECT_EQ(NodeState(kActSweepSingle), kKeyDisabled);
}

}  // namespace
}  // namespace vq
