// The single-trace and all-trace CSV files: the settings block, the data lines and their readers.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string_view>
#include <type_traits>

#include "files/trace_files.h"
#include "instrument.h"
#include "platform/text.h"

namespace vq {

namespace {

constexpr int kMinBlockLines = 25;
constexpr int kMaxBlockLines = 200;  // a count beyond any settings block: not a trace file
constexpr int kRecordLabelChars = 56;
constexpr char kTraceDataLine[] = "\"[TRACE DATA]\"";

// Sensitivity names by sensitivity and chop mode, and the short forms used after "P-" or "E-".
constexpr const char* kSensitivityNames[7][3] = {{"NORM_HOLD", "NORM_HOLD", "NORM_HOLD"},
                                                 {"NORM_AUTO", "NORM_AUTO", "NORM_AUTO"},
                                                 {"MID", "MID", "MID_SW"},
                                                 {"HIGH1", "HI1_CHOP", "HI1_SW"},
                                                 {"HIGH2", "HI2_CHOP", "HI2_SW"},
                                                 {"HIGH3", "HI3_CHOP", "HI3_SW"},
                                                 {"NORMAL", "NORMAL", "NORMAL"}};
constexpr const char* kShortNames[2] = {"NORM_HLD", "NORM_AUT"};

void Line(std::string& out, std::string_view text) {
  out.append(text);
  out.append("\r\n");
}

// The quoted name of an attribute's line without its quotes; "" when it has no line.
std::string AttributeLineName(int a) {
  const AttributeInfo* row = FindAttribute(a);
  return row ? row->csvLine : "";
}

// The settings block of a record: the count line, the setting lines, blank lines up to 25.
void SettingsBlock(std::string& out, const MeasCondition& c, bool subScale) {
  const MeasCondition& s = GInstrument->conditions.setting;
  std::vector<std::string> lines;
  auto add = [&lines](const char* format, auto... values) {
    lines.emplace_back();
    AppendFormat(lines.back(), format, values...);
  };
  add("\"CTRWL\",%11.6f", c.centre);
  add("\"SPAN\",%11.6f", c.span);
  add("\"START WL\",%11.6f", c.start);
  add("\"STOP WL\",%11.6f", c.stop);
  add("\"WLFREQ\",%2ld", static_cast<long>(c.frequencyMode));
  const double ref = std::round(s.refLevel * 100.0) / 100.0;
  add(s.logScale < 0 ? "\"REFL\",%8.3f" : "\"REFL\",%+5.1f", ref);
  if (!subScale) {
    add("\"LSCL\",%4.1f", s.logScale);
    if (s.logScale < 0) add("\"BASEL\",%.11f", s.baseLevel);
  } else if (s.subScaleMode == 0) {
    add("\"SSCLN\",%5.3f", s.subScaleLinear);
    add("\"SMIN\",%5.2f", s.subScaleMin);
  } else if (s.subScaleMode == 1) {
    add("\"SSCLG\",%4.1f", s.subScaleLog);
    add("\"LOFST\",%4.1f", s.offsetLevel);
  } else if (s.subScaleMode == 2) {
    add("\"SSKM\",%5.3f", s.subScaleDbKm);
    add("\"OFSKM\",%5.1f", s.offsetLevelPerKm);
    add("\"LENG\",%6.3f", s.fibreLength);
  } else {
    add("\"SSPS\",%4.1f", s.subScalePercent);
    add("\"SMINP\",%5.1f", s.subScaleMinPercent);
  }
  add("\"RESLN\",%5.3f", c.resolution);
  add("\"AVG\",%4ld", static_cast<long>(c.averageTimes));
  add("\"SMPLAUTO\",%7ld", static_cast<long>(c.samplingAuto));
  add("\"SMPL\",%11ld", static_cast<long>(c.samplingPoints));
  add("\"SMPLINTVL\",%6.4f", c.samplingInterval);
  if (std::string sens = SensitivitySettingLine(c); !sens.empty()) lines.push_back(sens);
  const std::string attr = AttributeLineName(c.traceAttribute);
  if (!attr.empty()) {
    switch (FindAttribute(c.traceAttribute)->carried) {
      case CarriedValue::None:
        add("\"%s\"", attr.c_str());
        break;
      case CarriedValue::RollAverage:
        add("\"%s\",%3d", attr.c_str(), c.rollAverageTimes);
        break;
      case CarriedValue::ConstantK:
        add("\"%s\",%10.4f", attr.c_str(), c.calcConstantK);
        break;
      case CarriedValue::CurveFitThreshold:
        add("\"%s\",%2d", attr.c_str(), c.curveFitThreshold);
        break;
      case CarriedValue::PeakFitThreshold:
        add("\"%s\",%2d", attr.c_str(), c.peakCurveFitThreshold);
        break;
    }
  }
  add("\"LSUNT\",%1d", s.levelUnit);
  const char* mask = s.noiseMaskDirection == 1 ? "NMSKH" : "NMSKV";
  if (s.noiseMask == -101) {
    add("\"%s\",\"OFF\"", mask);
  } else {
    add("\"%s\",% 2d", mask, s.noiseMask);
  }
  add("\"RESCOR\",%1d", c.resolutionCorrection);
  if (GInstrument->conditions.smoothingAvailable) add("\"SMOOTH\",%1d", c.smoothing);
  add("\"FIBERTYPE\",%1d", c.fibreType);
  add("\"MEASWL\",%1d", c.measurementWavelength - 1);
  add("\"SWPSPD\",%1d", c.sweepSpeed);
  add("\"RESPARM\",%5d", c.resolutionParameter);
  add("\"FREQPARM\",%5d", c.frequencyParameter);
  const int count = std::max(static_cast<int>(lines.size()), kMinBlockLines);
  AppendFormat(out, "%2d\r\n", count);
  for (const std::string& l : lines) Line(out, l);
  for (int i = static_cast<int>(lines.size()); i < count; ++i) Line(out, "");
}

// Levels are written in dBm unless the trace's pane shows its scale linear.
bool WrittenLinear(int trace) {
  const Instrument& g = *GInstrument;
  const MeasCondition& pane = g.conditions.panes[g.traces.state.pane[trace] ? 1 : 0];
  if (TraceOnSubScale(trace)) return pane.subScaleMode == 0 || pane.subScaleMode == 3;
  return pane.logScale < 0;
}

// One point: wavelength (or frequency), comma, level.
void Point(std::string& out, const MeasCondition& c, int i, double level, bool linear) {
  double wl = c.start;
  if (c.samplingPoints > 1) {
    wl = std::round((c.start + c.span * i / (c.samplingPoints - 1)) * 10000.0) / 10000.0;
  }
  if (c.frequencyMode == 1) {
    AppendFormat(out, "%9.5f,", WavelengthToFrequency(wl, true));
  } else {
    AppendFormat(out, "%9.4f,", wl);
  }
  if (linear) {
    AppendFormat(out, "%8.3E", level);
  } else {
    AppendFormat(out, "%+8.3f", LinearToDbm(level));
  }
}

int ValidPoints(int trace) {
  return std::clamp(GInstrument->traces.traces[trace].condition.samplingPoints, 0, kMaxPoints);
}

}  // namespace

// The label line: a CR or LF would end the line early, so they are written as blanks; every
// other byte, 8-bit text included, is written as it is held.
std::string LabelText(const char* label) {
  std::string s(label, strnlen(label, kRecordLabelChars));
  for (char& b : s) {
    if (b == '\r' || b == '\n') b = ' ';
  }
  s.resize(kRecordLabelChars, ' ');
  return s;
}

std::string SensitivitySettingLine(const MeasCondition& c) {
  if (c.sensitivity > 6) return "";
  const int chop = c.chopMode <= 2 ? c.chopMode : 0;
  std::string s = "\"";
  if (c.pulseMode == 1 || c.pulseMode == 2) {
    s += c.pulseMode == 1 ? "P-" : "E-";
    s += c.sensitivity <= 1 ? kShortNames[c.sensitivity] : kSensitivityNames[c.sensitivity][chop];
  } else {
    s += kSensitivityNames[c.sensitivity][chop];
  }
  if (c.pulseMode == 1) {
    AppendFormat(s, "\",%4d", c.peakHoldTime);
  } else {
    s += '"';
  }
  return s;
}

void AppendCsvTraceData(std::string& out, int trace) {
  const Trace& t = GInstrument->traces.traces[trace];
  const MeasCondition c = SavedRecord(trace);
  const bool linear = WrittenLinear(trace);
  out.reserve(out.size() + 24u * c.storedPoints + 32);
  Line(out, kTraceDataLine);
  for (int i = 0; i < c.storedPoints; ++i) {
    Point(out, c, i, t.level[i], linear);
    out.append("\r\n");
  }
}

int WriteTraceCsv(const std::string& path, int trace) {
  if (trace < 0 || trace >= kTraceCount || !TraceHasData(trace)) return kMsgNoData;
  const MeasCondition c = SavedRecord(trace);
  std::string out;
  out.reserve(2048 + 24u * c.storedPoints);
  Line(out, "QXBCSV \t");
  Line(out, LabelText(c.label));
  SettingsBlock(out, c, TraceOnSubScale(trace));
  AppendCsvTraceData(out, trace);
  return WriteFileBytes(path, std::vector<uint8_t>(out.begin(), out.end()));
}

int WriteAllTraceCsv(const std::string& path) {
  const Instrument& g = *GInstrument;
  const TraceStateBlock& state = g.traces.state;
  std::string out;
  Line(out, "QXBCSVG\t");
  Line(out, LabelText(g.conditions.setting.label));
  Line(out, "\"[MEAS SETTING]\"");
  Line(out, LabelText(g.conditions.setting.label));
  SettingsBlock(out, g.conditions.measured, false);
  Line(out, "\"[TRACE SETTING]\"");
  AppendFormat(out, "\"ACTIVE\",\"%c\"\r\n",
               'A' + std::min<int>(state.activeTrace, kTraceCount - 1));
  std::array<bool, kTraceCount> hasData{};
  int rows = 0;
  for (int t = 0; t < kTraceCount; ++t) {
    hasData[t] = TraceHasData(t);
    if (hasData[t]) rows = std::max(rows, ValidPoints(t));
    AppendFormat(out, "\"TRACE %c\",\"%.9s\",%d\r\n", 'A' + t,
                 AttributeListName(state.attribute[t]), hasData[t] ? 1 : 0);
  }
  Line(out, "");
  for (int t = 0; t < kTraceCount; ++t) {
    AppendFormat(out, "\"[TRACE %c]\"\r\n", 'A' + t);
    Line(out, LabelText(g.traces.traces[t].condition.label));
    SettingsBlock(out, g.traces.traces[t].condition, TraceOnSubScale(t));
  }
  Line(out, kTraceDataLine);
  std::array<bool, kTraceCount> linear{};
  for (int t = 0; t < kTraceCount; ++t) {
    linear[t] = WrittenLinear(t);
    AppendFormat(out, "%s\"Tr %c(WL)\",\"Tr %c(LEVEL)[%s]\"", t ? "," : "", 'A' + t, 'A' + t,
                 linear[t] ? "LINEAR" : "LOG");
  }
  out.append("\r\n");
  out.reserve(out.size() + static_cast<size_t>(rows) * 140);
  for (int i = 0; i < rows; ++i) {
    for (int t = 0; t < kTraceCount; ++t) {
      if (t) out.append(", ");
      const Trace& trace = g.traces.traces[t];
      if (hasData[t] && i < ValidPoints(t)) {
        Point(out, trace.condition, i, trace.level[i], linear[t]);
      } else {
        out.append(" , ");
      }
    }
    out.append("\r\n");
  }
  return WriteFileBytes(path, std::vector<uint8_t>(out.begin(), out.end()));
}

// ---- Readers ----------------------------------------------------------------------------------

namespace {

// clang-format off
enum class Key {
  Centre, Span, Start, Stop, FreqMode, RefLevel, LogScale, BaseLevel, SubLinear, SubMin, SubLog,
  Offset, SubDbKm, OffsetKm, Length, SubPercent, SubMinPercent, Resolution, Average, SamplingAuto,
  Sampling, Interval, LevelUnit, MaskV, MaskH, ResCorrection, Smoothing, FibreType, MeasWl,
  SweepSpeed, ResParameter, FreqParameter, WaveNumberParameter, ResMode, ChangePoint,
  ResCalibration, CoreSize, StoredPoints, RollAverage, PulsePeakHold, PulseExternal, Attribute,
  OptionEnd, Ignored,
};

struct KeyRow {
  const char* name;
  Key key;
};

// The keys of the settings block, matched by their whole quoted name.
constexpr KeyRow kKeys[] = {
    {"CTRWL", Key::Centre}, {"SPAN", Key::Span}, {"START WL", Key::Start},
    {"STOP WL", Key::Stop}, {"WLFREQ", Key::FreqMode}, {"REFL", Key::RefLevel},
    {"LSCL", Key::LogScale}, {"BASEL", Key::BaseLevel}, {"SSCLN", Key::SubLinear},
    {"SMIN", Key::SubMin}, {"SSCLG", Key::SubLog}, {"SSCLLOG", Key::SubLog},
    {"LOFST", Key::Offset}, {"SSKM", Key::SubDbKm}, {"OFSKM", Key::OffsetKm},
    {"LENG", Key::Length}, {"SSPS", Key::SubPercent}, {"SMINP", Key::SubMinPercent},
    {"RESLN", Key::Resolution}, {"AVG", Key::Average}, {"SMPLAUTO", Key::SamplingAuto},
    {"SMPL", Key::Sampling}, {"SMPLINTVL", Key::Interval}, {"LSUNT", Key::LevelUnit},
    {"NMSKV", Key::MaskV}, {"NMSKH", Key::MaskH}, {"RESCOR", Key::ResCorrection},
    {"SMOOTH", Key::Smoothing}, {"FIBERTYPE", Key::FibreType}, {"MEASWL", Key::MeasWl},
    {"SWPSPD", Key::SweepSpeed}, {"RESPARM", Key::ResParameter},
    {"FREQPARM", Key::FreqParameter}, {"WNUMPARM", Key::WaveNumberParameter},
    {"RESMODE", Key::ResMode}, {"CHGPT", Key::ChangePoint}, {"RESCAL0_0", Key::ResCalibration},
    {"CORESIZE", Key::CoreSize}, {"DATP", Key::StoredPoints}, {"RAVGX", Key::RollAverage},
    {"PLSPKH", Key::PulsePeakHold}, {"PLSEXT", Key::PulseExternal},
    {"EXTRG", Key::PulseExternal}, {"ATTRX", Key::Attribute}, {"OPTATT", Key::OptionEnd},
    {"LBL", Key::Ignored},
};
static_assert(std::size(kKeys) == static_cast<size_t>(Key::Ignored) + 3,
              "a row per key, and SSCLLOG and EXTRG");
// clang-format on

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

template <typename T>
bool Number(std::string_view s, T& value) {
  s = Trim(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
  return !s.empty() && error == std::errc() && end == s.data() + s.size() &&
         (!std::is_floating_point_v<T> || std::isfinite(static_cast<double>(value)));
}

// A number stored into a field of another width, refused when it does not fit.
template <typename F>
bool Field(std::string_view s, F& field) {
  long long v = 0;
  if (!Number(s, v) || v < std::numeric_limits<F>::min() || v > std::numeric_limits<F>::max())
    return false;
  field = static_cast<F>(v);
  return true;
}

// The lines of a text without their CR LF; at most `limit` of them.
std::vector<std::string_view> SplitLines(std::string_view text, size_t limit = SIZE_MAX) {
  std::vector<std::string_view> lines;
  size_t at = 0;
  while (at < text.size() && lines.size() < limit) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    at = end + 1;
  }
  return lines;
}

// A setting line: the name (quoted or, in older files, bare) and the text after its separator.
void SplitSetting(std::string_view line, std::string_view& name, std::string_view& value) {
  size_t end = 0;
  if (!line.empty() && line.front() == '"') {
    end = line.find('"', 1);
    name = line.substr(1, end == std::string_view::npos ? std::string_view::npos : end - 1);
  } else {
    end = line.find_first_of(",\t");
    name = Trim(line.substr(0, end));
  }
  const size_t sep = end == std::string_view::npos ? end : line.find_first_of(",\t", end);
  value = sep == std::string_view::npos ? std::string_view() : line.substr(sep + 1);
}

bool SetSensitivity(std::string_view name, std::string_view value, MeasCondition& c) {
  uint16_t pulse = 0;
  if (name.starts_with("P-") || name.starts_with("E-")) {
    pulse = name[0] == 'P' ? 1 : 2;
    name.remove_prefix(2);
  }
  for (int sens = 0; sens < 7; ++sens) {
    for (int chop = 0; chop < 3; ++chop) {
      if (name != kSensitivityNames[sens][chop] && (sens > 1 || name != kShortNames[sens]))
        continue;
      c.sensitivity = static_cast<uint16_t>(sens);
      c.chopMode = static_cast<uint16_t>(chop);
      c.pulseMode = pulse;
      return pulse != 1 || Field(value, c.peakHoldTime);
    }
  }
  return false;
}

// An attribute line: its code into the record, with the value the attribute carries.
int SetAttributeLine(std::string_view name, std::string_view value, MeasCondition& c) {
  for (int a = 0; a < kAttributeCount; ++a) {
    if (name != AttributeLineName(a)) continue;
    c.traceAttribute = static_cast<int16_t>(a);
    bool ok = true;
    switch (FindAttribute(a)->carried) {
      case CarriedValue::None:
        break;
      case CarriedValue::RollAverage:
        ok = Field(value, c.rollAverageTimes);
        break;
      case CarriedValue::ConstantK:
        ok = Number(value, c.calcConstantK);
        break;
      case CarriedValue::CurveFitThreshold:
        ok = Field(value, c.curveFitThreshold);
        break;
      case CarriedValue::PeakFitThreshold:
        ok = Field(value, c.peakCurveFitThreshold);
        break;
    }
    return ok ? 1 : -1;
  }
  return 0;
}

// One setting line into the record: 1 stored, 0 the block ends here, -1 a bad value.
// clang-format off
int SetKey(Key key, std::string_view v, MeasCondition& c) {
  bool ok = true;
  switch (key) {
    case Key::Centre: ok = Number(v, c.centre); break;
    case Key::Span: ok = Number(v, c.span); break;
    case Key::Start: ok = Number(v, c.start); break;
    case Key::Stop: ok = Number(v, c.stop); break;
    case Key::FreqMode: ok = Field(v, c.frequencyMode); break;
    case Key::RefLevel: ok = Number(v, c.refLevel); break;
    case Key::LogScale: ok = Number(v, c.logScale); break;
    case Key::BaseLevel: ok = Number(v, c.baseLevel); break;
    case Key::SubLinear: ok = Number(v, c.subScaleLinear), c.subScaleMode = 0; break;
    case Key::SubMin: ok = Number(v, c.subScaleMin); break;
    case Key::SubLog: ok = Number(v, c.subScaleLog), c.subScaleMode = 1; break;
    case Key::Offset: ok = Number(v, c.offsetLevel); break;
    case Key::SubDbKm: ok = Number(v, c.subScaleDbKm), c.subScaleMode = 2; break;
    case Key::OffsetKm: ok = Number(v, c.offsetLevelPerKm); break;
    case Key::Length: ok = Number(v, c.fibreLength); break;
    case Key::SubPercent: ok = Number(v, c.subScalePercent), c.subScaleMode = 3; break;
    case Key::SubMinPercent: ok = Number(v, c.subScaleMinPercent); break;
    case Key::Resolution:
      if (Trim(v) == "MAX") {
        c.resolution = 0.005;
      } else {
        ok = Number(v, c.resolution);
      }
      break;
    case Key::Average: ok = Field(v, c.averageTimes); break;
    case Key::SamplingAuto: ok = Field(v, c.samplingAuto); break;
    case Key::Sampling: ok = Field(v, c.samplingPoints); break;
    case Key::Interval: ok = Number(v, c.samplingInterval); break;
    case Key::LevelUnit: ok = Field(v, c.levelUnit); break;
    case Key::MaskV:
    case Key::MaskH:
      c.noiseMaskDirection = key == Key::MaskH ? 1 : 0;
      if (Trim(v) == "\"OFF\"") {
        c.noiseMask = -101;
      } else {
        ok = Field(v, c.noiseMask);
      }
      break;
    case Key::ResCorrection: ok = Field(v, c.resolutionCorrection); break;
    case Key::Smoothing: ok = Field(v, c.smoothing); break;
    case Key::FibreType: ok = Field(v, c.fibreType); break;
    case Key::MeasWl: {
      // Written as the field minus 1 (0 air, 1 vacuum), so a record that does not set it (0)
      // reads -1. Like the binary file, the text carries whatever the field held.
      int written = 0;
      ok = Field(v, written) && written >= -1 && written < UINT16_MAX;
      c.measurementWavelength = static_cast<uint16_t>(written + 1);
      break;
    }
    case Key::SweepSpeed: ok = Field(v, c.sweepSpeed); break;
    case Key::ResParameter: ok = Field(v, c.resolutionParameter); break;
    case Key::FreqParameter: ok = Field(v, c.frequencyParameter); break;
    case Key::WaveNumberParameter: ok = Field(v, c.waveNumberParameter); break;
    case Key::ResMode: ok = Field(v, c.resolutionMode); break;
    case Key::ChangePoint: ok = Field(v, c.changePoint); break;
    case Key::ResCalibration: ok = Field(v, c.resolutionCalibration); break;
    case Key::CoreSize: ok = Field(v, c.coreSize); break;
    case Key::StoredPoints: ok = Field(v, c.storedPoints); break;
    case Key::RollAverage: ok = Field(v, c.rollAverageTimes); break;
    case Key::PulsePeakHold: ok = Field(v, c.peakHoldTime), c.pulseMode = 1; break;
    case Key::PulseExternal: c.pulseMode = 2; break;
    case Key::Attribute: {
      int a = 0;
      ok = Field(v, a) && a >= 0 && a <= 6;
      c.traceAttribute = static_cast<int16_t>(a);
      break;
    }
    case Key::OptionEnd:
      return 0;
    case Key::Ignored:
      break;
  }
  return ok ? 1 : -1;
}
// clang-format on

// Label and settings block from lines[1] on into c; *dataAt gets the first line after the block.
int ParseSettings(const std::vector<std::string_view>& lines, int format, MeasCondition& c,
                  size_t* dataAt) {
  if (lines.size() < 3) return kMsgNotTraceFile;
  std::string_view label =
      lines[1].substr(0, std::min(lines[1].find('\0'), size_t{kRecordLabelChars}));
  std::memset(c.label, ' ', kRecordLabelChars);
  std::memcpy(c.label, label.data(), label.size());
  c.label[kRecordLabelChars] = '\0';
  int count = 0;
  const std::string_view countLine = Trim(lines[2]);
  if (countLine.empty() || countLine.front() < '0' || countLine.front() > '9' ||
      !Number(countLine.substr(0, countLine.find_first_not_of("0123456789")), count) || count < 1 ||
      count > kMaxBlockLines || lines.size() < 3 + static_cast<size_t>(count)) {
    return kMsgNotTraceFile;
  }
  c.traceAttribute = kAttrFix;  // a FIX trace's block has no attribute line
  const bool freqParamEnds = format == kFormatQxCsv || format == kFormatCsv;
  for (int i = 1; i <= count; ++i) {
    std::string_view name, value;
    SplitSetting(lines[2 + i], name, value);
    if (name.empty()) continue;
    int result = 0;
    const auto row = std::find_if(std::begin(kKeys), std::end(kKeys),
                                  [name](const KeyRow& r) { return name == r.name; });
    if (row != std::end(kKeys)) {
      result = SetKey(row->key, value, c);
    } else if (SetSensitivity(name, value, c)) {
      result = 1;
    } else {
      result = SetAttributeLine(name, value, c);
      if (result == 0) continue;  // a key of another model: carried by nothing here
    }
    if (result < 0) return kMsgNotTraceFile;
    if (result == 0 || name == "WNUMPARM" || (freqParamEnds && name == "FREQPARM")) break;
  }
  *dataAt = 3 + count;
  return 0;
}

// A plain decimal ("-45.123", at most 15 digits, no exponent) as its digits and the count of
// digits behind the point (0 without a point). False for anything else, which then takes the
// general path.
struct Decimal {
  uint64_t digits = 0;
  int decimals = 0;
  bool negative = false;
};
bool ScanDecimal(std::string_view s, Decimal& d) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  d.negative = i < s.size() && s[i] == '-';
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  d.digits = 0;
  int count = 0, decimals = -1;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (c >= '0' && c <= '9') {
      d.digits = d.digits * 10 + static_cast<uint64_t>(c - '0');
      if (++count > 15) return false;
      if (decimals >= 0) ++decimals;
    } else if (c == '.' && decimals < 0) {
      decimals = 0;
    } else {
      break;
    }
  }
  while (i < s.size() && s[i] == ' ') ++i;
  d.decimals = decimals < 0 ? 0 : decimals;
  return i == s.size() && count > 0;
}

