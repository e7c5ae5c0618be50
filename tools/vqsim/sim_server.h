// The listening socket on 127.0.0.1 and the connections, served one after another.
#pragma once

#include <cstdio>
#include <string>

#include "sim_session.h"

namespace vq {

// Binds and listens on 127.0.0.1:`port` (0 picks a free port); the socket or -1 with `error`.
int OpenListener(int port, int& boundPort, std::string& error);

// Serves connections until SIGTERM or SIGINT arrives; `log` (may be null) gets every command
// line received. One connection is served at a time: another one that arrives meanwhile is
// accepted and closed at once. Returns the exit code.
int Serve(SimAnalyzer& sim, int listener, std::FILE* log);

}  // namespace vq
