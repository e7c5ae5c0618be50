// vqtool transfer against the simulator: put, list --json, get, and the exit codes of a bad
// command line, a log with errors and a refused connection.
#include <filesystem>
#include <fstream>

#include "support/vqsim_process.h"
#include "support/vqtool_fixture.h"

namespace vq {
namespace {

using VqtoolTransferTest = VqtoolTest;

TEST_F(VqtoolTransferTest, PutListGetAndExitCodes) {
  VqsimProcess sim;
  ASSERT_NE(sim.port(), 0) << sim.firstLine();
  const std::string target = "transfer --connect 127.0.0.1:" + std::to_string(sim.port()) +
                             " --user user --password pass ";
  std::filesystem::create_directories(home.Path() + "up/DIR");
  std::string bytes;
  for (int i = 0; i < 3000; ++i) bytes += static_cast<char>(i * 7);
  std::ofstream(home.Path() + "up/DIR/W.BIN", std::ios::binary) << bytes;
  std::ofstream(home.Path() + "up/N.TXT", std::ios::binary) << "note\r\n";

  ASSERT_EQ(Tool(target + "--pc-folder up put DIR N.TXT"), 0) << err;
  EXPECT_NE(out.find(":   Upload file ok...[e:\\user\\DIR\\W.BIN]\n"), std::string::npos) << out;
  EXPECT_NE(out.find(":      Total 3 file(s) and/or folder(s) upload."), std::string::npos) << out;

  ASSERT_EQ(Tool(target + "list --json"), 0) << err;
  const nlohmann::json list = Json();
  ASSERT_EQ(list.size(), 2u) << out;
  EXPECT_EQ(list[0]["name"], "DIR");
  EXPECT_EQ(list[0]["kind"], "folder");
  EXPECT_EQ(list[1]["name"], "N.TXT");
  EXPECT_EQ(list[1]["kind"], "file");
  EXPECT_EQ(list[1]["size"], 6);
  EXPECT_EQ(list[1]["date"].get<std::string>().size(), 19u);

  std::filesystem::create_directories(home.Path() + "down");
  // A name the analyzer does not hold is reported (exit 1); the others still come down.
  EXPECT_EQ(Tool(target + "--pc-folder down get DIR\\\\W.BIN N.TXT NOPE"), 1) << err;
  EXPECT_EQ(err, "vqtool transfer: no NOPE on the analyzer\n");
  EXPECT_EQ(Read("down/W.BIN"), bytes);
  EXPECT_EQ(Read("down/N.TXT"), "note\r\n");

  // A name the analyzer refuses gives an error in the log: exit 1.
  EXPECT_EQ(Tool(target + "mkdir 'BAD*NAME'"), 1) << out;
  EXPECT_NE(out.find("Error: Illegal"), std::string::npos) << out;
  EXPECT_EQ(Tool(target + "frobnicate"), 2);
  EXPECT_EQ(Tool(target + "list extra"), 2);
  EXPECT_EQ(err, "vqtool transfer: list takes no names\n");
  const int port = sim.port();
  sim.Stop();
  EXPECT_EQ(Tool("transfer --connect 127.0.0.1:" + std::to_string(port) + " list"), 3);
  EXPECT_EQ(err, "vqtool transfer: Connection Error.\n");
}

}  // namespace
}  // namespace vq
