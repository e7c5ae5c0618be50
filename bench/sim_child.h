// vqsim as a child process for the benchmarks: the simulator built beside the benchmark program,
// started through the tests' fixture.
#pragma once

#include <unistd.h>

#include <climits>
#include <string>

namespace vq::bench {

inline std::string SimPath() {
  char self[PATH_MAX] = {};
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  const std::string path(self, n > 0 ? static_cast<size_t>(n) : 0);
  return path.substr(0, path.rfind('/') + 1) + "vqsim";
}

}  // namespace vq::bench

#define VQ_SIM_PATH vq::bench::SimPath()
#include "../tests/support/vqsim_process.h"
