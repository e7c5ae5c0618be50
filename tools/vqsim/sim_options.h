// What vqsim was started with: the account, the identity, the trace size and the faults to play.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vq {

// Misbehaviours the simulator can play on purpose, so tests can check how the viewer copes.
enum class FaultKind {
  CloseMidReply,   // send about half of the reply, then close the connection
  Stall,           // answer nothing more, keep the connection open
  Oversize,        // a text reply one byte over the viewer's reply limit
  BadBlockHeader,  // a block reply whose header has a letter where the digit count belongs
  SplitCrlf,       // the reply up to its CR, a pause, then the LF
  Drip,            // the reply in 3-byte pieces a few milliseconds apart
  WrongIdn,        // "*IDN?" names the model VQ7000C
  BadLogin,        // the last login step fails whatever the digest
  CloseMidSweep,   // a sweep query past the middle of a sweep closes the connection
  HostileNames,    // file catalogues also list names that point outside their folder
};

struct Fault {
  FaultKind kind = FaultKind::Stall;
  std::string command;  // the query it hits, normalised by NormaliseCommand
};

struct SimOptions {
  int port = 10001;
  std::string user = "user";
  std::string password = "pass";
  std::string idn = "VELDMARK,VQ7000B,VQ0000001,03.01.00";
  int points = 50001;        // doubles in a trace block
  bool systemError = false;  // "RSMNORM?" answers 1
  int loginCase = 0;         // the login's answers as they are (0), in lower (1) or upper case (2)
  std::vector<Fault> faults;
  std::vector<std::string> startErrors;  // in the error queue of each new login: 230,"TEXT"
  std::string logPath;                   // every command line received, one per line
  bool verbose = false;                  // connection events on stderr
  int sweepMs = 1000;                    // how long one sweep of all its points takes
};

// "KIND" or "KIND=COMMAND" as given to --fault; nullopt and `error` set when it makes no sense.
std::optional<Fault> ParseFault(const std::string& text, std::string& error);

// Whether `text` is an error queue entry: a decimal code, a comma, a text in double quotes.
bool IsErrorEntry(const std::string& text);

// A command as the table matches it: blanks trimmed, no leading colon, upper case.
std::string NormaliseCommand(const std::string& text);

}  // namespace vq
