// vqtool render --connect against the simulator: the link in the state, and exit 3 with the
// error text for a refused login.
#include "support/vqsim_process.h"
#include "support/vqtool_fixture.h"

namespace vq {
namespace {

using VqtoolConnectTest = VqtoolTest;

TEST_F(VqtoolConnectTest, ConnectsReportsTheLinkAndRefusesAWrongPassword) {
  VqsimProcess sim(
      {"--user", "bench", "--password", "s3cret-pw", "--idn", "VELDMARK,VQ7000B,VQ0042,03.02.01"});
  ASSERT_NE(sim.port(), 0) << sim.firstLine();
  const std::string target = "--home . --no-save --connect 127.0.0.1:" + std::to_string(sim.port());
  ASSERT_EQ(Tool("render " + target + " --user bench --password s3cret-pw --run-ms 200 " +
                 "--state state.json"),
            0)
      << err;
  const std::string text = Read("state.json");
  const nlohmann::json link = nlohmann::json::parse(text)["link"];
  EXPECT_EQ(link["connected"], 1);
  EXPECT_EQ(link["host"], "127.0.0.1");
  EXPECT_EQ(link["port"], sim.port());
  EXPECT_EQ(link["error"], 0);
  EXPECT_EQ(link["remote_state"], 0);
  EXPECT_EQ(link["command_format"], 0);
  EXPECT_EQ(link["identity"], (nlohmann::json{{"maker", "VELDMARK"},
                                              {"model", "VQ7000B"},
                                              {"serial", "VQ0042"},
                                              {"firmware", "03.02.01"}}));
  EXPECT_EQ(text.find("s3cret-pw"), std::string::npos);
  // The account is kept; the next run logs in with it.
  EXPECT_EQ(Tool("render " + target + " --state again.json"), 0) << err;
  EXPECT_EQ(nlohmann::json::parse(Read("again.json"))["link"]["connected"], 1);

  EXPECT_EQ(Tool("render " + target + " --password wrong --state refused.json"), 3);
  EXPECT_EQ(err, "vqtool render: Connection failed.\nUser account data mismatch.\n");
  EXPECT_EQ(err.find("wrong"), std::string::npos);
}

}  // namespace
}  // namespace vq
