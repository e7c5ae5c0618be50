// render --connect ... --save-traces: the analyzer's traces that hold data, as the viewer took
// them on connecting, written as binary trace files; the others are not written.
#include <filesystem>

#include "files/trace_files.h"
#include "support/vqsim_process.h"
#include "support/vqtool_fixture.h"

namespace vq {
namespace {

class VqtoolSaveTracesTest : public VqtoolTest {};

TEST_F(VqtoolSaveTracesTest, ConnectedRunSavesEachTraceHoldingData) {
  VqsimProcess sim({"--traces", "AC", "--center", "1551", "--span", "12", "--points", "1001"});
  ASSERT_NE(sim.port(), 0) << sim.firstLine();
  Start();  // the instrument of this process reads the saved files back
  std::filesystem::create_directory(home.Path() + "traces");
  const std::string connect = "--home '" + home.Path() +
                              "h' --connect 127.0.0.1:" + std::to_string(sim.port()) +
                              " --user user --password pass";
  ASSERT_EQ(Tool("render " + connect + " --save-traces traces"), 0) << err;
  for (char letter : std::string("ABCDEFG")) {
    const std::string path = home.Path() + "traces/" + letter + ".wv8";
    EXPECT_EQ(std::filesystem::exists(path), letter == 'A' || letter == 'C') << letter;
  }
  TraceFileData a;
  ASSERT_EQ(ReadTraceFile(home.Path() + "traces/A.wv8", a), 0);
  EXPECT_EQ(a.levels.size(), 1001u);
  EXPECT_DOUBLE_EQ(a.condition.centre, 1551.0);
  EXPECT_DOUBLE_EQ(a.condition.span, 12.0);
  // A folder that is not there is refused before anything runs.
  EXPECT_EQ(Tool("render " + connect + " --save-traces missing"), 2);
  EXPECT_NE(err.find("missing"), std::string::npos) << err;
}

}  // namespace
}  // namespace vq
