// Small text helpers of the simulator's command parsing.
#pragma once

#include <cctype>
#include <string>
#include <string_view>

namespace vq {

inline std::string Trim(std::string_view s) {
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return std::string(s.substr(first, s.find_last_not_of(" \t") - first + 1));
}

inline std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

inline bool EqualNoCase(std::string_view a, std::string_view b) {
  return Upper(a) == Upper(b);
}

}  // namespace vq
