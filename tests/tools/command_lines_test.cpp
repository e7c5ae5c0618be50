// The command lines of vqsim and vqviewer: help and version, and an unknown option's one line.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/instrument_fixture.h"

namespace vq {
namespace {

struct ProgramRun {
  int exitCode = -1;
  std::string out, err;
};

// Runs the program with no display at all: help and version must not need one.
ProgramRun RunProgram(const TempFolder& dir, const std::string& program, const std::string& args) {
  const std::string command = "cd '" + dir.Path() +
                              "' && exec env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                              program + "' " + args + " > out.txt 2> err.txt < /dev/null";
  const int status = std::system(command.c_str());
  auto read = [&](const char* name) {
    std::ifstream in(dir.Path() + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  };
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read("out.txt"), read("err.txt")};
}

void ExpectHelpVersionAndErrors(const std::string& path, const std::string& name,
                                const std::vector<std::string>& badArgs) {
  TempFolder dir;
  ProgramRun run = RunProgram(dir, path, "--help");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("Usage: " + name), std::string::npos) << run.out;
  EXPECT_EQ(run.err, "");
  run = RunProgram(dir, path, "--version");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, name + " " VQ_PRODUCT_VERSION "\n");
  for (const std::string& args : badArgs) {
    SCOPED_TRACE(args);
    run = RunProgram(dir, path, args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind(name + ": ", 0), 0u) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
  }
}

TEST(CommandLinesTest, VqsimAndVqviewerHelpVersionAndUnknownOptions) {
  ExpectHelpVersionAndErrors(VQ_SIM_PATH, "vqsim", {"--bogus", "--port 70000"});
#ifdef VQ_VIEWER_PATH
  ExpectHelpVersionAndErrors(VQ_VIEWER_PATH, "vqviewer",
                             {"--bogus", "-platform offscreen", "a.wv8 b.wv8"});
#endif
}

}  // namespace
}  // namespace vq
