// The analysis windows: setting window, channel table and wide result blocks, over the graph.
#include "screen/analysis_window.h"

#include <algorithm>
#include <string>
#include <vector>

#include "analysis/result_view.h"
#include "analysis/result_window.h"
#include "draw/primitives.h"
#include "instrument.h"
#include "resources/colour_tables.h"
#include "screen/screen_areas.h"

namespace vq {

namespace {

constexpr int kDataAreaChars = 69;
constexpr int kLinePitch = 12;
constexpr int kSettingRowPitch = 23;
constexpr int kTableTop = 150;  // the channel table covers the graph area
constexpr int kWindowLeft = 3;
constexpr int kWindowWidth = 694;  // 86 characters and a margin, up to the soft keys
constexpr int kGraphBottom = 551;

std::string TrimmedRight(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

void DrawSettingWindow(const SettingWindowView& v) {
  Panel(v.x, v.y, v.width, v.height, kSlotMiscWin, 3);
  TextNormal(kSlotMiscWinTitle, kSlotMiscWinTitleShadow, v.x + 8, v.y + 6, v.title);
  for (size_t i = 0; i < v.lines.size(); ++i) {
    const int y = v.y + 30 + static_cast<int>(i) * kSettingRowPitch;
    const bool cursor = static_cast<int>(i) == v.cursor;
    if (cursor) FillRect(v.x + 4, y - 3, v.width - 8, kLinePitch + 6, kSlotFuncCur);
    TextTransparent(cursor ? kSlotFuncCurChar : kSlotMiscWinTitle, v.x + 8, y, v.lines[i], true);
  }
  const int pageX = v.x + v.width - 8 - static_cast<int>(v.pageLine.size()) * 8;
  TextTransparent(kSlotMiscWinTitle, pageX, v.y + v.height - 18, v.pageLine, true);
}

void DrawLinesWindow(int top, const std::vector<std::string>& lines, const std::string& pageLine) {
  const int height = static_cast<int>(lines.size()) * kLinePitch + 10 + (pageLine.empty() ? 0 : 14);
  Panel(kWindowLeft, top, kWindowWidth, height, kSlotIntWinBack, 3);
  for (size_t i = 0; i < lines.size(); ++i) {
    TextTransparent(kSlotMiscWinTitle, kWindowLeft + 4, top + 5 + static_cast<int>(i) * kLinePitch,
                    TrimmedRight(lines[i]), true);
  }
  if (!pageLine.empty()) {
    const int x = kWindowLeft + kWindowWidth - 8 - static_cast<int>(pageLine.size()) * 8;
    TextTransparent(kSlotMiscWinTitle, x, top + height - 16, pageLine, true);
  }
}

}  // namespace

bool ResultBlockFitsDataArea() {
  const std::vector<std::string> lines = ResultBlockLines();
  return !lines.empty() && std::all_of(lines.begin(), lines.end(), [](const std::string& l) {
    return TrimmedRight(l).size() <= kDataAreaChars;
  });
}

void DrawAnalysisWindows() {
  if (GraphCount(GInstrument->screen.screenMode) == 0) return;
  const ResultWindowView table = ResultWindowLayout();
  if (table.shown) DrawLinesWindow(kTableTop, table.lines, table.pageLine);
  if (!ResultBlockFitsDataArea()) {
    const std::vector<std::string> block = ResultBlockLines();
    if (!block.empty()) {
      const int height = static_cast<int>(block.size()) * kLinePitch + 10;
      DrawLinesWindow(kGraphBottom - height, block, "");
    }
  }
  const SettingWindowView setting = SettingWindowLayout();
  if (setting.shown) DrawSettingWindow(setting);
}

}  // namespace vq
