// Tests of the markers and the analysis result in the render state.
#include "marker_state.h"

#include "render.h"
#include "support/instrument_fixture.h"

namespace vq {
namespace {

class MarkerStateTest : public StartedInstrumentTest {
 protected:
  AnalysisState& a() { return g().analysis; }
};

TEST_F(MarkerStateTest, ReportsMarkersLineMarkersAndTheWidthResult) {
  nlohmann::json state = StateJson();
  EXPECT_TRUE(state["markers"]["moving"].is_null());
  EXPECT_EQ(state["markers"]["fixed"].size(), 0u);
  EXPECT_EQ(state["analysis"]["resultKind"], kResultNone);
  EXPECT_FALSE(state["analysis"].contains("width_nm"));
  EXPECT_EQ(state["dataArea"]["shows"], "conditions");
  EXPECT_EQ(state["dataArea"]["lines"][0], "<MEAS CONDITION>");

  a().markers[0] = {
      .on = 1, .x = 167, .y = 190, .trace = 1, .index = 200, .wavelength = 1520, .level = 0.01};
  a().markers[2] = {.on = 1, .trace = 0, .index = 250, .wavelength = 1525, .level = 1e-6};
  a().lineMarkers[0] = {1, 1575.0};
  a().lineMarkers[2] = {1, 0.001};
  a().resultKind = kResultSpectralWidth;
  a().item = kItemRms;
  a().working = kWidthDefaults[kItemRms];
  a().width = {
      .widthNm = 0.25, .widthThz = 0.031, .centreNm = 1550, .refLevel = 0.1, .threshLevel = 0.001};
  a().analysisMarkers = {
      {{500, 0.1, 1550, 1550}, {498, 0.001, 1549.8, 1549.75}, {502, 0.001, 1550.2, 1550.25}}};
  state = StateJson();
  const auto& moving = state["markers"]["moving"];
  EXPECT_EQ(moving["trace"], "B");
  EXPECT_EQ(moving["index"], 200);
  EXPECT_DOUBLE_EQ(moving["level_dbm"].get<double>(), -20.0);
  EXPECT_EQ(moving["x"], 167);
  ASSERT_EQ(state["markers"]["fixed"].size(), 1u);
  EXPECT_EQ(state["markers"]["fixed"][0]["number"], 2);
  EXPECT_DOUBLE_EQ(state["markers"]["fixed"][0]["level_dbm"].get<double>(), -60.0);
  const auto& line = state["markers"]["line"];
  ASSERT_EQ(line.size(), 4u);
  EXPECT_EQ(line[0]["value"], 1575.0);
  EXPECT_DOUBLE_EQ(line[2]["value"].get<double>(), -30.0);  // L3 in dBm
  EXPECT_EQ(line[3]["on"], 0);

  const auto& analysis = state["analysis"];
  EXPECT_EQ(analysis["itemName"], "RMS");
  EXPECT_EQ(analysis["width_nm"], 0.25);
  EXPECT_EQ(analysis["left_index"], 498);
  EXPECT_EQ(analysis["right_index"], 502);
  EXPECT_DOUBLE_EQ(analysis["thresh_level_dbm"].get<double>(), -30.0);
  EXPECT_EQ(analysis["lines"][0], "<SPECTRAL WIDTH ANALYSIS: RMS>");
  EXPECT_EQ(state["dataArea"]["shows"], "widthResult");
  EXPECT_EQ(state["dataArea"]["lines"], analysis["lines"]);
  EXPECT_EQ(state["markerRow"][0].get<std::string>().substr(0, 17), "  MKR:1520.0000nm");
}

}  // namespace
}  // namespace vq
