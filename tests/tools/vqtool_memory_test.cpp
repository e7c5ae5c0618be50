// `vqtool render` with the MEMORY keys: the slots in the state, kept across runs on one home.
#include <fstream>

#include "support/vqtool_fixture.h"

namespace vq {
namespace {

TEST_F(VqtoolTest, MemorySlotsInTheStateSurviveTheNextRun) {
  const std::string sample = std::string(VQ_TEST_DATA) + "/../../samples/dfb_laser.csv";
  const std::string run = "render --home cfg --state s.json --out s.png ";
  ASSERT_EQ(Tool(run + "--drop '" + sample + "' --keys \"Alt+F2 F1 3 Enter F2\""), 0) << err;
  nlohmann::json state = nlohmann::json::parse(Read("s.json"));
  ASSERT_EQ(state["memory"].size(), 64u);
  EXPECT_EQ(state["memory"][3]["used"], true);
  EXPECT_EQ(state["memory"][3]["label"], "DFB-LD 1550nm (simulated)");
  EXPECT_EQ(state["memory"][2]["used"], false);

  // A new run finds the slot; RECALL of the empty slot 4 shows 107 and CLEAR empties slot 3.
  ASSERT_EQ(Tool(run + "--keys \"Alt+F2 F1 4 Enter F3\""), 0) << err;
  state = nlohmann::json::parse(Read("s.json"));
  EXPECT_EQ(state["memory"][3]["used"], true);
  EXPECT_EQ(state["currentMessage"], 107);
  ASSERT_EQ(Tool(run + "--keys \"Alt+F2 F1 3 Enter F4\""), 0) << err;
  ASSERT_EQ(Tool(run + "--keys \"Alt+F2\""), 0) << err;
  state = nlohmann::json::parse(Read("s.json"));
  EXPECT_EQ(state["memory"][3]["used"], false);
}

}  // namespace
}  // namespace vq