// Digits over a power of ten: both are exact doubles, so the one division rounds as from_chars
// would.
double DecimalValue(const Decimal& d) {
  static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const double value = static_cast<double>(d.digits) / kPowers[d.decimals];
  return d.negative ? -value : value;
}

// One data line: the level after the first comma or tab. 1 read, 0 not a data line (the data
// end), -1 a bad number. The first line decides the unit: an "E" marks linear values.
int DataLine(std::string_view line, bool first, bool& linear, double& level) {
  if (line.empty() ||
      !(std::isdigit(static_cast<unsigned char>(line[0])) || line[0] == ' ' || line[0] == '-')) {
    return 0;
  }
  // A plain scan: find_first_of with a set costs a library call per character.
  size_t sep = 0;
  while (sep < line.size() && line[sep] != ',' && line[sep] != '\t') ++sep;
  if (sep == line.size()) return -1;
  const std::string_view text = line.substr(sep + 1);
  if (first) linear = text.find_first_of("Ee") != std::string_view::npos;
  Decimal d;
  if (ScanDecimal(text, d)) {
    // A level of at most three decimals is a whole number of thousandths of a dB: its linear
    // value comes from the tables without the double in between (the value DbmToLinear gives).
    if (!linear && d.decimals <= 3 && d.digits <= 1000000000) {
      static constexpr int64_t kScale[] = {1000, 100, 10, 1};
      const int64_t k =
          std::min<int64_t>(static_cast<int64_t>(d.digits) * kScale[d.decimals], 1 << 30);
      level = MilliDbToLinear(static_cast<int32_t>(d.negative ? -k : k));
      return 1;
    }
    level = DecimalValue(d);
  } else if (!Number(text, level)) {
    return -1;
  }
  if (!linear) level = DbmToLinear(level);
  return 1;
}

