// What the file-reading subcommands share: a fresh context and a trace file loaded into it.
#pragma once

#include <string>

namespace vq {

// The conditions of a fresh instrument; traces a file does not fill keep the fresh window.
void PrepareFreshTraces();
// Loads a trace file as a drop does: an all-trace file into every trace it holds (the file's
// active trace becomes active unless `trace` names one), a single-trace file into `trace` (-1:
// trace A), which becomes active. 0 or the message code of the failure.
int LoadTraceInput(const std::string& path, int trace);
// "message 130 "File not found"": a message code and its text, for error lines.
std::string MessageCodeText(int code);

}  // namespace vq
