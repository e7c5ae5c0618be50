// Result blocks and named result fields of the light-source analyses.
#include <cassert>
#include <cmath>
#include <cstdio>

#include "analysis/light_source.h"
#include "analysis/marker_texts.h"
#include "analysis/result_view.h"
#include "instrument.h"
#include "traces/meas_condition.h"

namespace vq {

namespace {

constexpr int kMaxLine = 86;
constexpr int kThirdColumn = 58;  // values of the third column (after "POWER:", the sigma labels)
constexpr int kColorColumn = 14;  // COLOR values, under " DOMINANT WL:"
constexpr const char kSigma[] = "\x10:";
constexpr const char kKSigma[] = "K\x10:";

std::string Format(const char* format, double v) {
  char text[64];
  std::snprintf(text, sizeof text, format, v);
  return text;
}

// "%<cell>.<decimals>f", or asterisks around the point when the number does not fit.
std::string Cell(double v, int cell, int decimals) {
  const std::string s =
      Format(("%" + std::to_string(cell) + "." + std::to_string(decimals) + "f").c_str(), v);
  if (std::isfinite(v) && static_cast<int>(s.size()) <= cell) return s;
  std::string stars(cell, '*');
  stars[cell - decimals - 1] = '.';
  return stars;
}

void Put(std::string& line, size_t column, const std::string& text) {
  if (line.size() < column + text.size()) line.resize(column + text.size(), ' ');
  line.replace(column, text.size(), text);
}

// A row from its fixed label line: value k goes two columns after the label line's k-th colon
// (an empty value leaves its place blank); `third` goes at the third value column.
std::string Row(const std::string& labels, std::initializer_list<std::string> values,
                const std::string& third = "") {
  std::string row = labels;
  size_t colon = 0;
  for (const std::string& v : values) {
    colon = labels.find(':', colon);
    assert(colon != std::string::npos && "one colon per value");
    if (!v.empty()) Put(row, colon + 2, v);
    ++colon;
  }
  if (!third.empty()) Put(row, kThirdColumn, third);
  while (!row.empty() && row.back() == ' ') row.pop_back();
  assert(row.size() <= kMaxLine && "a result line fits the display");
  return row;
}

int Unit() {
  return GInstrument->analysis.search.markerUnit;
}

std::string Level(double mw) {
  return Cell(LinearToDbm(mw), 8, 2) + "dBm";
}
std::string Ratio(double ratio) {
  return Cell(LinearToDbm(ratio), 8, 2) + "dB";
}
// A width or distance: nm, or THz in unit THz.
std::string Span(double nm, double thz) {
  return Unit() == kUnitThz ? Cell(thz, 9, 5) + "THz" : Cell(nm, 9, 4) + "nm";
}

// "%7.2fdBm (" and the linear power with its unit prefix in five characters.
std::string PowerText(double mw) {
  std::string text = Format("%7.2fdBm (", LinearToDbm(mw));
  constexpr const char* kUnits[] = {"mW", "uW", "nW", "pW"};
  int u = 0;
  double v = mw;
  while (u < 3 && v < 1) {
    v *= 1000;
    ++u;
  }
  const char* format = v >= 1000  ? "%5.0f%s)"
                       : v >= 100 ? "%5.1f%s)"
                       : v >= 10  ? "%5.2f%s)"
                                  : "%5.3f%s)";
  char linear[32];
  std::snprintf(linear, sizeof linear, format, v, kUnits[u]);
  if (!(mw > 0) || !std::isfinite(mw) || std::string(linear).size() > 8)
    return text + "**********)";
  return text + linear;
}

// One SMSR value, or the left and right values of the two-sided modes.
std::string Sided(const SmsrResult& r, std::string (*one)(const SmsrResult&, int)) {
  if (!IsTwoSided(r.mode)) return one(r, 0);
  return "(L) " + one(r, 0) + " (R) " + one(r, 1);
}
std::string SmsrValue(const SmsrResult& r, int k) {
  return Ratio(r.ratio[k]);
}
std::string OffsetValue(const SmsrResult& r, int k) {
  return Span(r.offsetNm[k], r.offsetThz[k]);
}

constexpr const char kSmsrLabels[] = "          SMSR:                               OSNR:";
constexpr const char kPeakLabels[] = "       PEAK WL:               PK LEVEL:";
constexpr const char kOffsetLabels[] = "   MODE OFFSET:                                    POWER:";
constexpr const char kMeanLabels[] = "       MEAN WL:                     SPEC WIDTH:";
constexpr const char kLedPeakLabels[] = "       PEAK WL:                     PEAK LEVEL:";

std::vector<std::string> DfbLdLines() {
  const LightSourceState& l = GInstrument->analysis.light;
  const DfbLdResult& r = l.dfb;
  const DfbLdSettings& s = l.working.dfb;
  const bool thz = Unit() == kUnitThz;
  const double k = s.rms.k != 0 ? s.rms.k : 1.0;
  std::string widthLabels = Format(" %5.2fdB WIDTH:", s.width.thresh);
  widthLabels +=
      thz ? "               CTR FREQ:               K" : "                 CTR WL:               K";
  std::string third = Span(r.rmsWidthNm, r.rmsWidthThz);
  std::string widthRow =
      Row(widthLabels, {Span(r.widthNm, r.widthThz), WavelengthText(r.centreNm, Unit())});
  Put(widthRow, kThirdColumn - 4, kKSigma);
  Put(widthRow, kThirdColumn, third);
  std::string peakRow = Row(kPeakLabels, {WavelengthText(r.peakNm, Unit()), Level(r.peakLevel)});
  Put(peakRow, kThirdColumn - 3, kSigma);
  Put(peakRow, kThirdColumn, Span(r.rmsWidthNm / k, r.rmsWidthThz / k));
  return {
      "<DFB-LD ANALYSIS>",
      Row(kSmsrLabels, {Sided(r.smsr, SmsrValue),
                        Cell(r.osnrDb, 8, 2) + "dB" + Format("(/%4.2fnm)", s.osnr.noiseBw)}),
      peakRow,
      widthRow,
      Row(kOffsetLabels, {Sided(r.smsr, OffsetValue), PowerText(r.powerMw)}),
  };
}

std::vector<std::string> SmsrLines() {
  const LightSourceState& l = GInstrument->analysis.light;
  const SmsrResult& r = l.smsr;
  return {
      "<SMSR ANALYSIS>",
      Row("     SMSR MODE:              SMSR MASK:",
          {"MODE " + std::to_string(r.mode + 1), Format("%5.2fnm", l.working.smsr.mask)}),
      Row(kPeakLabels,
          {WavelengthText(
               IndexToWavelength(AxisOfTrace(GInstrument->analysis.resultTrace), r.mainIndex),
               Unit()),
           Level(r.mainLevel)}),
      Row("   MODE OFFSET:", {Sided(r, OffsetValue)}),
      Row("          SMSR:", {Sided(r, SmsrValue)}),
  };
}

std::vector<std::string> PowerLines() {
  return {"<POWER ANALYSIS>",
          Row("         POWER:", {PowerText(GInstrument->analysis.light.powerMw)})};
}

// PMD has no fixed label texts of its own; these follow the other blocks' columns.
std::vector<std::string> PmdLines() {
  const LightSourceState& l = GInstrument->analysis.light;
  const PmdResult& r = l.pmd;
  return {
      "<PMD ANALYSIS>",
      Row("           PMD:                PEAK NO:",
          {Format("%.3fps", r.pmdPs), Format("%.0f", r.count)}),
      Row("    FIRST FREQ:               LAST FREQ:",
          {Format("%.4fTHz", r.firstThz), Format("%.4fTHz", r.lastThz)}),
      Row("  THRESH LEVEL:", {Format("%5.2fdB", l.working.pmdThresh)}),
  };
}

std::vector<std::string> ColorLines() {
  const ColorResult& r = GInstrument->analysis.light.color;
  std::string dominant;
  if (r.dominantNm == 0) {
    dominant = Unit() == kUnitThz ? "***.*****THz" : "****.****nm";
  } else {
    dominant = WavelengthText(r.dominantNm, Unit());
  }
  std::vector<std::string> lines = {"<COLOR ANALYSIS>"};
  const std::pair<const char*, std::string> rows[] = {{" DOMINANT WL:", dominant},
                                                      {" x :", Format("%9.3E", r.x)},
                                                      {" y :", Format("%9.3E", r.y)},
                                                      {" z :", Format("%9.3E", r.z)}};
  for (const auto& [label, value] : rows) {
    std::string row = label;
    Put(row, kColorColumn, value);
    lines.push_back(row);
  }
  return lines;
}

std::vector<std::string> FpLdLines() {
  const FpLdResult& r = GInstrument->analysis.light.fp;
  return {
      "<FP-LD ANALYSIS>",
      Row(kMeanLabels, {WavelengthText(r.meanNm, Unit()), Span(r.widthNm, r.widthThz)}),
      Row("       MODE NO:", {Format("%-5.0f", r.modeCount)}),
      Row("   TOTAL POWER:", {PowerText(r.powerMw)}),
  };
}

std::vector<std::string> LedLines() {
  const LedResult& r = GInstrument->analysis.light.led;
  return {
      "<LED ANALYSIS>",
      Row(kMeanLabels, {WavelengthText(r.meanNm, Unit()), Span(r.widthNm, r.widthThz)}),
      Row(kLedPeakLabels, {WavelengthText(r.peakNm, Unit()), Level(r.peakLevel)}),
      Row("   TOTAL POWER:", {PowerText(r.powerMw)}),
  };
}

double Db(double mw) {
  return LinearToDbm(mw);
}

double SideNm(const SmsrResult& r, int k) {
  return IndexToWavelength(AxisOfTrace(GInstrument->analysis.resultTrace), r.sideIndex[k]);
}

// The SMSR fields: one side mode, or left and right.
void AddSmsrFields(const SmsrResult& r, std::vector<ResultField>& f) {
  if (!IsTwoSided(r.mode)) {
    f.push_back({"side_nm", SideNm(r, 0)});
    f.push_back({"side_dbm", Db(r.sideLevel[0])});
    f.push_back({"smsr_db", Db(r.ratio[0])});
    return;
  }
  f.push_back({"side_left_nm", SideNm(r, 0)});
  f.push_back({"side_right_nm", SideNm(r, 1)});
  f.push_back({"side_left_dbm", Db(r.sideLevel[0])});
  f.push_back({"side_right_dbm", Db(r.sideLevel[1])});
  f.push_back({"smsr_left_db", Db(r.ratio[0])});
  f.push_back({"smsr_right_db", Db(r.ratio[1])});
}

}  // namespace

std::vector<std::string> LightSourceResultLines() {
  switch (GInstrument->analysis.resultKind) {
    case kResultDfbLd:
      return DfbLdLines();
    case kResultFpLd:
      return FpLdLines();
    case kResultLed:
      return LedLines();
    case kResultSmsr:
      return SmsrLines();
    case kResultPower:
      return PowerLines();
    case kResultPmd:
      return PmdLines();
    case kResultColor:
      return ColorLines();
    default:
      return {};
  }
}

ResultRecord LightSourceRecord() {
  const AnalysisState& a = GInstrument->analysis;
  const LightSourceState& l = a.light;
  ResultRecord record;
  std::vector<ResultField>& f = record.fields;
  switch (a.resultKind) {
    case kResultSmsr:
      f = {{"main_nm", IndexToWavelength(AxisOfTrace(a.resultTrace), l.smsr.mainIndex)},
           {"main_dbm", Db(l.smsr.mainLevel)}};
      AddSmsrFields(l.smsr, f);
      break;
    case kResultPower:
      f = {{"power_mw", l.powerMw}, {"power_dbm", Db(l.powerMw)}};
      break;
    case kResultPmd:
      f = {{"pmd_ps", l.pmd.pmdPs}, {"peak_count", static_cast<double>(l.pmd.count)}};
      break;
    case kResultColor:
      f = {{"dominant_nm", l.color.dominantNm},
           {"x", l.color.x},
           {"y", l.color.y},
           {"z", l.color.z}};
      break;
    case kResultDfbLd: {
      const DfbLdResult& r = l.dfb;
      const double k = l.working.dfb.rms.k != 0 ? l.working.dfb.rms.k : 1.0;
      // In the two-sided modes smsr_db and mode_offset_nm name the side with the lower SMSR.
      const int worse = IsTwoSided(r.smsr.mode) && r.smsr.ratio[1] < r.smsr.ratio[0] ? 1 : 0;
      f = {{"peak_nm", r.peakNm},
           {"peak_dbm", Db(r.peakLevel)},
           {"width_nm", r.widthNm},
           {"center_nm", r.centreNm},
           {"smsr_db", Db(r.smsr.ratio[worse])},
           {"mode_offset_nm", r.smsr.offsetNm[worse]},
           {"rms_width_nm", r.rmsWidthNm},
           {"sigma_nm", r.rmsWidthNm / k},
           {"power_dbm", Db(r.powerMw)},
           {"osnr_db", r.osnrDb}};
      if (IsTwoSided(r.smsr.mode)) {
        f.push_back({"smsr_left_db", Db(r.smsr.ratio[0])});
        f.push_back({"smsr_right_db", Db(r.smsr.ratio[1])});
      }
      break;
    }
    case kResultFpLd:
      f = {{"mean_nm", l.fp.meanNm},
           {"width_nm", l.fp.widthNm},
           {"mode_count", static_cast<double>(l.fp.modeCount)},
           {"power_dbm", Db(l.fp.powerMw)}};
      break;
    case kResultLed:
      f = {{"mean_nm", l.led.meanNm},
           {"width_nm", l.led.widthNm},
           {"peak_nm", l.led.peakNm},
           {"peak_dbm", Db(l.led.peakLevel)},
           {"power_dbm", Db(l.led.powerMw)}};
      break;
    default:
      break;
  }
  return record;
}

}  // namespace vq
