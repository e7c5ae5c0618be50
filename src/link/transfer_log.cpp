// The File Transfer log (numbered lines, at most 1,000), the transfer's error paths and the
// analyzer's file error check.
#include <cstdio>
#include <cstdlib>

#include "instrument.h"
#include "link/file_transfer.h"
#include "link/link.h"
#include "link/transfer_internal.h"

namespace vq {

namespace {

// The analyzer's file errors 120 to 131, each padded to 36 characters.
constexpr int kFirstFileError = 120;
constexpr const char* kFileErrorTexts[] = {
    "USB Storage not inserted            ", "USB Storage not initialized         ",
    "USB Storage not initialized         ", "File not found                      ",
    "Illegal directory name              ", "Illegal file name                   ",
    "Directory already exists            ", "File already exists                 ",
    "File is write protected             ", "Storage full                        ",
    "Directory full                      ", "No data                             ",
};
constexpr int kFileErrorCount = sizeof kFileErrorTexts / sizeof kFileErrorTexts[0];
static_assert(kFileErrorCount == 12, "errors 120 to 131");

constexpr bool AllPadded() {
  for (const char* text : kFileErrorTexts) {
    if (std::char_traits<char>::length(text) != 36) return false;
  }
  return true;
}
static_assert(AllPadded(), "every analyzer file error text is 36 characters long");

void ShowErrorBox(const std::string& text) {
  GInstrument->host->MessageBox("Error: " + text, "Error", BoxButtons::Ok, BoxIcon::Error);
}

}  // namespace

void AddTransferLog(std::string_view text) {
  TransferLog& log = GInstrument->transfer.log;
  char number[32];
  std::snprintf(number, sizeof number, " %lld:   ", static_cast<long long>(log.nextNumber++));
  std::string line = number;
  line.append(text);
  if (log.lines.size() >= kTransferLogLines) log.lines.pop_front();
  log.lines.push_back(line);
  if (log.echo) log.echo(line);
}

void LogTransferError(const std::string& text) {
  ++GInstrument->transfer.errorLines;
  AddTransferLog(text);
}

void TransferError(const std::string& boxText, const std::string& logText) {
  TransferState& t = GInstrument->transfer;
  LogTransferError(logText);
  ShowErrorBox(boxText);
  t.overwriteAnswer = kOverwriteCancel;
  ++t.errors;
}

const char* AnalyzerFileErrorText(int number) {
  if (number < kFirstFileError || number >= kFirstFileError + kFileErrorCount) return nullptr;
  return kFileErrorTexts[number - kFirstFileError];
}

int CheckAnalyzerError() {
  Instrument& g = *GInstrument;
  const int format = g.link.commandFormat;
  g.link.blockReplyMode = 0;
  SetCommandFormat(0);
  if (LinkQuery(":syst:err?", kTransferQuerySeconds) != kLinkDone) return -1;
  const int number = static_cast<int>(std::strtol(g.link.reply.bytes.data(), nullptr, 10));
  if (const char* text = AnalyzerFileErrorText(number)) {
    LogTransferError(std::string("Error: ") + text);
    ShowErrorBox(text);
  }
  SetCommandFormat(format);
  return number;
}

bool TransferLinkUp() {
  const LinkState& link = GInstrument->link;
  return link.connected == 1 && link.transport != nullptr;
}

std::string Printable(const std::string& name) {
  std::string shown = name;
  for (char& c : shown) {
    if (static_cast<unsigned char>(c) < ' ' || c == 0x7F) c = '?';
  }
  return shown;
}

}  // namespace vq
