// Tests of `vqtool judge`, run as the built program on a trace file and template files.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "files/trace_files.h"
#include "platform/file_io.h"
#include "support/vqtool_fixture.h"
#include "traces/meas_condition.h"

namespace vq {
namespace {

class VqtoolJudgeTest : public VqtoolTest {
 protected:
  // Trace A over 1540 to 1560 nm in 201 points (0.1 nm a point), level(i) dBm, as a binary file.
  template <typename F>
  void WriteTrace(const std::string& name, F level) {
    Trace& t = g().traces.traces[0];
    t.condition = DefaultSettingRecord();
    t.condition.samplingAuto = 0;
    t.condition.start = 1540, t.condition.stop = 1560, t.condition.span = 20;
    t.condition.centre = 1550;
    t.condition.samplingPoints = 201;
    t.condition.samplingInterval = 0.1;
    for (int i = 0; i < 201; ++i) t.level[i] = DbmToLinear(level(i));
    ASSERT_EQ(WriteTraceBinary(home.Path() + name, 0), 0);
  }
  void WriteText(const std::string& name, const std::string& text) {
    ASSERT_EQ(WriteFileBytes(home.Path() + name, std::vector<uint8_t>(text.begin(), text.end())),
              0);
  }
  void Flat(const std::string& name, const char* level) {
    WriteText(name, std::string("VQ7000B,\r\nTEMPLATE,\r\nTYPE,ABSOLUTE\r\nEXTRAPOL,A\r\n") +
                        "1540.000," + level + "\r\n1560.000," + level + "\r\n");
  }
};

TEST_F(VqtoolJudgeTest, PassFailAndErrors) {
  InitConditions();
  // A peak of -10 dBm at 1550 nm falling 1 dB a point on either side, down to -60 dBm.
  WriteTrace("peak.wv8", [](int i) { return std::max(-10.0 - std::abs(i - 100), -60.0); });
  Flat("upper.csv", "-10.00");
  Flat("low.csv", "-70.00");
  Flat("high_lower.csv", "-50.00");
  // The peak touches the upper line (the file's 32-bit level is a float step above it): a pass.
  ASSERT_EQ(Tool("judge peak.wv8 --upper upper.csv --lower low.csv --json"), 0) << err;
  EXPECT_EQ(Json()["result"], "PASS");
  EXPECT_EQ(Json()["code"], 0);
  EXPECT_FALSE(Json().contains("first_fail_index"));
  // A level shift of -0.5 dB moves the upper line under the peak: a fail at point 100, 1550 nm.
  ASSERT_EQ(Tool("judge peak.wv8 --upper upper.csv --set \"LEVEL SHIFT=-0.5\" --json"), 1) << err;
  EXPECT_EQ(Json()["result"], "FAIL");
  EXPECT_EQ(Json()["first_fail_index"], 100);
  EXPECT_NEAR(Json()["first_fail_nm"].get<double>(), 1550.0, 1e-6);
  // Against a lower line at -50 dBm the wings fail from point 0; TYPE UPPER ignores the lower.
  ASSERT_EQ(Tool("judge peak.wv8 --upper upper.csv --lower high_lower.csv --json"), 1) << err;
  EXPECT_EQ(Json()["first_fail_index"], 0);
  ASSERT_EQ(Tool("judge peak.wv8 --upper upper.csv --lower high_lower.csv --type LOWER"), 1);
  EXPECT_EQ(out, "FAIL at index 0 (1540.0000 nm)\n");
  EXPECT_EQ(Tool("judge peak.wv8 --upper upper.csv --lower high_lower.csv --type UPPER"), 0);
  EXPECT_EQ(out, "PASS\n");
  // Errors: one line on stderr, exit code 2.
  WriteText("one.csv",
            "VQ7000B,\r\nTEMPLATE,\r\nTYPE,ABSOLUTE\r\nEXTRAPOL,A\r\n1550.000,-3.00\r\n");
  EXPECT_EQ(Tool("judge peak.wv8 --upper one.csv"), 2);
  EXPECT_NE(err.find("137"), std::string::npos) << err;
  EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
  EXPECT_EQ(Tool("judge peak.wv8 --upper upper.csv --type BOTH"), 2);
  EXPECT_EQ(Tool("judge peak.wv8 --upper upper.csv --type LOWER"), 2);
  EXPECT_EQ(Tool("judge missing.wv8 --upper upper.csv"), 2);
  EXPECT_EQ(Tool("judge peak.wv8 --upper upper.csv --set \"WL SHIFT=abc\""), 2);
  EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace vq
