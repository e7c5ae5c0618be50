// Tests of template files: the limits and layouts the reader accepts, what a refusal leaves,
// GO/NO GO going off on a read, a trace file as a template source and the writer's bytes.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "calc/template_lines.h"
#include "files/file_execute.h"
#include "files/settings_blocks.h"
#include "files/settings_file.h"
#include "files/template_file.h"
#include "files/trace_files.h"
#include "instrument.h"
#include "platform/file_io.h"
#include "support/instrument_fixture.h"
#include "traces/meas_condition.h"

namespace vq {
namespace {

class TemplateFileTest : public InstrumentTest {
 protected:
  int Parse(const std::string& text, TemplateLine& line) {
    return ParseTemplate(reinterpret_cast<const uint8_t*>(text.data()), text.size(), line);
  }
  std::string Save(const std::string& name, const std::string& text) {
    const std::string path = home.Path() + name;
    EXPECT_EQ(WriteFileBytes(path, std::vector<uint8_t>(text.begin(), text.end())), 0);
    return path;
  }
  static std::string File(const char* type, const char* extrapol, const std::string& points) {
    return std::string("VQ7000B,\r\nTEMPLATE,\r\nTYPE,") + type + "\r\nEXTRAPOL," + extrapol +
           "\r\n" + points;
  }
};

TEST_F(TemplateFileTest, LimitsAndLayoutsRefuseWithoutChange) {
  TemplateLine line;
  line.points = {{1550, -3}, {1560, -4}};
  const auto kept = line.points;
  // RELATIVE wavelengths stay within 1200 nm of the centre: 1300 nm is refused.
  EXPECT_EQ(Parse(File("RELATIVE", "A", "-10.000, -3.00\r\n1300.000, -3.00\r\n"), line), 137);
  // ABSOLUTE levels stop at 30.0 dBm and -99.99 dBm, wavelengths at the model's range.
  EXPECT_EQ(Parse(File("ABSOLUTE", "A", "1540.000,+30.01\r\n1560.000, -3.00\r\n"), line), 137);
  EXPECT_EQ(Parse(File("ABSOLUTE", "A", "1540.000,-100.00\r\n1560.000, -3.00\r\n"), line), 137);
  EXPECT_EQ(Parse(File("ABSOLUTE", "A", "1540.000, -3.00\r\n1700.001, -3.00\r\n"), line), 137);
  // One point is not a line; a field that is not a number, an unknown type or extrapolation, a
  // missing "TEMPLATE," line and a point out of order refuse the file as well.
  EXPECT_EQ(Parse(File("ABSOLUTE", "A", "1540.000, -3.00\r\n"), line), 137);
  EXPECT_EQ(Parse(File("ABSOLUTE", "A", "1540.000, -3.00\r\n1550.0x0, -3.00\r\n"), line), 137);
  EXPECT_EQ(Parse(File("ABSOLUT", "A", "1540.000, -3.00\r\n1550.000, -3.00\r\n"), line), 137);
  EXPECT_EQ(Parse(File("ABSOLUTE", "C", "1540.000, -3.00\r\n1550.000, -3.00\r\n"), line), 137);
  EXPECT_EQ(Parse("VQ7000B,\r\nTYPE,ABSOLUTE\r\nEXTRAPOL,A\r\n1540, -3\r\n1550, -3\r\n", line),
            137);
  EXPECT_EQ(Parse(File("ABSOLUTE", "A", "1550.000, -3.00\r\n1540.000, -3.00\r\n"), line), 137);
  EXPECT_EQ(Parse("QXBSET\r\n", line), 137);
  EXPECT_EQ(line.points.size(), kept.size());
  EXPECT_EQ(line.points[1].wl, kept[1].wl);

  // The edges themselves are accepted; the relatives of the model line use the same layout.
  ASSERT_EQ(Parse("VQ7500,\r\nTEMPLATE,\r\nTYPE,RELATIVE\r\nEXTRAPOL,NONE\r\n"
                  "-1200.000,-99.99\r\n1200.000,+99.99\r\n",
                  line),
            0);
  EXPECT_EQ(line.mode, kTemplateRelative);
  EXPECT_EQ(line.extrapolation, kExtrapolNone);
  EXPECT_EQ(line.points[1].level, 99.99);
  ASSERT_EQ(Parse(File("ABSOLUTE", "B", " 600.000,-99.99\r\n1700.000,+30.00\r\n"), line), 0);
  EXPECT_EQ(line.extrapolation, kExtrapolTypeB);
  // The oldest layout: "DATANUM," gives the count; the points follow, one a line.
  ASSERT_EQ(Parse("VQ7000,\r\nTEMPLATE,,,\r\nDATANUM,3\r\n1540,-3\r\n1550,-1\r\n1560,-3\r\n", line),
            0);
  ASSERT_EQ(line.points.size(), 3u);
  EXPECT_EQ(line.points[1].level, -1);
  EXPECT_EQ(line.mode, kTemplateAbsolute);
  EXPECT_EQ(Parse("VQ7000,\r\nTEMPLATE,,,\r\nDATANUM,4\r\n1540,-3\r\n1550,-1\r\n1560,-3\r\n", line),
            137);
}

TEST_F(TemplateFileTest, ReadSwitchesGoNoGoOffAndRoundTripsBytes) {
  const std::string text =
      File("ABSOLUTE", "B", "1540.125,  -3.50\r\n1550.000,  +2.25\r\n1560.500, -45.00\r\n");
  const std::string path = Save("upper.csv", text);
  g().templates.goNoGo = 1;
  ASSERT_EQ(ReadTemplateFile(path, kLineUpper), 0);
  EXPECT_EQ(g().templates.goNoGo, 0);
  EXPECT_EQ(g().messages.currentMessage, kMsgGoNoGoStopped);
  EXPECT_EQ(g().templates.lines[kLineUpper].display, 1);
  // A refused file changes nothing, GO/NO GO included.
  g().templates.goNoGo = 1;
  g().messages.currentMessage = 0;
  EXPECT_EQ(ReadTemplateFile(Save("bad.csv", File("ABSOLUTE", "A", "1540,-3\r\n")), 0), 137);
  EXPECT_EQ(g().templates.goNoGo, 1);
  EXPECT_EQ(g().templates.lines[kLineUpper].points.size(), 3u);
  // Written back, the file is the same bytes (CR LF, "%8.3f," and "%+7.2f").
  const std::string copy = home.Path() + "copy.csv";
  ASSERT_EQ(WriteTemplateFile(copy, kLineUpper), 0);
  std::vector<uint8_t> bytes;
  ASSERT_EQ(ReadFileBytes(copy, bytes), 0);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), text);
  // An empty line has nothing to write and leaves no file.
  EXPECT_EQ(WriteTemplateFile(home.Path() + "none.csv", kLineTarget), 131);
  EXPECT_FALSE(std::filesystem::exists(home.Path() + "none.csv"));
  // The FILE menu's TEMPLATE item reads and writes the chosen line.
  EXPECT_EQ(ExecuteFileRead(kItemTemplate, kLineLower, path), 0);
  EXPECT_EQ(g().templates.lines[kLineLower].extrapolation, kExtrapolTypeB);
  EXPECT_EQ(ExecuteFileWrite(kItemTemplate, kLineLower, home.Path() + "lower.csv"), 0);
}

