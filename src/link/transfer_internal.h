// What the File Transfer files share among themselves: the error paths and the analyzer's
// error check.
#pragma once

#include <string>

namespace vq {

constexpr int kTransferQuerySeconds = 10;

// A transfer error: the text in the log (as `logText`), "Error: " + `boxText` in a message box
// titled "Error"; the rest of the transfer is cancelled and the error counted.
void TransferError(const std::string& boxText, const std::string& logText);
inline void TransferError(const std::string& text) {
  TransferError(text, text);
}
// A log line that reports an error without cancelling anything.
void LogTransferError(const std::string& text);
// ":syst:err?" in format 0: the error number, with 120 to 131 logged and shown as "Error: %s".
// -1 when the query itself failed (the link has dropped).
int CheckAnalyzerError();
// True while the link to the analyzer is usable.
bool TransferLinkUp();
// A name logged or sent inside brackets: control characters shown as "?".
std::string Printable(const std::string& name);

}  // namespace vq
