// Go/no-go templates: the upper, lower and target lines, their rendering on the measured axis
// and the judgement settings.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace vq {

constexpr int kTemplateLineCount = 3;  // upper 0, lower 1, target 2
constexpr int kTemplateMaxPoints = 50001;
constexpr int kTemplateMinPoints = 2;

enum TemplateLineIndex { kLineUpper = 0, kLineLower = 1, kLineTarget = 2 };
enum TemplateMode { kTemplateAbsolute = 0, kTemplateRelative = 1 };
enum TemplateExtrapolation { kExtrapolTypeA = 0, kExtrapolTypeB = 1, kExtrapolNone = 2 };
enum TemplateJudgeType { kJudgeUpperLower = 0, kJudgeUpper = 1, kJudgeLower = 2 };

struct TemplatePoint {
  double wl = 0.0;     // nm (RELATIVE: nm from the pane's centre)
  double level = 0.0;  // dB (RELATIVE: dB from the pane's reference)
};

struct TemplateLine {
  std::vector<TemplatePoint> points;  // ascending wavelengths
  int16_t mode = kTemplateAbsolute;
  int16_t extrapolation = kExtrapolTypeA;
  int16_t display = 0;  // 0 OFF, 1 ON
  // The line at every point of the measured axis in mW (0 where it has no points), and the first
  // and last index where it exists (-1 when nowhere).
  std::vector<double> rendered;
  int32_t first = -1, last = -1;
};

// What the rendered lines were computed from: any difference renders them again.
struct TemplateRenderKey {
  double start = 0, span = 0;
  int32_t points = -1;
  double wlOffset = 0, levelOffset = 0;
  bool linearOffset = false;
  double wlShift = 0, levelShift = 0;
  uint64_t edits = 0;
  bool operator==(const TemplateRenderKey&) const = default;
};

// What a judgement depended on besides the trace data: any difference judges again.
struct TemplateJudgeKey {
  int activeTrace = -1;
  double windowStart = 0, windowSpan = 0;
  uint16_t rangeLineMarkers = 0, l1On = 0, l2On = 0;
  double l1 = 0, l2 = 0;
  int16_t type = 0;
  TemplateRenderKey rendered{};
  bool operator==(const TemplateJudgeKey&) const = default;
};

struct TemplateState {
  std::array<TemplateLine, kTemplateLineCount> lines;
  int16_t goNoGo = 0;  // 0 OFF, 1 ON
  int16_t type = kJudgeUpperLower;
  double wlShift = 0.0;     // nm
  double levelShift = 0.0;  // dB
  int16_t result = -1;      // 1 pass, 0 fail, -1 none
  int32_t firstFailIndex = -1;
  // Counts changes of points, mode and extrapolation, so the lines are rendered again.
  uint64_t edits = 1;
  TemplateRenderKey rendered{};
  TemplateJudgeKey judged{};
  // TEMPLATE EDIT: the line edited, the cursor's point and the first row shown.
  int16_t editLine = kLineUpper;
  int32_t editPoint = 0;
  int32_t editTop = 0;
  int16_t editField = 0;    // VALUE EDIT: 0 point number, 1 wavelength, 2 level
  TemplatePoint editValue;  // the point VALUE EDIT is building
  bool editShown = false;
  // Set at start-up by the template code: run by the trace layer after new data arrive in a trace.
  void (*newTraceData)(int trace) = nullptr;
};

}  // namespace vq
