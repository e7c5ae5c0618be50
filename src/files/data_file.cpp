// The data file: a text report of the label, date and time, analysis results, conditions, the
// active trace's data and the output window, in the CSV or the fixed-width DT6 form.
#include "files/data_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <vector>

#include "analysis/markers.h"
#include "analysis/result_view.h"
#include "instrument.h"
#include "platform/clock.h"
#include "platform/image_files.h"

namespace vq {

namespace {

constexpr size_t kResultLineChars = 86;
constexpr char kEndByte = 26;
constexpr char kCsvId[] = "QXBDAT2";
constexpr char kDt6Id[] = "\"QXBDAT\"";
constexpr char kTraceDataLine[] = "\"[TRACE DATA]\"";
constexpr int kMarkerListRows = 1024;  // every fixed marker that is on

TraceLevelFormats (*GLevelFormats)() = nullptr;

// The pieces that differ between the two forms.
struct Form {
  const char* quote;
  char separator;
  const char* wavelength;
  const char* resolution;
  const char* integer;
  const char* levelScale;
  bool dt6;
};
constexpr Form kCsvForm = {"", ',', ",%.6f", ",%.3f", ",%d", ",%.1f", false};
constexpr Form kDt6Form = {"\"", ' ', " %11.6f", " %5.3f", " %4d", " %4.1f", true};

void Add(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Add(std::string& out, const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  out.append(text, std::clamp(n, 0, static_cast<int>(sizeof text) - 1));
}

std::string Text(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// Q, text, Q and the line end.
void Quoted(std::string& out, const Form& f, std::string_view text) {
  out.append(f.quote);
  out.append(text);
  out.append(f.quote);
  out.append("\r\n");
}

// Q, name, the value in its format (which carries the separator), Q.
void Named(std::string& out, const Form& f, const char* name, const char* format, double value) {
  Quoted(out, f, std::string(name) + Text(format, value));
}
void NamedInt(std::string& out, const Form& f, const char* name, int value) {
  char text[32];
  std::snprintf(text, sizeof text, f.integer, value);
  Quoted(out, f, std::string(name) + text);
}

// The date and time as the screen's clock shows it.
std::string DateTimeText() {
  const LocalTime t = GetLocalTime();
  char text[32];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute);
  return text;
}

// A power (mW) on a linear scale: "NAME[uW],12.34" (CSV) or "NAME 12.34uW" (DT6), with one or
// no decimals when the value needs fewer, in the unit its magnitude calls for.
void LinearLevel(std::string& out, const Form& f, const char* name, double mw) {
  static constexpr const char* kUnits[] = {"pW", "nW", "uW", "mW"};
  int unit = 3;
  while (unit > 0 && std::fabs(mw) < std::pow(1000.0, unit - 3)) --unit;
  const double value = mw * std::pow(1000.0, 3 - unit);
  const long hundredths = std::lround(value * 100.0);
  const int decimals = hundredths % 100 == 0 ? 0 : hundredths % 10 == 0 ? 1 : 2;
  static constexpr const char* kCsv[] = {"%s[%s],%.0f", "%s[%s],%.1f", "%s[%s],%.2f"};
  static constexpr const char* kDt6[] = {"%s %4.0f%s", "%s %4.1f%s", "%s %4.2f%s"};
  char text[64];
  if (f.dt6) {
    std::snprintf(text, sizeof text, kDt6[decimals], name, value, kUnits[unit]);
  } else {
    std::snprintf(text, sizeof text, kCsv[decimals], name, kUnits[unit], value);
  }
  Quoted(out, f, text);
}

void SubScaleLines(std::string& out, const Form& f, const MeasCondition& c) {
  const bool d = f.dt6;
  switch (c.subScaleMode) {
    case 0:
      Named(out, f, "SSCLN", d ? " %5.3f" : ",%.3f", c.subScaleLinear);
      Named(out, f, "SMIN", d ? " %5.2f" : ",%.2f", c.subScaleMin);
      break;
    case 1:
      Named(out, f, "SSCLG", d ? " %4.1f" : ",%.1f", c.subScaleLog);
      Named(out, f, "LOFST", d ? " %4.1f" : ",%.1f", c.offsetLevel);
      break;
    case 2:
      Named(out, f, "SSKM", d ? " %5.3f" : ",%.3f", c.subScaleDbKm);
      Named(out, f, "OFSKM", d ? " %5.1f" : ",%.1f", c.offsetLevelPerKm);
      Named(out, f, "LENG", d ? " %6.3f" : ",%.3f", c.fibreLength);
      break;
    default:
      Named(out, f, "SSPS", d ? " %4.1f" : ",%.1f", c.subScalePercent);
      Named(out, f, "SMINP", d ? " %5.1f" : ",%.1f", c.subScaleMinPercent);
      break;
  }
}

// The measured conditions.
void ConditionLines(std::string& out, const Form& f) {
  const Instrument& g = *GInstrument;
  const MeasCondition& c = g.conditions.measured;
  Named(out, f, "CTRWL", f.wavelength, c.centre);
  Named(out, f, "SPAN", f.wavelength, c.span);
  const bool linear = c.logScale < 0;
  if (!linear) {
    Quoted(out, f, Text(f.dt6 ? "REFL %5.1fdBm" : "REFL[dBm],%.1f", c.refLevel));
  } else {
    LinearLevel(out, f, "REFL", DbmToLinear(c.refLevel));
  }
  if (TraceOnSubScale(g.traces.state.activeTrace)) {
    SubScaleLines(out, f, c);
  } else if (linear) {
    LinearLevel(out, f, "BASEL", c.baseLevel);
  } else {
    Named(out, f, "LSCL", f.levelScale, c.logScale);
  }
  Named(out, f, "RESLN", f.resolution, c.resolution);
  NamedInt(out, f, "AVG", c.averageTimes);
  NamedInt(out, f, "SMPL", c.samplingPoints);
  // The sensitivity line of the trace files is quoted; the CSV form drops the quotes.
  std::string sensitivity = SensitivitySettingLine(c);
  if (!sensitivity.empty()) {
    if (!f.dt6) std::erase(sensitivity, '"');
    out.append(sensitivity);
    out.append("\r\n");
  }
  if (c.noiseMask == -101) {
    Add(out, "%sNMSK%cOFF%s\r\n", f.quote, f.separator, f.quote);
  } else {
    NamedInt(out, f, "NMSK", c.noiseMask);
  }
}

// The analysis results of the data area: the result block, the channel table, or the marker list.
void DataAreaLines(std::string& out, const Form& f) {
  std::vector<std::string> lines = ResultBlockLines();
  for (std::string& l : lines) {
    if (l.size() < kResultLineChars) l.resize(kResultLineChars, ' ');
  }
  if (lines.empty()) {
    ResultTable table = ResultTableLines();
    lines = std::move(table.header);
    lines.insert(lines.end(), table.columns.begin(), table.columns.end());
    lines.insert(lines.end(), table.rows.begin(), table.rows.end());
  }
  if (lines.empty() && FixedMarkersOn() > 0) {
    lines = MarkerListLines(GLevelFormats ? GLevelFormats() : TraceLevelFormats{}, kMarkerListRows);
  }
  for (const std::string& l : lines) Quoted(out, f, l);
}

bool EndsWithCsv(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == ".csv";
}

// The last end byte: windows of 100 bytes, each 10 bytes further back, from the end.
long LastEndByte(const std::string& bytes) {
  const long size = static_cast<long>(bytes.size());
  for (long end = size; end > 0; end -= 10) {
    const long start = std::max(0L, end - 100);
    for (long i = end - 1; i >= start; --i) {
      if (bytes[i] == kEndByte) return i;
    }
    if (start == 0) break;
  }
  return -1;
}

// The lines of a text without their CR LF.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    at = end + 1;
  }
  return lines;
}

// The x value of a data line (the text before its comma) and whether it has five decimals (a
// frequency in THz) rather than four (a wavelength in nm).
bool DataX(std::string_view line, double& x, bool& frequency) {
  const size_t comma = line.find(',');
  if (comma == std::string_view::npos || comma == 0) return false;
  const std::string text(line.substr(0, comma));
  char* end = nullptr;
  x = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(x)) return false;
  const size_t point = text.find('.');
  frequency = point != std::string::npos && text.size() - point - 1 == 5;
  return true;
}

