// The analyzer's files and the commands around them: "fileread?", "filewrite" after "BINSENDON"
// on the internal memory ("e:\user\") and the USB storage ("f:\"), ":MMEM:" store, load and
// delete, "MEASAREA?", the display-axis queries, the
// automatics, and the trace levels of ":TRAC:Y?".
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "link/reply_framing.h"
#include "sim_call.h"
#include "sim_text.h"

namespace vq {

namespace {

constexpr std::string_view kUserArea = "E:\\USER\\";
constexpr std::string_view kUsbArea = "F:\\";
constexpr std::string_view kModelIniPath = "C:\\VQ7000B\\CURRENT\\MODEL.INI";
constexpr std::string_view kResolutionTablePath = "C:\\VQ7000B\\CURRENT\\CALDATA\\RESCOR.TBL";
constexpr const char kModelIni[] = "[MODEL]\r\nName=VQ7000B\r\nVariant=0\r\n";
constexpr int kResolutionEntries = 20;

// "TRA" .. "TRG" as a trace index, or -1.
int TraceParameter(const std::string& text) {
  const std::string t = Upper(text);
  if (t.size() != 3 || t.compare(0, 2, "TR") != 0 || t[2] < 'A' || t[2] > 'G') return -1;
  return t[2] - 'A';
}

// "e:\user\PATH" names a file of the internal memory, "f:\PATH" one of the USB storage;
// false for any other path.
bool DrivePath(const std::string& path, int& drive, std::string& rest) {
  const std::string upper = Upper(path);
  if (upper.starts_with(kUserArea)) {
    drive = kSimInt;
    rest = path.substr(kUserArea.size());
    return true;
  }
  if (upper.starts_with(kUsbArea)) {
    drive = kSimExt;
    rest = path.substr(kUsbArea.size());
    return true;
  }
  return false;
}

// The memory parameter of the synchronisation's commands: "int" (or none) or "ext".
int MemoryParameter(const std::vector<std::string>& p, size_t at) {
  return p.size() > at && Upper(p[at]) == "EXT" ? kSimExt : kSimInt;
}

// A file of a drive by its path below the top; null when there is none.
const std::string* FindFile(const SimState& s, int drive, const std::string& path) {
  const SimEntry* entry = SimFindOnDrive(s.fs, drive, path);
  return entry == nullptr || entry->folder ? nullptr : &entry->bytes;
}

// Whether `path` ends in one of the names the hostile-names fault lists.
bool HostilePath(const SimFileSystem& fs, const std::string& path) {
  if (!fs.hostileNames) return false;
  for (const std::string& name : SimHostileNames()) {
    if (Upper(path).ends_with("\\" + Upper(name))) return true;
  }
  return false;
}

void FileError(Call& c, int code) {
  QueueError(c.session, code, SimFsErrorText(code));
}

std::string ResolutionTable() {
  std::string table;
  for (int i = 0; i < kResolutionEntries; ++i) {
    char line[48];
    std::snprintf(line, sizeof line, "%d,%.4f\r\n", i, 1.0 + 0.001 * i);
    table += line;
  }
  return table;
}

void IllegalParameter(Call& c) {
  QueueError(c.session, -224, "Illegal parameter value");
}

// "+n" or "n" as an integer; false when the text is not one.
bool ParseInt(const std::string& text, int& value) {
  int consumed = 0;
  return std::sscanf(text.c_str(), "%d%n", &value, &consumed) == 1 &&
         consumed == static_cast<int>(text.size());
}

}  // namespace

std::vector<std::string> Parameters(const std::string& args) {
  std::vector<std::string> out(1);
  char quote = 0;
  for (char ch : args) {
    if (quote != 0) {
      if (ch == quote) {
        quote = 0;
        continue;
      }
    } else if (ch == '"' || ch == '\'') {
      quote = ch;
      continue;
    } else if (ch == ',') {
      out.emplace_back();
      continue;
    }
    out.back() += ch;
  }
  for (std::string& p : out) p = Trim(p);
  return out;
}

void MeasurementArea(Call& c) {
  c.answers.push_back(std::to_string(c.sim.state.measArea + 1));
}

// A missing file answers an empty text line, which the viewer tells from a block, and queues
// "File not found".
void FileRead(Call& c) {
  const std::vector<std::string> p = Parameters(c.command.args);
  const std::string path = Upper(p[0]);
  std::string bytes;
  int drive = kSimInt;
  std::string rest;
  if (path == kModelIniPath) {
    bytes = kModelIni;
  } else if (path == kResolutionTablePath) {
    bytes = ResolutionTable();
  } else if (DrivePath(p[0], drive, rest) && drive == kSimExt && !c.sim.state.fs.usbPresent) {
    FileError(c, kFsNoUsb);
    c.answers.emplace_back();
    return;
  } else if (const std::string* file = FindFile(c.sim.state, drive, rest); !rest.empty() && file) {
    bytes = *file;
  } else if (!rest.empty() && HostilePath(c.sim.state.fs, p[0])) {
    bytes = kSimHostileBytes;
  } else {
    FileError(c, kFsNotFound);
    c.answers.emplace_back();
    return;
  }
  c.answers.push_back(BlockHeader(bytes.size()) + bytes);
}

void BinarySendOn(Call& c) {
  c.sim.state.binarySend = true;
}

// ":MMEM:STOR:SETT "\NAME",int": the settings as NAME.st8.
void StoreSettings(Call& c) {
  const std::vector<std::string> p = Parameters(c.command.args);
  const std::string image = SimSettingsFile(c.sim.state);
  if (p[0].empty() || image.empty()) return IllegalParameter(c);
  const int written = SimWriteFile(c.sim.state.fs, MemoryParameter(p, 1), p[0] + ".st8", image);
  if (written != kFsOk) FileError(c, written);
}

// ":MMEM:STOR:TRAC TRx,BIN,"\NAME",int": the trace as the binary file NAME.wv8.
void StoreTrace(Call& c) {
  const std::vector<std::string> p = Parameters(c.command.args);
  const int trace = p.size() >= 3 ? TraceParameter(p[0]) : -1;
  if (trace < 0 || Upper(p[1]) != "BIN" || p[2].empty()) return IllegalParameter(c);
  const std::string file = SimTraceFile(c.sim.state, trace);
  if (file.empty()) return QueueError(c.session, -200, "Execution error");  // no data
  const int written = SimWriteFile(c.sim.state.fs, MemoryParameter(p, 3), p[2] + ".wv8", file);
  if (written != kFsOk) FileError(c, written);
}

void LoadSettings(Call& c) {
  const std::vector<std::string> p = Parameters(c.command.args);
  const std::string* file = FindFile(c.sim.state, MemoryParameter(p, 1), p[0]);
  if (file == nullptr) return FileError(c, kFsNotFound);
  if (!LoadSimSettings(c.sim.state, *file)) QueueError(c.session, -200, "Execution error");
}

void LoadTrace(Call& c) {
  const std::vector<std::string> p = Parameters(c.command.args);
  const int trace = p.size() >= 2 ? TraceParameter(p[0]) : -1;
  if (trace < 0) return IllegalParameter(c);
  const std::string* file = FindFile(c.sim.state, MemoryParameter(p, 2), p[1]);
  if (file == nullptr) return FileError(c, kFsNotFound);
  if (!LoadSimTrace(c.sim.state, trace, *file)) QueueError(c.session, -200, "Execution error");
}

// ":MMEM:DEL "NAME"" deletes in the current folder; with a memory parameter ("\NAME",int) the
// name is taken from that drive's top, as the synchronisation sends it.
void DeleteFile(Call& c) {
  const std::vector<std::string> p = Parameters(c.command.args);
  const int drive = p.size() >= 2 ? MemoryParameter(p, 1) : -1;
  const int deleted = SimDeleteEntry(c.sim.state.fs, p[0], drive);
  if (deleted != kFsOk) FileError(c, deleted);
}

// The display scale in nm: the zoomed window when one is set, else the measurement window.
void AxisValue(Call& c) {
  const SimState& s = c.sim.state;
  const double centre = s.displaySpan > 0 ? s.displayCentre : s.centre;
  const double span = s.displaySpan > 0 ? s.displaySpan : s.span;
  double value = centre;
  if (c.command.header == "DISP:TRAC:X:SPAN?") value = span;
  if (c.command.header == "DISP:TRAC:X:STAR?") value = centre - span / 2;
  if (c.command.header == "DISP:TRAC:X:STOP?") value = centre + span / 2;
  char text[32];
  std::snprintf(text, sizeof text, "%.6f", value);
  c.answers.push_back(text);
}

void SetAutomatic(Call& c) {
  int value = 0;
  if (!ParseInt(c.command.args, value)) return IllegalParameter(c);
  c.sim.state.automatics.values[c.command.header] = value;
}

void SetWarningBuzzer(Call& c) {
  int value = 0;
  if (!ParseInt(c.command.args, value) || value < 0 || value > 1) return IllegalParameter(c);
  c.sim.state.warningBuzzer = value;
}

void SetActiveTrace(Call& c) {
  const int trace = TraceParameter(c.command.args);
  if (trace < 0) return IllegalParameter(c);
  c.sim.state.activeTrace = trace;
}

// The attribute of the active trace; the simulator's traces are all WRITE traces.
void SetTraceAttribute(Call& c) {
  int value = 0;
  if (!ParseInt(c.command.args, value) || value < 0 || value > 50) IllegalParameter(c);
}

void SetTriggerInput(Call& c) {
  int value = 0;
  if (!ParseInt(c.command.args, value) || value < 0 || value > 2) IllegalParameter(c);
}

// A trace that holds data answers its levels (a block of little-endian doubles after
// ":FORM REAL,64", else text); one without data an empty text line.
void TraceLevels(Call& c) {
  const int trace = TraceParameter(c.command.args);
  if (trace < 0) return IllegalParameter(c);
  const std::vector<double> values = SimTraceReadout(c.sim.state, trace);
  if (values.empty()) {
    c.answers.emplace_back();
    return;
  }
  std::string out;
  if (c.session.realData) {
    std::string bytes(values.size() * sizeof(double), '\0');
    for (size_t i = 0; i < values.size(); ++i) {
      const uint64_t bits = std::bit_cast<uint64_t>(values[i]);
      for (size_t b = 0; b < sizeof bits; ++b)
        bytes[i * sizeof bits + b] = static_cast<char>(bits >> (8 * b));
    }
    out = BlockHeader(bytes.size()) + bytes;
  } else {
    for (size_t i = 0; i < values.size(); ++i) {
      char number[32];
      std::snprintf(number, sizeof number, i == 0 ? "%.3f" : ",%.3f", values[i]);
      out += number;
    }
  }
  c.answers.push_back(std::move(out));
}

bool HandleFileWrite(SimAnalyzer& sim, SimSession& session, const std::string& line) {
  // Only leading blanks go: the block's last bytes may be blanks themselves.
  const size_t first = line.find_first_not_of(" \t");
  if (first == std::string::npos) return false;
  const std::string_view text = std::string_view(line).substr(first);
  if (!EqualNoCase(text.substr(0, 10), "FILEWRITE ")) return false;
  // filewrite 'e:\user\NAME',#nLLLDATA
  const size_t open = text.find('\'');
  const size_t close = open == std::string::npos ? open : text.find('\'', open + 1);
  const size_t hash = close == std::string::npos ? close : text.find('#', close);
  if (session.format != 1 || hash == std::string::npos || !sim.state.binarySend) {
    QueueError(session, -113, "Undefined header");
    return true;
  }
  const std::string path(text.substr(open + 1, close - open - 1));
  const std::string_view block = text.substr(hash);
  sim.state.binarySend = false;
  int drive = kSimInt;
  std::string rest;
  if (BlockReplyState(block) != BlockFraming::Complete || block.size() < 2 ||
      !DrivePath(path, drive, rest)) {
    QueueError(session, -224, "Illegal parameter value");
    return true;
  }
  const size_t digits = static_cast<size_t>(block[1] - '0');
  const size_t size = digits == 0 ? 0 : std::stoul(std::string(block.substr(2, digits)));
  if (2 + digits + size != block.size()) {
    QueueError(session, -224, "Illegal parameter value");
    return true;
  }
  // An existing file is overwritten; one that does not fit is refused whole.
  const int written =
      SimWriteFile(sim.state.fs, drive, rest, std::string(block.substr(2 + digits, size)));
  if (written != kFsOk) QueueError(session, written, SimFsErrorText(written));
  return true;
}

std::string LoggedLine(const std::string& line) {
  const size_t first = line.find_first_not_of(" \t");
  if (first == std::string::npos ||
      !EqualNoCase(std::string_view(line).substr(first, 10), "FILEWRITE ")) {
    return line;
  }
  const size_t close = line.find('\'', line.find('\'', first) + 1);
  const size_t hash = close == std::string::npos ? close : line.find('#', close);
  if (hash == std::string::npos || hash + 1 >= line.size() || line[hash + 1] < '0' ||
      line[hash + 1] > '9') {
    return line.substr(0, std::min(line.size(), size_t{200}));
  }
  const size_t header = std::min(line.size(), hash + 2 + static_cast<size_t>(line[hash + 1] - '0'));
  return line.substr(0, header) + " [" + std::to_string(line.size() - header) + " bytes]";
}

// A "filewrite" line ends behind its block, whatever bytes the block holds; any other line at
// its terminator.
bool TakeSimCommandLine(std::string& stream, std::string& line) {
  const size_t first = stream.find_first_not_of(" \t\r\n");
  if (first != std::string::npos && stream.size() - first >= 10 &&
      EqualNoCase(std::string_view(stream).substr(first, 10), "FILEWRITE ")) {
    const size_t close = stream.find('\'', stream.find('\'', first) + 1);
    const size_t hash = close == std::string::npos ? close : stream.find('#', close);
    const size_t lineEnd = stream.find_first_of("\r\n", first);
    if (hash != std::string::npos && (lineEnd == std::string::npos || hash < lineEnd)) {
      const std::string_view block = std::string_view(stream).substr(hash);
      switch (BlockReplyState(block)) {
        case BlockFraming::Incomplete:
          return false;
        case BlockFraming::Malformed:
          break;  // taken as an ordinary line; the handler refuses it
        case BlockFraming::Complete: {
          const size_t digits = static_cast<size_t>(block[1] - '0');
          const size_t size = digits == 0 ? 0 : std::stoul(std::string(block.substr(2, digits)));
          size_t end = hash + 2 + digits + size;
          line = stream.substr(first, end - first);
          if (end < stream.size() && stream[end] == '\r') ++end;
          if (end < stream.size() && stream[end] == '\n') ++end;
          stream.erase(0, end);
          return true;
        }
      }
    }
  }
  return TakeCommandLine(stream, line);
}

}  // namespace vq
