// The synchronisation against the simulator: the first synchronisation with one trace holding
// data, the measurement-area answer, files pushed with their block header, and the settings
// handed back at disconnection and found again at the next connection.
#include "link/sync.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "files/settings_file.h"
#include "files/trace_files.h"
#include "link/connection.h"
#include "link/link.h"
#include "support/instrument_fixture.h"
#include "support/vqsim_process.h"
#include "traces/meas_condition.h"
#include "traces/traces.h"

namespace vq {
namespace {

class SyncTest : public InstrumentTest {
 protected:
  void StartSim(std::vector<std::string> simArgs) {
    simArgs.insert(simArgs.end(), {"--log", home.Path() + "sim.log"});
    sim = std::make_unique<VqsimProcess>(simArgs);
    ASSERT_NE(sim->port(), 0) << sim->firstLine();
  }
  void Connect() {
    host.connectAnswers = {ConnectFields{"127.0.0.1", std::to_string(sim->port()), "user", "pass"}};
    host.boxAnswers = {BoxAnswer::Ok};
    WindowProc(WM_COMMAND, kCmdConnect, 0);
    host.boxAnswers.clear();
    PumpUntilIdle(host);
  }
  void DisconnectByMenu() {
    host.boxAnswers = {BoxAnswer::Ok};
    WindowProc(WM_COMMAND, kCmdDisconnect, 0);
    host.boxAnswers.clear();
  }
  // The command lines the simulator logged (complete once it has ended).
  std::vector<std::string> Log() {
    std::ifstream in(home.Path() + "sim.log", std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  static size_t Count(const std::vector<std::string>& lines, const std::string& part) {
    return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
      return l.find(part) != std::string::npos;
    }));
  }
  // The analyzer's display centre as it answers now.
  double AnalyzerCentre() {
    if (LinkQuery(":DISP:TRAC:X:CENT?", 5) != kLinkDone) return -1;
    return std::atof(std::string(g().link.reply.Text()).c_str());
  }

