// Tests of `vqtool settings` and of the state backup across `vqtool render` runs, run as the
// built program in a folder of its own.
#include <algorithm>
#include <filesystem>
#include <string>

#include "files/settings_file.h"
#include "support/vqtool_fixture.h"

namespace vq {
namespace {

const std::string kSample = std::string(VQ_TEST_DATA) + "/../../samples/dfb_laser.wv8";
const std::string kOtherSample = std::string(VQ_TEST_DATA) + "/../../samples/led.wv8";

class VqtoolSettingsTest : public VqtoolTest {
 protected:
  // The parts of a render state that a restart must bring back.
  nlohmann::json Kept(const std::string& stateFile) {
    const nlohmann::json s = nlohmann::json::parse(Read(stateFile));
    return {s["settingRecord"], s["measuredRecord"], s["traces"],  s["activeTrace"],
            s["screenMode"],    s["levelLabels"],    s["markers"], s["analysis"]};
  }
};

TEST_F(VqtoolSettingsTest, WriteThenDumpGivesTheLoadedState) {
  ASSERT_EQ(Tool("settings write s.ST8 --from '" + kSample + "'"), 0) << err;
  EXPECT_EQ(std::filesystem::file_size(home.Path() + "s.ST8"), kSettingsFileBytes);
  ASSERT_EQ(Tool("settings dump s.ST8 --json"), 0) << err;
  const nlohmann::json j = Json();
  EXPECT_EQ(j["setting"]["centre"], 1550.0);
  EXPECT_EQ(j["setting"]["span"], 10.0);
  EXPECT_EQ(j["setting"]["points"], 5001);
  EXPECT_EQ(j["setting"]["label"], "DFB-LD 1550nm (simulated)");
  EXPECT_EQ(j["activeTrace"], "A");
  EXPECT_EQ(j["traces"][0]["attributeName"], "FIX");
  EXPECT_EQ(j["traces"][1]["attributeName"], "WRITE");

  // Without --from: the start-up window; without --json: a few lines of text.
  ASSERT_EQ(Tool("settings write fresh.ST8"), 0) << err;
  ASSERT_EQ(Tool("settings dump fresh.ST8"), 0) << err;
  EXPECT_NE(out.find("centre 1550.0000 nm  span 100.0000 nm"), std::string::npos) << out;
  EXPECT_NE(out.find("trace A WRITE/DSP"), std::string::npos) << out;
}

TEST_F(VqtoolSettingsTest, BadInputIsOneLineAndLosesNothing) {
  ASSERT_EQ(Tool("settings write s.ST8"), 0) << err;
  const std::string good = Read("s.ST8");
  EXPECT_EQ(Tool("settings dump '" + kSample + "'"), 2);
  EXPECT_EQ(err, "vqtool settings: cannot read " + kSample +
                     ": message 135 \"File is not a settings file\"\n");
  EXPECT_EQ(Tool("settings dump nothing.ST8"), 2);
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  // A --from that cannot be read leaves the file that was there.
  EXPECT_EQ(Tool("settings write s.ST8 --from nothing.wv8"), 2);
  EXPECT_EQ(Read("s.ST8"), good);
  EXPECT_EQ(Tool("settings write missing/s.ST8"), 2);
  EXPECT_NE(err.find("cannot write missing/s.ST8"), std::string::npos) << err;
}

TEST_F(VqtoolSettingsTest, RenderRestoresAtStartAndSavesAtTheEnd) {
  ASSERT_EQ(Tool("render --home cfg --drop '" + kSample + "' --keys 'Shift+F4 F2' --state 1.json"),
            0)
      << err;
  EXPECT_TRUE(std::filesystem::exists(home.Path() + "cfg/Setting/Setting.prm"));
  ASSERT_EQ(Tool("render --home cfg --state 2.json"), 0) << err;
  EXPECT_EQ(Kept("2.json"), Kept("1.json"));
  // A run with --no-save changes nothing for the next one.
  ASSERT_EQ(Tool("render --home cfg --no-save --drop '" + kOtherSample + "' --state 3.json"), 0)
      << err;
  EXPECT_NE(Kept("3.json"), Kept("1.json"));
  ASSERT_EQ(Tool("render --home cfg --state 4.json"), 0) << err;
  EXPECT_EQ(Kept("4.json"), Kept("1.json"));
}

}  // namespace
}  // namespace vq
