// Tests of the trace data files: detection, the binary, backup and CSV forms, loading and drops.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <tuple>

#include "files/trace_files.h"
#include "menu/menu_engine.h"
#include "platform/image_files.h"
#include "support/instrument_fixture.h"

namespace vq {
namespace {

// Two trace stores hold the same records, values and state.
bool SameStore(const TraceStore& a, const TraceStore& b) {
  for (int t = 0; t < kTraceCount; ++t) {
    const Trace &x = a.traces[t], &y = b.traces[t];
    if (std::memcmp(&x.condition, &y.condition, sizeof x.condition) != 0 || x.level != y.level ||
        x.source != y.source) {
      return false;
    }
  }
  return std::memcmp(&a.state, &b.state, sizeof a.state) == 0 && a.rollCounter == b.rollCounter &&
         a.fixRequestPending == b.fixRequestPending;
}

class TraceFileTest : public StartedInstrumentTest {
 protected:
  // A trace of n points from 1545 to 1555 nm with levels rising from -70 dBm by 0.01 dB.
  void Fill(int trace, int n, int attribute = kAttrWrite) {
    Trace& t = g().traces.traces[trace];
    t.condition = DefaultSettingRecord();
    MeasCondition& c = t.condition;
    c.centre = 1550, c.span = 10, c.start = 1545, c.stop = 1555, c.samplingAuto = 0;
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
    ASSERT_TRUE(WriteFileAtomic(Path(name), {text.begin(), text.end()}));
  }
  // The file's bytes as text; "" when it cannot be read.
  std::string ReadText(const std::string& name) {
    std::vector<uint8_t> bytes;
    return ReadWholeFile(Path(name), bytes) ? std::string(bytes.begin(), bytes.end()) : "";
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
  for (int i = 0; i < 1001; ++i)
    EXPECT_FLOAT_EQ(static_cast<float>(data.levels[i]), static_cast<float>(t.level[i]));
  ASSERT_EQ(ReadTraceFile(Path("t.bak"), data), 0);
  EXPECT_TRUE(std::equal(data.levels.begin(), data.levels.end(), t.level.begin()));
  EXPECT_TRUE(std::equal(data.source.begin(), data.source.end(), t.source.begin()));

  // The checksum is the byte sum of everything before it.
  uint32_t sum = 0, stored = 0;
  for (size_t i = 0; i + 4 < bak.size(); ++i) sum += bak[i];
  std::memcpy(&stored, bak.data() + bak.size() - 4, 4);
  EXPECT_EQ(sum, stored);

  // Loading the backup into trace D makes it FIX, fixed from the file's attribute.
  ASSERT_EQ(LoadTraceFile(Path("t.bak"), 3), 0);
  EXPECT_EQ(g().traces.state.attribute[3], kAttrFix);
  EXPECT_EQ(g().traces.state.fixedFrom[3], kAttrWrite);
  EXPECT_EQ(g().traces.traces[3].source, t.source);
  EXPECT_EQ(g().conditions.setting.samplingPoints, 1001);
  EXPECT_EQ(WriteTraceBinary(Path("empty.wav"), 5), kMsgNoData);
  EXPECT_FALSE(std::filesystem::exists(Path("empty.wav")));
}

TEST_F(TraceFileTest, CsvTextIsExact) {
  MeasCondition& s = g().conditions.setting;
  s.refLevel = -10.004, s.logScale = 10, s.levelUnit = 1, s.noiseMaskDirection = 1;
  s.noiseMask = -70;
  std::memset(s.label, ' ', 56);
  std::memcpy(s.label, "LED TEST", 8);
  g().conditions.panes[0].logScale = 10;
  Fill(0, 3, 2);
  MeasCondition& c = g().traces.traces[0].condition;
  c.span = 0.2, c.start = 1549.9, c.stop = 1550.1, c.samplingInterval = 0.1;
  c.sensitivity = 3, c.chopMode = 1, c.fibreType = 1, c.resolutionParameter = 12;
  const double levels[] = {DbmToLinear(-45), 1.0, 0.5};
  std::copy(std::begin(levels), std::end(levels), g().traces.traces[0].level.begin());

  std::string expected = "QXBCSV \t\r\nLED TEST" + std::string(48, ' ') + "\r\n25\r\n";
  const char* const lines[] = {"\"CTRWL\",1550.000000",
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
                               "1550.1000,  -3.010"};
  for (const char* line : lines) expected += std::string(line) + "\r\n";
  ASSERT_EQ(WriteTraceCsv(Path("t.csv"), 0), 0);
  EXPECT_EQ(ReadText("t.csv"), expected);

  // A linear pane writes mW in E notation, and those load unchanged.
  g().conditions.panes[0].logScale = -1;
  ASSERT_EQ(WriteTraceCsv(Path("lin.csv"), 0), 0);
  EXPECT_NE(ReadText("lin.csv").find("1549.9000,3.162E-05\r\n"), std::string::npos);
  TraceFileData data;
  ASSERT_EQ(ReadTraceFile(Path("lin.csv"), data), 0);
  EXPECT_EQ(data.levels, std::vector<double>({3.162E-05, 1.0, 0.5}));
  EXPECT_EQ(data.condition.chopMode, 2);  // normalised: any chop mode is SWITCH
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

  // Levels read to the last bit as the standard library reads them, whatever their form.
  const char* const texts[] = {
      "-45.123", " -0.1",    "+3.",    ".5", "-99.995", "-12.3456789012345", "-1.23456789012345678",
      "7",       "-72.464 ", "-72.464"};
  std::string rows;
  for (size_t i = 0; i < std::size(texts); ++i)
    rows += "1545.0000," + std::string(texts[i]) + "\r\n";
  WriteText("forms.csv", head +
                             " 3\r\n\"CTRWL\",1550.0\r\n\"SPAN\",10.0\r\n\"SMPL\",8\r\n"
                             "\"[TRACE DATA]\"\r\n" +
                             rows);
  ASSERT_EQ(ReadTraceFile(Path("forms.csv"), data), 0);
  ASSERT_EQ(data.levels.size(), std::size(texts));
  for (size_t i = 0; i < std::size(texts); ++i) {
    EXPECT_EQ(data.levels[i], DbmToLinear(std::strtod(texts[i], nullptr))) << texts[i];
  }
}

// Inputs that once broke a reader: each reads as the general number rules say.
TEST_F(TraceFileTest, FuzzFindingsReadWithTheirValues) {
  TraceFileData data;
  ASSERT_EQ(ReadTraceFile(VQ_TEST_DATA "/fuzz/trace_file_fuzz-long-level", data), 0);
  ASSERT_GE(data.levels.size(), 4u);
  const size_t n = data.levels.size();
  EXPECT_EQ(data.levels[n - 3], 0.0);         // far below the floor
  EXPECT_EQ(data.levels[n - 2], 3.40282e38);  // far above the ceiling
  EXPECT_EQ(data.levels[n - 1], DbmToLinear(-71.616));
}

TEST_F(TraceFileTest, AllTraceRoundTrip) {
  // Traces without data still carry a window: their section is read with it.
  for (Trace& t : g().traces.traces) t.condition = DefaultSettingRecord();
  Fill(0, 1001);
  Fill(2, 501, kAttrMaxHold);
  g().traces.state.activeTrace = 2;
  ASSERT_EQ(WriteAllTraceCsv(Path("all.csv")), 0);
  const std::string text = ReadText("all.csv");
  EXPECT_NE(
      text.find("\"ACTIVE\",\"C\"\r\n\"TRACE A\",\"WRITE    \",1\r\n\"TRACE B\",\"WRITE    \",0"),
      std::string::npos);
  EXPECT_NE(text.find("\"TRACE C\",\"MAX HOLD \",1\r\n"), std::string::npos);
  const std::vector<double> c(g().traces.traces[2].level.begin(),
                              g().traces.traces[2].level.begin() + 501);

  g().traces.state.activeTrace = 0;
  ASSERT_EQ(LoadAllTraceFile(Path("all.csv")), 0);
  const TraceStateBlock& s = g().traces.state;
  EXPECT_EQ(s.activeTrace, 2);
  EXPECT_EQ(s.attribute[2], kAttrFix);
  EXPECT_EQ(s.fixedFrom[2], kAttrMaxHold);
  EXPECT_EQ(s.display[1], 1);  // data flag 0: blanked, every level 0 mW
  EXPECT_FALSE(TraceHasData(1));
  EXPECT_EQ(s.display[0], 0);
  for (int i = 0; i < 501; ++i) EXPECT_NEAR(g().traces.traces[2].level[i] / c[i], 1, 1.2e-4);
  EXPECT_EQ(g().traces.traces[2].condition.samplingPoints, 501);
}

// Each file in tests/data/malformed is refused with the message code its name carries
// (NAME.CODE.EXT; all-trace files start with "all_"), and nothing changes.
TEST_F(TraceFileTest, MalformedFilesAreRefusedWithTheirCode) {
  Fill(0, 11);
  Fill(3, 21, kAttrMaxHold);
  const auto before = std::make_unique<TraceStore>(g().traces);
  const MeasCondition setting = g().conditions.setting;
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(VQ_TEST_DATA "/malformed")) {
    const std::string name = entry.path().filename().string();
    if (name == "README.md") continue;
    SCOPED_TRACE(name);
    const int code = std::atoi(name.c_str() + name.find('.') + 1);
    ASSERT_GT(code, 0) << "the name carries no message code";
    const std::string path = entry.path().string();
    EXPECT_EQ(name.starts_with("all_") ? LoadAllTraceFile(path) : LoadTraceFile(path, 3), code);
    EXPECT_EQ(std::memcmp(&setting, &g().conditions.setting, sizeof setting), 0);
    EXPECT_TRUE(SameStore(*before, g().traces));
    ++files;
  }
  EXPECT_GE(files, 6);
}

// Both CSV forms give back what they carry of each record, in frequency mode, on every sub scale,
// with each attribute line that carries a value, with each measurement wavelength (0 not set) and
// with a label holding line breaks (written as blanks), separators and 8-bit text.
TEST_F(TraceFileTest, CsvRoundTripsFrequencyModeSubScalesAndAttributeValues) {
  struct Case {
    int attribute;
    const char* line;                       // its attribute line as written
    double (*value)(const MeasCondition&);  // the field the line carries, if any
  };
  const Case cases[kTraceCount] = {
      {kAttrRollAvg, "\"RAVG\", 17",
       [](const MeasCondition& c) { return 1.0 * c.rollAverageTimes; }},
      {14, "\"1-K(A/B)\",    0.1234", [](const MeasCondition& c) { return c.calcConstantK; }},
      {40, "\"CVFT B\", 7", [](const MeasCondition& c) { return 1.0 * c.curveFitThreshold; }},
      {43, "\"CVFTPK B\", 9", [](const MeasCondition& c) { return 1.0 * c.peakCurveFitThreshold; }},
      {50, "\"MKRFT\", 7", [](const MeasCondition& c) { return 1.0 * c.curveFitThreshold; }},
      {36, "\"NORM A\"", nullptr},  // NORM A and D-C(LOG) are drawn on the sub scale
      {17, "\"D-C\"", nullptr},
  };
  // Values the text keeps exactly, all unlike those of a fresh record.
  MeasCondition& s = g().conditions.setting;
  s.refLevel = -23.5, s.logScale = 5, s.levelUnit = 1, s.noiseMask = -70;
  s.subScaleLinear = 0.125, s.subScaleMin = 2.5, s.subScaleLog = 2.5, s.offsetLevel = -12.5;
  s.subScaleDbKm = 0.25, s.offsetLevelPerKm = 1.5, s.fibreLength = 12.25;
  s.subScalePercent = 12.5, s.subScaleMinPercent = 37.5;
  g().traces.state.curveFitThreshold = 7;
  g().traces.state.peakCurveFitThreshold = 9;
  std::string label = "\"[TRACE B]\" FIBRE\r\n\xB5W\xFF \t\"x\",y\rEND";
  std::string readLabel = "\"[TRACE B]\" FIBRE  \xB5W\xFF \t\"x\",y END";
  label.resize(56, ' '), readLabel.resize(56, ' ');
  std::memcpy(s.label, label.data(), 56);
  for (int t = 0; t < kTraceCount; ++t) {
    Fill(t, 11, cases[t].attribute);
    MeasCondition& c = g().traces.traces[t].condition;
    c.frequencyMode = 1, c.resolution = 0.05, c.averageTimes = 4, c.sensitivity = 4, c.chopMode = 2;
    c.rollAverageTimes = 17, c.calcConstantK = 0.1234, c.fibreType = 1;
    c.measurementWavelength = static_cast<uint16_t>(t % 3);
    c.resolutionParameter = 12, c.frequencyParameter = 7;
    std::memcpy(c.label, label.data(), 56);
  }
  using Fields = std::vector<double MeasCondition::*>;
  const Fields subScaleFields[4] = {
      {&MeasCondition::subScaleLinear, &MeasCondition::subScaleMin},
      {&MeasCondition::subScaleLog, &MeasCondition::offsetLevel},
      {&MeasCondition::subScaleDbKm, &MeasCondition::offsetLevelPerKm, &MeasCondition::fibreLength},
      {&MeasCondition::subScalePercent, &MeasCondition::subScaleMinPercent}};

  MeasCondition written{};
  const auto expectCarried = [&](int t, const TraceFileData& got, const std::string& text) {
    SCOPED_TRACE(std::string("trace ") + static_cast<char>('A' + t));
    const Trace& trace = g().traces.traces[t];
    const MeasCondition &c = trace.condition, &r = got.condition;
    for (double MeasCondition::*f : Fields{&MeasCondition::centre, &MeasCondition::span,
                                           &MeasCondition::start, &MeasCondition::stop}) {
      EXPECT_NEAR(r.*f, c.*f, 1e-6);
    }
    // The trace's own fields, and those the setting record gives every file.
    const auto own = [](const MeasCondition& m) {
      return std::tuple(m.frequencyMode, m.resolution, m.averageTimes, m.samplingPoints,
                        m.sensitivity, m.chopMode, m.fibreType, m.measurementWavelength,
                        m.resolutionParameter, m.frequencyParameter);
    };
    EXPECT_EQ(own(r), own(c));
    EXPECT_EQ(std::string(r.label, 56), readLabel);
    EXPECT_EQ(std::tuple(r.levelUnit, r.noiseMask, r.refLevel),
              std::tuple(written.levelUnit, written.noiseMask, written.refLevel));
    EXPECT_EQ(got.attribute, cases[t].attribute);
    EXPECT_NE(text.find(std::string("\r\n") + cases[t].line + "\r\n"), std::string::npos);
    if (cases[t].value) {
      EXPECT_NEAR(cases[t].value(r), cases[t].value(c), 5e-5);
    }
    if (TraceOnSubScale(t)) {
      EXPECT_EQ(r.subScaleMode, written.subScaleMode);
      for (double MeasCondition::*f : subScaleFields[written.subScaleMode]) {
        EXPECT_EQ(r.*f, written.*f);
      }
    } else {
      EXPECT_EQ(r.logScale, written.logScale);
    }
    ASSERT_EQ(got.levels.size(), 11u);
    for (int i = 0; i < 11; ++i) EXPECT_NEAR(got.levels[i] / trace.level[i], 1, 5e-4) << i;
  };
  for (int mode = 0; mode < 4; ++mode) {
    SCOPED_TRACE("sub scale mode " + std::to_string(mode));
    s.subScaleMode = g().conditions.panes[0].subScaleMode = static_cast<uint16_t>(mode);
    g().traces.state.activeTrace = static_cast<uint16_t>(mode);
    for (int t = 0; t < kTraceCount; ++t) ASSERT_EQ(WriteTraceCsv(Path(std::to_string(t)), t), 0);
    ASSERT_EQ(WriteAllTraceCsv(Path("all.csv")), 0);
    // Read into a fresh setting record: every field checked must come from the file.
    written = s;
    s = DefaultSettingRecord();
    for (int t = 0; t < kTraceCount; ++t) {
      const std::string text = ReadText(std::to_string(t));
      EXPECT_NE(text.find("\r\n194.04043,"), std::string::npos);  // 1545 nm as THz
      TraceFileData data;
      ASSERT_EQ(ReadTraceFile(Path(std::to_string(t)), data), 0);
      expectCarried(t, data, text);
    }
    auto all = std::make_unique<AllTraceFileData>();
    ASSERT_EQ(ReadAllTraceFile(Path("all.csv"), *all), 0);
    EXPECT_EQ(all->active, mode);
    for (int t = 0; t < kTraceCount; ++t) {
      EXPECT_TRUE(all->present[t] && all->hasData[t]);
      expectCarried(t, all->traces[t], ReadText("all.csv"));
    }
    EXPECT_EQ(std::string(all->measured.condition.label, 56), readLabel);
    s = written;
  }
}

TEST_F(TraceFileTest, DroppedTraceFileLoadsIntoTheActiveTrace) {
  Fill(0, 201);
  ASSERT_EQ(WriteTraceCsv(Path("drop.csv"), 0), 0);
  WriteText("notes.txt", std::string(80, 'n'));
  WriteText("bad.csv", "QXBCSV \t\r\nLABEL\r\n\"X\"\r\n" + std::string(60, ' '));
  g().traces.traces[4].level.fill(0);
  g().traces.state.activeTrace = 4;
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
