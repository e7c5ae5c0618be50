// The analysis setting window, RESULT SAVE, and the helpers the analyses share.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "analysis/analysis_common.h"
#include "analysis/analysis_execute.h"
#include "analysis/result_view.h"
#include "analysis/result_window.h"
#include "analysis/search.h"
#include "analysis/spectrum_fixture.h"
#include "files/trace_files.h"
#include "platform/image_files.h"

namespace vq {
namespace {

class ResultWindowTest : public SpectrumTest {
 protected:
  void SetUp() override {
    SpectrumTest::SetUp();
    Start();
    ASSERT_TRUE(result.running);
  }
  WidthParameters& Thresh() { return g().analysis.widthParams[kItemThresh]; }
};

TEST_F(ResultWindowTest, SettingWindowSelectsEditsDefaultsAndCloses) {
  // ANALYSIS, SPECTRAL WIDTH, ENVELOPE, RETURN, PARAMETER SETTING.
  Press("Shift+F11", "F1", "F2", "F9", "F6");
  SettingWindowView v = SettingWindowLayout();
  ASSERT_TRUE(v.shown);
  EXPECT_EQ(v.title, "ENVELOPE");
  EXPECT_EQ(v.lines[0], "  THRESH LEVEL1:  3.00dB");
  EXPECT_EQ(v.pageLine, "PAGE 1/1");
  // Centred by its width and height (4 rows).
  EXPECT_EQ(v.height, 23 * 4 + 50);
  EXPECT_EQ(v.x, (601 - v.width) / 2 + 47);
  // SELECT takes the first row; digits and Enter set it; SELECT again moves on; DEFAULTS resets.
  Press("F1");
  Type("5");
  Press("Enter");
  EXPECT_EQ(g().analysis.widthParams[kItemEnvelope].threshLevel, 5.0);
  Press("F1", "F1", "Up");  // third row: K, stepped up
  EXPECT_NEAR(g().analysis.widthParams[kItemEnvelope].k, 1.01, 1e-12);
  Press("F2");
  EXPECT_EQ(g().analysis.widthParams[kItemEnvelope].k, 1.0);
  EXPECT_EQ(SettingWindowLayout().cursor, 2);
  // A choice steps with the arrows (THRESH: MODE FIT).
  Press("F4");  // CLOSE WINDOW
  EXPECT_FALSE(SettingWindowLayout().shown);
  Press("F1", "F1", "F9", "F6", "F1", "F1", "F1", "Up");
  EXPECT_EQ(Thresh().modeFit, 1);
  EXPECT_EQ(SettingWindowLayout().lines[2], "  MODE FIT: ON");
}

TEST_F(ResultWindowTest, ResultSaveWritesTheBlockToTheNextFreeDataFile) {
  g().analysis.resultKind = kResultNone;
  std::string written;
  EXPECT_EQ(SaveResultFile(written), kMsgNoData);
  SetTraceDbm(0, 1549, 2, {-60, -40, -10, 0, -10, -40, -60});
  ASSERT_EQ(ExecuteAnalysis(kItemThresh), 0);
  // Into the INT folder the FILE menu shows, a subfolder of the user folder here.
  const std::string folder = g().files.userFolder + "RUNS/";
  std::filesystem::create_directories(folder);
  g().files.folder[kDriveInt] = folder;
  ASSERT_TRUE(WriteFileAtomic(folder + "D0000.CSV", {'x'}));
  ASSERT_EQ(SaveResultFile(written), 0);
  EXPECT_EQ(written, folder + "D0001.CSV");
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile(written, bytes));
  const std::string text(bytes.begin(), bytes.end());
  EXPECT_EQ(text.substr(0, 38), "<SPECTRAL WIDTH ANALYSIS: THRESHOLD>\r\n");
}

TEST_F(ResultWindowTest, SharedHelpers) {
  // Wavelength cells overflow to asterisks.
  EXPECT_EQ(WavelengthCell(1550.12345, 9, false), "1550.1235");
  EXPECT_EQ(WavelengthCell(10000.0, 9, false), "****.****");
  EXPECT_EQ(WavelengthCell(10000.0, 10, false), "10000.0000");
  EXPECT_EQ(WavelengthCell(100.0, 9, true), "***.*****");  // 2997.9 THz
  // The nominal grid: 193.1 THz and its 100 GHz neighbours.
  g().traces.state.measWavelengthChoice = 1;  // vacuum
  EXPECT_NEAR(NearestGridWavelength(1552.6), 299792.458 / 193.1, 1e-9);
  EXPECT_NEAR(NearestGridWavelength(1551.8), 299792.458 / 193.2, 1e-9);
  // POWER: 3 dB of offset doubles; a range of zeros fails.
  SetTraceDbm(0, 1500, 4, {-20, -10, -10, -20, -30});
  g().traces.traces[0].condition.resolution = 0.5;
  g().traces.traces[0].condition.measurementWavelength = 1;  // air: per nm of wavelength
  FillWorkBuffer(0);
  double p0 = 0, p3 = 0;
  ASSERT_EQ(IntegratePower(0, 0, 4, 0.0, p0), 0);
  ASSERT_EQ(IntegratePower(0, 0, 4, 3.0, p3), 0);
  EXPECT_NEAR(p3 / p0, DbmToLinear(3.0), 1e-12);
  // dBm shown: each sample is divided by the resolution and taken over its 1 nm step.
  const double sum = 0.01 + 0.1 + 0.1 + 0.01 + 0.001;
  EXPECT_NEAR(p0, sum * 1.0 / 0.5, 1e-12);
  g().analysis.work.fill(0.0);
  EXPECT_EQ(IntegratePower(0, 0, 4, 0.0, p0), kNoDataInTrace);
  // The -3 dB centre of an asymmetric peak.
  const std::vector<double> w = {0.1, 0.5, 1.0, 0.8, 0.2};
  const double half = DbmToLinear(-3.0);
  const double left = 1 + (half - 0.5) / 0.5, right = 3 + (half - 0.8) / (0.2 - 0.8);
  EXPECT_NEAR(CentreIndexAtDrop(w, 2, 0, 4, 3.0), (left + right) / 2, 1e-12);
}

}  // namespace
}  // namespace vq
