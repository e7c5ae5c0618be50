// The MEMORY LIST: the 64 slots with their labels or conditions and attributes, a page at a time,
// the current slot highlighted.
#include "screen/memory_list_view.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "draw/primitives.h"
#include "instrument.h"
#include "resources/colour_tables.h"
#include "resources/trace_attributes.h"
#include "screen/screen_areas.h"
#include "traces/meas_condition.h"

namespace vq {

namespace {

constexpr int kMemoryPage = 65;
constexpr int kAttrColumn = 77;             // under "ATTR" of the column line
constexpr int kSlotsPerPage[2] = {32, 16};  // LBL: a line a slot; CONDTN: two
constexpr int kLinePitch = 12;
constexpr int kWindowLeft = 3, kWindowTop = 126, kWindowWidth = 694;

std::string Format(const char* format, double value) {
  char text[48];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string TrimmedRight(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
  return s;
}

// MEAS for WRITE and FIX, else the attribute's list name.
std::string AttributeText(const MeasCondition& c) {
  if (c.traceAttribute < kAttrMaxHold) return "MEAS";
  const char* name = AttributeListName(c.traceAttribute);
  return name ? name : "";
}

// The two lines of the condition summary.
std::vector<std::string> ConditionSummary(const MeasCondition& c) {
  std::string first;
  if (c.frequencyMode == 1) {
    const double span = WavelengthToFrequency(c.start) - WavelengthToFrequency(c.stop);
    first = Format("CTR : %.4fTHz", WavelengthToFrequency(c.centre)) + "  " +
            Format("SPAN : %.2fTHz", span);
  } else {
    first = Format("CTR : %.3fnm", c.centre) + "  " + Format("SPAN : %.1fnm", c.span);
  }
  first += "  REF :" + Format("%.1fdBm", c.refLevel);
  char second[80];
  std::snprintf(second, sizeof second, "SMPL : %ld  RES : %s     SENS : %s",
                static_cast<long>(c.samplingPoints), Format("%.3fnm", c.resolution).c_str(),
                SensitivityName(c.sensitivity, c.chopMode));
  return {first, second};
}

// Number, column text, attribute under ATTR.
std::string SlotLine(int n, const std::string& text, const std::string& attribute) {
  std::string line = Format("%02.0f", n) + "   " + text;
  if (!attribute.empty()) {
    line.resize(std::max<size_t>(line.size() + 1, kAttrColumn), ' ');
    line += attribute;
  }
  return line;
}

}  // namespace

bool MemoryListShown() {
  const Instrument& g = *GInstrument;
  return g.menu.page == kMemoryPage && GraphCount(g.screen.screenMode) > 0;
}

MemoryListView MemoryListLayout() {
  const MemoryState& m = GInstrument->memory;
  const bool conditions = m.listParameter == 1;
  const int perPage = kSlotsPerPage[conditions ? 1 : 0];
  const int current = std::clamp(m.current, 0, kMemorySlots - 1);
  const int page = current / perPage;
  MemoryListView v;
  v.lines = {"MEMORY LIST",
             "NO                                   LABEL                                   ATTR"};
  for (int n = page * perPage; n < std::min(kMemorySlots, (page + 1) * perPage); ++n) {
    const MemorySlot& s = m.slot[n];
    if (n == current) {
      v.cursorLine = static_cast<int>(v.lines.size());
      v.cursorLines = conditions ? 2 : 1;
    }
    if (s.used != 1) {
      v.lines.push_back(SlotLine(n, "", ""));
      if (conditions) v.lines.emplace_back();
      continue;
    }
    const std::string attribute = AttributeText(s.condition);
    if (conditions) {
      const std::vector<std::string> summary = ConditionSummary(s.condition);
      v.lines.push_back(SlotLine(n, summary[0], attribute));
      v.lines.push_back("     " + summary[1]);
    } else {
      const std::string label(s.condition.label, strnlen(s.condition.label, 56));
      v.lines.push_back(SlotLine(n, label, attribute));
    }
  }
  char pageLine[16];
  std::snprintf(pageLine, sizeof pageLine, "%d/%d", page + 1, kMemorySlots / perPage);
  v.pageLine = pageLine;
  v.status = m.status;
  return v;
}

void DrawMemoryList() {
  if (!MemoryListShown()) return;
  const MemoryListView v = MemoryListLayout();
  const int rows = static_cast<int>(v.lines.size()) + 1;
  const int height = rows * kLinePitch + 12;
  Panel(kWindowLeft, kWindowTop, kWindowWidth, height, kSlotIntWinBack, 3);
  for (size_t i = 0; i < v.lines.size(); ++i) {
    const int y = kWindowTop + 5 + static_cast<int>(i) * kLinePitch;
    const bool cursor =
        static_cast<int>(i) >= v.cursorLine && static_cast<int>(i) < v.cursorLine + v.cursorLines;
    if (cursor) FillRect(kWindowLeft + 3, y - 1, kWindowWidth - 6, kLinePitch, kSlotFuncCur);
    TextTransparent(cursor ? kSlotFuncCurChar : kSlotMiscWinTitle, kWindowLeft + 4, y,
                    TrimmedRight(v.lines[i]), true);
  }
  const int bottom = kWindowTop + height - 16;
  TextTransparent(kSlotMiscWinTitle, kWindowLeft + 4, bottom, v.status, true);
  const int pageX = kWindowLeft + kWindowWidth - 8 - static_cast<int>(v.pageLine.size()) * 8;
  TextTransparent(kSlotMiscWinTitle, pageX, bottom, v.pageLine, true);
}

}  // namespace vq