bool IsDataLine(std::string_view line) {
  return !line.empty() &&
         (std::isdigit(static_cast<unsigned char>(line[0])) || line[0] == ' ' || line[0] == '-');
}

// The resolution of the report's CONDITION lines before its trace data ("RESLN,0.100" or
// "\"RESLN 0.100\""); 0 when the report has none. An empty line starts an appended report.
double ReportResolution(const std::vector<std::string_view>& lines, size_t before) {
  for (size_t i = before; i-- > 1 && !lines[i].empty();) {
    std::string_view l = lines[i];
    if (l.starts_with('"')) l.remove_prefix(1);
    if (!l.starts_with("RESLN") || l.size() < 7 || (l[5] != ',' && l[5] != ' ')) continue;
    l.remove_prefix(6);
    const std::string text(l.substr(0, l.find('"')));
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    return end != text.c_str() && std::isfinite(value) && value > 0 ? value : 0.0;
  }
  return 0.0;
}

}  // namespace

void SetDataFileLevelFormats(TraceLevelFormats (*source)()) {
  GLevelFormats = source;
}

std::string DataReport(bool appended) {
  const Instrument& g = *GInstrument;
  const FileSettings& s = g.files.settings;
  const Form& f = s.dataFileType == 1 ? kDt6Form : kCsvForm;
  const auto on = [&s](DataFileItem item) { return s.dataItems[item] != 0; };
  std::string body;
  if (on(kDataLabel)) Quoted(body, f, LabelText(g.conditions.setting.label));
  if (on(kDataDateTime)) Quoted(body, f, DateTimeText());
  if (on(kDataArea)) DataAreaLines(body, f);
  if (on(kDataCondition)) ConditionLines(body, f);
  const int active = g.traces.state.activeTrace;
  if (on(kDataTraceData) && TraceHasData(active)) AppendCsvTraceData(body, active);
  // The output window of the program function holds no lines in the viewer: nothing to add.
  if (body.empty()) return body;
  std::string report = appended ? "\r\n" : std::string(f.dt6 ? kDt6Id : kCsvId) + "\r\n";
  report += body;
  if (f.dt6) report += std::string(1, kEndByte) + "\r\n";
  return report;
}

