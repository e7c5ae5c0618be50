// What the filter analyses show: the FILTER-PK / FILTER-BTM result block, the WDM filter channel
// table and its CSV text, and the results as named fields.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "analysis/filter.h"
#include "analysis/marker_texts.h"
#include "instrument.h"
#include "traces/meas_condition.h"

namespace vq {

namespace {

std::string Format(const char* format, double v) {
  char text[64];
  std::snprintf(text, sizeof text, format, v);
  return text;
}

// Writes text into a line at a column, padding with blanks.
void Put(std::string& line, size_t column, const std::string& text) {
  if (line.size() < column + text.size()) line.resize(column + text.size(), ' ');
  line.replace(column, text.size(), text);
}

// Columns of a result row: the first value after its 15-character label, the second after the
// label that ends at column 47.
constexpr size_t kFirstValue = 16, kSecondValue = 48;

std::string Row(const char* labels, const std::string& first, const std::string& second = "") {
  std::string row = labels;
  if (!first.empty()) Put(row, kFirstValue, first);
  if (!second.empty()) Put(row, kSecondValue, second);
  if (row.size() < kResultLineWidth) row.resize(kResultLineWidth, ' ');
  return row;
}

bool Thz() {
  return GInstrument->analysis.search.markerUnit == kUnitThz;
}

// A wavelength value of the channel table: "%9.3f" in nm, or its frequency in THz.
std::string WlValue(double nm) {
  return Format("%9.3f", Thz() ? WavelengthToFrequency(nm) : nm);
}

const char* DetectionName(bool bottom, int algo) {
  static constexpr const char* kPk[] = {"PEAK", "MEAN", "GRID FIT", "GRID"};
  static constexpr const char* kBtm[] = {"BOTTOM", "NOTCH(P)", "NOTCH(B)", "GRID FIT", "GRID"};
  if (bottom) return algo >= 0 && algo < 5 ? kBtm[algo] : "";
  return algo >= 0 && algo < 4 ? kPk[algo] : "";
}

bool BottomTable() {
  return GInstrument->analysis.resultKind == kResultWdmFilBtm;
}

using Cells = std::vector<std::string>;

// One column of the channel table: two title lines, its cell width and its CSV heading.
struct Column {
  std::string top, bottom, csv;
  int width;
  std::vector<std::string> (*cell)(const WdmFilterChannel&);  // the values, each in its cell
};

std::vector<Column> TableColumns() {
  const WdmFilterSettings& s = GInstrument->analysis.filter.wdmWorking;
  const bool thz = Thz(), btm = BottomTable();
  const std::string unit = thz ? "THz]" : "nm]";
  std::vector<Column> c;
  c.push_back({"NOMINAL", thz ? "FREQ[THz]" : " WL[nm]",
               thz ? "NOMINAL FREQ[THz]" : "NOMINAL WL[nm]", 9,
               [](const WdmFilterChannel& ch) { return Cells{WlValue(ch.nominalNm)}; }});
  if (s.swPeak != 0) {
    const std::string wl = btm ? (thz ? "BTM FREQ" : "BTM WL") : (thz ? "PK FREQ" : "PK WL");
    const std::string lvl = btm ? "BTM LVL" : "PK LVL";
    c.push_back({wl, "[" + unit, wl + "[" + unit, 9,
                 [](const WdmFilterChannel& ch) { return Cells{WlValue(ch.peakNm)}; }});
    c.push_back({lvl, "[dBm]", lvl + "[dBm]", 8,
                 [](const WdmFilterChannel& ch) { return Cells{Format("%8.3f", ch.peakDbm)}; }});
  }
  if (s.swWidth != 0) {
    const std::string x = Format("%.1fdB", s.widthThresh);
    c.push_back({x, "WD[" + unit, x + " WD[" + unit, 8, [](const WdmFilterChannel& ch) {
                   return Cells{Format("%8.3f", Thz() ? ch.widthThz : ch.widthNm)};
                 }});
    c.push_back({thz ? "CTR FREQ" : "CTR WL", "[" + unit, thz ? "CTR FREQ[THz]" : "CTR WL[nm]", 9,
                 [](const WdmFilterChannel& ch) { return Cells{WlValue(ch.centreNm)}; }});
  }
  if (s.swStop != 0) {
    const std::string x = Format("%.1fdB", s.stopThresh);
    c.push_back({x, "SB[" + unit, x + " SB[" + unit, 8, [](const WdmFilterChannel& ch) {
                   return Cells{Format("%8.3f", Thz() ? ch.stopThz : ch.stopNm)};
                 }});
  }
  if (s.swPass != 0) {
    const std::string x = Format("%.1fdB", s.passThresh);
    const std::string band = btm ? "EB[" : "PB[";
    c.push_back({x, band + unit, x + " " + band + unit, 8, [](const WdmFilterChannel& ch) {
                   return Cells{Format("%8.3f", Thz() ? ch.passThz : ch.passNm)};
                 }});
  }
  if (s.swRipple != 0) {
    c.push_back({"RIPPLE", " [dB]", "RIPPLE[dB]", 8,
                 [](const WdmFilterChannel& ch) { return Cells{Format("%8.3f", ch.rippleDb)}; }});
  }
  if (s.swCross != 0) {
    c.push_back({"CROSS TK(L)", "  [dB]  (R)", "CROSS TK(L)[dB],CROSS TK(R)[dB]", 16,
                 [](const WdmFilterChannel& ch) {
                   return Cells{Format("%8.3f", ch.crossLeftDb), Format("%8.3f", ch.crossRightDb)};
                 }});
  }
  return c;
}

std::string RightAligned(const std::string& text, int width) {
  return text.size() >= static_cast<size_t>(width) ? text
                                                   : std::string(width - text.size(), ' ') + text;
}

std::string Title() {
  return BottomTable() ? "<WDM FILTER(BOTTOM) ANALYSIS>" : "<WDM FILTER(PEAK) ANALYSIS>";
}

// Puts each value after its label's colon.
std::string Labelled(const char* labels,
                     const std::vector<std::pair<const char*, std::string>>& v) {
  std::string line = labels;
  for (const auto& [label, value] : v) {
    const size_t at = line.find(label);
    if (at != std::string::npos) Put(line, at + std::string(label).size(), value);
  }
  return line;
}

}  // namespace

std::vector<std::string> FilterResultLines() {
  const AnalysisState& a = GInstrument->analysis;
  const FilterResult& r = a.filter.result;
  const bool btm = a.resultKind == kResultFilterBtm;
  const int unit = a.search.markerUnit;
  auto valid = [&](int flag) { return r.valid[flag] != 0; };
  std::vector<std::string> lines = {btm ? "<FILTER-BOTTOM ANALYSIS>" : "<FILTER-PEAK ANALYSIS>"};
  lines.push_back(Row(btm ? "     BOTTOM WL:                   BOTTOM LEVEL:"
                          : "       PEAK WL:                     PEAK LEVEL:",
                      valid(kFilterWavelength) ? WavelengthText(r.extremeNm, unit) : "",
                      valid(kFilterLevel) ? Format("%8.2fdBm", r.extremeDbm) : ""));
  const std::string width =
      unit == kUnitThz ? Format("%9.5fTHz", r.widthThz) : Format("%9.4fnm", r.widthNm);
  lines.push_back(Row("     CENTER WL:                     SPEC WIDTH:",
                      valid(kFilterCentre) ? WavelengthText(r.centreNm, unit) : "",
                      valid(kFilterWidth) ? width : ""));
  if (!btm) {
    lines.push_back(
        Row("        RIPPLE:", valid(kFilterRipple) ? Format("%8.2fdB", r.rippleDb) : ""));
  }
  lines.push_back(Row("    CROSS TALK:", valid(kFilterCrossTalk)
                                             ? "(L) " + Format("%8.2fdB", r.crossLeftDb) +
                                                   "  (R) " + Format("%8.2fdB", r.crossRightDb)
                                             : ""));
  return lines;
}

ResultTable WdmFilterTable() {
  const FilterState& f = GInstrument->analysis.filter;
  const WdmFilterSettings& s = f.wdmWorking;
  const bool btm = BottomTable();
  ResultTable t;
  t.header.push_back(Title());
  t.header.push_back(
      Labelled(" [CH DETECTION] ALGO:          TH:        MODE DIFF:         TEST BAND:",
               {{"ALGO:", DetectionName(btm, s.algo)},
                {"TH:", Format("%.2fdB", s.thresh)},
                {"MODE DIFF:", Format("%.2fdB", s.modeDiff)},
                {"TEST BAND:", Format("%.3fnm", s.testBand)}}));
  if (s.swPass != 0) t.header.push_back("[PASS BAND] TEST BAND:" + Format("%.2fnm", s.passBand));
  if (s.swRipple != 0) t.header.push_back(" [RIPPLE]  TEST BAND:" + Format("%.2fnm", s.rippleBand));
  if (s.swCross != 0) {
    t.header.push_back(Labelled(" [CROSS TALK] SPACING:           TEST BAND:",
                                {{"SPACING:", Format("%.2fnm", s.spacing)},
                                 {"TEST BAND:", Format("%.2fnm", s.crossBand)}}));
  }
  const std::vector<Column> columns = TableColumns();
  std::string top = "NO.", bottom = "   ";
  for (const Column& c : columns) {
    top += RightAligned(c.top, c.width);
    bottom += RightAligned(c.bottom, c.width);
  }
  t.columns = {top, bottom};
  for (int k = 0; k < f.channelCount; ++k) {
    std::string row = Format("%3.0f", k + 1);
    for (const Column& c : columns) {
      for (const std::string& cell : c.cell(f.channels[k])) row += cell;
    }
    t.rows.push_back(row);
  }
  return t;
}

std::vector<std::string> WdmFilterCsvLines() {
  const FilterState& f = GInstrument->analysis.filter;
  const WdmFilterSettings& s = f.wdmWorking;
  const bool btm = BottomTable();
  std::vector<std::string> lines = {Title(),
                                    "[CH DETECTION]",
                                    std::string("ALGO,") + DetectionName(btm, s.algo),
                                    Format("TH[dB],%.1f", s.thresh),
                                    Format("MODE DIFF[dB],%.1f", s.modeDiff),
                                    Format("TEST BAND[nm],%.3f", s.testBand),
                                    "[PASS BAND]",
                                    Format("TEST BAND[nm],%.2f", s.passBand),
                                    btm ? "BOTTOM" : "PEAK",
                                    "[RIPPLE]",
                                    "[CROSS TALK]",
                                    Format("SPACING[nm],%.2f", s.spacing)};
  const std::vector<Column> columns = TableColumns();
  std::string header = "NO.";
  for (const Column& c : columns) header += "," + c.csv;
  lines.push_back(header);
  for (int k = 0; k < f.channelCount; ++k) {
    std::string row = Format("%.0f", k + 1);
    for (const Column& c : columns) {
      for (const std::string& cell : c.cell(f.channels[k])) {
        row += "," + cell.substr(std::min(cell.find_first_not_of(' '), cell.size()));
      }
    }
    lines.push_back(row);
  }
  return lines;
}

ResultRecord FilterRecord() {
  const FilterResult& r = GInstrument->analysis.filter.result;
  ResultRecord record;
  auto add = [&](int flag, const char* name, double v) {
    if (r.valid[flag]) record.fields.push_back({name, v});
  };
  add(kFilterWavelength, "peak_nm", r.extremeNm);
  add(kFilterLevel, "peak_dbm", r.extremeDbm);
  add(kFilterCentre, "center_nm", r.centreNm);
  add(kFilterWidth, "width_nm", r.widthNm);
  add(kFilterWidth, "width_thz", r.widthThz);
  add(kFilterRipple, "ripple_db", r.rippleDb);
  add(kFilterCrossTalk, "crosstalk_left_db", r.crossLeftDb);
  add(kFilterCrossTalk, "crosstalk_right_db", r.crossRightDb);
  add(kFilterCrossTalk, "reference_nm", r.referenceNm);
  return record;
}

ResultRecord WdmFilterRecord() {
  const FilterState& f = GInstrument->analysis.filter;
  const WdmFilterSettings& s = f.wdmWorking;
  const bool btm = BottomTable();
  ResultRecord record;
  record.multichannel = true;
  record.fields.push_back({"channel_count", static_cast<double>(f.channelCount)});
  for (int k = 0; k < f.channelCount; ++k) {
    const WdmFilterChannel& ch = f.channels[k];
    std::vector<ResultField> c = {{"nominal_nm", ch.nominalNm}};
    if (s.swPeak != 0) {
      c.push_back({btm ? "bottom_nm" : "peak_nm", ch.peakNm});
      c.push_back({btm ? "bottom_dbm" : "peak_dbm", ch.peakDbm});
    }
    if (s.swWidth != 0) {
      c.push_back({"width_nm", ch.widthNm});
      c.push_back({"center_nm", ch.centreNm});
    }
    if (s.swStop != 0) c.push_back({"stop_band_nm", ch.stopNm});
    if (s.swPass != 0) c.push_back({btm ? "elimination_band_nm" : "pass_band_nm", ch.passNm});
    if (s.swRipple != 0) c.push_back({"ripple_db", ch.rippleDb});
    if (s.swCross != 0) {
      c.push_back({"crosstalk_left_db", ch.crossLeftDb});
      c.push_back({"crosstalk_right_db", ch.crossRightDb});
    }
    record.channels.push_back(std::move(c));
  }
  return record;
}

}  // namespace vq
