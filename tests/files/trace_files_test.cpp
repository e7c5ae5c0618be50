// Tests of the trace data files: detection, the binary, backup and CSV forms, loading and drops.
#include <cmath>
#include <cstring>
#include <fstream>

#include "files/trace_files.h"
#include "menu/menu_engine.h"
#include "platform/image_files.h"
#include "support/instrument_fixture.h"

namespace vq {
namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

class TraceFileTest : public InstrumentTest {
 protected:
  void SetUp() override {
    InstrumentTest::SetUp();
    Start();
  }

  // A trace of n points from 1545 to 1555 nm with levels rising from -70 dBm by 0.01 dB.
  void Fill(int trace, int n, int attribute = kAttrWrite) {
    Trace& t = g().traces.traces[trace];
    t.condition = DefaultSettingRecord();
    MeasCondition& c = t.condition;
    c.centre = 1550;
    c.span = 10;
    c.start = 1545;
    c.stop = 1555;
    c.samplingAuto = 0;
    c.samplingPoints = c.storedPoints = n;
    c.samplingInterval = c.span / (n - 1);
    c.traceAttribute = static_cast<int16_t>(attribute);
    c.curveFitThreshold = g().traces.state.curveFitThreshold;
    c.peakCurveFitThreshold = g().traces.state.peakCurveFitThreshold;
    for (int i = 0; i < n; ++i) t.level[i] = DbmToLinear(-70 + 0.01 * i);
    for (int i = 0; i < n; ++i) t.source[i] = t.level[i] * 0.5;
    g().traces.state.attribute[trace] = static_cast<uint16_t>(attribute);
  }

  std::string Path(const std::string& name) { return home.Path() + name; }

  void WriteText(const std::string& name, const std::string& text) {
    ASSERT_TRUE(WriteFileAtomic(Path(name), Bytes(text)));
  }

