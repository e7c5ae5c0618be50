// The analyzer's command table and the execution of a command line: a line holds one or more
// commands separated by ";", whose query answers go back joined by ";" in one reply line.
#include <cstdio>
#include <string_view>
#include <vector>

#include "sim_call.h"
#include "sim_session.h"
#include "sim_text.h"

namespace vq {

namespace {

// Which command sets know a command: the standard one (0), the older one (1) or both.
constexpr int kFormat0 = 1;
constexpr int kFormat1 = 2;
constexpr int kAnyFormat = kFormat0 | kFormat1;

constexpr size_t kErrorQueueSize = 16;

}  // namespace

void QueueError(SimSession& s, int code, const char* text) {
  char entry[96];
  std::snprintf(entry, sizeof entry, "%d,\"%s\"", code, text);
  if (s.errors.size() < kErrorQueueSize) {
    s.errors.push_back(entry);
  } else {
    s.errors.back() = "-350,\"Queue overflow\"";
  }
  s.esr |= code <= -100 && code > -200 ? kEsrCommandError : 16;  // else an execution error
  s.commandErrorLatch = true;
}

namespace {

// ---- handlers ----------------------------------------------------------------------------------

// Commands that stop what runs on the analyzer (sweep, program, copy); the simulator runs none.
void Acknowledge(Call&) {}

void Identify(Call& c) {
  std::string idn = c.sim.options.idn;
  for (const Fault& f : c.sim.options.faults) {
    if (f.kind != FaultKind::WrongIdn) continue;
    const size_t first = idn.find(',');
    const size_t second = idn.find(',', first + 1);
    idn.replace(first + 1, second - first - 1, "VQ7000C");
  }
  c.answers.push_back(idn);
}

void ClearStatus(Call& c) {
  c.session.errors.clear();
  c.session.esr = 0;
  c.session.commandErrorLatch = false;
}

void EventStatus(Call& c) {
  c.answers.push_back(std::to_string(c.session.esr));
  c.session.esr = 0;  // reading the register clears it
}

// "CFORM n" and ":SYST:COMM:CFOR n": 1 selects the standard set (format 0), 0 the older one.
void SelectFormat(Call& c) {
  if (c.command.args == "0") {
    c.session.format = 1;
  } else if (c.command.args == "1") {
    c.session.format = 0;
  } else {
    QueueError(c.session, -224, "Illegal parameter value");
  }
}

void RemoteOn(Call& c) {
  c.session.remoteMode = true;
}
void RemoteOff(Call& c) {
  c.session.remoteMode = false;
}

void RemoteState(Call& c) {
  c.answers.push_back(c.sim.options.systemError ? "1" : "0");
}

void StatusByte(Call& c) {
  int stb = c.session.errors.empty() ? 0 : kStbErrorQueue;
  if (c.session.commandErrorLatch) stb |= kStbCommandError;
  c.session.commandErrorLatch = false;  // reading the status byte clears the refusal
  c.answers.push_back(std::to_string(stb));
}

void NextError(Call& c) {
  if (c.session.errors.empty()) {
    c.answers.push_back("0,\"No error\"");
    return;
  }
  c.answers.push_back(c.session.errors.front());
  c.session.errors.pop_front();
}

void DataFormat(Call& c) {
  const std::string format = Upper(c.command.args);
  if (format == "REAL,64") {
    c.session.realData = true;
  } else if (format == "ASC" || format == "ASCII") {
    c.session.realData = false;
  } else {
    QueueError(c.session, -224, "Illegal parameter value");
  }
}

// ---- the table ---------------------------------------------------------------------------------

struct CommandRow {
  std::string_view header;  // upper case, no leading colon
  int formats;
  Handler handler;
};

constexpr CommandRow kCommands[] = {
    // common commands
    {"*IDN?", kAnyFormat, Identify},
    {"*CLS", kAnyFormat, ClearStatus},
    {"*ESR?", kAnyFormat, EventStatus},
    // taking control: sent before the viewer knows the analyzer's command format
    {"ABOR", kAnyFormat, Acknowledge},
    {"PREXT", kAnyFormat, Acknowledge},
    {"COPY0", kAnyFormat, Acknowledge},
    {"STP", kAnyFormat, Acknowledge},
    {"SYST:COMM:CFOR", kAnyFormat, SelectFormat},
    {"CFORM", kAnyFormat, SelectFormat},
    // the older command set
    {"TESTADDRESSMODE", kFormat1, RemoteOn},
    {"HD0", kFormat1, Acknowledge},  // replies carry no headers anyway
    {"RSMNORM?", kFormat1, RemoteState},
    {"TESTMODEEND", kFormat1, RemoteOff},
    {"SPOLL?", kFormat1, StatusByte},
    // the standard command set
    {"SYST:ERR?", kFormat0, NextError},
    {"FORM", kFormat0, DataFormat},
    {"TRAC:Y?", kFormat0, TraceLevels},
    // the analyzer's files, the synchronisation queries and the automatics (sim_files.cpp)
    {"MEASAREA?", kFormat1, MeasurementArea},
    {"FILEREAD?", kFormat1, FileRead},
    {"BINSENDON", kFormat1, BinarySendOn},
    {"MMEM:STOR:SETT", kFormat0, StoreSettings},
    {"MMEM:STOR:TRAC", kFormat0, StoreTrace},
    {"MMEM:LOAD:SETT", kFormat0, LoadSettings},
    {"MMEM:LOAD:TRAC", kFormat0, LoadTrace},
    {"MMEM:DEL", kAnyFormat, DeleteFile},
    {"DISP:TRAC:X:CENT?", kFormat0, AxisValue},
    {"DISP:TRAC:X:SPAN?", kFormat0, AxisValue},
    {"DISP:TRAC:X:STAR?", kFormat0, AxisValue},
    {"DISP:TRAC:X:STOP?", kFormat0, AxisValue},
    {"DISP:TRAC:Y:NMAS", kFormat0, SetAutomatic},
    {"CAL:ZERO", kFormat0, SetAutomatic},
    {"CALC:MARK:MAX:SCEN:AUTO", kFormat0, SetAutomatic},
    {"CALC:MARK:MAX:SRL:AUTO", kFormat0, SetAutomatic},
    {"DISP:TRAC:Y2:SCAL:AUTO", kFormat0, SetAutomatic},
    {"CALC:MARK:AUTO", kFormat0, SetAutomatic},
    {"CALC:IMM:AUTO", kFormat0, SetAutomatic},
    {"SYST:BUZZ:WARN", kFormat0, SetWarningBuzzer},
    {"TRAC:ACT", kFormat0, SetActiveTrace},
    {"TRACE:ACTIVE", kFormat0, SetActiveTrace},
    {"TRAC:ATTR", kFormat0, SetTraceAttribute},
    {"TRACE:ATTRIBUTE", kFormat0, SetTraceAttribute},
    {"TRIG:INP", kFormat0, SetTriggerInput},
    // the file system's drives and folders, in either command set (sim_fs_commands.cpp)
    {"MMEM:CDR", kAnyFormat, SelectDrive},
    {"MMEM:REMOVE?", kAnyFormat, StoragePresent},
    {"MMEM:CDIR", kAnyFormat, ChangeFolder},
    {"MMEM:CDIR?", kAnyFormat, CurrentFolder},
    {"MMEM:CAT:DIR?", kAnyFormat, FolderCatalogue},
    {"MMEM:CAT:FILE?", kAnyFormat, FileCatalogue},
    {"MMEM:FDATE?", kAnyFormat, EntryDate},
    {"MMEM:FSIZ?", kFormat0, EntrySize},
    {"FSIZE?", kFormat1, EntrySize},
    {"MMEM:MDIR", kAnyFormat, MakeFolder},
};

constexpr bool TableIsWellFormed() {
  for (size_t i = 0; i < std::size(kCommands); ++i) {
    const std::string_view h = kCommands[i].header;
    if (h.empty() || h[0] == ':') return false;
    for (char ch : h) {
      if (ch >= 'a' && ch <= 'z') return false;
    }
    for (size_t j = 0; j < i; ++j) {
      if (kCommands[j].header == h) return false;
    }
  }
  return true;
}
static_assert(TableIsWellFormed(), "command headers: upper case, no leading colon, each once");

const CommandRow* FindCommand(const std::string& header, int format) {
  const int bit = format == 1 ? kFormat1 : kFormat0;
  for (const CommandRow& row : kCommands) {
    if (row.header == header && (row.formats & bit) != 0) return &row;
  }
  return nullptr;
}

// ---- parsing -----------------------------------------------------------------------------------

// The commands of a line, split at the semicolons outside quoted strings.
std::vector<std::string> SplitCommands(const std::string& line) {
  std::vector<std::string> pieces(1);
  char quote = 0;
  for (char ch : line) {
    if (quote != 0) {
      if (ch == quote) quote = 0;
    } else if (ch == '"' || ch == '\'') {
      quote = ch;
    } else if (ch == ';') {
      pieces.emplace_back();
      continue;
    }
    pieces.back() += ch;
  }
  return pieces;
}

// Splits one command into header and parameters. A header without a leading colon that follows
// another command of the line takes the place of that command's last node
// ("DISP:TRAC:Y1:UNIT 1;RLEV" is DISP:TRAC:Y1:RLEV); `path` carries it from one to the next.
Command ParseCommand(const std::string& piece, std::string& path) {
  const std::string text = Trim(piece);
  const size_t space = text.find_first_of(" \t");
  Command c;
  std::string header = Upper(text.substr(0, space));
  if (space != std::string::npos) c.args = Trim(text.substr(space));
  if (header.empty()) return c;
  if (header[0] == ':') {
    header.erase(0, 1);
  } else if (header[0] != '*') {
    header = path + header;
  }
  if (header[0] != '*') {
    const size_t colon = header.rfind(':');
    path = colon == std::string::npos ? "" : header.substr(0, colon + 1);
  }
  c.header = header;
  return c;
}

const Fault* FindFault(const SimAnalyzer& sim, const Command& c) {
  const std::string whole = c.args.empty() ? c.header : c.header + " " + Upper(c.args);
  for (const Fault& f : sim.options.faults) {
    if (!f.command.empty() && (f.command == c.header || f.command == whole)) return &f;
  }
  return nullptr;
}

}  // namespace

LineOutcome HandleLine(SimAnalyzer& sim, SimSession& session, const std::string& line) {
  LineOutcome out;
  if (session.stalled) return out;
  std::string path;
  if (session.login != LoginStep::LoggedIn) {
    out.fault = FindFault(sim, ParseCommand(line, path));
    out.reply = HandleLoginLine(sim, session, line);
    return out;
  }
  // A file written with its block: the data may hold ";", quotes, CR or LF (sim_files.cpp).
  if (HandleFileWrite(sim, session, line)) return out;
  std::vector<std::string> answers;
  for (const std::string& piece : SplitCommands(line)) {
    const Command command = ParseCommand(piece, path);
    if (command.header.empty()) continue;
    if (out.fault == nullptr) out.fault = FindFault(sim, command);
    // Sweeps and the mirrored settings (sim_sweep.cpp): the sweep's own commands, then the
    // commands of the viewer's mirror that the simulator accepts without acting on them.
    if (HandleSweepCommand(sim, session, command.header, command.args, answers)) {
      if (session.closeNow) return {};
      continue;
    }
    const CommandRow* row = FindCommand(command.header, session.format);
    if (row == nullptr && IsMirroredHeader(command.header)) continue;
    if (row == nullptr) {
      // A command error discards the rest of the line; answers already made still go back.
      QueueError(session, -113, "Undefined header");
      break;
    }
    Call call{sim, session, command, answers};
    row->handler(call);
  }
  if (answers.empty()) return out;
  out.reply = std::move(answers[0]);  // a trace block is large: moved, not copied
  for (size_t i = 1; i < answers.size(); ++i) out.reply += ";" + answers[i];
  out.reply += "\r\n";
  return out;
}

}  // namespace vq
