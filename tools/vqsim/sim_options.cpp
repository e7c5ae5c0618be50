// The --fault switch: the kind of fault and the query it hits.
#include "sim_options.h"

#include "sim_text.h"

namespace vq {

namespace {

struct FaultName {
  const char* name;
  FaultKind kind;
  bool hitsQuery;  // false: the fault needs no command
};

constexpr FaultName kFaultNames[] = {
    {"close-mid-reply", FaultKind::CloseMidReply, true},
    {"stall", FaultKind::Stall, true},
    {"oversize", FaultKind::Oversize, true},
    {"bad-block-header", FaultKind::BadBlockHeader, true},
    {"split-crlf", FaultKind::SplitCrlf, true},
    {"drip", FaultKind::Drip, true},
    {"wrong-idn", FaultKind::WrongIdn, false},
    {"bad-login", FaultKind::BadLogin, false},
    {"close-mid-sweep", FaultKind::CloseMidSweep, false},
    {"hostile-names", FaultKind::HostileNames, false},
};

constexpr const char* kDefaultFaultCommand = "*IDN?";

}  // namespace

std::string NormaliseCommand(const std::string& text) {
  std::string normal = Upper(Trim(text));
  if (!normal.empty() && normal[0] == ':') normal.erase(0, 1);
  return normal;
}

bool IsErrorEntry(const std::string& text) {
  size_t at = text.starts_with('-') ? 1 : 0;
  const size_t digits = at;
  while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
  return at > digits && text.size() >= at + 3 && text[at] == ',' && text[at + 1] == '"' &&
         text.back() == '"' && text.find_first_of("\r\n;") == std::string::npos;
}

std::optional<Fault> ParseFault(const std::string& text, std::string& error) {
  const size_t equals = text.find('=');
  const std::string name = text.substr(0, equals);
  for (const FaultName& f : kFaultNames) {
    if (name != f.name) continue;
    Fault fault{f.kind, {}};
    if (!f.hitsQuery) {
      if (equals == std::string::npos) return fault;
      error = "--fault " + name + " takes no command";
      return std::nullopt;
    }
    fault.command = NormaliseCommand(equals == std::string::npos ? kDefaultFaultCommand
                                                                 : text.substr(equals + 1));
    if (!fault.command.empty()) return fault;
    error = "--fault " + name + "= needs a command";
    return std::nullopt;
  }
  error = "unknown fault kind: " + name;
  return std::nullopt;
}

}  // namespace vq
