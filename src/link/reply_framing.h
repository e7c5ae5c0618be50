// Framing of the link's byte stream, shared by the viewer and the simulator: command terminators,
// the completion of text replies and of IEEE 488.2 definite-length blocks ("#", n, n digits, data).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vq {

// Appends the terminator of the mode (CR LF, LF, CR; nothing for any other value).
void AppendTerminator(std::string& command, int terminatorMode);

// A text reply is complete when it ends with the mode's terminator.
bool TextReplyComplete(std::string_view received, int terminatorMode);

// Where a definite-length block stands: complete once its header's byte count has arrived behind
// the header ("#0" at once); malformed when the digit count or a count digit is not a digit.
enum class BlockFraming { Incomplete, Complete, Malformed };
BlockFraming BlockReplyState(std::string_view received);

// The header of a block of `size` bytes: "#", the digit count, the count ("#0" for nothing).
std::string BlockHeader(size_t size);

// Takes the next command line (ended by CR LF, LF or CR) off the front of `stream`; false while
// no whole line has arrived. The terminator is not part of the line. The LF of a CR LF split
// across reads comes out as an empty line of its own: callers skip empty lines.
bool TakeCommandLine(std::string& stream, std::string& line);

}  // namespace vq
