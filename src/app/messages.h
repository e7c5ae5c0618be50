// Numbered messages: the message table, the message box and the condition logs.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vq {

struct MessageState {
  int32_t currentMessage = 0;        // the code shown now; 0 = none
  int32_t boxElement = -1;           // mouse element of the message box: 329 while shown
  int32_t programLine = 0;           // line number of the stored-program executor
  bool notProperlyShutDown = false;  // the last run logged a start but no end
};

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

void ShowMessage(int32_t code);
void CloseMessageWindows();
void DrawMessage();
// The message text of a code; empty when the code has no text.
std::string MessageText(int32_t code);
// Appends one line to the condition logs; tag is "%03d  " of the code, "start" or "end  ".
void AppendConditionLog(const std::string& tag);
// The run's first and last log lines; the start line sets notProperlyShutDown when the log does
// not end with an end line.
void LogRunStart();
void LogRunEnd();

}  // namespace vq