// The usual logarithmic data line ("1550.0000, -45.123" and its line end) read in one pass, the
// line end included: true with `at` on the next line, false (nothing moved) for any other shape,
// which the general reader then takes.
bool QuickLevelLine(std::string_view text, size_t& at, double& level) {
  const char* p = text.data() + at;
  const char* const end = text.data() + text.size();
  if (p == end || *p < '0' || *p > '9') return false;
  while (p < end && *p != ',') {
    if ((*p < '0' || *p > '9') && *p != '.') return false;
    ++p;
  }
  if (++p >= end) return false;
  while (p < end && *p == ' ') ++p;
  const bool negative = p < end && *p == '-';
  if (negative) ++p;
  int64_t k = 0;
  int digits = 0, decimals = -1;
  for (; p < end; ++p) {
    if (*p >= '0' && *p <= '9') {
      if (++digits > 9) return false;
      k = k * 10 + (*p - '0');
      if (decimals >= 0) ++decimals;
    } else if (*p == '.' && decimals < 0) {
      decimals = 0;
    } else {
      break;
    }
  }
  if (digits == 0 || decimals > 3) return false;
  if (p < end && *p == '\r') ++p;
  if (p < end && *p != '\n') return false;
  static constexpr int64_t kScale[] = {1000, 100, 10, 1};
  k *= kScale[decimals < 0 ? 0 : decimals];
  level =
      MilliDbToLinear(static_cast<int32_t>(std::min<int64_t>(k, 1 << 30)) * (negative ? -1 : 1));
  at = static_cast<size_t>(p - text.data()) + 1;
  return true;
}

