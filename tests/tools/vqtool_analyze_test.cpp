// Tests of `vqtool analyze` and `vqtool search`, run as the built program on files of known
// spectra.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "files/trace_files.h"
#include "platform/image_files.h"
#include "support/vqtool_fixture.h"
#include "traces/meas_condition.h"

namespace vq {
namespace {

class VqtoolAnalyzeTest : public VqtoolTest {
 protected:
  // Writes trace A with levels f(i) in mW over 1549 to 1551 nm as a binary trace file.
  template <typename F>
  void WriteSpectrum(const std::string& name, int points, F f) {
    Trace& t = g().traces.traces[0];
    t.condition = DefaultSettingRecord();
    t.condition.samplingAuto = 0;
    t.condition.start = 1549, t.condition.stop = 1551, t.condition.span = 2;
    t.condition.centre = 1550;
    t.condition.samplingPoints = points;
    t.condition.samplingInterval = 2.0 / (points - 1);
    for (int i = 0; i < points; ++i) t.level[i] = f(i);
    ASSERT_EQ(WriteTraceBinary(home.Path() + name, 0), 0);
  }
};

TEST_F(VqtoolAnalyzeTest, AnalyzeMeasuresAndRefusesBadSettings) {
  InitConditions();
  // A Lorentzian of 0.1 nm FWHM centred on point 1000 of 2001.
  WriteSpectrum("line.wav", 2001, [](int i) {
    const double u = (i - 1000) * 0.001 / 0.05;
    return 1.0 / (1 + u * u);
  });
  ASSERT_EQ(Tool("analyze line.wav --item THRESH --json"), 0) << err;
  const double half = 0.05 * std::sqrt(1 / DbmToLinear(-3.0) - 1);
  EXPECT_NEAR(Json()["width_nm"].get<double>(), 2 * half, 1e-5);
  EXPECT_NEAR(Json()["center_nm"].get<double>(), 1550.0, 1e-4);
  EXPECT_EQ(Json()["mode_count"], 1);
  EXPECT_EQ(Json()["code"], 0);
  // K 2 doubles it; the readable form is the instrument's result block, its symbols in UTF-8.
  ASSERT_EQ(Tool("analyze line.wav --item THRESH --set K=2 --set \"THRESH LEVEL=3\""), 0) << err;
  char width[32];
  std::snprintf(width, sizeof width, "\xCE\x94\xCE\xBB: %9.4fnm", 4 * half);
  EXPECT_NE(out.find(width), std::string::npos) << out;
  // The result screen as a screenshot; a CSV text only for the channel tables.
  ASSERT_EQ(Tool("analyze line.wav --item THRESH --out shot.png"), 0) << err;
  EXPECT_EQ(Read("shot.png").substr(1, 3), "PNG");
  EXPECT_EQ(Tool("analyze line.wav --item THRESH --csv x.csv"), 2);
  // RMS has no mode count; PEAK RMS does.
  ASSERT_EQ(Tool("analyze line.wav --item RMS --json"), 0) << err;
  EXPECT_FALSE(Json().contains("mode_count"));

  for (const char* bad :
       {"--item FOO", "--item THRESH --set K=11", "--item RMS --set \"MODE FIT=ON\"",
        "--item NOTCH --set TYPE=LEFT", "--item THRESH --set K"}) {
    EXPECT_EQ(Tool(std::string("analyze line.wav ") + bad), 2) << bad;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  }
  EXPECT_EQ(Tool("analyze missing.wav --item THRESH"), 2);

  WriteSpectrum("empty.wav", 101, [](int) { return -1.0; });  // no data at any point
  EXPECT_EQ(Tool("analyze empty.wav --item THRESH --json"), 1);
  EXPECT_EQ(Json()["code"], 103);
  EXPECT_EQ(Json()["message"], "No data in active trace");
}

TEST_F(VqtoolAnalyzeTest, SearchFindsPeaksNextModesAndTheMultiSearchMarkers) {
  InitConditions();
  // Modes at points 20, 50, 80 of -10, 0, -5 dBm over -60 dBm.
  WriteSpectrum("comb.wav", 101, [](int i) {
    return DbmToLinear(i == 20 ? -10 : i == 50 ? 0 : i == 80 ? -5 : -60);
  });
  ASSERT_EQ(Tool("search comb.wav --json"), 0) << err;
  EXPECT_EQ(Json()["index"], 50);
  EXPECT_NEAR(Json()["wavelength_nm"].get<double>(), 1550.0, 1e-9);
  EXPECT_NEAR(Json()["level_dbm"].get<double>(), 0.0, 1e-9);
  ASSERT_EQ(Tool("search comb.wav --next-level --json"), 0) << err;
  EXPECT_EQ(Json()["index"], 80);
  ASSERT_EQ(Tool("search comb.wav --next-left --from 80 --json"), 0) << err;
  EXPECT_EQ(Json()["index"], 50);
  EXPECT_EQ(Tool("search comb.wav --next-left --from 10 --json"), 1);
  EXPECT_EQ(Json()["code"], 103);
  ASSERT_EQ(Tool("search comb.wav --multi --set \"SORT BY=LVL\" --json"), 0) << err;
  ASSERT_EQ(Json()["markers"].size(), 3u);
  EXPECT_EQ(Json()["markers"][1]["index"], 80);
  // A range between two samples holds no point: 110.
  EXPECT_EQ(
      Tool("search comb.wav --set \"LINE MARKER 1=1550.001\" --set \"LINE MARKER 2=1550.002\" "
           "--set \"SEARCH/ANA L1-L2=ON\" --json"),
      1);
  EXPECT_EQ(Json()["code"], 110);
  EXPECT_EQ(Tool("search comb.wav --peak --bottom"), 2);
}

}  // namespace
}  // namespace vq
