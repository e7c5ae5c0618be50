// Numbered messages: the message table, the message box and the condition logs.
#pragma once

#include <cstdint>
#include <string>

namespace vq {

struct MessageState {
  int32_t currentMessage = 0;   // the code shown now; 0 = none
  int32_t boxElement = -1;      // mouse element of the message box: 329 while shown
  int32_t programLine = 0;      // line number of the stored-program executor
};

void ShowMessage(int32_t code);
void CloseMessageWindows();
void DrawMessage();
// The message text of a code; empty when the code has no text.
std::string MessageText(int32_t code);
// Appends one line to the condition logs; tag is "%03d  " of the code, "start" or "end  ".
void AppendConditionLog(const std::string& tag);

}  // namespace vq