TEST_F(TemplateFileTest, TraceFileKeepsEveryPoint) {
  InitConditions();
  Trace& t = g().traces.traces[0];
  t.condition = DefaultSettingRecord();
  t.condition.start = 1540, t.condition.stop = 1560, t.condition.span = 20;
  t.condition.centre = 1550;
  t.condition.samplingAuto = 0;
  const int n = 2001;
  t.condition.samplingPoints = n;
  t.condition.samplingInterval = 20.0 / (n - 1);
  for (int i = 0; i < n; ++i) t.level[i] = DbmToLinear(-30 + 20 * std::sin(i * 0.01));
  t.level[7] = 0;  // no light: the lowest level a line may have
  const std::string path = home.Path() + "trace.wv8";
  ASSERT_EQ(WriteTraceBinary(path, 0), 0);
  ASSERT_EQ(ReadTemplateFile(path, kLineTarget), 0);
  const TemplateLine& line = g().templates.lines[kLineTarget];
  ASSERT_EQ(line.points.size(), static_cast<size_t>(n));
  EXPECT_EQ(line.mode, kTemplateAbsolute);
  EXPECT_NEAR(line.points[1000].wl, 1550.0, 1e-9);
  // Levels pass through 32-bit floats in the file.
  EXPECT_NEAR(line.points[1000].level, -30 + 20 * std::sin(10.0), 1e-5);
  EXPECT_EQ(line.points[7].level, -99.99);
}

TEST_F(TemplateFileTest, SettingsFileCarriesTheTemplateSettings) {
  InitConditions();
  TemplateState& t = g().templates;
  t.goNoGo = 1, t.type = kJudgeUpper;
  t.lines[kLineUpper].extrapolation = kExtrapolNone;
  t.lines[kLineTarget].extrapolation = kExtrapolTypeB;
  t.lines[kLineLower].mode = kTemplateRelative;
  t.lines[kLineTarget].display = 1;
  t.wlShift = -2.5, t.levelShift = 3.25;
  const std::vector<uint8_t> image = BuildSettingsImage();
  // The words at their places in the trace block.
  auto word = [&](size_t offset) {
    return image[kTraceBlockAt + offset] | image[kTraceBlockAt + offset + 1] << 8;
  };
  EXPECT_EQ(word(292), 1);
  EXPECT_EQ(word(294), kJudgeUpper);
  EXPECT_EQ(word(296), kExtrapolNone);
  EXPECT_EQ(word(298), kExtrapolTypeA);
  EXPECT_EQ(word(300), kExtrapolTypeB);
  EXPECT_EQ(word(304), 0);
  EXPECT_EQ(word(306), kTemplateRelative);
  const std::string path = home.Path() + "s.ST8";
  ASSERT_EQ(WriteSettingsFile(path), 0);
  t = TemplateState{};
  ASSERT_EQ(LoadSettingsFile(path), 0);
  EXPECT_EQ(t.goNoGo, 1);
  EXPECT_EQ(t.type, kJudgeUpper);
  EXPECT_EQ(t.lines[kLineUpper].extrapolation, kExtrapolNone);
  EXPECT_EQ(t.lines[kLineTarget].extrapolation, kExtrapolTypeB);
  EXPECT_EQ(t.lines[kLineLower].mode, kTemplateRelative);
  EXPECT_EQ(t.lines[kLineTarget].display, 1);
  EXPECT_EQ(t.wlShift, -2.5);
  EXPECT_EQ(t.levelShift, 3.25);
  // Values are read back within their ranges: TYPE 7 is held at LOWER, the last choice.
  std::vector<uint8_t> bad;
  ASSERT_EQ(ReadFileBytes(path, bad), 0);
  bad[kTraceBlockAt + 294] = 7;
  ASSERT_EQ(WriteFileBytes(path, bad), 0);
  t.type = kJudgeUpperLower;
  ASSERT_EQ(LoadSettingsFile(path), 0);
  EXPECT_EQ(t.type, kJudgeLower);
}

}  // namespace
}  // namespace vq