long AppendPoint(const std::string& path, const std::string& bytes) {
  if (bytes.empty()) return -1;
  if (!EndsWithCsv(path)) return LastEndByte(bytes);
  const std::string_view head = std::string_view(bytes).substr(0, 10);
  const bool dataId = (head.size() > 2 && head[2] == 'D') || (head.size() > 3 && head[3] == 'D');
  return dataId ? static_cast<long>(bytes.size()) : -1;
}

int WriteDataFile(const std::string& path) {
  const FileSettings& s = GInstrument->files.settings;
  if (std::none_of(s.dataItems.begin(), s.dataItems.end(), [](uint16_t v) { return v != 0; })) {
    return kMsgUnsuitableWriteItem;
  }
  std::string kept;
  long at = -1;
  std::error_code error;
  if (s.dataWriteMode == 1 && std::filesystem::exists(path, error)) {
    // A file that is there but cannot be read is reported, never written over.
    std::vector<uint8_t> old;
    errno = 0;
    if (!ReadWholeFile(path, old)) return FileErrorCode(errno ? errno : EIO);
    kept.assign(old.begin(), old.end());
    at = AppendPoint(path, kept);
  }
  const std::string report = DataReport(at >= 0);
  if (report.empty()) return kMsgNoData;
  // The whole new content goes aside and replaces the file only once complete.
  std::vector<uint8_t> bytes;
  if (at >= 0) bytes.assign(kept.begin(), kept.begin() + at);
  bytes.insert(bytes.end(), report.begin(), report.end());
  return WriteFileBytes(path, bytes);
}