// Data lines of a text from its start, at most 50001 of them.
int ParseLevels(std::string_view text, std::vector<double>& levels) {
  if (text.starts_with(kTraceDataLine)) text.remove_prefix(text.find('\n') + 1);
  levels.reserve(std::min<size_t>(kMaxPoints, text.size() / 16 + 1));
  bool linear = false;
  size_t at = 0;
  while (at < text.size() && levels.size() < kMaxPoints) {
    double level = 0;
    // The first line decides the unit; the logarithmic lines after it mostly take the quick way.
    if (!levels.empty() && !linear && QuickLevelLine(text, at, level)) {
      levels.push_back(level);
      continue;
    }
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const int result = DataLine(line, levels.empty(), linear, level);
    if (result < 0) return kMsgNotTraceFile;
    if (result == 0) break;
    levels.push_back(level);
    at = end + 1;
  }
  return 0;
}

// A record of more than 50001 points was not written by this family: it is refused, not cut.
bool ValidPointCounts(const MeasCondition& c) {
  return c.samplingPoints <= kMaxPoints && c.storedPoints >= 1 && c.storedPoints <= kMaxPoints &&
         ValidAttribute(c.traceAttribute);
}

// The record being loaded into: fields older files do not carry start cleared.
MeasCondition LoadBase(const MeasCondition& base) {
  MeasCondition c = base;
  c.smoothing = 0;
  c.measurementWavelength = 0;
  c.sweepSpeed = 0;
  return c;
}

}  // namespace

