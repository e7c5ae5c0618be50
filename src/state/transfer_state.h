// State of the File Transfer window: the analyzer's and the PC's file lists with their selection
// and focus, the PC folder, the analyzer's directory, the overwrite answer, the counters of one
// transfer and the numbered transfer log.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace vq {

constexpr size_t kTransferNameChars = 259;      // a listed name, and the limit of every path
constexpr size_t kAnalyzerListEntries = 4095;   // names taken from one analyzer catalogue
constexpr size_t kPcListEntries = 4094;         // entries taken from one PC folder
constexpr size_t kTransferLogLines = 1000;      // the log drops its oldest line beyond this
constexpr size_t kTransferFileLimit = 1048576;  // the largest file a block may carry
constexpr size_t kNewFolderNameChars = 50;      // the "New Folder" dialog's name box

// What a list row is.
enum TransferKind : int32_t { kTransferFolder = 1, kTransferFile = 2 };

// The two lists; None when neither has the focus.
enum class TransferSide { None, Analyzer, Pc };

// `OverwriteAnswer`: ask each time, yes to all, skip this one, cancel the rest.
enum OverwriteAnswer : int32_t {
  kOverwriteAsk = 0,
  kOverwriteAll = 1,
  kOverwriteSkip = 2,
  kOverwriteCancel = 3,
};

// `TransferEntry`: one list row.
struct TransferEntry {
  std::string name;      // at most 259 characters; ".." for the way up
  std::string typeText;  // "File Folder", "TXT File", or "File" without an extension
  std::string dateText;  // "YYYY/MM/DD hh:mm:ss"; empty for ".."
  int32_t kind = kTransferFile;
  uint32_t size = 0;      // bytes
  bool selected = false;  // selected in its list (the window keeps this in step)
};

struct TransferList {
  std::vector<TransferEntry> entries;  // ".." first, folders, then files, each by name
  bool hasFocus = false;
};

// `TransferLog`: lines " %ld:   %s", the newest last; numbering runs on for the program's life.
struct TransferLog {
  std::deque<std::string> lines;
  int64_t nextNumber = 1;
  // Each new line as it is added (the command-line tool prints them); may be null.
  void (*echo)(const std::string& line) = nullptr;
};

struct TransferState {
  TransferList analyzer;
  TransferList pc;
  std::string pcFolder;           // with a trailing "/"
  std::string analyzerDirectory;  // `AnalyzerDirectory`: the ":MMEM:CDIR?" reply
  int32_t overwriteAnswer = kOverwriteAsk;
  int64_t filesDone = 0;
  int64_t errors = 0;
  int64_t foldersDone = 0;
  TransferLog log;
  int64_t errorLines = 0;  // log lines that reported an error, for the program's life
  bool windowOpen = false;
  // The analyzer list could not be read (or the link dropped): the window closes itself.
  bool closeRequested = false;
};

}  // namespace vq
