// Tests of `vqtool convert`, run as the built program in a folder of its own.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "files/trace_files.h"
#include "platform/image_files.h"
#include "support/instrument_fixture.h"

namespace vq {
namespace {

class VqtoolConvertTest : public InstrumentTest {
 protected:
  // Runs `vqtool convert ARGS` in the test folder; the exit code, stderr in `err`.
  int Convert(const std::string& args) {
    const std::string command = "cd '" + home.Path() + "' && exec '" + VQ_TOOL_PATH + "' convert " +
                                args + " > /dev/null 2> err.txt";
    const int status = std::system(command.c_str());
    std::vector<uint8_t> bytes;
    ReadWholeFile(home.Path() + "err.txt", bytes);
    err.assign(bytes.begin(), bytes.end());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  bool Exists(const std::string& name) { return std::filesystem::exists(home.Path() + name); }
  std::string err;
};

TEST_F(VqtoolConvertTest, ConvertsBetweenFormsAndRefusesOtherFiles) {
  Start();
  Trace& t = g().traces.traces[0];
  t.condition = DefaultSettingRecord();
  t.condition.samplingAuto = 0;
  t.condition.samplingPoints = 501;
  t.condition.samplingInterval = t.condition.span / 500;
  for (int i = 0; i < 501; ++i) t.level[i] = DbmToLinear(-60 + 0.05 * i);
  ASSERT_EQ(WriteTraceBinary(home.Path() + "in.wav", 0), 0);

  ASSERT_EQ(Convert("in.wav out.csv --to csv"), 0) << err;
  ASSERT_EQ(Convert("out.csv back.wav --to bin --trace C"), 0) << err;
  ASSERT_EQ(Convert("back.wav all.csv --to allcsv --trace C"), 0) << err;
  EXPECT_EQ(DetectFileType(home.Path() + "all.csv"), kFileAllTrace);
  TraceFileData data;
  ASSERT_EQ(ReadTraceFile(home.Path() + "back.wav", data), 0);
  ASSERT_EQ(data.levels.size(), 501u);
  for (int i = 0; i < 501; ++i) EXPECT_NEAR(data.levels[i] / t.level[i], 1, 1.2e-4) << i;
  // An all-trace file gives its active trace (C) by default; an empty trace has no data.
  ASSERT_EQ(Convert("all.csv one.csv --to csv"), 0) << err;
  EXPECT_EQ(DetectFileType(home.Path() + "one.csv"), kFileTrace);
  EXPECT_EQ(Convert("all.csv b.wav --to bin --trace B"), 2);
  EXPECT_FALSE(Exists("b.wav"));

  ASSERT_TRUE(WriteFileAtomic(home.Path() + "note.txt", std::vector<uint8_t>(100, 'x')));
  EXPECT_EQ(Convert("note.txt x.csv --to csv"), 2);
  EXPECT_FALSE(Exists("x.csv"));
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_NE(err.find("132"), std::string::npos) << err;
  EXPECT_EQ(Convert("in.wav x.csv --to txt"), 2);
  EXPECT_EQ(Convert("missing.wav x.csv --to csv"), 2);
  EXPECT_FALSE(Exists("x.csv"));
  EXPECT_EQ(Convert("--help"), 0);
}

}  // namespace
}  // namespace vq
