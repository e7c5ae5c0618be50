// Tests of the data files: the report in its CSV and DT6 forms, OVER and ADD, and reading it back.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "analysis/analysis_execute.h"
#include "analysis/markers.h"
#include "analysis/result_view.h"
#include "files/data_file.h"
#include "platform/image_files.h"
#include "support/instrument_fixture.h"

namespace vq {
namespace {

constexpr const char* kEnd = "\x1a\r\n";

class DataFileTest : public StartedInstrumentTest {
 protected:
  void SetUp() override {
    StartedInstrumentTest::SetUp();
    // Active trace B: three points from 1549.9 to 1550.1 nm.
    g().traces.state.activeTrace = 1;
    Trace& t = g().traces.traces[1];
    t.condition = DefaultSettingRecord();
    MeasCondition& c = t.condition;
    c.centre = 1550, c.span = 0.2, c.start = 1549.9, c.stop = 1550.1, c.samplingAuto = 0;
    c.samplingPoints = c.storedPoints = 3;
    c.samplingInterval = 0.1;
    const double levels[] = {DbmToLinear(-45), 1.0, 0.5};
    std::copy(std::begin(levels), std::end(levels), t.level.begin());
    g().conditions.panes[0].logScale = 10;
    // The measured record the CONDITION lines come from.
    MeasCondition& m = g().conditions.measured;
    m = c;
    m.refLevel = -10.04, m.logScale = 10, m.resolution = 0.1, m.averageTimes = 1;
    m.sensitivity = 3, m.chopMode = 1, m.noiseMask = -101;
    char* label = g().conditions.setting.label;
    std::memset(label, ' ', 56);
    std::memcpy(label, "DATA TEST", 9);
    // LABEL, CONDITION and TRACE DATA on; the date and the analysis area off.
    g().files.settings.dataItems = {0, 1, 0, 1, 1, 0};
  }