  // Loading must fail with 132 and leave the setting record and the trace as they were.
  void ExpectRefused(const std::string& name, int trace = 0) {
    const MeasCondition setting = g().conditions.setting;
    const Trace before = g().traces.traces[trace];
    EXPECT_EQ(LoadTraceFile(Path(name), trace), kMsgNotTraceFile) << name;
    EXPECT_EQ(std::memcmp(&setting, &g().conditions.setting, sizeof setting), 0) << name;
    EXPECT_EQ(
        std::memcmp(&before.condition, &g().traces.traces[trace].condition, sizeof(MeasCondition)),
        0)
        << name;
    EXPECT_EQ(before.level, g().traces.traces[trace].level) << name;
  }
};

TEST_F(TraceFileTest, FileTypeDetectsEveryIdentifier) {
  struct Case {
    const char* id;
    int type;
    int format;
  };
  const Case cases[] = {
      {"'\"QXWAV\"\r\n", kFileTrace, 11},   {"QXCSV  \t\r\n", kFileTrace, 12},
      {"'\"QYWAV\"\r\n", kFileTrace, 13},   {"QYCSV  \t\r\n", kFileTrace, 14},
      {"\"QXBWAV\"\r\n", kFileTrace, 15},   {"QXBCSV \t\r\n", kFileTrace, 16},
      {"'\"QXPRG\"\r\n", kFileProgram, 0},  {"\"QXBPRG\"\r\n", kFileProgram, 2},
      {"\"QXDAT \"\r\n", kFileData, 0},     {"QXBDAT2\r\n", kFileData, 5},
      {"\"QXBSET\"\r\n", kFileSettings, 0}, {"'\"QXSET\"\r\n", kFileSettings, 2},
      {"VQ7000B,\r\n", kFileTemplate, 2},   {"QXCSVG \t\r\n", kFileAllTrace, 0},
      {"QYCSVG \t\r\n", kFileAllTrace, 1},  {"QXBCSVG\t\r\n", kFileAllTrace, 2},
  };
  for (const Case& c : cases) {
    WriteText("f", std::string(c.id) + std::string(50, 'x'));
    int format = -1;
    EXPECT_EQ(DetectFileType(Path("f"), &format), c.type) << c.id;
    EXPECT_EQ(format, c.format) << c.id;
  }
  WriteText("short", "\"QXBWAV\"\r\n" + std::string(39, 'x'));  // 49 bytes
  EXPECT_EQ(DetectFileType(Path("short")), -1);
  WriteText("other", "QXBCSVX\t\r\n" + std::string(50, 'x'));
  EXPECT_EQ(DetectFileType(Path("other")), -1);
  EXPECT_EQ(DetectFileType(Path("missing")), -1);
}

TEST_F(TraceFileTest, BinaryAndBackupRoundTrip) {
  Fill(1, 1001);
  ASSERT_EQ(WriteTraceBinary(Path("t.wav"), 1), 0);
  ASSERT_EQ(WriteTraceBackup(Path("t.bak"), 1), 0);
  std::vector<uint8_t> bin, bak;
  ASSERT_TRUE(ReadWholeFile(Path("t.wav"), bin) && ReadWholeFile(Path("t.bak"), bak));
  EXPECT_EQ(bin.size(), 498u + 4 * 1001);
  EXPECT_EQ(std::string(bin.begin(), bin.begin() + 10), "\"QXBWAV\"\r\n");
  EXPECT_EQ(bak.size(), 498u + 16 * 1001 + 4);
  const MeasCondition saved = SavedRecord(1);
  EXPECT_EQ(std::memcmp(bin.data() + 10, &saved, sizeof saved), 0);

  const Trace& t = g().traces.traces[1];
  TraceFileData data;
  ASSERT_EQ(ReadTraceFile(Path("t.wav"), data), 0);
  EXPECT_EQ(std::memcmp(&data.condition, &saved, sizeof saved), 0);
  ASSERT_EQ(data.levels.size(), 1001u);
  for (int i = 0; i < 1001; ++i) {
    EXPECT_FLOAT_EQ(static_cast<float>(data.levels[i]), static_cast<float>(t.level[i]));
  }
  ASSERT_EQ(ReadTraceFile(Path("t.bak"), data), 0);
  EXPECT_TRUE(std::equal(data.levels.begin(), data.levels.end(), t.level.begin()));
  EXPECT_TRUE(std::equal(data.source.begin(), data.source.end(), t.source.begin()));

  // The checksum is the byte sum of everything before it.
  uint32_t sum = 0, stored = 0;
  for (size_t i = 0; i + 4 < bak.size(); ++i) sum += bak[i];
  std::memcpy(&stored, bak.data() + bak.size() - 4, 4);
  EXPECT_EQ(sum, stored);
  bak[bak.size() - 1] ^= 1;
  ASSERT_TRUE(WriteFileAtomic(Path("bad.bak"), bak));
  ExpectRefused("bad.bak");

  // Loading the backup into trace D makes it FIX, fixed from the file's attribute.
  ASSERT_EQ(LoadTraceFile(Path("t.bak"), 3), 0);
  EXPECT_EQ(g().traces.state.attribute[3], kAttrFix);
  EXPECT_EQ(g().traces.state.fixedFrom[3], kAttrWrite);
  EXPECT_EQ(g().traces.traces[3].source, t.source);
  EXPECT_EQ(g().conditions.setting.samplingPoints, 1001);
  EXPECT_EQ(WriteTraceBinary(Path("empty.wav"), 5), kMsgNoData);
  EXPECT_FALSE(std::filesystem::exists(Path("empty.wav")));
}

TEST_F(TraceFileTest, MalformedBinaryFilesAreRefused) {
  Fill(0, 101);
  ASSERT_EQ(WriteTraceBinary(Path("good.wav"), 0), 0);
  std::vector<uint8_t> good;
  ASSERT_TRUE(ReadWholeFile(Path("good.wav"), good));
  Fill(0, 11);  // what a refused load must leave alone
  const auto variant = [&](const std::string& name, auto change) {
    std::vector<uint8_t> bytes = good;
    change(bytes);
    ASSERT_TRUE(WriteFileAtomic(Path(name), bytes));
    ExpectRefused(name);
  };
  variant("truncated", [](auto& b) { b.pop_back(); });
  variant("header", [](auto& b) { b.resize(497); });
  variant("identifier", [](auto& b) { b[3] = 'Z'; });
  const auto points = [](int32_t n) {
    return
        [n](auto& b) { std::memcpy(b.data() + 10 + offsetof(MeasCondition, storedPoints), &n, 4); };
  };
  variant("zero", points(0));
  variant("toomany", points(50002));
  variant("nan", [](auto& b) {
    const double nan = std::nan("");
    std::memcpy(b.data() + 10 + offsetof(MeasCondition, centre), &nan, 8);
  });
  variant("attribute", [](auto& b) {
    const int16_t a = 11;
    std::memcpy(b.data() + 10 + offsetof(MeasCondition, traceAttribute), &a, 2);
  });
}

TEST_F(TraceFileTest, CsvTextIsExact) {
  MeasCondition& s = g().conditions.setting;
  s.refLevel = -10.004;
  s.logScale = 10;
  s.levelUnit = 1;
  s.noiseMaskDirection = 1;
  s.noiseMask = -70;
  std::memset(s.label, ' ', 56);
  std::memcpy(s.label, "LED TEST", 8);
  g().conditions.panes[0].logScale = 10;
  Fill(0, 3, 2);
  MeasCondition& c = g().traces.traces[0].condition;
  c.span = 0.2;
  c.start = 1549.9;
  c.stop = 1550.1;
  c.samplingInterval = 0.1;
  c.sensitivity = 3;
  c.chopMode = 1;
  c.fibreType = 1;
  c.resolutionParameter = 12;
  const double levels[] = {DbmToLinear(-45), 1.0, 0.5};
  std::copy(std::begin(levels), std::end(levels), g().traces.traces[0].level.begin());

  std::string expected = "QXBCSV \t\r\nLED TEST" + std::string(48, ' ') + "\r\n25\r\n";
  for (const char* line : {"\"CTRWL\",1550.000000",
                           "\"SPAN\",   0.200000",
                           "\"START WL\",1549.900000",
                           "\"STOP WL\",1550.100000",
                           "\"WLFREQ\", 0",
                           "\"REFL\",-10.0",
                           "\"LSCL\",10.0",
                           "\"RESLN\",0.100",
                           "\"AVG\",   1",
                           "\"SMPLAUTO\",      0",
                           "\"SMPL\",          3",
                           "\"SMPLINTVL\",0.1000",
                           "\"HI1_CHOP\"",
                           "\"MAXH\"",
                           "\"LSUNT\",1",
                           "\"NMSKH\",-70",
                           "\"RESCOR\",0",
                           "\"FIBERTYPE\",1",
                           "\"MEASWL\",0",
                           "\"SWPSPD\",0",
                           "\"RESPARM\",   12",
                           "\"FREQPARM\",    0",
                           "",
                           "",
                           "",
                           "\"[TRACE DATA]\"",
                           "1549.9000, -45.000",
                           "1550.0000,  +0.000",
                           "1550.1000,  -3.010"}) {
    expected += std::string(line) + "\r\n";
  }
  ASSERT_EQ(WriteTraceCsv(Path("t.csv"), 0), 0);
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile(Path("t.csv"), bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);

  // A linear pane writes mW in E notation, and those load unchanged.
  g().conditions.panes[0].logScale = -1;
  ASSERT_EQ(WriteTraceCsv(Path("lin.csv"), 0), 0);
  ASSERT_TRUE(ReadWholeFile(Path("lin.csv"), bytes));
  EXPECT_NE(std::string(bytes.begin(), bytes.end()).find("1549.9000,3.162E-05\r\n"),
            std::string::npos);
  TraceFileData data;
  ASSERT_EQ(ReadTraceFile(Path("lin.csv"), data), 0);
  EXPECT_EQ(data.levels, std::vector<double>({3.162E-05, 1.0, 0.5}));
  EXPECT_EQ(data.attribute, kAttrMaxHold);
  EXPECT_EQ(data.condition.sensitivity, 3);
  EXPECT_EQ(data.condition.chopMode, 2);  // normalised: any chop mode is SWITCH
  EXPECT_EQ(data.condition.noiseMask, -70);
  EXPECT_EQ(data.condition.fibreType, 1);
  EXPECT_EQ(data.condition.resolutionParameter, 12);
  EXPECT_EQ(std::string(data.condition.label, 8), "LED TEST");
}

TEST_F(TraceFileTest, CsvReadingRules) {
  const std::string head = "QXBCSV \t\r\nLABEL\r\n";
  const std::string block =
      " 3\r\n\"CTRWL\",1550.0\r\n\"SPAN\",10.0\r\n\"SMPL\",2\r\n\"[TRACE DATA]\"\r\n";
  WriteText("dbm.csv", head + block + "1545.0000,-45\r\n1555.0000, +3.000\r\n\r\ntrailing\r\n");
  TraceFileData data;
  ASSERT_EQ(ReadTraceFile(Path("dbm.csv"), data), 0);
  ASSERT_EQ(data.levels.size(), 2u);
  EXPECT_NEAR(data.levels[0], std::pow(10.0, -4.5), 1e-15);
  EXPECT_NEAR(data.levels[1], std::pow(10.0, 0.3), 1e-12);
  EXPECT_EQ(data.condition.storedPoints, 2);
  EXPECT_EQ(data.attribute, kAttrFix);  // no attribute line

  WriteText("quote.csv", head + "\"CTRWL\",1550.0\r\n" + block);
  ExpectRefused("quote.csv");
  WriteText("badnum.csv", head + block + "1545.0000,-4x5\r\n");
  ExpectRefused("badnum.csv");
  WriteText("badkey.csv", head + " 3\r\n\"CTRWL\",abc\r\n\"SPAN\",10.0\r\n\"SMPL\",2\r\n" +
                              "\"[TRACE DATA]\"\r\n1545.0,-45\r\n");
  ExpectRefused("badkey.csv");
  WriteText("nodata.csv", head + block);
  ExpectRefused("nodata.csv");
  WriteText("short.csv", head + " 9\r\n\"CTRWL\",1550.0\r\n");
  ExpectRefused("short.csv");
}

TEST_F(TraceFileTest, AllTraceRoundTripAndRefusal) {
  // Traces without data still carry a window: their section is read with it.
  for (Trace& t : g().traces.traces) t.condition = DefaultSettingRecord();
  Fill(0, 1001);
  Fill(2, 501, kAttrMaxHold);
  g().traces.state.activeTrace = 2;
  ASSERT_EQ(WriteAllTraceCsv(Path("all.csv")), 0);
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile(Path("all.csv"), bytes));
  const std::string text(bytes.begin(), bytes.end());
  EXPECT_NE(
      text.find("\"ACTIVE\",\"C\"\r\n\"TRACE A\",\"WRITE    \",1\r\n\"TRACE B\",\"WRITE    \",0"),
      std::string::npos);
  EXPECT_NE(text.find("\"TRACE C\",\"MAX HOLD \",1\r\n"), std::string::npos);
  const std::vector<double> a(g().traces.traces[0].level.begin(),
                              g().traces.traces[0].level.begin() + 1001);
  const std::vector<double> c(g().traces.traces[2].level.begin(),
                              g().traces.traces[2].level.begin() + 501);