int ParseDataFile(const uint8_t* bytes, size_t size, const MeasCondition& base,
                  TraceFileData& out) {
  const std::string_view text(reinterpret_cast<const char*>(bytes), size);
  const auto lines = SplitLines(text);
  if (lines.empty() || (lines[0] != kCsvId && lines[0] != kDt6Id)) return kMsgNotDataFile;
  // The trace data of the last report: an ADD file collects several.
  size_t header = lines.size();
  for (size_t i = lines.size(); i-- > 1;) {
    if (lines[i] == kTraceDataLine) {
      header = i;
      break;
    }
  }
  if (header == lines.size()) return kMsgNoData;
  size_t last = header;
  while (last + 1 < lines.size() && IsDataLine(lines[last + 1])) ++last;
  const size_t points = last - header;
  double first = 0, final = 0;
  bool frequency = false, lastFrequency = false;
  if (points == 0 || points > static_cast<size_t>(kMaxPoints) ||
      !DataX(lines[header + 1], first, frequency) || !DataX(lines[last], final, lastFrequency)) {
    return kMsgNotDataFile;
  }
  double start = first, stop = final;
  if (frequency) {
    if (first <= 0 || final <= 0) return kMsgNotDataFile;
    start = FrequencyToWavelength(first, true);
    stop = FrequencyToWavelength(final, true);
  }
  if (!(stop >= start) || start <= 0) return kMsgNotDataFile;
  // A single-trace CSV file around the section: the axis from its first and last points.
  std::string csv = "QXBCSV \t\r\n" + LabelText(base.label) + "\r\n";
  std::vector<std::string> block;
  const auto add = [&block](const char* format, double value) {
    block.push_back(Text(format, value));
  };
  add("\"CTRWL\",%.6f", (start + stop) / 2);
  add("\"SPAN\",%.6f", stop - start);
  add("\"START WL\",%.6f", start);
  add("\"STOP WL\",%.6f", stop);
  add("\"WLFREQ\",%.0f", frequency ? 1 : 0);
  add("\"SMPL\",%.0f", static_cast<double>(points));
  if (const double resolution = ReportResolution(lines, header); resolution > 0) {
    add("\"RESLN\",%.3f", resolution);
  }
  Add(csv, "%2d\r\n", static_cast<int>(block.size()));
  for (const std::string& l : block) csv += l + "\r\n";
  const size_t from = lines[header].data() - text.data();
  const size_t to = lines[last].data() + lines[last].size() - text.data();
  csv.append(text.substr(from, to - from));
  csv.append("\r\n");
  const auto* p = reinterpret_cast<const uint8_t*>(csv.data());
  if (ParseCsvTrace(p, csv.size(), kFormatCsv, base, out) != 0) return kMsgNotDataFile;
  return 0;
}

int LoadDataFile(const std::string& path) {
  Instrument& g = *GInstrument;
  std::vector<uint8_t> bytes;
  if (const int code = ReadFileBytes(path, bytes))
    return code == kMsgNotTraceFile ? kMsgNotDataFile : code;
  TraceFileData data;
  if (const int code = ParseDataFile(bytes.data(), bytes.size(), g.conditions.setting, data)) {
    return code;
  }
  LoadTraceData(data, 0);
  NewTraceData(0);
  return 0;
}

}  // namespace vq
