// Template files: reading (three layouts) and writing.
#include "files/template_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "calc/template_lines.h"
#include "files/file_execute.h"
#include "files/trace_files.h"
#include "instrument.h"

namespace vq {

namespace {

// Template identifiers 0 to 2 are model lines; from 3 on they are trace identifiers.
constexpr int kFirstTraceIdentifier = 3;
constexpr int kModelScanBytes = 16;  // where the reader looks for "TEMPLATE," after the model line

// The text lines of a file (CR LF or LF), without their ends.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  while (!lines.empty() && lines.back().find_first_not_of(" \t,") == std::string_view::npos) {
    lines.pop_back();
  }
  return lines;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A whole number field; false when anything else is in it.
bool ParseNumber(std::string_view field, double& value) {
  const std::string text(Trim(field));
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size() && std::isfinite(value);
}

// "wavelength,level" with an optional trailing comma.
bool ParsePoint(std::string_view line, TemplatePoint& p) {
  const size_t comma = line.find(',');
  if (comma == std::string_view::npos) return false;
  std::string_view rest = line.substr(comma + 1);
  if (const size_t more = rest.find(','); more != std::string_view::npos) {
    if (!Trim(rest.substr(more + 1)).empty()) return false;
    rest = rest.substr(0, more);
  }
  return ParseNumber(line.substr(0, comma), p.wl) && ParseNumber(rest, p.level);
}

bool WithinLimits(const TemplatePoint& p, int mode) {
  const TemplateLimits l = TemplatePointLimits(mode);
  return p.wl >= l.wlMin && p.wl <= l.wlMax && p.level >= l.levelMin && p.level <= l.levelMax;
}

// Points from lines[from, from + count), all within limits and ascending.
bool ParsePoints(const std::vector<std::string_view>& lines, size_t from, size_t count, int mode,
                 std::vector<TemplatePoint>& points) {
  if (count < static_cast<size_t>(kTemplateMinPoints)) return false;
  count = std::min(count, static_cast<size_t>(kTemplateMaxPoints));
  points.clear();
  points.reserve(count);
  for (size_t i = from; i < from + count; ++i) {
    TemplatePoint p;
    if (!ParsePoint(lines[i], p) || !WithinLimits(p, mode)) return false;
    if (!points.empty() && p.wl < points.back().wl) return false;
    points.push_back(p);
  }
  return true;
}

// The model-line layout: "TEMPLATE," (the first "t" within 16 bytes), "TYPE,", "EXTRAPOL,".
int ParseModelLayout(std::string_view text, TemplateLine& out) {
  const size_t firstEnd = text.find('\n');
  if (firstEnd == std::string_view::npos) return kMsgNotTemplateFile;
  std::string_view body = text.substr(firstEnd + 1);
  const size_t t = body.substr(0, kModelScanBytes).find_first_of("tT");
  if (t == std::string_view::npos) return kMsgNotTemplateFile;
  body.remove_prefix(t);
  const std::vector<std::string_view> lines = SplitLines(body);
  if (lines.empty()) return kMsgNotTemplateFile;
  std::vector<TemplatePoint> points;
  int mode = kTemplateAbsolute, extrapolation = kExtrapolTypeA;
  if (lines[0].starts_with("TEMPLATE,,,")) {
    // The oldest layout: "DATANUM,n" then n points, absolute, continued at the end levels.
    if (lines.size() < 2 || !lines[1].starts_with("DATANUM,")) return kMsgNotTemplateFile;
    double n = 0;
    std::string_view count = lines[1].substr(8);
    count = count.substr(0, count.find(','));
    if (!ParseNumber(count, n) || n != std::floor(n) || n < 0) return kMsgNotTemplateFile;
    const size_t available = lines.size() - 2;
    if (n > available) return kMsgNotTemplateFile;
    if (!ParsePoints(lines, 2, static_cast<size_t>(n), mode, points)) return kMsgNotTemplateFile;
  } else {
    if (lines.size() < 3 || Trim(lines[0]) != "TEMPLATE,") return kMsgNotTemplateFile;
    const std::string_view type = Trim(lines[1]), extra = Trim(lines[2]);
    if (type == "TYPE,ABSOLUTE") {
      mode = kTemplateAbsolute;
    } else if (type == "TYPE,RELATIVE") {
      mode = kTemplateRelative;
    } else {
      return kMsgNotTemplateFile;
    }
    if (extra == "EXTRAPOL,A") {
      extrapolation = kExtrapolTypeA;
    } else if (extra == "EXTRAPOL,B") {
      extrapolation = kExtrapolTypeB;
    } else if (extra == "EXTRAPOL,NONE") {
      extrapolation = kExtrapolNone;
    } else {
      return kMsgNotTemplateFile;
    }
    if (!ParsePoints(lines, 3, lines.size() - 3, mode, points)) return kMsgNotTemplateFile;
  }
  out.points = std::move(points);
  out.mode = static_cast<int16_t>(mode);
  out.extrapolation = static_cast<int16_t>(extrapolation);
  return 0;
}

// A trace file as the template source: every point of the trace, absolute, continued at the end
// levels; levels are held within the level limits (no light becomes the lowest level).
int ParseTraceSource(const uint8_t* bytes, size_t size, TemplateLine& out) {
  const int format = TraceFormatIndex(bytes, size);
  if (format < 0 || format == kFormatBackup) return kMsgNotTemplateFile;
  TraceFileData data;
  const MeasCondition& base = GInstrument->conditions.setting;
  const bool csv = format == kFormatQxCsv || format == kFormatQyCsv || format == kFormatCsv;
  const int code = csv ? ParseCsvTrace(bytes, size, format, base, data)
                       : ParseBinaryTrace(bytes, size, format, base, data);
  if (code != 0) return kMsgNotTemplateFile;
  const MeasCondition& c = data.condition;
  const size_t n = std::min({data.levels.size(), static_cast<size_t>(std::max(c.samplingPoints, 0)),
                             static_cast<size_t>(kTemplateMaxPoints)});
  if (n < static_cast<size_t>(kTemplateMinPoints)) return kMsgNotTemplateFile;
  const double step = c.span / static_cast<double>(n - 1);
  std::vector<TemplatePoint> points(n);
  for (size_t i = 0; i < n; ++i) {
    points[i].wl = c.start + step * static_cast<double>(i);
    const TemplateLimits l = TemplatePointLimits(kTemplateAbsolute);
    points[i].level = std::clamp(LinearToDbm(data.levels[i]), l.levelMin, l.levelMax);
    if (!WithinLimits(points[i], kTemplateAbsolute)) return kMsgNotTemplateFile;
  }
  out.points = std::move(points);
  out.mode = kTemplateAbsolute;
  out.extrapolation = kExtrapolTypeA;
  return 0;
}

// The template block, little-endian, without padding:
//   0          line 0, 1, 2 points: 50001 pairs of doubles (wavelength, level) each
//   2400048    per line 12 bytes: int32 points, int16 mode, int16 extrapolation, int16 display,
//              int16 reserved
//   2400084    int16 GO/NO GO, int16 TYPE, double WL SHIFT, double LEVEL SHIFT, int16 line edited
//   2400106    zeros up to 3200112
constexpr size_t kPointBytes = 16;
constexpr size_t kLinePointBytes = kPointBytes * kTemplateMaxPoints;
constexpr size_t kLineInfoAt = kLinePointBytes * kTemplateLineCount;
constexpr size_t kLineInfoBytes = 12;
constexpr size_t kSettingsAt = kLineInfoAt + kLineInfoBytes * kTemplateLineCount;
constexpr size_t kSettingsBytes = 22;
static_assert(kLineInfoAt == 2400048 && kSettingsAt == 2400084, "the layout documented above");
static_assert(kSettingsAt + kSettingsBytes <= kTemplateBlockBytes, "the block holds it all");

template <typename T>
void Put(std::vector<uint8_t>& b, size_t at, T v) {
  std::memcpy(b.data() + at, &v, sizeof v);
}
template <typename T>
T Get(const std::vector<uint8_t>& b, size_t at) {
  T v;
  std::memcpy(&v, b.data() + at, sizeof v);
  return v;
}

uint32_t ByteSum(const uint8_t* bytes, size_t size) {
  uint32_t sum = 0;
  for (size_t i = 0; i < size; ++i) sum += bytes[i];
  return sum;
}

}  // namespace