  std::string Path(const std::string& name) { return home.Path() + name; }
  std::string ReadText(const std::string& name) {
    std::vector<uint8_t> bytes;
    return ReadWholeFile(Path(name), bytes) ? std::string(bytes.begin(), bytes.end()) : "";
  }
  void WriteText(const std::string& name, const std::string& text) {
    ASSERT_TRUE(WriteFileAtomic(Path(name), {text.begin(), text.end()}));
  }
  static std::string Lines(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* l : lines) text += std::string(l) + "\r\n";
    return text;
  }
  const std::string label = "DATA TEST" + std::string(47, ' ');
  const std::string traceData =
      Lines({"\"[TRACE DATA]\"", "1549.9000, -45.000", "1550.0000,  +0.000", "1550.1000,  -3.010"});
};

TEST_F(DataFileTest, CsvAndDt6ReportsAreExact) {
  ASSERT_EQ(WriteDataFile(Path("D0000.CSV")), 0);
  const std::string csvConditions =
      Lines({"CTRWL,1550.000000", "SPAN,0.200000", "REFL[dBm],-10.0", "LSCL,10.0", "RESLN,0.100",
             "AVG,1", "SMPL,3", "HI1_CHOP", "NMSK,OFF"});
  EXPECT_EQ(ReadText("D0000.CSV"), "QXBDAT2\r\n" + label + "\r\n" + csvConditions + traceData);

  g().files.settings.dataFileType = 1;
  ASSERT_EQ(WriteDataFile(Path("D0000.DT8")), 0);
  const std::string dt6Conditions =
      Lines({"\"CTRWL 1550.000000\"", "\"SPAN    0.200000\"", "\"REFL -10.0dBm\"", "\"LSCL 10.0\"",
             "\"RESLN 0.100\"", "\"AVG    1\"", "\"SMPL    3\"", "\"HI1_CHOP\"", "\"NMSK OFF\""});
  EXPECT_EQ(ReadText("D0000.DT8"),
            "\"QXBDAT\"\r\n\"" + label + "\"\r\n" + dt6Conditions + traceData + kEnd);

  // A linear scale writes the powers with their units, one or no decimals when enough; a noise
  // mask its level; the date the screen's clock text.
  MeasCondition& m = g().conditions.measured;
  m.logScale = -1, m.refLevel = 10 * std::log10(0.0123), m.baseLevel = 0.005, m.noiseMask = -70;
  g().files.settings.dataItems = {1, 0, 0, 1, 0, 0};
  for (int type : {0, 1}) {
    g().files.settings.dataFileType = static_cast<uint16_t>(type);
    const std::string report = DataReport(false);
    const std::string refl =
        type ? "\"REFL 12.3uW\"\r\n\"BASEL    5uW\"\r\n" : "REFL[uW],12.3\r\nBASEL[uW],5\r\n";
    EXPECT_NE(report.find(refl), std::string::npos) << report;
    EXPECT_NE(report.find(type ? "\"NMSK  -70\"\r\n" : "NMSK,-70\r\n"), std::string::npos);
    const size_t date = report.find("\r\n") + 2 + (type ? 1 : 0);
    EXPECT_EQ(report.substr(date + 4, 1) + report.substr(date + 7, 1) + report.substr(date + 13, 1),
              "//:")
        << report;
  }
}

TEST_F(DataFileTest, SubScaleAndDataAreaLines) {
  // A trace on the sub scale writes the sub-scale lines in place of the main scale.
  g().traces.state.attribute[1] = kAttrFirstCalculation;
  MeasCondition& m = g().conditions.measured;
  m.subScaleMode = 2, m.subScaleDbKm = 0.25, m.offsetLevelPerKm = -1.5, m.fibreLength = 12.5;
  const std::string report = DataReport(false);
  EXPECT_NE(report.find("SSKM,0.250\r\nOFSKM,-1.5\r\nLENG,12.500\r\nRESLN,0.100\r\n"),
            std::string::npos)
      << report;
  EXPECT_EQ(report.find("LSCL"), std::string::npos);

  // DATA AREA with fixed markers on: the marker list, quoted in DT6.
  g().traces.state.attribute[1] = kAttrWrite;
  g().files.settings.dataItems = {0, 0, 1, 0, 0, 0};
  g().files.settings.dataFileType = 1;
  EXPECT_EQ(WriteDataFile(Path("none.DT8")), kMsgNoData);  // no result, no marker
  EXPECT_FALSE(std::filesystem::exists(Path("none.DT8")));
  MoveMarker(1, 1);
  ASSERT_EQ(SetMarker(1), 0);
  const std::string markers = DataReport(false);
  EXPECT_NE(markers.find("\r\n\"MKR0001:"), std::string::npos) << markers;

  // A result block comes before the marker list: its lines quoted, 86 characters each.
  ASSERT_EQ(ExecuteAnalysis(kItemThresh), 0);
  const std::vector<std::string> block = ResultBlockLines();
  ASSERT_FALSE(block.empty());
  std::string expected = "\"QXBDAT\"\r\n";
  for (std::string l : block) {
    ASSERT_LE(l.size(), 86u);
    l.resize(86, ' ');
    expected += "\"" + l + "\"\r\n";
  }
  EXPECT_EQ(DataReport(false), expected + kEnd);
}

TEST_F(DataFileTest, AddModeKeepsOneEndByteAndAppendsToCsv) {
  FileSettings& s = g().files.settings;
  s.dataWriteMode = 1;
  s.dataFileType = 1;
  s.dataItems = {0, 1, 0, 0, 1, 0};
  const std::string lines = "\"" + label + "\"\r\n" + traceData;
  ASSERT_EQ(WriteDataFile(Path("D0001.DT8")), 0);  // no file yet: a new one
  ASSERT_EQ(WriteDataFile(Path("D0001.DT8")), 0);
  const std::string two = ReadText("D0001.DT8");
  EXPECT_EQ(two, "\"QXBDAT\"\r\n" + lines + "\r\n" + lines + kEnd);
  EXPECT_EQ(std::count(two.begin(), two.end(), '\x1a'), 1);

  // An end byte far back, behind more than 100 bytes of text after it, is still found.
  WriteText("far.DT8", "\"QXBDAT\"\r\n\"A\"\r\n\x1a\r\n" + std::string(450, ' '));
  ASSERT_EQ(WriteDataFile(Path("far.DT8")), 0);
  EXPECT_EQ(ReadText("far.DT8"), "\"QXBDAT\"\r\n\"A\"\r\n\r\n" + lines + kEnd);

  // A ".csv" data file is appended to at its end; other files are written anew.
  s.dataFileType = 0;
  const std::string csvBody = label + "\r\n" + traceData;
  WriteText("old.csv", "QXBDAT2\r\nOLD\r\n");
  ASSERT_EQ(WriteDataFile(Path("old.csv")), 0);
  EXPECT_EQ(ReadText("old.csv"), "QXBDAT2\r\nOLD\r\n\r\n" + csvBody);
  WriteText("trace.csv", "QXBCSV \t\r\nx\r\n");
  ASSERT_EQ(WriteDataFile(Path("trace.csv")), 0);
  EXPECT_EQ(ReadText("trace.csv"), "QXBDAT2\r\n" + csvBody);
  WriteText("noend.DT8", "\"QXBDAT\"\r\nno end byte\r\n");
  ASSERT_EQ(WriteDataFile(Path("noend.DT8")), 0);
  EXPECT_EQ(ReadText("noend.DT8"), "QXBDAT2\r\n" + csvBody);
  WriteText("empty.csv", "");
  ASSERT_EQ(WriteDataFile(Path("empty.csv")), 0);
  EXPECT_EQ(ReadText("empty.csv"), "QXBDAT2\r\n" + csvBody);
}

TEST_F(DataFileTest, RefusedReportsWriteNothing) {
  WriteText("keep.CSV", "QXBDAT2\r\nKEEP\r\n");
  g().files.settings.dataItems = {0, 0, 0, 0, 0, 0};
  EXPECT_EQ(WriteDataFile(Path("keep.CSV")), kMsgUnsuitableWriteItem);
  EXPECT_EQ(WriteDataFile(Path("new.CSV")), kMsgUnsuitableWriteItem);
  // The output window holds no lines: on its own it gives "No data".
  g().files.settings.dataItems = {0, 0, 0, 0, 0, 1};
  EXPECT_EQ(WriteDataFile(Path("keep.CSV")), kMsgNoData);
  EXPECT_EQ(ReadText("keep.CSV"), "QXBDAT2\r\nKEEP\r\n");
  EXPECT_FALSE(std::filesystem::exists(Path("new.CSV")));
  // A folder in the way: the mapped message, and the folder stays.
  g().files.settings.dataItems = {0, 1, 0, 0, 0, 0};
  std::filesystem::create_directory(Path("dir.CSV"));
  EXPECT_NE(WriteDataFile(Path("dir.CSV")), 0);
  EXPECT_TRUE(std::filesystem::is_directory(Path("dir.CSV")));
  g().files.settings.dataWriteMode = 1;
  EXPECT_NE(WriteDataFile(Path("dir.CSV")), 0);
  EXPECT_TRUE(std::filesystem::is_directory(Path("dir.CSV")));
}

TEST_F(DataFileTest, ReadingBackTakesTheLastReportsTraceData) {
  FileSettings& s = g().files.settings;
  s.dataFileType = 1;
  s.dataWriteMode = 1;
  ASSERT_EQ(WriteDataFile(Path("two.DT8")), 0);
  g().traces.traces[1].level[2] = DbmToLinear(-20);
  ASSERT_EQ(WriteDataFile(Path("two.DT8")), 0);
  g().traces.state.activeTrace = 4;
  ASSERT_EQ(LoadDataFile(Path("two.DT8")), 0);
  const Trace& a = g().traces.traces[0];
  EXPECT_EQ(a.condition.samplingPoints, 3);
  EXPECT_NEAR(a.condition.start, 1549.9, 1e-9);
  EXPECT_NEAR(a.condition.stop, 1550.1, 1e-9);
  EXPECT_NEAR(a.condition.resolution, 0.1, 1e-12);
  EXPECT_NEAR(LinearToDbm(a.level[0]), -45, 1e-9);
  EXPECT_NEAR(LinearToDbm(a.level[2]), -20, 1e-9);
  EXPECT_EQ(g().traces.state.attribute[0], kAttrFix);

  // A frequency axis (five decimals, THz) reads back as the same wavelength window.
  g().traces.state.activeTrace = 1;
  g().traces.traces[1].condition.frequencyMode = 1;
  s.dataWriteMode = 0;
  ASSERT_EQ(WriteDataFile(Path("freq.DT8")), 0);
  ASSERT_EQ(LoadDataFile(Path("freq.DT8")), 0);
  EXPECT_EQ(a.condition.frequencyMode, 1);
  EXPECT_NEAR(a.condition.start, 1549.9, 1e-4);
  EXPECT_NEAR(a.condition.stop, 1550.1, 1e-4);

  // Without trace data, not a data file, or broken data lines.
  s.dataItems = {0, 1, 0, 0, 0, 0};
  ASSERT_EQ(WriteDataFile(Path("label.DT8")), 0);
  const std::vector<double> kept(a.level.begin(), a.level.begin() + 3);
  EXPECT_EQ(LoadDataFile(Path("label.DT8")), kMsgNoData);
  WriteText("trace.CSV", "QXBCSV \t\r\n");
  EXPECT_EQ(LoadDataFile(Path("trace.CSV")), kMsgNotDataFile);
  WriteText("bad.CSV", "QXBDAT2\r\n\"[TRACE DATA]\"\r\n1549.9000,x\r\n");
  EXPECT_EQ(LoadDataFile(Path("bad.CSV")), kMsgNotDataFile);
  WriteText("down.CSV", "QXBDAT2\r\n\"[TRACE DATA]\"\r\n1550.0000,-1\r\n1549.0000,-2\r\n");
  EXPECT_EQ(LoadDataFile(Path("down.CSV")), kMsgNotDataFile);
  EXPECT_EQ(LoadDataFile(Path("missing.CSV")), 123);
  EXPECT_EQ(std::vector<double>(a.level.begin(), a.level.begin() + 3), kept);
}

}  // namespace
}  // namespace vq
