// Numbered messages: the message table, the message box and the condition logs.
#pragma once

#include <cstdint>
#include <string>

#include "resources/message_table.h"

namespace vq {

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
