// Delete and New Folder on the list that has the focus, on the PC or on the analyzer.
#include "files/file_operations.h"
#include "instrument.h"
#include "link/file_transfer.h"
#include "link/link.h"
#include "link/transfer_internal.h"

namespace vq {

namespace {

// Shown and logged as "Error: %s" in a box titled "Error".
void ShowTransferError(const std::string& text) {
  LogTransferError("Error: " + text);
  GInstrument->host->MessageBox("Error: " + text, "Error", BoxButtons::Ok, BoxIcon::Error);
}

bool DeleteOnPc(const std::string& name) {
  if (DeleteEntries(GInstrument->transfer.pcFolder, {name}) == 0) return true;
  ShowTransferError("Can't delete file.");
  return false;
}

bool DeleteOnAnalyzer(const std::string& name) {
  Instrument& g = *GInstrument;
  if (name.find('"') != std::string::npos) return false;
  SetCommandFormat(0);
  g.link.blockReplyMode = 0;
  // The error queue is emptied first, so that what the check finds is this deletion's.
  if (LinkQuery(":syst:err?", kTransferQuerySeconds) != kLinkDone) return false;
  if (LinkSend(":MMEM:DEL \"" + name + "\"") != kLinkDone) return false;
  if (LinkQuery("*OPC?", kTransferQuerySeconds) != kLinkDone) return false;
  return CheckAnalyzerError() == 0;
}

}  // namespace

void DeleteCommand() {
  Instrument& g = *GInstrument;
  TransferState& t = g.transfer;
  const TransferSide side = FocusedSide();
  if (side == TransferSide::None) return;
  TransferList& list = side == TransferSide::Pc ? t.pc : t.analyzer;
  std::vector<std::string> names;
  for (const TransferEntry& e : list.entries) {
    if (e.selected && e.name != "..") names.push_back(e.name);
  }
  if (names.empty()) return;
  if (g.host->MessageBox("Are you sure?", "Delete", BoxButtons::OkCancel) != BoxAnswer::Ok) return;
  int64_t deleted = 0;
  bool stopped = false;
  for (const std::string& name : names) {
    const bool done = side == TransferSide::Pc ? DeleteOnPc(name) : DeleteOnAnalyzer(name);
    if (!done) {
      LogTransferError("can't delete...[" + Printable(name) + "]");
      stopped = true;
      break;
    }
    AddTransferLog("delete ok...[" + name + "]");
    ++deleted;
  }
  if (deleted > 0) {
    if (side == TransferSide::Pc) {
      ListPc();
    } else {
      ListAnalyzer();  // a failure closes the window
    }
  }
  if (!TransferLinkUp()) t.closeRequested = true;
  if (deleted != 0) {
    AddTransferLog("   " + std::to_string(deleted) + " file(s) and/or folder(s) delete.");
  }
  if (stopped) AddTransferLog("   1 file(s) and/or folder(s) can't delete.");
}

void NewFolderCommand() {
  Instrument& g = *GInstrument;
  TransferState& t = g.transfer;
  const TransferSide side = FocusedSide();
  if (side == TransferSide::None) return;
  std::string name;
  if (!g.host->AskNewFolderName(name)) return;
  name = name.substr(0, kNewFolderNameChars);
  if (side == TransferSide::Pc) {
    if ((t.pcFolder + name).size() >= kTransferNameChars || MakeDirectory(t.pcFolder, name) != 0) {
      ShowTransferError("Can't make directory.");
      return;
    }
    ListPc();
    AddTransferLog("make new folder. [" + name + "]");
    return;
  }
  // A name that cannot travel inside the command's quotes is refused as the analyzer would.
  if (name.empty() || name.find_first_of("\"\r\n") != std::string::npos) {
    ShowTransferError("Can't make directory.");
    return;
  }
  if (LinkSend(":MMEM:MDIR \"" + name + "\"") != kLinkDone) {
    t.closeRequested = true;
    return;
  }
  if (CheckAnalyzerError() == 0) AddTransferLog("make new folder. [" + name + "]");
  ListAnalyzer();
}

}  // namespace vq