std::vector<uint8_t> TemplateBlockBytes() {
  const TemplateState& t = GInstrument->templates;
  std::vector<uint8_t> b(kTemplateBlockBytes + 4, 0);
  for (int k = 0; k < kTemplateLineCount; ++k) {
    const TemplateLine& line = t.lines[k];
    const size_t count = std::min(line.points.size(), static_cast<size_t>(kTemplateMaxPoints));
    for (size_t i = 0; i < count; ++i) {
      Put(b, k * kLinePointBytes + i * kPointBytes, line.points[i].wl);
      Put(b, k * kLinePointBytes + i * kPointBytes + 8, line.points[i].level);
    }
    const size_t info = kLineInfoAt + k * kLineInfoBytes;
    Put(b, info, static_cast<int32_t>(count));
    Put(b, info + 4, line.mode);
    Put(b, info + 6, line.extrapolation);
    Put(b, info + 8, line.display);
  }
  Put(b, kSettingsAt, t.goNoGo);
  Put(b, kSettingsAt + 2, t.type);
  Put(b, kSettingsAt + 4, t.wlShift);
  Put(b, kSettingsAt + 12, t.levelShift);
  Put(b, kSettingsAt + 20, t.editLine);
  Put(b, kTemplateBlockBytes, ByteSum(b.data(), kTemplateBlockBytes));
  return b;
}

