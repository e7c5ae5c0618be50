// `vqtool analyze` with WDM and EDFA-NF: the channel fields of the JSON output, the settings by
// their labels, a second trace file as the output trace.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "files/trace_files.h"
#include "platform/image_files.h"
#include "support/vqtool_fixture.h"
#include "traces/meas_condition.h"

namespace vq {
namespace {

class VqtoolWdmTest : public VqtoolTest {
 protected:
  // Trace A over 1549 to 1551 nm in 2001 points: two -20 dBm lines at 1549.6 and 1550.4 nm over
  // -80 dBm, times `gain`, plus `ase` mW; written as a binary trace file.
  void Write(const std::string& name, double gain, double ase) {
    Trace& t = g().traces.traces[0];
    t.condition = DefaultSettingRecord();
    t.condition.samplingAuto = 0;
    t.condition.start = 1549, t.condition.stop = 1551, t.condition.span = 2;
    t.condition.centre = 1550;
    t.condition.resolution = 0.1;
    t.condition.samplingPoints = 2001;
    t.condition.samplingInterval = 0.001;
    for (int i = 0; i < 2001; ++i) {
      const double a = (i - 600) / 20.0, b = (i - 1400) / 20.0;
      const double in = DbmToLinear(-80) + DbmToLinear(-20) * (std::exp(-a * a) + std::exp(-b * b));
      t.level[i] = gain * in + ase;
    }
    ASSERT_EQ(WriteTraceBinary(home.Path() + name, 0), 0);
  }
};

TEST_F(VqtoolWdmTest, ChannelsInJsonAndSettingsByLabel) {
  InitConditions();
  Write("in.wav", 1, 0);
  Write("out.wav", 100, 1e-4);
  ASSERT_EQ(Tool("analyze in.wav --item WDM --set \"NOISE ALGO=PIT\" --set \"NOISE BW=1\" --json"),
            0)
      << out;
  ASSERT_EQ(Json()["channels"].size(), 2u);
  EXPECT_NEAR(Json()["channels"][1]["wavelength_nm"].get<double>(), 1550.4, 1e-4);
  EXPECT_NEAR(Json()["channels"][1]["level_dbm"].get<double>(), -20, 1e-4);
  EXPECT_NEAR(Json()["channels"][1]["noise_dbm"].get<double>(), -70, 1e-3);
  EXPECT_NEAR(Json()["channels"][1]["snr_db"].get<double>(), 50, 1e-3);
  EXPECT_NEAR(Json()["slope_db_per_nm"].get<double>(), 0, 1e-4);
  EXPECT_EQ(Tool("analyze in.wav --item WDM --set \"DISPLAY TYPE=SIDEWAYS\""), 2);
  EXPECT_EQ(Tool("analyze in.wav --item WDM --set \"MAX/MIN RESET=1\""), 2);
  // EDFA-NF: 20 dB of gain, shown 1 dB lower with OFFSET(IN) 1 dB.
  ASSERT_EQ(Tool("analyze in.wav --file-b out.wav --item EDFA-NF --set \"OFFSET(IN)=1\" "
                 "--set \"RES BW=CAL DATA\" --json"),
            0)
      << out;
  ASSERT_EQ(Json()["channels"].size(), 2u);
  EXPECT_NEAR(Json()["channels"][0]["gain_db"].get<double>(), 19, 1e-3);
  EXPECT_NEAR(Json()["channels"][0]["ase_dbm"].get<double>(), -40, 1e-3);
  EXPECT_NEAR(Json()["channels"][0]["resolution_nm"].get<double>(), 0.1, 1e-9);
  EXPECT_TRUE(Json()["channels"][0].contains("nf_db"));
}

}  // namespace
}  // namespace vq
