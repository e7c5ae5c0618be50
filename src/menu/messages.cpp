// Numbered messages: showing and clearing them, the message box and the condition logs.
#include "menu/messages.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <vector>

#include "draw/primitives.h"
#include "instrument.h"
#include "platform/clock.h"
#include "platform/image_files.h"
#include "resources/colour_tables.h"

namespace vq {
namespace {

constexpr int32_t kMessageBoxElement = 329;
constexpr int kSlotMessageText = 80;
constexpr int kSlotMessageOutline = 30;
constexpr int kPanelDoubleFrame = 3;

// The logs keep the newest lines: the short one for the system menus, the long one for service.
struct ConditionLog {
  const char* fileName;
  size_t maxLines;
};
constexpr ConditionLog kConditionLogs[] = {{"SystemLog.txt", 100}, {"error.log", 1000}};
static_assert(std::size(kConditionLogs) == 2, "two condition logs");

constexpr std::string_view kTagStart = "start";
constexpr std::string_view kTagEnd = "end  ";

// Codes whose condition stops the program and the sweep: the fan stopped, over temperature.
bool IsStoppingCondition(int32_t code) {
  return code == 200 || code == 202 || code == 207;
}

// The last line of a log, without its line end.
std::string_view LastLine(const std::vector<uint8_t>& bytes) {
  std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  const size_t lineEnd = text.rfind('\n');
  return lineEnd == std::string_view::npos ? text : text.substr(lineEnd + 1);
}

}  // namespace

std::string MessageText(int32_t code) {
  for (const MessageBlock& block : kMessageBlocks) {
    if (code < block.firstCode || code >= block.firstCode + block.count) continue;
    const MessageSlot& slot = block.texts[code - block.firstCode];
    std::string text(slot, std::find(slot, slot + kMessageSlotBytes, '\0'));
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
  }
  return {};
}

void ShowMessage(int32_t code) {
  Instrument& g = *GInstrument;
  MessageState& m = g.messages;
  if (code == 0) {
    // Clearing what is not shown must not cost a redraw.
    if (m.currentMessage == 0) return;
    m.currentMessage = 0;
    m.boxElement = -1;
    g.frame.redrawFlags |= kRedrawDynamicOnly;
    return;
  }
  g.frame.redrawFlags |= kRedrawDynamicOnly;
  m.currentMessage = code;
  if (code >= kFirstConditionCode && code <= kLastConditionCode) {
    char tag[16];
    std::snprintf(tag, sizeof tag, "%03d  ", code);
    AppendConditionLog(tag);
  }
  if (IsStoppingCondition(code)) {
    // The instrument is unsafe to run: a running program stops and its soft keys change.
    g.frame.redrawFlags |= kRedrawSoftKeys;
    g.program.running = 0;
  }
}

void CloseMessageWindows() {
  // A key press dismisses the message; the list and help windows will close here too.
  ShowMessage(0);
}

void DrawMessage() {
  Instrument& g = *GInstrument;
  MessageState& m = g.messages;
  const int32_t code = m.currentMessage;
  if (code == 0) return;

  Panel(332, 478, 293, 33, kSlotIntWinBack, kPanelDoubleFrame);
  Outline(328, 474, 628, 514, kSlotMessageOutline);
  m.boxElement = kMessageBoxElement;

  char numbers[48];
  if (code >= kFirstProgramErrorCode) {
    // The numbers fall into the gaps of the heading: the code after "ERROR", the line at the end.
    TextTransparent(kSlotMessageText, 336, 484, "ERROR     IN LINE");
    std::snprintf(numbers, sizeof numbers, "%3d         %3d", code, m.programLine);
    TextTransparent(kSlotMessageText, 391, 481, numbers);
  } else {
    TextTransparent(kSlotMessageText, 336, 484, "WARNING:");
    std::snprintf(numbers, sizeof numbers, "%3d", code);
    TextSmall(kSlotMessageText, kSlotIntWinBack, 407, 481, numbers);
  }
  const std::string text = MessageText(code);
  if (!text.empty()) TextSmall(kSlotMessageText, kSlotIntWinBack, 335, 497, text);
}

void AppendConditionLog(const std::string& tag) {
  Instrument& g = *GInstrument;
  // Without a data folder there is nowhere to log; never fall back to the working folder.
  if (g.config.home.empty()) return;

  const LocalTime t = GetLocalTime();
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, " %04d%02d%02d%02d%02d\r\n", t.year, t.month, t.day, t.hour,
                t.minute);
  const std::string line = tag + stamp;

  for (const ConditionLog& log : kConditionLogs) {
    const std::string path = g.config.home + log.fileName;
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) bytes.clear();  // an unreadable log starts afresh

    // The short log decides whether the previous run ended with its end line; a new log has
    // no previous run.
    if (&log == &kConditionLogs[0] && tag == kTagStart && !bytes.empty() &&
        !LastLine(bytes).starts_with(kTagEnd)) {
      g.messages.notProperlyShutDown = true;
    }

    // A log at or over its limit loses its oldest line for the new one.
    if (static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n')) >= log.maxLines) {
      bytes.erase(bytes.begin(), std::find(bytes.begin(), bytes.end(), '\n') + 1);
    }
    bytes.insert(bytes.end(), line.begin(), line.end());
    WriteFileAtomic(path, bytes);  // a log that cannot be written is skipped without a word
  }
}

void LogRunStart() {
  AppendConditionLog(std::string(kTagStart));
}

void LogRunEnd() {
  AppendConditionLog(std::string(kTagEnd));
}

}  // namespace vq