bool RestoreTemplateBlock(const std::vector<uint8_t>& b) {
  if (b.size() != kTemplateBlockBytes + 4) return false;
  if (Get<uint32_t>(b, kTemplateBlockBytes) != ByteSum(b.data(), kTemplateBlockBytes)) return false;
  std::array<TemplateLine, kTemplateLineCount> lines;
  for (int k = 0; k < kTemplateLineCount; ++k) {
    TemplateLine& line = lines[k];
    const size_t info = kLineInfoAt + k * kLineInfoBytes;
    const int32_t count = Get<int32_t>(b, info);
    line.mode = Get<int16_t>(b, info + 4);
    line.extrapolation = Get<int16_t>(b, info + 6);
    line.display = Get<int16_t>(b, info + 8);
    if (count < 0 || count > kTemplateMaxPoints || line.mode < 0 || line.mode > 1 ||
        line.extrapolation < 0 || line.extrapolation > 2 || line.display < 0 || line.display > 1) {
      return false;
    }
    line.points.resize(count);
    for (int32_t i = 0; i < count; ++i) {
      TemplatePoint& p = line.points[i];
      p.wl = Get<double>(b, k * kLinePointBytes + i * kPointBytes);
      p.level = Get<double>(b, k * kLinePointBytes + i * kPointBytes + 8);
      if (!std::isfinite(p.wl) || !std::isfinite(p.level)) return false;
    }
  }
  const int16_t goNoGo = Get<int16_t>(b, kSettingsAt), type = Get<int16_t>(b, kSettingsAt + 2);
  const double wlShift = Get<double>(b, kSettingsAt + 4);
  const double levelShift = Get<double>(b, kSettingsAt + 12);
  const int16_t editLine = Get<int16_t>(b, kSettingsAt + 20);
  const ParamRecord& wlLimits = GInstrument->entry.params[kParTemplateWlShift];
  const ParamRecord& levelLimits = GInstrument->entry.params[kParTemplateLevelShift];
  if (goNoGo < 0 || goNoGo > 1 || type < 0 || type > 2 || editLine < 0 ||
      editLine >= kTemplateLineCount || !(wlShift >= wlLimits.minimum) ||
      !(wlShift <= wlLimits.maximum) || !(levelShift >= levelLimits.minimum) ||
      !(levelShift <= levelLimits.maximum)) {
    return false;
  }
  TemplateState& t = GInstrument->templates;
  for (int k = 0; k < kTemplateLineCount; ++k) {
    t.lines[k].points = std::move(lines[k].points);
    t.lines[k].mode = lines[k].mode;
    t.lines[k].extrapolation = lines[k].extrapolation;
    t.lines[k].display = lines[k].display;
  }
  t.goNoGo = goNoGo, t.type = type, t.editLine = editLine;
  t.wlShift = wlShift, t.levelShift = levelShift;
  t.result = -1;
  t.editPoint = t.editTop = 0;
  TemplateEdited();
  RenderTemplateLines(true);
  return true;
}

int ParseTemplate(const uint8_t* bytes, size_t size, TemplateLine& out) {
  const int id = IdentifierIndex(kFileTemplate, bytes, size);
  if (id < 0) return kMsgNotTemplateFile;
  TemplateLine line;
  const int code = id >= kFirstTraceIdentifier
                       ? ParseTraceSource(bytes, size, line)
                       : ParseModelLayout({reinterpret_cast<const char*>(bytes), size}, line);
  if (code != 0) return code;
  out.points = std::move(line.points);
  out.mode = line.mode;
  out.extrapolation = line.extrapolation;
  return 0;
}

int ReadTemplateFile(const std::string& path, int line) {
  if (line < 0 || line >= kTemplateLineCount) return kMsgNotTemplateFile;
  std::vector<uint8_t> bytes;
  if (const int code = ReadFileBytes(path, bytes)) return code;
  TemplateLine parsed;
  if (const int code = ParseTemplate(bytes.data(), bytes.size(), parsed)) return code;
  SetTemplateLine(line, std::move(parsed.points), parsed.mode, parsed.extrapolation);
  return 0;
}

std::string TemplateFileText(const TemplateLine& line) {
  std::string out = "VQ7000B,\r\nTEMPLATE,\r\n";
  out += line.mode == kTemplateRelative ? "TYPE,RELATIVE\r\n" : "TYPE,ABSOLUTE\r\n";
  static const char* const kExtrapol[] = {"EXTRAPOL,A\r\n", "EXTRAPOL,B\r\n", "EXTRAPOL,NONE\r\n"};
  out += kExtrapol[std::clamp<int>(line.extrapolation, 0, 2)];
  char text[64];
  for (const TemplatePoint& p : line.points) {
    std::snprintf(text, sizeof text, "%8.3f,%+7.2f\r\n", p.wl, p.level);
    out += text;
  }
  return out;
}

int WriteTemplateFile(const std::string& path, int line) {
  if (line < 0 || line >= kTemplateLineCount) return kMsgNoData;
  const TemplateLine& l = GInstrument->templates.lines[line];
  if (l.points.empty()) return kMsgNoData;
  const std::string text = TemplateFileText(l);
  return WriteFileBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

}  // namespace vq
