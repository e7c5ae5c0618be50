// Tests of the settings files: the byte layout both ways, the round trip of the whole state and
// screen, refused files, the sibling and predecessor layouts.
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>

#include "analysis/markers.h"
#include "files/settings_file.h"
#include "files/trace_files.h"
#include "menu/menu_engine.h"
#include "platform/image_files.h"
#include "support/instrument_fixture.h"
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

// Offsets of the image as the file format fixes them.
constexpr size_t kSetting = 11, kMeasured = 499, kBlock = 987, kAnalysis = 34131;
constexpr size_t kCentre = 64, kSpan = 72, kStart = 80, kStop = 88, kFrequencyMode = 218;

void Put16(std::vector<uint8_t>& image, size_t at, uint16_t v) {
  std::memcpy(&image[at], &v, 2);
}
uint16_t Get16(const std::vector<uint8_t>& image, size_t at) {
  uint16_t v;
  std::memcpy(&v, &image[at], 2);
  return v;
}
void PutDouble(std::vector<uint8_t>& image, size_t at, double v) {
  std::memcpy(&image[at], &v, 8);
}
double GetDouble(const std::vector<uint8_t>& image, size_t at) {
  double v;
  std::memcpy(&v, &image[at], 8);
  return v;
}

// The words of the trace and display block, by block offset, that the tests put in and expect.
struct Word {
  size_t offset;
  uint16_t value;
};
constexpr Word kWords[] = {
    {0, 3},                      // active trace D
    {2, 1},                      // split display
    {20 + 2 * 2, 1},             // trace C blank
    {40 + 2 * 4, 1},             // trace E in the lower pane
    {60 + 2 * 1, kAttrFix},      // trace B fixed
    {74 + 2 * 1, 7},             // fixed from a calculation
    {88 + 2 * 6, kAttrMinHold},  // hold selection of G
    {102 + 2 * 9, 21},           // a calculation operation
    {172 + 2 * 5, 2},            // calculation category of F
    {186, 4},                    // copy source E
    {188, 6},                    // copy destination G
    {216, 7},                    // curve fit threshold
    {218, 9},                    // peak curve fit threshold
    {220, kItemSetting},         // file item
    {224, 1},                    // trace files as CSV
    {226, 1},                    // graphics as TIFF
    {232, 2},                    // sorted by date
    {234, 0},
    {236, 1},
    {238, 0},
    {240, 1},
    {242, 0},
    {244, 1},    // data items
    {246, 1},    // WRITE MODE ADD
    {396, 1},    // vacuum
    {32752, 1},  // DT6
};

// The state the words above stand for.
void ExpectStateOfWords(const Instrument& g) {
  const TraceStateBlock& s = g.traces.state;
  EXPECT_EQ(s.activeTrace, 3);
  EXPECT_EQ(s.splitMode, 1);
  EXPECT_EQ(s.display[2], 1);
  EXPECT_EQ(s.pane[4], 1);
  EXPECT_EQ(s.attribute[1], kAttrFix);
  EXPECT_EQ(s.fixedFrom[1], 7);
  EXPECT_EQ(s.holdSelection[6], kAttrMinHold);
  EXPECT_EQ(s.calcOperation[1][2], 21);
  EXPECT_EQ(s.calcCategory[5], 2);
  EXPECT_EQ(s.copySource, 4);
  EXPECT_EQ(s.copyDestination, 6);
  EXPECT_EQ(s.curveFitThreshold, 7);
  EXPECT_EQ(s.peakCurveFitThreshold, 9);
  EXPECT_EQ(s.measWavelengthChoice, 1);
  const FileSettings& f = g.files.settings;
  EXPECT_EQ(f.item, kItemSetting);
  EXPECT_EQ(f.traceFileType, 1);
  EXPECT_EQ(f.graphicsFileType, 1);
  EXPECT_EQ(f.sortKey, 2);
  EXPECT_EQ(f.dataItems, (std::array<uint16_t, kDataItemCount>{0, 1, 0, 1, 0, 1}));
  EXPECT_EQ(f.dataWriteMode, 1);
  EXPECT_EQ(f.dataFileType, 1);
}