  // Fewer rows than trace A's SMPL: the whole file is refused and nothing changes.
  const std::string cut = text.substr(0, text.rfind("\r\n", text.size() - 3) + 2);
  WriteText("cut.csv", cut);
  for (int t = 0; t < kTraceCount; ++t) g().traces.traces[t].level.fill(1e-3);
  const MeasCondition setting = g().conditions.setting;
  EXPECT_EQ(LoadAllTraceFile(Path("cut.csv")), kMsgNotTraceFile);
  EXPECT_EQ(std::memcmp(&setting, &g().conditions.setting, sizeof setting), 0);
  EXPECT_EQ(g().traces.traces[1].level[0], 1e-3);
  WriteText("noactive.csv",
            std::string(text).replace(text.find("\"ACTIVE\",\"C\""), 12, "\"ACTIVE\",\"H\""));
  EXPECT_EQ(LoadAllTraceFile(Path("noactive.csv")), kMsgNotTraceFile);

  g().traces.state.activeTrace = 0;
  ASSERT_EQ(LoadAllTraceFile(Path("all.csv")), 0);
  const TraceStateBlock& s = g().traces.state;
  EXPECT_EQ(s.activeTrace, 2);
  EXPECT_EQ(s.attribute[2], kAttrFix);
  EXPECT_EQ(s.fixedFrom[2], kAttrMaxHold);
  EXPECT_EQ(s.display[1], 1);  // data flag 0: blanked, every level 0 mW
  EXPECT_FALSE(TraceHasData(1));
  EXPECT_EQ(s.display[0], 0);
  for (int i = 0; i < 1001; ++i) EXPECT_NEAR(g().traces.traces[0].level[i] / a[i], 1, 1.2e-4);
  for (int i = 0; i < 501; ++i) EXPECT_NEAR(g().traces.traces[2].level[i] / c[i], 1, 1.2e-4);
  EXPECT_EQ(g().traces.traces[2].condition.samplingPoints, 501);
}