  std::unique_ptr<VqsimProcess> sim;
};

TEST_F(SyncTest, FirstSynchronisationTakesSettingsAndOnlyTheTraceHoldingData) {
  StartSim({"--traces", "A", "--center", "1552.5", "--span", "20", "--points", "2001"});
  Start();
  Connect();
  ASSERT_EQ(g().link.connected, 1);
  EXPECT_EQ(host.statusTexts[1], "Status: CONNECT");
  const MeasCondition& s = g().conditions.setting;
  EXPECT_DOUBLE_EQ(s.centre, 1552.5);
  EXPECT_DOUBLE_EQ(s.span, 20.0);
  EXPECT_FALSE(g().waveform.zoomed);  // the analyzer shows its whole window
  const Trace& a = g().traces.traces[0];
  ASSERT_EQ(a.condition.samplingPoints, 2001);
  // The DFB model's main mode at 1550 nm, in mW after the dB conversion: point 750 of 2001.
  const auto peak = std::max_element(a.level.begin(), a.level.begin() + 2001) - a.level.begin();
  EXPECT_NEAR(static_cast<double>(peak), 750.0, 2.0);
  EXPECT_GT(a.level[peak], 1.0);
  EXPECT_LT(a.level[peak], 3.0);
  // B to G answered without data: nothing stored in them, their point counts untouched.
  const int32_t emptyPoints = g().traces.traces[1].condition.samplingPoints;
  EXPECT_GT(emptyPoints, 0);
  for (int t = 1; t < kTraceCount; ++t) {
    EXPECT_FALSE(TraceHasData(t)) << t;
    EXPECT_EQ(g().traces.traces[t].condition.samplingPoints, emptyPoints) << t;
  }
  // Pulled files are gone on both sides.
  for (const auto& entry : std::filesystem::directory_iterator(g().files.userFolder)) {
    EXPECT_EQ(entry.path().filename().string().find("$$$"), std::string::npos) << entry.path();
  }
  sim->Stop();
  const std::vector<std::string> log = Log();
  EXPECT_EQ(Count(log, ":MMEM:STOR:TRAC"), 1u);
  EXPECT_EQ(Count(log, ":MMEM:STOR:TRAC TRA,BIN,\"\\$$$VQ7000Bview_TRA\",int"), 1u);
  EXPECT_EQ(Count(log, "fileread? 'e:\\user\\$$$VQ7000Bview_TR"), 1u);
  EXPECT_EQ(Count(log, "fileread? 'e:\\user\\$$$VQ7000Bview.st8'"), 1u);
  EXPECT_EQ(Count(log, ":MMEM:DEL \"\\$$$VQ7000Bview.st8\",int"), 1u);
  EXPECT_EQ(Count(log, ":MMEM:DEL \"\\$$$VQ7000Bview_TRA.wv8\",int"), 1u);
  EXPECT_EQ(Count(log, ":FORM REAL,64;:TRAC:Y? TR"), 7u);
  // The automatics quieted in their order, then the table and the display axis.
  const auto first = std::find(log.begin(), log.end(), "DISP:TRAC:Y:NMAS -999");
  ASSERT_NE(first, log.end());
  const std::vector<std::string> quiet(first, first + 7);
  EXPECT_EQ(quiet, (std::vector<std::string>{"DISP:TRAC:Y:NMAS -999", "CAL:ZERO 0",
                                             "CALC:MARK:MAX:SCEN:AUTO 0",
                                             "CALC:MARK:MAX:SRL:AUTO 0", "DISP:TRAC:Y2:SCAL:AUTO 0",
                                             "CALC:MARK:AUTO 0", "CALC:IMM:AUTO 0"}));
  EXPECT_EQ(Count(log, ":DISP:TRAC:X:CENT?"), 1u);
  EXPECT_EQ(Count(log, ":DISP:TRAC:X:STAR?"), 0u);
}

TEST_F(SyncTest, MeasurementAreaAnswerChangesTheAreaOnlyWhenItDiffers) {
  const std::string table = "caldata\\rescor.tbl";
  StartSim({"--meas-area", "0", "--points", "101"});
  Start();
  Connect();
  ASSERT_EQ(g().link.connected, 1);
  EXPECT_EQ(g().link.measAreaMode, 0);
  DisconnectByMenu();
  sim->Stop();
  EXPECT_EQ(Count(Log(), table), 1u);  // read once, at the end of the synchronisation

  StartSim({"--meas-area", "2", "--points", "101"});
  Connect();
  ASSERT_EQ(g().link.connected, 1);
  EXPECT_EQ(g().link.measAreaMode, 2);
  EXPECT_EQ(g().menu.currentMenu, kNodeSweep);
  DisconnectByMenu();
  EXPECT_EQ(g().link.measAreaMode, 0);  // the viewer's own mode is back
  sim->Stop();
  EXPECT_EQ(Count(Log(), table), 2u);
}

TEST_F(SyncTest, PushSendsTheWholeBlockWithItsDigitCountAndTheAnalyzerLoadsIt) {
  StartSim({"--points", "101"});
  Start();
  Connect();
  ASSERT_EQ(g().link.connected, 1);
  // 123,456 bytes holding terminators, semicolons and quotes: one command all the same.
  std::string bytes(123456, 'x');
  for (size_t i = 0; i < bytes.size(); i += 97) bytes.replace(i, 5, "\r\n;\"'");
  const std::string big = home.Path() + "big.ST8";
  std::ofstream(big, std::ios::binary) << bytes;
  EXPECT_EQ(PushFileToAnalyzer(big, 0), 1);
  // A file whose header, data and terminator reach the limit is not sent.
  const std::string header = FileWriteHeader("e:\\user\\$$$huge.wv8", 1048550);
  const std::string huge = home.Path() + "huge.wv8";
  std::ofstream(huge, std::ios::binary) << std::string(kPushLimitBytes - header.size() - 2, 'y');
  EXPECT_EQ(PushFileToAnalyzer(huge, 0), 0);

  // A settings file opened while connected goes to the analyzer, which then shows its centre.
  const double centre = g().conditions.setting.centre;
  SetCentre(g().conditions.setting, 1531.0);
  const std::string mine = home.Path() + "mine.ST8";
  ASSERT_EQ(WriteSettingsFile(mine), 0);
  SetCentre(g().conditions.setting, centre);
  SetDroppedFiles({mine});
  WindowProc(WM_DROPFILES, 0, 0);
  PumpUntilIdle(host);
  EXPECT_DOUBLE_EQ(g().conditions.setting.centre, 1531.0);
  EXPECT_NEAR(AnalyzerCentre(), 1531.0, 1e-6);

  sim->Stop();
  const std::vector<std::string> log = Log();
  const auto write =
      std::find(log.begin(), log.end(), "filewrite 'e:\\user\\$$$big.ST8',#6123456 [123456 bytes]");
  ASSERT_NE(write, log.end());
  ASSERT_GE(log.end() - write, 4);
  EXPECT_EQ(write[-1], "BINSENDON");
  EXPECT_EQ(write[2], ":MMEM:LOAD:SETT \"\\$$$big.ST8\",int");
  EXPECT_EQ(write[3], ":MMEM:DEL \"\\$$$big.ST8\",int");
  EXPECT_EQ(Count(log, "$$$huge.wv8"), 0u);
  EXPECT_EQ(Count(log, "filewrite 'e:\\user\\$$$mine.ST8',#573147 [73147 bytes]"), 1u);
}

TEST_F(SyncTest, SettingsHandedBackAtDisconnectionComeBackAtTheNextConnection) {
  StartSim({"--center", "1550", "--points", "101"});
  Start();
  Connect();
  ASSERT_EQ(g().link.connected, 1);
  SetCentre(g().conditions.setting, 1544.25);
  DisconnectByMenu();
  EXPECT_EQ(g().link.connected, 0);
  EXPECT_FALSE(std::filesystem::exists(g().files.userFolder + g().link.settingsWorkFile));
  SetCentre(g().conditions.setting, 1560.0);
  Connect();  // the same simulator keeps what it was handed
  ASSERT_EQ(g().link.connected, 1);
  EXPECT_DOUBLE_EQ(g().conditions.setting.centre, 1544.25);
}

TEST(SyncLevels, DecibelsBecomeLinearWithTheirFloorAndCeiling) {
  double values[] = {-210.0, -210.5, -20.0, 0.0, 3.0, 209.9, 210.0, 400.0};
  DecibelsToLinear(values, std::size(values));
  EXPECT_EQ(values[0], 0.0);
  EXPECT_EQ(values[1], 0.0);
  EXPECT_DOUBLE_EQ(values[2], 0.01);
  EXPECT_DOUBLE_EQ(values[3], 1.0);
  EXPECT_NEAR(values[4], 1.99526, 1e-5);
  EXPECT_LT(values[5], 3.40282e38);
  EXPECT_EQ(values[6], 3.40282e38);
  EXPECT_EQ(values[7], 3.40282e38);
}

// A file the analyzer answers without a block leaves it in a state the viewer cannot use.
TEST_F(SyncTest, PullAnsweredWithoutABlockDisconnectsWithErrorOne) {
  StartSim({"--points", "101"});
  Start();
  Connect();
  ASSERT_EQ(g().link.connected, 1);
  EXPECT_EQ(PullAnalyzerFile("nothing.wv8", kFileTrace, 0), kPullNotABlock);
  EXPECT_EQ(g().link.connected, 0);
  EXPECT_EQ(g().link.transport, nullptr);
  EXPECT_EQ(host.statusTexts[1], "Status: DISCONNECT");
  ASSERT_FALSE(host.boxes.empty());
  EXPECT_EQ(host.boxes.back().caption, "Connection");
  EXPECT_EQ(host.boxes.back().text, ConnectionErrorText(1));
  EXPECT_FALSE(std::filesystem::exists(g().files.userFolder + "nothing.wv8"));
}

}  // namespace
}  // namespace vq
