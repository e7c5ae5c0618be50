// Marker area, marker list and spectral width result texts.
#include "analysis/marker_texts.h"

#include <cassert>
#include <cmath>
#include <cstdio>

#include "instrument.h"
#include "traces/meas_condition.h"

namespace vq {

namespace {

// A ratio to a zero level, in the level's 8-character cell.
constexpr const char* kUnknownRatio = "   ?????";

// Half up on the 0.0001 grid. The nudge keeps a decimal tie (1550.00005, held in binary a hair
// below) on its upper side; it is far below the grid itself.
double RoundToGrid(double v) {
  return std::floor(v * 1e4 + 0.5 + 1e-6) / 1e4;
}

// A cell full of asterisks with the point where the format puts it: "****.****".
std::string Stars(int cell, int decimals) {
  std::string s(cell, '*');
  s[cell - decimals - 1] = '.';
  return s;
}

// "%<cell>.<decimals>f", or the asterisks when the number does not fit.
std::string Cell(double v, int cell, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%*.*f", cell, decimals, v);
  const std::string s = text;
  if (!std::isfinite(v) || static_cast<int>(s.size()) > cell) return Stars(cell, decimals);
  return s;
}

// A frequency (or frequency difference): five decimals below 1000 THz, four from there up.
std::string FrequencyCell(double thz, int cell) {
  return Cell(thz, cell, std::fabs(thz) < 1000 ? 5 : 4) + "THz";
}

// The wavelength below which no frequency is shown.
constexpr double kShortestThzWavelength = 30.0;

std::string PadTo(std::string s, size_t column) {
  if (s.size() < column) s.resize(column, ' ');
  return s;
}

// Writes text into a line at a column, widening the line as needed.
void Put(std::string& line, size_t column, const std::string& text) {
  line = PadTo(line, column + text.size());
  line.replace(column, text.size(), text);
}

void TrimRight(std::string& s) {
  s.erase(s.find_last_not_of(' ') + 1);
}

// The linear unit that keeps a power at 1 or more: mW, uW, nW, else pW.
const char* PowerUnit(double mw, double& scaled) {
  constexpr const char* kNames[] = {"mW", "uW", "nW", "pW"};
  double unit = 1.0;
  for (int i = 0; i < 3; ++i, unit *= 1e-3) {
    if (std::fabs(mw) >= unit) {
      scaled = mw / unit;
      return kNames[i];
    }
  }
  scaled = mw / unit;
  return kNames[3];
}

}  // namespace

std::string WavelengthText(double nm, int unit, int cell) {
  assert((cell == 9 || cell == 10) && "wavelength cells are 9 or 10 characters");
  if (unit != kUnitThz) return Cell(RoundToGrid(nm), cell, 4) + "nm";
  if (!(nm >= kShortestThzWavelength)) return Stars(cell, 5) + "THz";
  return FrequencyCell(WavelengthToFrequency(nm), cell);
}

std::string WavelengthDifferenceText(double nmA, double nmB, int unit, int cell) {
  if (unit != kUnitThz) return Cell(RoundToGrid(nmB - nmA), cell, 4) + "nm";
  if (!(nmA >= kShortestThzWavelength) || !(nmB >= kShortestThzWavelength)) {
    return Stars(cell, 5) + "THz";
  }
  return FrequencyCell(WavelengthToFrequency(nmB) - WavelengthToFrequency(nmA), cell);
}

std::string LevelText(double mw, const LevelFormat& f) {
  const std::string perNm = f.perNm ? "/nm" : "";
  switch (f.style) {
    case LevelStyle::Dbm:
      return Cell(RoundToGrid(LinearToDbm(mw)), 8, f.decimals) + "dBm" + perNm;
    case LevelStyle::Db:
      return Cell(RoundToGrid(LinearToDbm(mw)), 8, f.decimals) + "dB";
    case LevelStyle::Linear: {
      double scaled = 0.0;
      const char* unit = PowerUnit(mw, scaled);
      return Cell(scaled, 8, f.decimals) + unit + perNm;
    }
    case LevelStyle::Ratio:
      return Cell(mw, 8, f.decimals);
    case LevelStyle::Percent:
      return Cell(mw * 100.0, 8, f.decimals) + "%";
  }
  return "";
}

std::string RatioText(double mwA, double mwB, const LevelFormat& f) {
  if (mwB == 0.0) return kUnknownRatio;
  if (f.Log()) return Cell(RoundToGrid(LinearToDbm(mwA) - LinearToDbm(mwB)), 8, f.decimals) + "dB";
  return Cell(mwA / mwB, 8, f.decimals);
}

//-------------------------------------------------------------------------------------------------
// Marker row
//-------------------------------------------------------------------------------------------------

std::array<std::string, 2> MarkerRowLines(const TraceLevelFormats& formats) {
  const Instrument& g = *GInstrument;
  const AnalysisState& a = g.analysis;
  const int unit = a.search.markerUnit;
  std::array<std::string, 2> lines;
  const MarkerSlot& moving = a.markers[kMovingMarker];
  if (moving.on == 1) {
    Put(lines[0], kMarkerRowColumns[0], "  MKR:" + WavelengthText(moving.wavelength, unit));
    const LevelFormat& f = formats[moving.trace < kTraceCount ? moving.trace : 0];
    Put(lines[1], kMarkerRowColumns[0], "  LVL:" + LevelText(moving.level, f));
  }
  const auto& l = a.lineMarkers;
  const LevelFormat& active = formats[g.traces.state.activeTrace % kTraceCount];
  for (int i = 0; i < 2; ++i) {
    const std::string name = "   L" + std::to_string(i + 1) + ":";
    if (l[i].on == 1) Put(lines[i], kMarkerRowColumns[1], name + WavelengthText(l[i].value, unit));
    const std::string level = "   L" + std::to_string(i + 3) + ":";
    if (l[i + 2].on == 1)
      Put(lines[i], kMarkerRowColumns[2], level + LevelText(l[i + 2].value, active));
  }
  if (l[0].on == 1 && l[1].on == 1) {
    Put(lines[0], kMarkerRowColumns[3],
        "L2-L1:" + WavelengthDifferenceText(l[0].value, l[1].value, unit));
  }
  if (l[2].on == 1 && l[3].on == 1) {
    Put(lines[1], kMarkerRowColumns[3],
        std::string(active.Log() ? "L4/L3:" : "L4-L3:") +
            RatioText(l[3].value, l[2].value, active));
  }
  for (std::string& line : lines) TrimRight(line);
  return lines;
}

//-------------------------------------------------------------------------------------------------
// Marker list
//-------------------------------------------------------------------------------------------------

namespace {

// Columns of a marker list row: number, trace, wavelength, level, difference.
constexpr int kListTrace = 9, kListWavelength = 11, kListLevel = 24, kListDifference = 39,
              kListLevelDifference = 53;

}  // namespace

int FixedMarkersOn() {
  int n = 0;
  for (int i = 1; i <= kFixedMarkers; ++i) n += GInstrument->analysis.markers[i].on == 1;
  return n;
}

std::vector<std::string> MarkerListLines(const TraceLevelFormats& formats, int maxRows) {
  const Instrument& g = *GInstrument;
  const AnalysisState& a = g.analysis;
  const int unit = a.search.markerUnit;
  const bool spacing = a.search.markerDisplay == 1;
  // The difference column follows the active trace's scale.
  const LevelFormat& active = formats[g.traces.state.activeTrace % kTraceCount];
  std::string heading;
  Put(heading, kListWavelength, "WAVELENGTH");
  Put(heading, kListLevel, "LEVEL");
  Put(heading, kListDifference, spacing ? "SPACING:" : active.Log() ? "MKR-MKRn:" : "MKR/MKRn:");
  std::vector<std::string> lines = {heading};

  const MarkerSlot& moving = a.markers[kMovingMarker];
  const MarkerSlot* previous = nullptr;  // the next lower-numbered marker that is on
  for (int n = 1; n <= kFixedMarkers && static_cast<int>(lines.size()) <= maxRows; ++n) {
    const MarkerSlot& m = a.markers[n];
    if (m.on != 1) continue;
    char number[16];
    std::snprintf(number, sizeof number, "MKR%04d:", n);
    std::string row = number;
    Put(row, kListTrace, std::string(1, static_cast<char>('A' + m.trace % kTraceCount)));
    Put(row, kListWavelength, WavelengthText(m.wavelength, unit));
    Put(row, kListLevel, LevelText(m.level, formats[m.trace % kTraceCount]));
    const MarkerSlot* other = spacing ? previous : (moving.on == 1 ? &moving : nullptr);
    if (other != nullptr) {
      Put(row, kListDifference,
          WavelengthDifferenceText(other->wavelength, m.wavelength, unit, 10));
      Put(row, kListLevelDifference, RatioText(m.level, other->level, active));
    }
    TrimRight(row);
    lines.push_back(row);
    previous = &m;
  }
  return lines;
}

//-------------------------------------------------------------------------------------------------
// Spectral width result
//-------------------------------------------------------------------------------------------------

namespace {

// Columns of a result row: the parameter value after its label, the result label and value.
constexpr int kParameterColumn = 16, kResultLabelColumn = 33, kResultColumn = 37;
constexpr const char kWidthLabel[] = "\x8D\x8B:";   // Delta lambda
constexpr const char kCentreLabel[] = "\x8B\x43:";  // lambda C

constexpr const char* kWidthTitles[kWidthItems] = {"THRESHOLD>", "ENVELOPE>", "RMS>", "PEAK RMS>",
                                                   "NOTCH>"};

std::string Format(const char* format, double v) {
  char text[64];
  std::snprintf(text, sizeof text, format, v);
  return text;
}

// One row: the fixed label line, the parameter value, and a result with or without its label.
std::string ResultRow(const char* labels, const std::string& parameter, const char* resultLabel,
                      const std::string& result) {
  std::string row = PadTo(labels, kResultLineWidth);
  if (!parameter.empty()) Put(row, kParameterColumn, parameter);
  if (resultLabel != nullptr) Put(row, kResultLabelColumn, resultLabel);
  if (!result.empty()) Put(row, kResultColumn, result);
  assert(row.size() == kResultLineWidth && "a result row is one label line wide");
  return row;
}

}  // namespace

std::vector<std::string> WidthResultLines() {
  const AnalysisState& a = GInstrument->analysis;
  const int item = a.item;
  if (item < 0 || item >= kWidthItems) return {};
  const int unit = a.search.markerUnit;
  const WidthParameters& p = a.working;
  const WidthResult& r = a.width;
  const std::string thresh = Format("%5.2fdB", p.threshLevel);
  const std::string k = Format("%5.2f", p.k);
  const std::string width =
      unit == kUnitThz ? Cell(r.widthThz, 9, 5) + "THz" : Cell(r.widthNm, 9, 4) + "nm";
  const std::string centre = WavelengthText(r.centreNm, unit);
  const std::string modes = Format("%-5.0f", r.modeCount);

  std::vector<std::string> lines = {std::string("<SPECTRAL WIDTH ANALYSIS: ") + kWidthTitles[item]};
  if (item == kItemEnvelope) {
    lines.push_back(ResultRow(" THRESH LEVEL1:", thresh, kWidthLabel, width));
    lines.push_back(
        ResultRow(" THRESH LEVEL2:", Format("%5.2fdB", p.threshLevel2), kCentreLabel, centre));
    lines.push_back(ResultRow("             K:            MODE NUM:", k, nullptr, modes));
    return lines;
  }
  lines.push_back(ResultRow("  THRESH LEVEL:", thresh, kWidthLabel, width));
  lines.push_back(ResultRow("             K:", k, kCentreLabel, centre));
  switch (item) {
    case kItemThresh:
      lines.push_back(ResultRow("      MODE FIT:                MODE:", p.modeFit ? "ON " : "OFF",
                                nullptr, modes));
      break;
    case kItemPeakRms:
      lines.push_back(ResultRow("                           MODE NUM:", "", nullptr, modes));
      break;
    case kItemNotch:
      lines.push_back(ResultRow("          TYPE:", p.type ? "BOTTOM" : "PEAK  ", nullptr, ""));
      break;
    default:  // RMS: the two rows
      break;
  }
  return lines;
}

}  // namespace vq