class SettingsFileTest : public StartedInstrumentTest {
 protected:
  // An image made here from the format's offsets alone: identifier, the fresh record as the
  // setting and measured record with the window 1300 to 1320 nm, the words above.
  std::vector<uint8_t> HandMadeImage(const char* id = "\"QXBSET\"\r\n", size_t size = 73147) {
    std::vector<uint8_t> image(size, 0);
    std::memcpy(image.data(), id, 10);
    const MeasCondition fresh = DefaultSettingRecord();
    for (size_t record : {kSetting, kMeasured}) {
      std::memcpy(&image[record], &fresh, sizeof fresh);
      PutDouble(image, record + kCentre, 1310);
      PutDouble(image, record + kSpan, 20);
      PutDouble(image, record + kStart, 1300);
      PutDouble(image, record + kStop, 1320);
    }
    for (const Word& w : kWords) Put16(image, kBlock + w.offset, w.value);
    return image;
  }

  // Sets the state the words above stand for.
  void SetStateOfWords() {
    TraceStateBlock& s = g().traces.state;
    s.activeTrace = 3, s.splitMode = 1, s.display[2] = 1, s.pane[4] = 1;
    s.attribute[1] = kAttrFix, s.fixedFrom[1] = 7, s.holdSelection[6] = kAttrMinHold;
    s.calcOperation[1][2] = 21, s.calcCategory[5] = 2, s.copySource = 4, s.copyDestination = 6;
    s.curveFitThreshold = 7, s.peakCurveFitThreshold = 9, s.measWavelengthChoice = 1;
    g().files.settings = {kItemSetting, 1, 1, 2, {0, 1, 0, 1, 0, 1}, 1, 1};
  }

  // The screen after a full redraw, without the clock (a minute may pass between captures).
  std::vector<uint32_t> Screen() {
    g().frame.redrawFlags = kRedrawAll;
    PumpUntilIdle(host);
    std::vector<uint32_t> pixels = g().screen.backBuffer.pixels;
    for (int y = 0; y < 24; ++y) {
      for (int x = 550; x < kScreenWidth; ++x) pixels[y * kScreenWidth + x] = 0;
    }
    return pixels;
  }

  std::string Path(const std::string& name) { return home.Path() + name; }
};

TEST_F(SettingsFileTest, ImageFieldsSitAtTheirOffsetsBothWays) {
  // Reading: a hand-made image gives each field its value.
  std::vector<uint8_t> image = HandMadeImage();
  Put16(image, kBlock + 200, 1);               // UPPER HOLD: cleared on reading
  Put16(image, kSetting + kFrequencyMode, 3);  // not 1: becomes 0
  ASSERT_EQ(ReadSettingsImage(image.data(), image.size()), 0);
  ExpectStateOfWords(g());
  EXPECT_EQ(g().traces.state.paneHold[0], 0);
  EXPECT_EQ(g().conditions.setting.centre, 1310);
  EXPECT_EQ(g().conditions.setting.stop, 1320);
  EXPECT_EQ(g().conditions.setting.frequencyMode, 0);
  EXPECT_EQ(g().conditions.setting.curveFitThreshold, 7) << "the trace state's threshold rules";
  EXPECT_EQ(g().screen.screenMode, 1) << "the split display is shown";

  // Writing: a fresh instrument with that state puts each value at its offset.
  InitConditions();
  g().traces.state = {};
  g().files.settings = {};
  SetStateOfWords();
  g().conditions.setting.centre = 1423.5;
  const std::vector<uint8_t> written = BuildSettingsImage();
  ASSERT_EQ(written.size(), 73147u);
  EXPECT_EQ(std::string(written.begin(), written.begin() + 10), "\"QXBSET\"\r\n");
  EXPECT_EQ(written[10], 0);
  EXPECT_EQ(GetDouble(written, kSetting + kCentre), 1423.5);
  for (const Word& w : kWords) {
    EXPECT_EQ(Get16(written, kBlock + w.offset), w.value) << "block offset " << w.offset;
  }
}

TEST_F(SettingsFileTest, OutOfRangeWordsAreClampedAndOptionsSwitchedOff) {
  std::vector<uint8_t> image = HandMadeImage();
  Put16(image, kBlock + 0, 9);      // active trace beyond G
  Put16(image, kBlock + 232, 7);    // sort key
  Put16(image, kBlock + 60, 11);    // an unused attribute code
  Put16(image, kBlock + 216, 150);  // threshold beyond 99
  Put16(image, kSetting + 328, 1);  // smoothing on: not offered here
  const uint16_t attributeBefore = g().traces.state.attribute[0];
  ASSERT_EQ(ReadSettingsImage(image.data(), image.size()), 0);
  EXPECT_EQ(g().traces.state.activeTrace, kTraceCount - 1);
  EXPECT_EQ(g().files.settings.sortKey, 3);
  EXPECT_EQ(g().traces.state.attribute[0], attributeBefore);
  EXPECT_EQ(g().traces.state.curveFitThreshold, 99);
  EXPECT_EQ(g().conditions.setting.smoothing, 0);
}