int ParseCsvTrace(const uint8_t* bytes, size_t size, int format, const MeasCondition& base,
                  TraceFileData& out) {
  const std::string_view text(reinterpret_cast<const char*>(bytes), size);
  const auto lines = SplitLines(text, kMaxBlockLines + 4);  // the block; the data are read on
  TraceFileData data;
  data.condition = LoadBase(base);
  size_t dataAt = 0;
  if (ParseSettings(lines, format, data.condition, &dataAt) != 0) return kMsgNotTraceFile;
  const size_t offset = dataAt < lines.size() ? lines[dataAt].data() - text.data() : size;
  if (ParseLevels(text.substr(offset), data.levels) != 0) return kMsgNotTraceFile;
  data.condition.storedPoints = static_cast<int32_t>(data.levels.size());
  if (!ValidPointCounts(data.condition)) return kMsgNotTraceFile;
  data.attribute = data.condition.traceAttribute;
  NormaliseLoaded(data);
  out = std::move(data);
  return 0;
}

int ParseAllTraceCsv(const uint8_t* bytes, size_t size, const MeasCondition& base,
                     AllTraceFileData& out) {
  const int format = AllTraceFormatIndex(bytes, size);
  if (format < 0) return kMsgNotTraceFile;
  const auto lines = SplitLines({reinterpret_cast<const char*>(bytes), size});
  const auto find = [&lines](std::string_view text, size_t from = 0) {
    return static_cast<size_t>(
        std::find(lines.begin() + std::min(from, lines.size()), lines.end(), text) - lines.begin());
  };
  AllTraceFileData all;
  // The trace setting lines: the active trace, then one line per trace.
  size_t at = find("\"[TRACE SETTING]\"") + 1;
  if (at >= lines.size()) return kMsgNotTraceFile;
  const std::string_view active = lines[at++];
  if (active.size() != 12 || !active.starts_with("\"ACTIVE\",\"") || active[10] < 'A' ||
      active[10] > 'G' || active[11] != '"') {
    return kMsgNotTraceFile;
  }
  all.active = active[10] - 'A';
  int listed = 0;
  for (; at < lines.size() && lines[at].starts_with("\"TRACE "); ++at, ++listed) {
    const std::string_view l = lines[at];  // "TRACE A","WRITE    ",1
    if (l.size() != 23 || l[7] < 'A' || l[7] > 'G' || l.substr(8, 3) != "\",\"" ||
        l.substr(20, 2) != "\"," || (l[22] != '0' && l[22] != '1')) {
      return kMsgNotTraceFile;
    }
    const std::string_view name = l.substr(11, 9);
    bool known = false;
    for (int a = 0; a < kAttributeCount; ++a)
      known |= ValidAttribute(a) && name == AttributeListName(a);
    if (!known) return kMsgNotTraceFile;
    all.present[l[7] - 'A'] = true;
    all.hasData[l[7] - 'A'] = l[22] == '1';
  }
  const size_t dataLine = find(kTraceDataLine, at);
  if (listed == 0 || dataLine >= lines.size()) return kMsgNotTraceFile;

  // Data rows split pair by pair; a pair of 10 characters or fewer is a placeholder.
  std::array<std::vector<std::string_view>, kTraceCount> points;
  for (size_t r = dataLine + 2; r < lines.size(); ++r) {
    const std::string_view row = lines[r];
    size_t pairStart = 0;
    for (int t = 0; t < kTraceCount && pairStart <= row.size(); ++t) {
      const size_t comma = row.find(',', pairStart);
      if (comma == std::string_view::npos) break;
      size_t pairEnd = row.find(',', comma + 1);
      if (pairEnd == std::string_view::npos) pairEnd = row.size();
      const std::string_view pair = row.substr(pairStart, pairEnd - pairStart);
      if (pair.size() > 10) points[t].push_back(pair);
      pairStart = pairEnd + 1;
    }
  }

  // Each section up to the next line that opens with "[TRACE, read as a single-trace file. The
  // label line after the header belongs to the section whatever text it starts with.
  const auto section = [&](std::string_view header, TraceFileData& data,
                           const std::vector<std::string_view>* rows) {
    const size_t first = find(header);
    if (first >= lines.size()) return kMsgNotTraceFile;
    std::vector<std::string_view> text = {lines[0]};
    for (size_t i = first + 1; i < lines.size(); ++i) {
      if (i > first + 1 && lines[i].starts_with("\"[TRACE")) break;
      text.push_back(lines[i]);
    }
    size_t dataAt = 0;
    data.condition = LoadBase(base);
    if (ParseSettings(text, format, data.condition, &dataAt) != 0) return kMsgNotTraceFile;
    bool linear = false;
    for (size_t i = 0; rows && i < rows->size() && data.levels.size() < kMaxPoints; ++i) {
      double level = 0;
      if (DataLine((*rows)[i], i == 0, linear, level) <= 0) return kMsgNotTraceFile;
      data.levels.push_back(level);
    }
    return 0;
  };
  if (section("\"[MEAS SETTING]\"", all.measured, nullptr) != 0) return kMsgNotTraceFile;
  NormaliseLoaded(all.measured);
  for (int t = 0; t < kTraceCount; ++t) {
    if (!all.present[t]) continue;
    TraceFileData& data = all.traces[t];
    char header[16];
    std::snprintf(header, sizeof header, "\"[TRACE %c]\"", 'A' + t);
    if (section(header, data, all.hasData[t] ? &points[t] : nullptr) != 0) return kMsgNotTraceFile;
    MeasCondition& c = data.condition;
    if (all.hasData[t]) {
      if (static_cast<int>(data.levels.size()) != c.samplingPoints) return kMsgNotTraceFile;
    } else {
      // No data: the window's points at no light.
      if (c.samplingPoints < 1 || c.stop < c.start || c.samplingPoints > kMaxPoints)
        return kMsgNotTraceFile;
      data.levels.assign(c.samplingPoints, 0.0);
    }
    c.storedPoints = static_cast<int32_t>(data.levels.size());
    if (!ValidPointCounts(c)) return kMsgNotTraceFile;
    data.attribute = c.traceAttribute;
    NormaliseLoaded(data);
  }
  out = std::move(all);
  return 0;
}

}  // namespace vq
