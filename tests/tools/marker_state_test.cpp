// Tests of the markers and the analysis result in the render state.
#include "marker_state.h"

#include "render.h"
#include "support/instrument_fixture.h"

namespace vq {
namespace {

TEST_F(StartedInstrumentTest, RenderStateReportsMarkersInNmAndDbm) {
  nlohmann::json state = StateJson();
  EXPECT_TRUE(state["markers"]["moving"].is_null());
  EXPECT_FALSE(state["analysis"].contains("width_nm"));
  EXPECT_EQ(state["dataArea"]["shows"], "conditions");

  AnalysisState& a = g().analysis;
  a.markers[2] = {.on = 1, .trace = 1, .index = 250, .wavelength = 1525, .level = 1e-6};
  a.lineMarkers[0] = {1, 1575.0};
  a.lineMarkers[2] = {1, 0.001};
  a.resultKind = kResultSpectralWidth;
  a.item = kItemRms;
  a.width.left = 497.75;
  state = StateJson();
  ASSERT_EQ(state["markers"]["fixed"].size(), 1u);  // only the markers that are on
  EXPECT_EQ(state["markers"]["fixed"][0]["number"], 2);
  EXPECT_EQ(state["markers"]["fixed"][0]["trace"], "B");
  EXPECT_DOUBLE_EQ(state["markers"]["fixed"][0]["level_dbm"].get<double>(), -60.0);
  EXPECT_EQ(state["markers"]["line"][0]["value"], 1575.0);                      // L1 in nm
  EXPECT_DOUBLE_EQ(state["markers"]["line"][2]["value"].get<double>(), -30.0);  // L3 in dBm
  EXPECT_EQ(state["analysis"]["left_index"], 497.75);  // the fractional edge, as vqtool analyze
  EXPECT_EQ(state["analysis"]["lines"][0], "<SPECTRAL WIDTH ANALYSIS: RMS>");
  EXPECT_EQ(state["dataArea"]["lines"], state["analysis"]["lines"]);
}

}  // namespace
}  // namespace vq
