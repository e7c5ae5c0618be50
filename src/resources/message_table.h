// The message table: the texts of the numbered messages and the code ranges that code names.
#pragma once

#include <array>
#include <cstdint>

namespace vq {

// The message table: blocks of consecutive codes, one text slot per code. A text fills at most
// 37 bytes of its slot; an empty slot is a code shown without text.
constexpr int kMessageSlotBytes = 38;
using MessageSlot = char[kMessageSlotBytes];
struct MessageBlock {
  int32_t firstCode;
  int32_t count;
  const MessageSlot* texts;
};
constexpr int kMessageBlockCount = 10;
extern const std::array<MessageBlock, kMessageBlockCount> kMessageBlocks;

// Instrument-condition codes, logged when shown.
constexpr int32_t kFirstConditionCode = 200;
constexpr int32_t kLastConditionCode = 299;
// Codes from here on are errors of a stored-program run, shown with its line number.
constexpr int32_t kFirstProgramErrorCode = 300;

}  // namespace vq
