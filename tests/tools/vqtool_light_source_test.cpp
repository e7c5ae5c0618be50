// `vqtool analyze` on light sources: COLOR, which has no item number, runs by its name, and the
// SMSR mode is set by its label.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "files/trace_files.h"
#include "platform/image_files.h"
#include "support/instrument_fixture.h"
#include "traces/meas_condition.h"

namespace vq {
namespace {

class VqtoolLightSourceTest : public InstrumentTest {
 protected:
  // Trace A over start .. start + span, levels in mW.
  void Write(const std::string& name, double start, double span, const std::vector<double>& mw) {
    Trace& t = g().traces.traces[0];
    const int points = static_cast<int>(mw.size());
    t.condition = DefaultSettingRecord();
    t.condition.samplingAuto = 0;
    t.condition.start = start, t.condition.stop = start + span, t.condition.span = span;
    t.condition.centre = start + span / 2;
    t.condition.samplingPoints = points;
    t.condition.samplingInterval = span / (points - 1);
    for (int i = 0; i < points; ++i) t.level[i] = mw[i];
    ASSERT_EQ(WriteTraceBinary(home.Path() + name, 0), 0);
  }
  nlohmann::json Run(const std::string& args) {
    const std::string command =
        "cd '" + home.Path() + "' && exec '" + VQ_TOOL_PATH + "' " + args + " > out.txt 2> err.txt";
    status = std::system(command.c_str());
    std::vector<uint8_t> bytes;
    ReadWholeFile(home.Path() + "out.txt", bytes);
    return nlohmann::json::parse(bytes.begin(), bytes.end(), nullptr, false);
  }
  int status = 0;
};

TEST_F(VqtoolLightSourceTest, ColorRunsByNameAndSmsrTakesItsMode) {
  InitConditions();
  // A red line at 650 nm (the instrument starts at 600 nm): its dominant wavelength, on the
  // spectral locus.
  std::vector<double> visible(181, 1e-12);
  visible[50] = 1.0;
  Write("red.wav", 600, 180, visible);
  nlohmann::json j = Run("analyze red.wav --item COLOR --json");
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_NEAR(j["dominant_nm"].get<double>(), 650.0, 0.01);
  EXPECT_NEAR(j["x"].get<double>(), 0.7260, 1e-4);
  EXPECT_NEAR(j["y"].get<double>(), 0.2740, 1e-4);

  // Side modes 45 and 40 dB below the main one, left and right.
  std::vector<double> modes(1001, DbmToLinear(-70));
  modes[100] = DbmToLinear(-55), modes[500] = DbmToLinear(-10), modes[900] = DbmToLinear(-50);
  Write("dfb.wav", 1549, 2, modes);
  j = Run("analyze dfb.wav --item SMSR --set \"SMSR MODE=SMSR3\" --json");
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_NEAR(j["smsr_left_db"].get<double>(), 45.0, 1e-6);
  EXPECT_NEAR(j["smsr_right_db"].get<double>(), 40.0, 1e-6);
  EXPECT_NEAR(j["main_nm"].get<double>(), 1550.0, 1e-4);
}

}  // namespace
}  // namespace vq
