// Whole files as text, for tests that check what was written byte for byte.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace vq {

// The file's bytes; empty when it cannot be read.
inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

}  // namespace vq
