// vqtool: the instrument's core without a window, for automation and tests.
#include <cstdio>
#include <string>
#include <vector>

#include "convert.h"
#include "render.h"

namespace {

const char* const kUsage =
    "usage: vqtool COMMAND [ARGS]\n"
    "commands:\n"
    "  render   start headless, capture the screen, write the state (vqtool render --help)\n"
    "  convert  convert a trace file to another form (vqtool convert --help)\n";

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    std::fputs(kUsage, args.empty() ? stderr : stdout);
    return args.empty() ? 2 : 0;
  }
  const std::string command = args[0];
  args.erase(args.begin());
  if (command == "render") {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
      std::fputs(vq::kRenderHelp, stdout);
      return 0;
    }
    vq::RenderOptions options;
    std::string error;
    if (!vq::ParseRenderOptions(args, options, error)) {
      std::fprintf(stderr, "vqtool render: %s\n", error.c_str());
      return 2;
    }
    return vq::RunRender(options);
  }
  if (command == "convert") {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
      std::fputs(vq::kConvertHelp, stdout);
      return 0;
    }
    return vq::RunConvert(args);
  }
  std::fprintf(stderr, "vqtool: unknown command %s\n", command.c_str());
  return 2;
}
