// Framing of the link's byte stream: terminators, text-reply and block completion.
#include "link/reply_framing.h"

namespace vq {

void AppendTerminator(std::string& command, int terminatorMode) {
  switch (terminatorMode) {
    case 0:
      command += "\r\n";
      break;
    case 1:
      command += '\n';
      break;
    case 2:
      command += '\r';
      break;
    default:
      break;  // an unknown mode sends the command bare
  }
}

bool TextReplyComplete(std::string_view received, int terminatorMode) {
  switch (terminatorMode) {
    case 0:
      return received.ends_with("\r\n");
    case 1:
      return received.ends_with('\n');
    case 2:
      return received.ends_with('\r');
    default:
      return false;
  }
}

BlockFraming BlockReplyState(std::string_view received) {
  if (received.size() < 2) return BlockFraming::Incomplete;
  const int digits = received[1] - '0';
  if (digits < 0 || digits > 9) return BlockFraming::Malformed;
  if (digits == 0) return BlockFraming::Complete;  // "#0": an empty block
  const size_t header = 2 + static_cast<size_t>(digits);
  size_t count = 0;
  for (size_t i = 2; i < header && i < received.size(); ++i) {
    const int d = received[i] - '0';
    if (d < 0 || d > 9) return BlockFraming::Malformed;
    count = count * 10 + static_cast<size_t>(d);
  }
  if (received.size() < header) return BlockFraming::Incomplete;
  return count <= received.size() - header ? BlockFraming::Complete : BlockFraming::Incomplete;
}

std::string BlockHeader(size_t size) {
  if (size == 0) return "#0";
  const std::string count = std::to_string(size);
  return "#" + std::to_string(count.size()) + count;
}

bool TakeCommandLine(std::string& stream, std::string& line) {
  const size_t end = stream.find_first_of("\r\n");
  if (end == std::string::npos) return false;
  // A CR ends the line at once: a sender that ends its lines with CR alone waits for the answer.
  // When the LF of a CR LF comes in a later read, it makes an empty line the caller skips.
  line = stream.substr(0, end);
  const bool crlf = stream[end] == '\r' && end + 1 < stream.size() && stream[end + 1] == '\n';
  const size_t skip = crlf ? 2 : 1;
  stream.erase(0, end + skip);
  return true;
}

}  // namespace vq
