// Tests that run the built vqtool in a folder of their own and read what it printed.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "platform/image_files.h"
#include "support/instrument_fixture.h"

namespace vq {

class VqtoolTest : public InstrumentTest {
 protected:
  // Runs `vqtool ARGS` in the test folder: the exit code; stdout in `out`, stderr in `err`.
  int Tool(const std::string& args) {
    const std::string command =
        "cd '" + home.Path() + "' && exec '" + VQ_TOOL_PATH + "' " + args + " > out.txt 2> err.txt";
    const int status = std::system(command.c_str());
    out = Read("out.txt");
    err = Read("err.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Read(const std::string& name) {
    std::vector<uint8_t> bytes;
    ReadWholeFile(home.Path() + name, bytes);
    return {bytes.begin(), bytes.end()};
  }
  nlohmann::json Json() { return nlohmann::json::parse(out); }
  std::string out, err;
};

}  // namespace vq
