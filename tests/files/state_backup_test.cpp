// Tests of the state backup: saved at exit, restored at the next start; damaged, foreign and
// half-saved backups.
#include <signal.h>
#include <sys/resource.h>

#include <cstring>
#include <filesystem>
#include <memory>

#include "analysis/markers.h"
#include "calc/template_lines.h"
#include "files/settings_file.h"
#include "files/template_file.h"
#include "files/trace_files.h"
#include "platform/file_io.h"
#include "platform/image_files.h"
#include "support/instrument_fixture.h"
#include "traces/meas_condition.h"
#include "traces/traces.h"

namespace vq {
namespace {

// Where two images first differ, for the failure message ("same" when they do not).
std::string FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a.size() != b.size())
    return "sizes " + std::to_string(a.size()) + ", " + std::to_string(b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return "byte " + std::to_string(i);
  }
  return "same";
}

class StateBackupTest : public StartedInstrumentTest {
 protected:
  HeadlessHost& Current() { return next_ ? *next_ : host; }

  // Closes the viewer (which saves the backup unless told not to) and starts it again in the
  // same folder.
  void Restart(bool save = true) {
    g().frame.saveStateAtExit = save;
    WindowProc(WM_CLOSE, 0, 0);
    PumpUntilIdle(Current());
    DestroyInstrument(context);
    next_ = std::make_unique<HeadlessHost>();
    next_->realSleep = false;
    context = CreateInstrument(*next_);
    result = StartUp(*next_, {home.Path(), false});
    ASSERT_TRUE(result.running);
    ASSERT_TRUE(PumpUntilIdle(*next_));
  }

  std::string Folder() { return g().config.folders[kFolderSetting]; }

  // Trace t with a ramp of n points whose levels start at `first` mW.
  void Fill(int t, double first) {
    Trace& trace = g().traces.traces[t];
    trace.condition.storedPoints = trace.condition.samplingPoints;
    for (int i = 0; i < trace.condition.samplingPoints; ++i) trace.level[i] = first + 1e-6 * i;
    trace.source = trace.level;
    FixTraceAs(t, kAttrWrite);
  }

  // A state away from the start: window, label, split display, markers, analysis settings, the
  // viewer pieces, and data in traces A and C.
  void ChangeState() {
    MeasCondition& c = g().conditions.setting;
    SetCentre(c, 1540);
    SetSpan(c, 30);
    std::memcpy(c.label, "BEFORE RESTART", 14);
    g().conditions.measured = g().conditions.panes[0] = g().conditions.panes[1] = c;
    for (Trace& t : g().traces.traces) t.condition = c;
    Fill(0, 1e-3);
    Fill(2, 2e-3);
    SetSplitDisplay(true);
    SetTracePane(2, 1);
    SetActiveTrace(2);
    MoveMarker(2, 100);
    SetLineMarker(kLineL1, 1530);
    g().analysis.item = kItemWdm;
    g().analysis.wdm.wdm.thresh = 15;
    g().memory.current = 9;
    g().screen.hardCopySoftKeys = true;
  }

  std::vector<uint32_t> Screen() {
    g().frame.redrawFlags = kRedrawAll;
    PumpUntilIdle(Current());
    std::vector<uint32_t> pixels = g().screen.backBuffer.pixels;
    for (int y = 0; y < 24; ++y) {
      for (int x = 550; x < kScreenWidth; ++x) pixels[y * kScreenWidth + x] = 0;  // the clock
    }
    return pixels;
  }

  std::unique_ptr<HeadlessHost> next_;
};