TEST_F(SettingsFileTest, RefusedFilesChangeNothing) {
  // Trace A holds data and the state is not the fresh one.
  Trace& a = g().traces.traces[0];
  for (int i = 0; i < a.condition.samplingPoints; ++i) a.level[i] = 1e-3;
  g().traces.state.activeTrace = 2;
  g().conditions.setting.centre = 1555;
  const std::vector<uint8_t> before = BuildSettingsImage();
  const auto levels = a.level;

  std::vector<uint8_t> good = HandMadeImage();
  std::vector<std::vector<uint8_t>> bad = {
      std::vector<uint8_t>(good.begin(), good.end() - 1),  // one byte short
      good,                                                // one byte long
      good,                                                // another identifier
      good,                                                // a record that is not a number
      HandMadeImage("'\"QXSET\"\r\n"),                     // predecessor id, current length
  };
  bad[1].push_back(0);
  bad[2][2] = 'Z';
  PutDouble(bad[3], kSetting + kSpan, std::nan(""));
  int n = 0;
  for (const auto& image : bad) {
    EXPECT_EQ(ReadSettingsImage(image.data(), image.size()), kMsgNotSettingsFile) << "image " << n;
    const std::string name = "bad" + std::to_string(n++) + ".ST8";
    ASSERT_TRUE(WriteFileAtomic(Path(name), image));
    EXPECT_EQ(LoadSettingsFile(Path(name)), kMsgNotSettingsFile) << name;
  }
  EXPECT_EQ(ReadSettingsImage(nullptr, 0), kMsgNotSettingsFile);
  EXPECT_EQ(LoadSettingsFile(Path("missing.ST8")), 123);
  EXPECT_EQ(FirstDifference(BuildSettingsImage(), before), "same")
      << "a refused file changed the settings";
  EXPECT_TRUE(a.level == levels) << "a refused file cleared a trace";

  // A drop of a refused file shows the message.
  const std::string path = Path("bad0.ST8");
  SetDroppedFiles({Path("bad2.ST8")});
  WindowProc(WM_DROPFILES, 0, 0);  // not even detected as a settings file: ignored
  EXPECT_EQ(g().messages.currentMessage, 0);
  SetDroppedFiles({path});
  WindowProc(WM_DROPFILES, 0, 0);
  PumpUntilIdle(host);
  EXPECT_EQ(g().messages.currentMessage, kMsgNotSettingsFile);
  EXPECT_EQ(FirstDifference(BuildSettingsImage(), before), "same");
}

TEST_F(SettingsFileTest, WrittenFileReadBackRestoresStateAndScreen) {
  // A state away from the start state in every block.
  MeasCondition& c = g().conditions.setting;
  SetCentre(c, 1310);
  SetSpan(c, 40);
  std::memcpy(c.label, "ROUND TRIP", 10);
  c.refLevel = -23;
  c.logScale = 5;
  SetSplitDisplay(true);
  SetTracePane(2, 1);
  g().conditions.panes[0] = g().conditions.panes[1] = c;
  g().conditions.measured = c;
  g().conditions.yDivisions = 8;
  SetActiveTrace(2);
  SetLineMarker(kLineL1, 1300);
  SetLineMarker(kLineL2, 1318.5);
  g().analysis.search.modeDiff = 1.5;
  g().analysis.search.markerUnit = 1;
  g().analysis.item = kItemSmsr;
  g().analysis.widthParams[2].k = 2.35;
  g().analysis.light.settings.dfb.osnr.noiseArea = 0.8;
  g().analysis.wdm.edfa.offsetIn = 1.25;
  g().analysis.filter.wdmBtm.spacing = 1.6;
  g().waveform.zoomed = true;
  g().waveform.zoomStart = 1305, g().waveform.zoomStop = 1315;
  g().waveform.zoomSpan = 10, g().waveform.zoomCentre = 1310;
  g().memory.current = 17;
  g().screen.altFill = true;
  for (Trace& t : g().traces.traces) t.condition = c;
  const std::vector<uint32_t> screen = Screen();
  const std::vector<uint8_t> image = BuildSettingsImage();
  ASSERT_EQ(WriteSettingsFile(Path("state.ST8")), 0);
  EXPECT_EQ(DetectFileType(Path("state.ST8")), kFileSettings);

  // Back to the start state, then the file.
  InitConditions();
  SetSplitDisplay(false);
  g().traces.state.pane[2] = 0;
  g().analysis = AnalysisState();
  g().waveform.zoomed = false;
  g().memory.current = 0;
  g().screen.altFill = false;
  ASSERT_NE(Screen(), screen);
  ASSERT_EQ(LoadSettingsFile(Path("state.ST8")), 0);
  EXPECT_EQ(FirstDifference(BuildSettingsImage(), image), "same") << "a field did not come back";
  EXPECT_TRUE(Screen() == screen) << "the screen differs after reading";
}

