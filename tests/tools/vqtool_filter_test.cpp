// `vqtool analyze` on filter spectra: the filter items by name, their grouped settings and the
// channel records of the WDM filters.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "files/trace_files.h"
#include "platform/image_files.h"
#include "support/vqtool_fixture.h"
#include "traces/meas_condition.h"

namespace vq {
namespace {

class VqtoolFilterTest : public VqtoolTest {
 protected:
  // Trace A over 1549 to 1551 nm in 0.001 nm steps, levels f(i) in mW, as a binary trace file.
  template <typename F>
  void WriteSpectrum(const std::string& name, F f) {
    Trace& t = g().traces.traces[0];
    t.condition = DefaultSettingRecord();
    t.condition.samplingAuto = 0;
    t.condition.start = 1549, t.condition.stop = 1551, t.condition.span = 2;
    t.condition.centre = 1550;
    t.condition.samplingPoints = 2001;
    t.condition.samplingInterval = 0.001;
    for (int i = 0; i < 2001; ++i) t.level[i] = f(i);
    ASSERT_EQ(WriteTraceBinary(home.Path() + name, 0), 0);
  }
};

TEST_F(VqtoolFilterTest, FilterItemsReportTheirFieldsAndChannels) {
  InitConditions();
  // Four triangular pass bands (linear in mW, 0.1 nm half base) at 1549.4, 1549.8, 1550.2 and
  // 1550.6 nm, peaks 0, -4, -5, -6 dBm over -40 dBm.
  const double floor = DbmToLinear(-40);
  WriteSpectrum("comb.wav", [&](int i) {
    for (int k = 0; k < 4; ++k) {
      const int d = std::abs(i - (400 + 400 * k));
      if (d < 100) return floor + (DbmToLinear(k ? -3.0 - k : 0.0) - floor) * (1 - d / 100.0);
    }
    return floor;
  });
  ASSERT_EQ(Tool("analyze comb.wav --item \"WDM FIL-PK\" --set \"G.SPACING=0.4\" --json"), 0)
      << out;
  const nlohmann::json channels = Json()["channels"];
  ASSERT_EQ(channels.size(), 4u);
  const nlohmann::json& c = channels[1];
  EXPECT_NEAR(c["peak_nm"].get<double>(), 1549.8, 1e-9);
  EXPECT_NEAR(c["peak_dbm"].get<double>(), -4.0, 1e-5);
  const double half = 100 * (1 - (DbmToLinear(-7) - floor) / (DbmToLinear(-4) - floor));
  EXPECT_NEAR(c["width_nm"].get<double>(), 2 * half * 0.001, 1e-5);
  EXPECT_NEAR(c["crosstalk_left_db"].get<double>(), 4.0, 1e-5);
  EXPECT_NEAR(c["crosstalk_right_db"].get<double>(), -1.0, 1e-5);

  // FILTER-PK without its cross talk: the fields of the items that ran.
  ASSERT_EQ(Tool("analyze comb.wav --item FILTER-PK --set F.SW=OFF --json"), 0) << out;
  EXPECT_NEAR(Json()["peak_nm"].get<double>(), 1549.4, 1e-9);
  EXPECT_NEAR(Json()["center_nm"].get<double>(), 1549.4, 1e-4);
  EXPECT_TRUE(Json().contains("ripple_db"));
  EXPECT_FALSE(Json().contains("crosstalk_left_db"));
  // A grouped label outside its limits is refused.
  EXPECT_EQ(Tool("analyze comb.wav --item FILTER-PK --set C.K=11"), 2);
}

}  // namespace
}  // namespace vq
