// Conversion of the instrument's texts to UTF-8.
#include "platform/text.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace vq {

std::string InstrumentTextToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (const char ch : text) {
    const auto byte = static_cast<unsigned char>(ch);
    if (byte == 0x10) {
      out += "\xCF\x83";  // σ
    } else if (byte == 0x8B) {
      out += "\xCE\xBB";  // λ
    } else if (byte == 0x8D) {
      out += "\xCE\x94";  // Δ
    } else if (byte < 0x80) {
      out.push_back(ch);
    } else {
      out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return out;
}

void AppendFormat(std::string& out, const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  out.append(text, std::clamp(n, 0, static_cast<int>(sizeof text) - 1));
}

}  // namespace vq