TEST_F(SettingsFileTest, LoadClearsTracesAndHandsOutTheSettingRecord) {
  Trace& b = g().traces.traces[1];
  for (int i = 0; i < b.condition.samplingPoints; ++i) b.level[i] = 1e-4;
  g().conditions.panes[1].refLevel = 5;
  std::vector<uint8_t> image = HandMadeImage();
  Put16(image, kBlock + 2, 0);  // no split display
  ASSERT_TRUE(WriteFileAtomic(Path("s.ST8"), image));
  SetDroppedFiles({Path("s.ST8")});
  WindowProc(WM_DROPFILES, 0, 0);
  PumpUntilIdle(host);
  EXPECT_EQ(g().messages.currentMessage, 0);
  EXPECT_FALSE(TraceHasData(1));
  EXPECT_EQ(g().menu.currentMenu, kNodeFile) << "a dropped settings file opens the FILE menu";
  for (const MeasCondition* r : {&g().conditions.measured, &g().conditions.panes[0],
                                 &g().conditions.panes[1], &b.condition}) {
    EXPECT_EQ(std::memcmp(r, &g().conditions.setting, sizeof *r), 0);
  }
  EXPECT_EQ(g().conditions.setting.centre, 1310);
}

TEST_F(SettingsFileTest, SiblingAndPredecessorLayouts) {
  // The sibling shares the layout; a file older than 02.01.00 has no fit thresholds yet.
  std::vector<uint8_t> sibling = HandMadeImage("'\"QYSET\"\r\n");
  std::memcpy(&sibling[kSetting + 472], "02.00.00", 8);
  const int16_t threshold = g().traces.state.curveFitThreshold;
  ASSERT_EQ(ReadSettingsImage(sibling.data(), sibling.size()), 0);
  EXPECT_EQ(g().conditions.setting.centre, 1310);
  EXPECT_EQ(g().files.settings.sortKey, 2);
  EXPECT_EQ(g().traces.state.curveFitThreshold, threshold);

  // The predecessor: 66747 bytes, the trace state cut at 424, the display area at 19027 and the
  // analysis block at 27731. Its version 02.09.60 lacks the air/vacuum choice; it has no data
  // file type at all.
  InitConditions();
  g().traces.state = {};
  g().files.settings.dataFileType = 0;
  std::vector<uint8_t> current = HandMadeImage();
  std::vector<uint8_t> old(66747, 0);
  std::memcpy(old.data(), "'\"QXSET\"\r\n", 10);
  std::memcpy(&old[kSetting], &current[kSetting], kBlock - kSetting + 424);
  std::memcpy(&old[kSetting + 472], "02.09.60", 8);
  Put16(old, 19027 + 2 * 488, 12);  // level divisions, after the two pane records
  const double modeDiff = 2.5;
  std::memcpy(&old[27731], &modeDiff, 8);  // the search MODE DIFF opens the analysis block
  ASSERT_EQ(ReadSettingsImage(old.data(), old.size()), 0);
  EXPECT_EQ(g().conditions.setting.centre, 1310);
  EXPECT_EQ(g().traces.state.activeTrace, 3);
  EXPECT_EQ(g().files.settings.dataWriteMode, 1);
  EXPECT_EQ(g().traces.state.measWavelengthChoice, 0) << "older than 02.09.61: kept";
  EXPECT_EQ(g().files.settings.dataFileType, 0) << "beyond the predecessor's trace state: kept";
  EXPECT_EQ(g().conditions.yDivisions, 12);
  EXPECT_EQ(g().analysis.search.modeDiff, 2.5);
  std::memcpy(&old[kSetting + 472], "02.09.61", 8);
  ASSERT_EQ(ReadSettingsImage(old.data(), old.size()), 0);
  EXPECT_EQ(g().traces.state.measWavelengthChoice, 1);
}

}  // namespace
}  // namespace vq
