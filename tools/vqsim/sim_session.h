// One connection's view of the simulated analyzer: login, command format, status registers and
// error queue; and the line handler that answers a command line.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "sim_options.h"
#include "sim_state.h"
#include "sim_sweep.h"

namespace vq {

enum class LoginStep { NeedOpen, NeedAuthenticate, NeedDigest, LoggedIn };

// Status bits the viewer reads: the event status register's command error, and the bits of the
// status byte "SPOLL?" returns.
constexpr int kEsrCommandError = 32;
constexpr int kStbErrorQueue = 4;    // the error queue is not empty
constexpr int kStbCommandError = 8;  // a command was refused since the last "SPOLL?" or "*CLS"

struct SimSession {
  LoginStep login = LoginStep::NeedOpen;
  std::string user;         // the name given by "open"
  std::string challenge;    // the one sent for this login
  int format = 0;           // 0 standard command set, 1 the older one
  bool realData = false;    // ":FORM REAL,64": traces as binary doubles
  bool remoteMode = false;  // between "TESTADDRESSMODE" and "TESTMODEEND"
  int esr = 0;
  bool commandErrorLatch = false;
  std::deque<std::string> errors;  // "-113,\"Undefined header\"", oldest first
  bool stalled = false;            // a stall fault hit: nothing is answered any more
  // Sweeps: the close-mid-sweep fault hit, the connection closes without a reply.
  bool closeNow = false;
};

// What a command line asks of the connection: the reply bytes (terminator included; empty when
// nothing is to be answered) and the fault that hits it, if any.
struct LineOutcome {
  std::string reply;
  const Fault* fault = nullptr;
};

// Everything the handlers share across connections: the options and the analyzer's state.
struct SimAnalyzer {
  SimOptions options;
  uint64_t loginCount = 0;  // makes each challenge fresh
  // The analyzer's conditions, traces and files (sim_state.h).
  SimState state;
  // Sweeps: the conditions the viewer mirrored and the sweep measured over simulated time.
  SimSweep sweep;
};

// Takes the next command line off the received bytes as TakeCommandLine does, except that a
// "filewrite" line runs to the end of its definite-length block (sim_files.cpp).
bool TakeSimCommandLine(std::string& stream, std::string& line);
// A line as the log shows it: a "filewrite" line up to its block header, then the number of
// data bytes received, e.g. "filewrite 'e:\user\$$$A.ST8',#573147 [73147 bytes]".
std::string LoggedLine(const std::string& line);

// Answers one command line (terminator removed) received on a connection.
LineOutcome HandleLine(SimAnalyzer& sim, SimSession& session, const std::string& line);

// The login steps (sim_login.cpp): the reply to one line before the session is logged in, empty
// when the line is not answered.
std::string HandleLoginLine(SimAnalyzer& sim, SimSession& session, const std::string& line);

}  // namespace vq