TEST_F(StateBackupTest, RestartRestoresStateTracesAndScreen) {
  ChangeState();
  const std::vector<uint8_t> image = BuildSettingsImage();
  const auto levelsA = g().traces.traces[0].level;
  const auto levelsC = g().traces.traces[2].level;
  const MeasCondition recordC = g().traces.traces[2].condition;
  const std::vector<uint32_t> screen = Screen();
  Restart();
  EXPECT_EQ(FirstDifference(BuildSettingsImage(), image), "same") << "a setting did not come back";
  EXPECT_TRUE(g().traces.traces[0].level == levelsA);
  EXPECT_TRUE(g().traces.traces[2].level == levelsC);
  EXPECT_FALSE(TraceHasData(1));
  const MeasCondition& restoredC = g().traces.traces[2].condition;
  EXPECT_EQ(std::memcmp(&recordC, &restoredC, sizeof recordC), 0) << "trace C's record";
  const std::vector<uint32_t> after = Screen();
  int minX = 800, minY = 600, maxX = -1, maxY = -1;
  for (int i = 0; i < 800 * 600; ++i) {
    if (after[i] != screen[i]) {
      minX = std::min(minX, i % 800), maxX = std::max(maxX, i % 800);
      minY = std::min(minY, i / 800), maxY = std::max(maxY, i / 800);
    }
  }
  EXPECT_EQ(maxX, -1) << "the screen differs after the restart in x " << minX << ".." << maxX
                      << ", y " << minY << ".." << maxY;
  EXPECT_TRUE(std::filesystem::exists(Folder() + "tr_wl_A.WV8"));
  EXPECT_FALSE(std::filesystem::exists(Folder() + "tr_wl_B.WV8"));

  // Trace C cleared before the next exit: its old backup goes, and it stays empty.
  TraceClear(2);
  Restart();
  EXPECT_FALSE(std::filesystem::exists(Folder() + "tr_wl_C.WV8"));
  EXPECT_TRUE(TraceHasData(0));
  EXPECT_FALSE(TraceHasData(2));
}

TEST_F(StateBackupTest, DamagedOrForeignBackupsRestoreOnlyWhatIsSound) {
  ChangeState();
  Restart();  // a good backup of the changed state
  const std::string prm = Folder() + "Setting.prm";
  std::vector<uint8_t> good;
  ASSERT_TRUE(ReadWholeFile(prm, good));
  ASSERT_EQ(good.size(), 73150u);
  uint32_t sum = 0;
  for (size_t i = 0; i < 73146; ++i) sum += good[i];
  uint32_t stored;
  std::memcpy(&stored, &good[73146], 4);
  EXPECT_EQ(stored, sum);
  EXPECT_STREQ(reinterpret_cast<const char*>(good.data()), InstrumentVersionText().c_str());

  // A wrong sum: the start state, no message.
  std::vector<uint8_t> bad = good;
  bad[20000] ^= 0x40;
  ASSERT_TRUE(WriteFileAtomic(prm, bad));
  Restart(false);
  EXPECT_EQ(g().conditions.setting.centre, DefaultSettingRecord().centre);
  EXPECT_FALSE(TraceHasData(0));
  EXPECT_EQ(g().messages.currentMessage, 0);

  // Another firmware (with a right sum): only the viewer pieces.
  std::vector<uint8_t> foreign = good;
  std::memcpy(foreign.data(), "02.99.99\0", 10);
  sum = 0;
  for (size_t i = 0; i < 73146; ++i) sum += foreign[i];
  std::memcpy(&foreign[73146], &sum, 4);
  ASSERT_EQ(RestoreStateImage(foreign.data(), foreign.size()), 1);
  EXPECT_EQ(g().memory.current, 9);
  EXPECT_TRUE(g().screen.hardCopySoftKeys);
  EXPECT_EQ(g().conditions.setting.centre, DefaultSettingRecord().centre);
  EXPECT_EQ(g().traces.state.splitMode, 0);

  // A damaged trace backup ends the restore: A before it is loaded, C after it is not.
  ASSERT_TRUE(WriteFileAtomic(prm, good));
  ASSERT_TRUE(std::filesystem::exists(Folder() + "tr_wl_C.WV8"));
  ASSERT_TRUE(WriteFileAtomic(Folder() + "tr_wl_B.WV8",
                              {'"', 'Q', 'X', 'B', 'B', 'A', 'K', '"', '\r', '\n', 0, 0}));
  RestoreStateBackup(Folder());
  EXPECT_EQ(g().conditions.setting.centre, 1540);
  EXPECT_TRUE(TraceHasData(0));
  EXPECT_FALSE(TraceHasData(2));
}

