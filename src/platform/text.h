// The instrument's texts (labels, messages, soft keys) are 8-bit Latin-1, with a few bytes that
// its font draws as symbols; the PC side speaks UTF-8. And the printf-style line builder of the
// text files.
#pragma once

#include <string>
#include <string_view>

namespace vq {

// Every byte is a Latin-1 character (ASCII stays as it is, 0x80 to 0xFF become two bytes),
// except the symbol glyphs of the result texts: 0x10 sigma, 0x8B lambda, 0x8D delta.
std::string InstrumentTextToUtf8(std::string_view text);

// Appends printf-formatted text (at most 255 characters per call) to out.
void AppendFormat(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace vq
