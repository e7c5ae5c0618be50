// Tests of `vqtool calc`, run as the built program on trace files made here.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "files/trace_files.h"
#include "support/vqtool_fixture.h"
#include "traces/meas_condition.h"

namespace vq {
namespace {

class VqtoolCalcTest : public VqtoolTest {
 protected:
  // Trace 0 with n points over 1549 to 1552 nm of f(wavelength) in mW, written as `name`.
  template <typename F>
  void WriteTrace(const std::string& name, int n, F f) {
    Trace& t = g().traces.traces[0];
    t.condition = DefaultSettingRecord();
    t.condition.start = 1549, t.condition.stop = 1552, t.condition.span = 3;
    t.condition.centre = 1550.5;
    t.condition.samplingAuto = 0;
    t.condition.samplingPoints = n;
    t.condition.samplingInterval = 3.0 / (n - 1);
    for (int i = 0; i < n; ++i) t.level[i] = f(1549 + 3.0 * i / (n - 1));
    ASSERT_EQ(WriteTraceBinary(home.Path() + name, 0), 0);
  }
  std::vector<double> Levels(const std::string& name) {
    TraceFileData data;
    EXPECT_EQ(ReadTraceFile(home.Path() + name, data), 0) << name;
    return data.levels;
  }
};

TEST_F(VqtoolCalcTest, LogDifferenceAndGaussFitOfFiles) {
  Start();
  auto gauss = [](double w) { return DbmToLinear(-10 - 2 * (w - 1550.5) * (w - 1550.5)); };
  WriteTrace("a.wv8", 301, gauss);
  WriteTrace("b.wv8", 301, [](double w) { return 1e-3 * (1 + (w - 1549)); });
  const std::vector<double> a = Levels("a.wv8"), b = Levels("b.wv8");

  ASSERT_EQ(Tool("calc a.wv8 b.wv8 --op \"A-B(LOG)\" --out c.csv --json"), 0) << err;
  nlohmann::json j = Json();
  EXPECT_EQ(j["code"], 0);
  EXPECT_EQ(j["trace"], "C");
  EXPECT_EQ(j["points"], 301);
  EXPECT_FALSE(j.contains("coefficients"));
  // The binary file keeps 32-bit levels; the CSV file its printed digits.
  const std::vector<double> c = Levels("c.csv");
  ASSERT_EQ(c.size(), 301u);
  for (int i = 0; i < 301; ++i) ASSERT_NEAR(c[i] / (a[i] / b[i]), 1, 1.2e-4) << i;
  ASSERT_EQ(Tool("calc a.wv8 b.wv8 --op \"B-A(LOG)\" --out c.wv8"), 0) << err;
  EXPECT_NE(out.find("TRACE: C  OPERATION: B-A(LOG)  CODE: 0  POINTS: 301"), std::string::npos);
  const std::vector<double> cw = Levels("c.wv8");
  ASSERT_EQ(cw.size(), 301u);
  for (int i = 0; i < 301; ++i) ASSERT_NEAR(cw[i] / (b[i] / a[i]), 1, 1e-6) << i;

  // GAUSS through every point: the dB parabola in powers of d from the highest point.
  ASSERT_EQ(Tool("calc a.wv8 --op CVFTA --set \"FITTING ALGO=GAUSS\" --set THRESH=99 "
                 "--out g.wv8 --json"),
            0)
      << err;
  j = Json();
  EXPECT_EQ(j["trace"], "G");
  ASSERT_EQ(j["coefficients"].size(), 3u);
  EXPECT_NEAR(j["coefficients"][0].get<double>(), -10, 1e-4);
  EXPECT_NEAR(j["coefficients"][1].get<double>(), 0, 1e-3);
  EXPECT_NEAR(j["coefficients"][2].get<double>(), -2, 1e-4);
  // The binary file of a fitted G holds its source, trace A.
  const std::vector<double> gw = Levels("g.wv8");
  ASSERT_EQ(gw.size(), 301u);
  for (int i = 0; i < 301; i += 25) EXPECT_NEAR(gw[i] / a[i], 1, 1e-6) << i;
  // The CSV file holds the fitted curve.
  ASSERT_EQ(Tool("calc a.wv8 --op CVFTA --set \"FITTING ALGO=5TH POLY\" --set THRESH=99 "
                 "--out g.csv"),
            0)
      << err;
  EXPECT_NE(out.find("COEFFICIENTS:"), std::string::npos) << out;
  const std::vector<double> gc = Levels("g.csv");
  ASSERT_EQ(gc.size(), 301u);
  EXPECT_NEAR(gc[150] / a[150], 1, 1e-2);  // a fifth-order polynomial near the peak

  // Between the line markers only: the parabola inside 1550 to 1551 nm, not the flat flanks.
  WriteTrace("inner.wv8", 301, [&](double w) { return w >= 1550 && w <= 1551 ? gauss(w) : 1e-2; });
  ASSERT_EQ(Tool("calc inner.wv8 --op CVFTA --set \"LINE MARKER 1=1550\" --set \"LINE MARKER "
                 "2=1551\" --set \"OPERATION AREA=L1-L2\" --set THRESH=20 --out i.csv --json"),
            0)
      << err;
  EXPECT_NEAR(Json()["coefficients"][2].get<double>(), -2, 1e-4);
}

TEST_F(VqtoolCalcTest, BadInputIsOneLineAndLeavesTheOutput) {
  Start();
  WriteTrace("a.wv8", 101, [](double w) { return 1e-3 * (w - 1548); });
  ASSERT_TRUE(WriteFileAtomic(home.Path() + "keep.csv", std::vector<uint8_t>(10, 'k')));
  const char* bad[] = {
      "calc a.wv8 --op \"A-B(DB)\" --out keep.csv",                 // unknown operation
      "calc a.wv8 --op \"A-B(LOG)\" --out keep.csv",                // B not given
      "calc a.wv8 a.wv8 a.wv8 --op \"C-D(LOG)\" --out keep.csv",    // D not given
      "calc a.wv8 missing.wv8 --op \"A-B(LOG)\" --out keep.csv",    // unreadable file
      "calc a.wv8 --op NORMA --set \"K\" --out keep.csv",           // no value
      "calc a.wv8 --op NORMA --set \"K=0.5\" --out keep.csv",       // below 1
      "calc a.wv8 --op NORMA --set \"COLOUR=RED\" --out keep.csv",  // unknown label
      "calc a.wv8 --op NORMA --set \"THRESH=3\" --out keep.csv",    // not a fit
      "calc a.wv8 --op CVFTA --set \"FITTING ALGO=CUBIC\" --out keep.csv",
      "calc a.wv8 --op NORMA --out keep.txt",  // neither .wv8 nor .csv
  };
  for (const char* args : bad) {
    EXPECT_EQ(Tool(args), 2) << args;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << args << ": " << err;
    EXPECT_EQ(Read("keep.csv"), "kkkkkkkkkk") << args;
  }
  // A normalisation of the one file works.
  ASSERT_EQ(Tool("calc a.wv8 --op NORMA --out n.csv --json"), 0) << err;
  const std::vector<double> n = Levels("n.csv");
  EXPECT_NEAR(n[100], 1, 1.2e-4);
  EXPECT_NEAR(n[0], 1.0 / 4, 1.2e-4 / 4);
  // A flat trace has no peak to fit: the operation stops (exit 1) and nothing is written.
  WriteTrace("flat.wv8", 101, [](double) { return 1e-3; });
  EXPECT_EQ(Tool("calc flat.wv8 --op CVFTA --out z.csv --json"), 1);
  EXPECT_EQ(Json()["code"], 103);
  EXPECT_FALSE(std::filesystem::exists(home.Path() + "z.csv"));
}

}  // namespace
}  // namespace vq