TEST_F(StateBackupTest, SaveThatFailsHalfWayKeepsThePreviousBackup) {
  ChangeState();
  Restart();
  const std::vector<uint8_t> image = BuildSettingsImage();
  const auto levelsA = g().traces.traces[0].level;

  // The next save runs out of room after a few kilobytes: a full disk, or a kill, part way.
  SetCentre(g().conditions.setting, 1600);
  Fill(0, 5e-3);
  struct rlimit saved;
  getrlimit(RLIMIT_FSIZE, &saved);
  struct rlimit small = saved;
  small.rlim_cur = 4096;
  const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  SaveStateBackup(Folder());
  const int code = WriteSettingsFile(home.Path() + "new.ST8");
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, oldHandler);
  EXPECT_NE(code, 0);
  EXPECT_FALSE(std::filesystem::exists(home.Path() + "new.ST8")) << "a cut file was left";
  for (const auto& entry : std::filesystem::directory_iterator(Folder())) {
    EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
  }

  // A restart (without another save) finds the previous state whole.
  Restart(false);
  EXPECT_EQ(FirstDifference(BuildSettingsImage(), image), "same");
  EXPECT_TRUE(g().traces.traces[0].level == levelsA);
}

TEST_F(StateBackupTest, TemplateLinesAndSettingsSurviveARestart) {
  ShowWindow1500To1600();
  g().conditions.measured = g().conditions.setting;
  g().conditions.measured.samplingPoints = 1001;
  SetTemplateLine(kLineUpper, {{1510, -20}, {1550.125, -3.5}, {1590, -20}}, kTemplateAbsolute,
                  kExtrapolTypeB);
  SetTemplateLine(kLineLower, {{-20, -40}, {20, -40}}, kTemplateRelative, kExtrapolNone);
  TemplateState& t = g().templates;
  t.goNoGo = 1, t.type = kJudgeLower, t.editLine = kLineLower;
  t.wlShift = 0.5, t.levelShift = -1.25;
  t.lines[kLineLower].display = 0;
  const auto upper = t.lines[kLineUpper].points;
  Restart();
  const std::string folder = Folder();
  EXPECT_TRUE(std::filesystem::exists(folder + "upper.WV8"));
  EXPECT_TRUE(std::filesystem::exists(folder + "lower.WV8"));
  EXPECT_FALSE(std::filesystem::exists(folder + "target.WV8"));  // no points, nothing rendered
  EXPECT_EQ(std::filesystem::file_size(folder + "template.prm"), 3200112u + 4);
  const TemplateState& r = g().templates;
  ASSERT_EQ(r.lines[kLineUpper].points.size(), 3u);
  EXPECT_EQ(r.lines[kLineUpper].points[1].wl, upper[1].wl);
  EXPECT_EQ(r.lines[kLineUpper].points[1].level, upper[1].level);
  EXPECT_EQ(r.lines[kLineUpper].extrapolation, kExtrapolTypeB);
  EXPECT_EQ(r.lines[kLineLower].mode, kTemplateRelative);
  EXPECT_EQ(r.lines[kLineLower].extrapolation, kExtrapolNone);
  EXPECT_EQ(r.lines[kLineLower].display, 0);
  EXPECT_TRUE(r.lines[kLineTarget].points.empty());
  EXPECT_EQ(r.goNoGo, 1);
  EXPECT_EQ(r.type, kJudgeLower);
  EXPECT_EQ(r.editLine, kLineLower);
  EXPECT_EQ(r.wlShift, 0.5);
  EXPECT_EQ(r.levelShift, -1.25);
  // Rendered again on the restored axis (0.1 nm a point): the shifted points (1510.5, -21.25) and
  // (1550.625, -4.75) lie at indices 105 and 506.25.
  ASSERT_EQ(r.lines[kLineUpper].rendered.size(), 1001u);
  EXPECT_NEAR(LinearToDbm(r.lines[kLineUpper].rendered[506]), -4.75 - 0.25 * 16.5 / 401.25, 1e-9);

  // A damaged template block is not taken: the lines stay as a fresh start has them.
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile(folder + "template.prm", bytes));
  bytes[100] ^= 0x40;
  ASSERT_EQ(WriteFileBytes(folder + "template.prm", bytes), 0);
  Restart(false);
  EXPECT_TRUE(g().templates.lines[kLineUpper].points.empty());
  EXPECT_EQ(g().templates.goNoGo, 1);  // the settings image carries GO/NO GO and the modes
  EXPECT_EQ(g().templates.lines[kLineLower].mode, kTemplateRelative);
}

}  // namespace
}  // namespace vq
