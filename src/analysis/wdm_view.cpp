// What the WDM and EDFA-NF analyses show: the channel tables in each display type and unit, the
// CSV text, the named result fields and the setting rows.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/analysis_common.h"
#include "analysis/result_view.h"
#include "analysis/wdm.h"
#include "instrument.h"
#include "resources/param_table.h"
#include "traces/meas_condition.h"

namespace vq {

namespace {

constexpr const char* kNoiseAlgoNames[] = {"AUTO-FIX", "MANUAL-FIX", "AUTO-CTR", "MANUAL-CTR",
                                           "PIT"};
constexpr const char* kFitNames[] = {"LINEAR",   "GAUSS",    "LORENZ",
                                     "3RD POLY", "4TH POLY", "5TH POLY"};
constexpr const char* kDisplayTypeNames[] = {"ABSOLUTE", "RELATIVE", "DRIFT(GRID)", "DRIFT(MEAS)"};
constexpr const char* kOffOn[] = {"OFF", "ON"};
constexpr const char* kRelationNames[] = {"OFFSET", "SPACING"};
constexpr const char* kSignalPowerNames[] = {"PEAK", "INTEGRAL"};
constexpr const char* kAseAlgoNames[] = {"AUTO-FIX", "MANUAL-FIX", "AUTO-CTR", "MANUAL-CTR"};
constexpr const char* kResBwNames[] = {"MEASURED", "CAL DATA"};

std::string Format(const char* format, double v) {
  char text[64];
  std::snprintf(text, sizeof text, format, v);
  return text;
}

std::string Trim(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  return s.substr(i);
}

// A line of labels with gaps ("THRESH:         MODE DIFF:"): each value is written after its
// label's colon, one blank before it, padded to the gap; a longer value pushes the rest right.
std::string FillLabels(std::string_view line, std::initializer_list<std::string> values) {
  std::string out;
  auto value = values.begin();
  size_t i = 0;
  while (i < line.size()) {
    const size_t colon = line.find(':', i);
    if (colon == std::string_view::npos || value == values.end()) {
      out += line.substr(i);
      break;
    }
    out += line.substr(i, colon + 1 - i);
    size_t next = colon + 1;
    while (next < line.size() && line[next] == ' ') ++next;
    std::string cell = " " + *value++;
    const size_t gap = next - colon - 1;
    if (next < line.size() && cell.size() + 1 > gap) cell += ' ';
    if (cell.size() < gap) cell.append(gap - cell.size(), ' ');
    out += cell;
    i = next;
  }
  return out;
}

// The end column (exclusive) of each title of a column line; titles are parted by two or more
// blanks.
std::vector<size_t> TitleEnds(std::string_view titles) {
  std::vector<size_t> ends;
  for (size_t i = 0; i < titles.size(); ++i) {
    const bool letter = titles[i] != ' ';
    const bool endsHere =
        i + 1 == titles.size() ||
        (titles[i + 1] == ' ' && (i + 2 >= titles.size() || titles[i + 2] == ' '));
    if (letter && endsHere) ends.push_back(i + 1);
  }
  return ends;
}

// The cells of a row, each right-aligned under its title, at least one blank apart.
std::string AlignUnder(const std::vector<size_t>& ends, const std::vector<std::string>& cells) {
  std::string row;
  for (size_t k = 0; k < cells.size(); ++k) {
    const size_t end = k < ends.size() ? ends[k] : row.size() + cells[k].size() + 1;
    size_t start = end >= cells[k].size() ? end - cells[k].size() : 0;
    if (!row.empty()) start = std::max(start, row.size() + 1);
    row.append(start > row.size() ? start - row.size() : 0, ' ');
    row += cells[k];
  }
  return row;
}

// Writes `text` over the blanks of `line` from column `at`.
void Overlay(std::string& line, size_t at, std::string_view text) {
  if (line.size() < at + text.size()) line.resize(at + text.size(), ' ');
  line.replace(at, text.size(), text);
}

bool UnitThz() {
  return GInstrument->analysis.search.markerUnit == 1;
}

bool FrequencyAxis() {
  return GInstrument->conditions.setting.frequencyMode == 1;
}

// A wavelength difference (nm) from `ref` in a cell of 9: nm, or in THz f(ref + d) - f(ref).
std::string DiffCell(double ref, double d, bool thz) {
  std::string cell =
      thz ? Format("%9.5f", WavelengthToFrequency(ref + d) - WavelengthToFrequency(ref))
          : Format("%9.4f", d);
  if (cell.size() > 9) cell = thz ? "***.*****" : "****.****";
  return cell;
}

std::string Level(double db) {
  return Format("%8.3f", db);
}

std::span<const WdmChannel> Channels() {
  const WdmState& st = GInstrument->analysis.wdm;
  return {st.channels.data(), static_cast<size_t>(st.count)};
}

// ---- WDM ----

// The reference channel of CH RELATION OFFSET: REF CH, or the highest (first of equals).
int ReferenceChannel() {
  const WdmState& st = GInstrument->analysis.wdm;
  const int ref = st.wdmWorking.refCh;
  if (ref >= 1 && ref <= st.count) return ref - 1;
  int best = 0;
  for (int k = 1; k < st.count; ++k) {
    if (st.channels[k].level > st.channels[best].level) best = k;
  }
  return best;
}

struct WdmColumns {
  const char* titles;
  const char* units;  // nullptr: centred under the titles
  const char* csv;
};

WdmColumns WdmColumnsOf(const WdmSettings& s, bool thz) {
  switch (s.displayType) {
    case kRelative:
      return thz ? WdmColumns{" NO.   GRID FREQ     MEAS FREQ     REL FREQ    MEAS LEVEL      NOISE        SNR",
                              nullptr,
                              "NO.,GRID FREQ[THz],MEAS FREQ[THz],REL FREQ[THz],MEAS LEVEL[dBm],NOISE[dBm/NBW],SNR[dB]"}
                 : WdmColumns{" NO.   GRID WL        MEAS WL       REL WL     MEAS LEVEL      NOISE        SNR",
                              nullptr,
                              "NO.,GRID WL[nm],MEAS WL[nm],REL WL[nm],MEAS LEVEL[dBm],NOISE[dBm/NBW],SNR[dB]"};
    case kDriftGrid:
    case kDriftMeas: {
      const bool grid = s.displayType == kDriftGrid;
      if (thz) {
        return {grid ? " NO.  GRID FREQ  MEAS FREQ                         REF LVL                 "
                       "   DIFF MIN"
                     : " NO.   REF FREQ  MEAS FREQ                         REF LVL                 "
                       "   DIFF MIN",
                nullptr,
                grid ? "NO.,GRID FREQ[THz],MEAS FREQ[THz],DIFF MAX[THz],DIFF MIN[THz],REF "
                       "LVL[dBm],MEAS LVL[dBm],DIFF MAX[dBm],DIFF MIN[dBm]"
                     : "NO.,REF FREQ[THz],MEAS FREQ[THz],DIFF MAX[THz],DIFF MIN[THz],REF "
                       "LVL[dBm],MEAS LVL[dBm],DIFF MAX[dBm],DIFF MIN[dBm]"};
      }
      return {grid ? " NO.  GRID WL    MEAS WL                         REF LVL                    "
                     "DIFF MIN"
                   : " NO.   REF WL    MEAS WL                         REF LVL                    "
                     "DIFF MIN",
              nullptr,
              grid ? "NO.,GRID WL[nm],MEAS WL[nm],DIFF MAX[nm],DIFF MIN[nm],REF LVL[dBm],MEAS "
                     "LVL[dBm],DIFF MAX[dBm],DIFF MIN[dBm]"
                   : "NO.,REF WL[nm],MEAS WL[nm],DIFF MAX[nm],DIFF MIN[nm],REF LVL[dBm],MEAS "
                     "LVL[dBm],DIFF MAX[dBm],DIFF MIN[dBm]"};
    }
    default:
      break;
  }
  if (s.chRelation == 1) {
    return thz ? WdmColumns{" NO.   FREQUENCY       LEVEL       SPACING     LEVEL DIFF      NOISE        SNR",
                            "         [THz]         [dBm]        [THz]         [dB]       [dBm/NBW]      [dB]",
                            "NO.,FREQUENCY[THz],LEVEL[dBm],SPACING[THz],LEVEL DIFF[dB],NOISE[dBm/NBW],SNR[dB]"}
               : WdmColumns{" NO.  WAVELENGTH       LEVEL       SPACING     LEVEL DIFF      NOISE        SNR",
                            "         [nm]          [dBm]         [nm]         [dB]       [dBm/NBW]      [dB]",
                            "NO.,WAVELENGTH[nm],LEVEL[dBm],SPACING[nm],LEVEL DIFF[dB],NOISE[dBm/NBW],SNR[dB]"};
  }
  return thz ? WdmColumns{" NO.   FREQUENCY       LEVEL     OFFSET FREQ  OFFSET LEVEL     NOISE        SNR",
                          "         [THz]         [dBm]        [THz]         [dB]       [dBm/NBW]      [dB]",
                          "NO.,FREQUENCY[THz],LEVEL[dBm],OFFSET FREQ[THz],OFFSET LEVEL[dB],NOISE[dBm/NBW],SNR[dB]"}
             : WdmColumns{" NO.  WAVELENGTH       LEVEL      OFFSET WL   OFFSET LEVEL     NOISE        SNR",
                          "         [nm]          [dBm]         [nm]         [dB]       [dBm/NBW]      [dB]",
                          "NO.,WAVELENGTH[nm],LEVEL[dBm],OFFSET WL[nm],OFFSET LEVEL[dB],NOISE[dBm/NBW],SNR[dB]"};
}

// The drift title line: the fixed titles, with the wavelength difference titles written into the
// gap after the measured wavelength, the measured level and its maximum into the gap after the
// reference level; and the end column of each of the nine titles.
std::string DriftTitles(const char* fixed, std::vector<size_t>& ends) {
  std::string line = fixed;
  const std::vector<size_t> own = TitleEnds(line);  // NO., REF WL, MEAS WL, REF LVL, DIFF MIN
  const size_t measEnd = own[2], ref = line.find("REF LVL");
  Overlay(line, measEnd + 3, "DIFF MAX");
  Overlay(line, measEnd + 14, "DIFF MIN");
  Overlay(line, ref + 8, "MEAS LVL");
  Overlay(line, ref + 17, "DIFF MAX");
  ends = {own[0], own[1], own[2], measEnd + 11, measEnd + 22, own[3], ref + 16, ref + 25, own[4]};
  return line;
}

bool IsDrift(const WdmSettings& s) {
  return s.displayType == kDriftGrid || s.displayType == kDriftMeas;
}

// The cells of one channel row, by display type and unit.
std::vector<std::string> WdmCells(int k, bool thz) {
  const WdmState& st = GInstrument->analysis.wdm;
  const WdmSettings& s = st.wdmWorking;
  const WdmChannel& c = st.channels[k];
  std::vector<std::string> cells = {Format("%4.0f", k + 1.0)};
  switch (s.displayType) {
    case kRelative: {
      const double grid = NearestGridWavelength(c.wavelength);
      cells.push_back(WavelengthCell(grid, 9, thz));
      cells.push_back(WavelengthCell(c.wavelength, 9, thz));
      cells.push_back(DiffCell(grid, c.wavelength - grid, thz));
      cells.push_back(Level(c.level));
      break;
    }
    case kDriftGrid:
    case kDriftMeas: {
      const WdmDrift& d = st.drift[k];
      const bool grid = s.displayType == kDriftGrid;
      const double ref = grid ? NearestGridWavelength(c.wavelength) : d.refWavelength;
      cells.push_back(WavelengthCell(ref, 9, thz));
      cells.push_back(WavelengthCell(c.wavelength, 10, thz));
      // In THz a longer wavelength is a lower frequency: the maximum comes from the minimum.
      const double hi = grid ? d.gridDiffMax : d.measDiffMax;
      const double lo = grid ? d.gridDiffMin : d.measDiffMin;
      cells.push_back(DiffCell(ref, thz ? lo : hi, thz));
      cells.push_back(DiffCell(ref, thz ? hi : lo, thz));
      cells.push_back(Level(d.refLevel));
      cells.push_back(Level(c.level));
      cells.push_back(Level(d.levelDiffMax));
      cells.push_back(Level(d.levelDiffMin));
      return cells;
    }
    default: {
      cells.push_back(WavelengthCell(c.wavelength, 9, thz));
      cells.push_back(Level(c.level));
      const bool spacing = s.chRelation == 1;
      const int ref = spacing ? k - 1 : ReferenceChannel();
      if (spacing && k == 0) {
        cells.insert(cells.end(), {"    -", "    -"});
      } else if (!spacing && k == ref) {
        cells.insert(cells.end(), {"  (REF)", "  (REF)"});
      } else {
        const WdmChannel& r = st.channels[ref];
        cells.push_back(DiffCell(r.wavelength, c.wavelength - r.wavelength, thz));
        cells.push_back(Level(c.level - r.level));
      }
      break;
    }
  }
  cells.push_back(Level(c.noise));
  cells.push_back(Level(c.snr));
  return cells;
}

std::string AreaText(int algo, double area, bool unit) {
  if (algo != kManualFix && algo != kManualCtr) return "AUTO";
  return Format(unit ? "%.2fnm" : "%.2f", area);
}

}  // namespace

ResultTable WdmResultTable() {
  const WdmState& st = GInstrument->analysis.wdm;
  const WdmSettings& s = st.wdmWorking;
  const WdmNoiseSettings& n = s.noise;
  ResultTable t;
  std::string first = FillLabels("<WDM ANALYSIS>   THRESH:         MODE DIFF:",
                                 {Format("%.2fdB", s.thresh), Format("%.2fdB", n.modeDiff)});
  if (s.outputSlope) {
    first += FrequencyAxis() ? "  SLOPE: " + Format("%.4fdB/THz", st.slopeDbPerThz)
                             : "  SLOPE: " + Format("%.3fdB/nm", st.slopeDbPerNm);
  }
  if (n.signalPower == 1) first += "  INTEGRAL RANGE: " + Format("%.0fGHz", n.integralRange);
  t.header.push_back(first);
  t.header.push_back(FillLabels(
      "N_ALG:           N_AREA:           M_AREA:          F_ALG:         NOISE BW:",
      {kNoiseAlgoNames[n.noiseAlgo], AreaText(n.noiseAlgo, n.noiseArea, true),
       Format("%.2fnm", n.maskArea), kFitNames[n.fittingAlgo], Format("%.2fnm", n.noiseBw)}));
  const bool thz = UnitThz();
  const WdmColumns columns = WdmColumnsOf(s, thz);
  std::vector<size_t> ends = TitleEnds(columns.titles);
  const std::string titles = IsDrift(s) ? DriftTitles(columns.titles, ends) : columns.titles;
  t.columns.push_back(titles);
  const char* wl = thz ? "[THz]" : "[nm]";
  if (columns.units) {
    t.columns.push_back(columns.units);
  } else if (IsDrift(s)) {
    t.columns.push_back(AlignUnder(ends, {"", wl, wl, wl, wl, "[dBm]", "[dBm]", "[dB]", "[dB]"}));
  } else {
    t.columns.push_back(AlignUnder(ends, {"", wl, wl, wl, "[dBm]", "[dBm/NBW]", "[dB]"}));
  }
  for (int k = 0; k < st.count; ++k) t.rows.push_back(AlignUnder(ends, WdmCells(k, thz)));
  return t;
}

std::vector<std::string> WdmCsvLines() {
  const WdmState& st = GInstrument->analysis.wdm;
  const WdmSettings& s = st.wdmWorking;
  const WdmNoiseSettings& n = s.noise;
  std::vector<std::string> lines = {"<WDM ANALYSIS>", Format("THRESH[dB],%.2f", s.thresh),
                                    Format("MODE DIFF[dB],%.2f", n.modeDiff)};
  if (s.outputSlope) {
    lines.push_back(FrequencyAxis() ? Format("SLOPE[dB/THz],%.3f", st.slopeDbPerThz)
                                    : Format("SLOPE[dB/nm],%.3f", st.slopeDbPerNm));
  }
  if (n.signalPower == 1) lines.push_back(Format("INTEGRAL RANGE[GHz],%.0f", n.integralRange));
  lines.push_back(std::string("N_ALG,") + kNoiseAlgoNames[n.noiseAlgo]);
  lines.push_back("N_AREA," + AreaText(n.noiseAlgo, n.noiseArea, false));
  lines.push_back(Format("M_AREA,%.2f", n.maskArea));
  lines.push_back(std::string("F_ALG,") + kFitNames[n.fittingAlgo]);
  lines.push_back(Format("NOISE BW[nm],%.2f", n.noiseBw));
  const bool thz = UnitThz();
  lines.push_back(WdmColumnsOf(s, thz).csv);
  for (int k = 0; k < st.count; ++k) {
    std::string row;
    for (const std::string& cell : WdmCells(k, thz)) {
      row += (row.empty() ? "" : ",") + Trim(cell);
    }
    lines.push_back(row);
  }
  return lines;
}

ResultRecord WdmRecord() {
  ResultRecord r;
  r.multichannel = true;
  r.fields = {{"slope_db_per_nm", GInstrument->analysis.wdm.slopeDbPerNm}};
  for (const WdmChannel& c : Channels()) {
    r.channels.push_back({{"wavelength_nm", c.wavelength},
                          {"level_dbm", c.level},
                          {"noise_dbm", c.noise},
                          {"snr_db", c.snr}});
  }
  return r;
}

// ---- EDFA-NF ----

namespace {

constexpr const char* kEdfaTitles =
    " NO. WAVELENGTH  INPUT LVL  OUTPUT LVL   ASE LVL     RESOLN      GAIN         NF";
constexpr const char* kEdfaTitlesThz =
    " NO.  FREQUENCY  INPUT LVL  OUTPUT LVL   ASE LVL     RESOLN      GAIN         NF";

std::vector<std::string> EdfaCells(const WdmChannel& c, int k, bool thz) {
  return {Format("%4.0f", k + 1.0),    WavelengthCell(c.wavelength, 9, thz),
          Format("%8.3f", c.inputDbm), Format("%8.3f", c.outputDbm),
          Format("%8.3f", c.aseDbm),   Format("%7.3f", c.resolutionNm),
          Format("%7.3f", c.gainDb),   Format("%7.3f", c.nfDb)};
}

}  // namespace

ResultTable EdfaResultTable() {
  const EdfaSettings& s = GInstrument->analysis.wdm.edfaWorking;
  ResultTable t;
  t.header.push_back(
      FillLabels("<NF ANALYSIS>  TH:        MODE DIFF:        OFST(IN):         OFST(OUT):",
                 {Format("%.2fdB", s.thresh), Format("%.2fdB", s.modeDiff),
                  Format("%.2fdB", s.offsetIn), Format("%.2fdB", s.offsetOut)}));
  t.header.push_back(
      FillLabels("  ASE ALGO:             FIT AREA:             MASK AREA:          FIT ALGO:",
                 {kAseAlgoNames[s.aseAlgo], AreaText(s.aseAlgo, s.fitArea, true),
                  Format("%.2fnm", s.maskArea), kFitNames[s.fitAlgo]}));
  const bool thz = UnitThz();
  const char* titles = thz ? kEdfaTitlesThz : kEdfaTitles;
  t.columns = {
      titles,
      thz ? "       [THz]       [dBm]       [dBm]      [dBm]       [nm]       [dB]        [dB]"
          : "        [nm]       [dBm]       [dBm]      [dBm]       [nm]       [dB]        [dB]"};
  // " NO. WAVELENGTH": a single blank parts the first two titles.
  std::vector<size_t> ends = TitleEnds(titles);
  if (!thz) ends.insert(ends.begin(), 4);
  int k = 0;
  for (const WdmChannel& c : Channels()) t.rows.push_back(AlignUnder(ends, EdfaCells(c, k++, thz)));
  return t;
}

std::vector<std::string> EdfaCsvLines() {
  const EdfaSettings& s = GInstrument->analysis.wdm.edfaWorking;
  const bool thz = UnitThz();
  std::vector<std::string> lines = {"<NF ANALYSIS>",
                                    Format("TH[dB],%.2f", s.thresh),
                                    Format("MODE DIFF[dB],%.2f", s.modeDiff),
                                    Format("OFST(IN)[dB],%.2f", s.offsetIn),
                                    Format("OFST(OUT)[dB],%.2f", s.offsetOut),
                                    std::string("ASE ALGO,") + kAseAlgoNames[s.aseAlgo],
                                    "FIT AREA," + AreaText(s.aseAlgo, s.fitArea, false),
                                    Format("MASK AREA,%.2f", s.maskArea),
                                    std::string("FIT ALGO,") + kFitNames[s.fitAlgo],
                                    thz ? "NO.,FREQUENCY[THz],INPUT LVL[dBm],OUTPUT LVL[dBm],ASE "
                                          "LVL[dBm],RESOLN[nm],GAIN[dB],NF[dB]"
                                        : "NO.,WAVELENGTH[nm],INPUT LVL[dBm],OUTPUT LVL[dBm],ASE "
                                          "LVL[dBm],RESOLN[nm],GAIN[dB],NF[dB]"};
  int k = 0;
  for (const WdmChannel& c : Channels()) {
    std::string row;
    for (const std::string& cell : EdfaCells(c, k, thz))
      row += (row.empty() ? "" : ",") + Trim(cell);
    ++k;
    lines.push_back(row);
  }
  return lines;
}

ResultRecord EdfaRecord() {
  ResultRecord r;
  r.multichannel = true;
  for (const WdmChannel& c : Channels()) {
    r.channels.push_back({{"wavelength_nm", c.wavelength},
                          {"input_dbm", c.inputDbm},
                          {"output_dbm", c.outputDbm},
                          {"ase_dbm", c.aseDbm},
                          {"resolution_nm", c.resolutionNm},
                          {"gain_db", c.gainDb},
                          {"nf_db", c.nfDb}});
  }
  return r;
}

// ---- Setting rows ----

namespace {

WdmSettings& W() {
  return GInstrument->analysis.wdm.wdm;
}
EdfaSettings& E() {
  return GInstrument->analysis.wdm.edfa;
}

constexpr WdmSettings kWdmDefaults;
constexpr EdfaSettings kEdfaDefaults;

std::string Formatted(const char* format, double v) {
  char text[32];
  std::snprintf(text, sizeof text, format, v);
  return text;
}

constexpr SettingRow Heading(const char* label, int page) {
  return {SettingKind::Heading, label, -1, {}, nullptr, nullptr, 0.0, "", page};
}

// DISPLAY MASK: the window shows "OFF" below -100 dBm; DEFAULTS switches it off. REF CH: 0 is
// HIGHEST, the highest channel.
constexpr SettingRow kWdmRows[] = {
    Heading("A. CHANNEL DETECTION SETTING", 0),
    {SettingKind::Number,
     "THRESH:",
     kParWdmThresh,
     {},
     [] { return W().thresh; },
     [](double v) { W().thresh = v; },
     kWdmDefaults.thresh,
     "%5.2fdB",
     0},
    {SettingKind::Number,
     "MODE DIFF:",
     kParModeDiff,
     {},
     [] { return W().noise.modeDiff; },
     [](double v) { W().noise.modeDiff = v; },
     kWdmDefaults.noise.modeDiff,
     "%5.2fdB",
     0},
    {SettingKind::Number,
     "DISPLAY MASK:",
     kParWdmDisplayMask,
     {},
     [] { return W().displayMask; },
     [](double v) { W().displayMask = v; },
     kWdmDefaults.displayMask,
     "%7.2fdBm",
     0,
     [](double v) { return v < -100 ? std::string("OFF") : Formatted("%7.2fdBm", v); }},
    Heading("B. INTERPOLATION SETTING", 0),
    {SettingKind::Choice, "NOISE ALGO:", -1, kNoiseAlgoNames,
     [] { return double(W().noise.noiseAlgo); },
     [](double v) { W().noise.noiseAlgo = static_cast<uint16_t>(v); }, 0, "", 0},
    {SettingKind::Number,
     "NOISE AREA:",
     kParWdmArea,
     {},
     [] { return W().noise.noiseArea; },
     [](double v) { W().noise.noiseArea = v; },
     kWdmDefaults.noise.noiseArea,
     "%5.2fnm",
     0},
    {SettingKind::Number,
     "MASK AREA:",
     kParWdmMaskArea,
     {},
     [] { return W().noise.maskArea; },
     [](double v) { W().noise.maskArea = v; },
     kWdmDefaults.noise.maskArea,
     "%5.2fnm",
     0},
    {SettingKind::Choice, "FITTING ALGO:", -1, kFitNames,
     [] { return double(W().noise.fittingAlgo); },
     [](double v) { W().noise.fittingAlgo = static_cast<uint16_t>(v); }, 0, "", 0},
    {SettingKind::Number,
     "NOISE BW:",
     kParWdmNoiseBw,
     {},
     [] { return W().noise.noiseBw; },
     [](double v) { W().noise.noiseBw = v; },
     kWdmDefaults.noise.noiseBw,
     "%4.2fnm",
     0},
    Heading("C. DISPLAY SETTING", 1),
    {SettingKind::Choice, "DUAL TRACE:", -1, kOffOn, [] { return double(W().dualTrace); },
     [](double v) { W().dualTrace = static_cast<uint16_t>(v); }, 0, "", 1},
    {SettingKind::Choice, "DISPLAY TYPE:", -1, kDisplayTypeNames,
     [] { return double(W().displayType); },
     [](double v) { W().displayType = static_cast<uint16_t>(v); }, 0, "", 1},
    {SettingKind::Choice, "CH RELATION:", -1, kRelationNames, [] { return double(W().chRelation); },
     [](double v) { W().chRelation = static_cast<uint16_t>(v); }, 0, "", 1},
    {SettingKind::Number,
     "REF CH:",
     kParWdmRefChannel,
     {},
     [] { return double(W().refCh); },
     [](double v) { W().refCh = static_cast<int32_t>(v); },
     0,
     "%4.0f",
     1,
     [](double v) { return v == 0 ? std::string("HIGHEST") : Formatted("%4.0f", v); }},
    {SettingKind::Action,
     "MAX/MIN RESET:",
     -1,
     {},
     nullptr,
     [](double) { ResetWdmDrift(); },
     0,
     "",
     1},
    {SettingKind::Choice, "OUTPUT SLOPE:", -1, kOffOn, [] { return double(W().outputSlope); },
     [](double v) { W().outputSlope = static_cast<uint16_t>(v); }, 0, "", 1},
    {SettingKind::Choice, "POINT DISPLAY:", -1, kOffOn, [] { return double(W().pointDisplay); },
     [](double v) { W().pointDisplay = static_cast<uint16_t>(v); }, 1, "", 1},
    {SettingKind::Choice, "SIGNAL POWER:", -1, kSignalPowerNames,
     [] { return double(W().noise.signalPower); },
     [](double v) { W().noise.signalPower = static_cast<uint16_t>(v); }, 0, "", 1},
    {SettingKind::Number,
     "INTEGRAL RANGE:",
     kParWdmIntegralRange,
     {},
     [] { return W().noise.integralRange; },
     [](double v) { W().noise.integralRange = v; },
     kWdmDefaults.noise.integralRange,
     "%5.1fGHz",
     1},
};

constexpr SettingRow kEdfaRows[] = {
    Heading("A. CHANNEL DETECTION SETTING", 0),
    {SettingKind::Number,
     "THRESH:",
     kParWdmThresh,
     {},
     [] { return E().thresh; },
     [](double v) { E().thresh = v; },
     kEdfaDefaults.thresh,
     "%5.2fdB",
     0},
    {SettingKind::Number,
     "MODE DIFF:",
     kParModeDiff,
     {},
     [] { return E().modeDiff; },
     [](double v) { E().modeDiff = v; },
     kEdfaDefaults.modeDiff,
     "%5.2fdB",
     0},
    {SettingKind::Number,
     "OFFSET(IN) :",
     kParWdmLevelOffset,
     {},
     [] { return E().offsetIn; },
     [](double v) { E().offsetIn = v; },
     kEdfaDefaults.offsetIn,
     "%6.2fdB",
     0},
    {SettingKind::Number,
     "OFFSET(OUT):",
     kParWdmLevelOffset,
     {},
     [] { return E().offsetOut; },
     [](double v) { E().offsetOut = v; },
     kEdfaDefaults.offsetOut,
     "%6.2fdB",
     0},
    Heading("B. INTERPOLATION SETTING", 0),
    {SettingKind::Choice, "ASE ALGO:", -1, kAseAlgoNames, [] { return double(E().aseAlgo); },
     [](double v) { E().aseAlgo = static_cast<uint16_t>(v); }, 0, "", 0},
    {SettingKind::Number,
     "FITTING AREA:",
     kParWdmArea,
     {},
     [] { return E().fitArea; },
     [](double v) { E().fitArea = v; },
     kEdfaDefaults.fitArea,
     "%5.2fnm",
     0},
    {SettingKind::Number,
     "MASK AREA:",
     kParWdmMaskArea,
     {},
     [] { return E().maskArea; },
     [](double v) { E().maskArea = v; },
     kEdfaDefaults.maskArea,
     "%5.2fnm",
     0},
    {SettingKind::Choice, "FITTING ALGO:", -1, kFitNames, [] { return double(E().fitAlgo); },
     [](double v) { E().fitAlgo = static_cast<uint16_t>(v); }, 0, "", 0},
    {SettingKind::Choice, "POINT DISPLAY:", -1, kOffOn, [] { return double(E().pointDisplay); },
     [](double v) { E().pointDisplay = static_cast<uint16_t>(v); }, 1, "", 0},
    Heading("C. NF CALCULATION SETTING", 1),
    {SettingKind::Choice, "RES BW:", -1, kResBwNames, [] { return double(E().resBw); },
     [](double v) { E().resBw = static_cast<uint16_t>(v); }, 0, "", 1},
    {SettingKind::Choice, "SHOT NOISE:", -1, kOffOn, [] { return double(E().shotNoise); },
     [](double v) { E().shotNoise = static_cast<uint16_t>(v); }, 1, "", 1},
};

// A page holds at most 12 rows.
constexpr bool PagesFit(std::span<const SettingRow> rows) {
  int count[4] = {};
  for (const SettingRow& r : rows) {
    if (r.page < 0 || r.page > 3 || ++count[r.page] > 12) return false;
  }
  return true;
}
static_assert(PagesFit(kWdmRows) && PagesFit(kEdfaRows), "at most 12 rows a page");

}  // namespace

std::span<const SettingRow> WdmSettingRows() {
  return kWdmRows;
}

std::span<const SettingRow> EdfaSettingRows() {
  return kEdfaRows;
}

}  // namespace vq
