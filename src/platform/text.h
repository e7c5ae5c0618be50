// The instrument's texts (labels, messages, soft keys) are 8-bit Latin-1; the PC side speaks UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace vq {

// Every byte is a Latin-1 character: ASCII stays as it is, 0x80 to 0xFF become two bytes.
std::string Latin1ToUtf8(std::string_view text);

}  // namespace vq
