// Tests of vqtool's command line: version, help of every subcommand, one-line errors.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/instrument_fixture.h"

namespace vq {
namespace {

struct ToolRun {
  int exitCode = -1;
  std::string out, err;
};

class VqtoolCliTest : public ::testing::Test {
 protected:
  // Runs `vqtool ARGS` in the test folder; the exit code, stdout and stderr.
  ToolRun Run(const std::string& args) {
    const std::string command =
        "cd '" + dir.Path() + "' && exec '" + VQ_TOOL_PATH + "' " + args + " > out.txt 2> err.txt";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Read("out.txt"), Read("err.txt")};
  }
  std::string Read(const std::string& name) {
    std::ifstream in(dir.Path() + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  TempFolder dir;
};

TEST_F(VqtoolCliTest, VersionHelpAndOneLineErrors) {
  ToolRun run = Run("--version");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "vqtool " VQ_PRODUCT_VERSION "\n");
  EXPECT_EQ(run.err, "");

  for (const std::string command : {"", "render ", "convert "}) {
    SCOPED_TRACE(command);
    run = Run(command + "--help");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("Usage: vqtool " + command), std::string::npos) << run.out;
    EXPECT_EQ(run.err, "");
  }

  std::ofstream(dir.Path() + "in.csv") << "not a trace\n";
  for (const char* args :
       {"", "bogus", "--bogus", "render --colour red", "render --width 640", "render --width abc",
        "render --drop in.csv out.csv", "convert in.csv out.csv --to txt",
        "convert in.csv out.csv --to csv --trace H", "convert in.csv out.csv --to csv --bogus",
        "convert in.csv --to csv", "convert in.csv out.csv --to csv"}) {
    SCOPED_TRACE(args);
    run = Run(args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("vqtool", 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(run.err.back(), '\n');
    EXPECT_FALSE(std::filesystem::exists(dir.Path() + "out.csv"));
  }
}

}  // namespace
}  // namespace vq