TEST_F(TraceFileTest, DroppedTraceFileLoadsIntoTheActiveTrace) {
  Fill(0, 201);
  ASSERT_EQ(WriteTraceCsv(Path("drop.csv"), 0), 0);
  WriteText("notes.txt", std::string(80, 'n'));
  WriteText("bad.csv", "QXBCSV \t\r\nLABEL\r\n\"X\"\r\n" + std::string(60, ' '));
  g().traces.traces[4].level.fill(0);
  g().traces.state.activeTrace = 4;
  const MenuId menu = g().menu.currentMenu;

  SetDroppedFiles({Path("notes.txt")});
  WindowProc(WM_DROPFILES, 0, 0);
  EXPECT_FALSE(TraceHasData(4));
  EXPECT_EQ(g().menu.currentMenu, menu);
  EXPECT_EQ(g().messages.currentMessage, 0);

  SetDroppedFiles({Path("bad.csv")});
  WindowProc(WM_DROPFILES, 0, 0);
  EXPECT_EQ(g().messages.currentMessage, kMsgNotTraceFile);
  EXPECT_FALSE(TraceHasData(4));

  SetDroppedFiles({Path("notes.txt"), Path("drop.csv")});  // only the last one counts
  WindowProc(WM_DROPFILES, 0, 0);
  EXPECT_TRUE(TraceHasData(4));
  EXPECT_EQ(g().traces.state.attribute[4], kAttrFix);
  EXPECT_EQ(g().menu.currentMenu, 12);
  EXPECT_EQ(g().frame.redrawFlags, kRedrawAll);
  EXPECT_GT(host.foregroundRequests, 0);
}

}  // namespace
}  // namespace vq
