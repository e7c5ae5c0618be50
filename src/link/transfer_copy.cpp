// Download and upload of files and whole folders between the PC folder and the analyzer's
// directory, with the 1 MB block limit, the "Overwrite?" question and the transfer log.
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>

#include "files/file_operations.h"
#include "files/trace_files.h"
#include "instrument.h"
#include "link/file_transfer.h"
#include "link/link.h"
#include "link/sync.h"
#include "link/transfer_internal.h"
#include "platform/file_io.h"

namespace vq {

namespace {

constexpr const char* kRule = "------------------------";
constexpr const char* kFileExists = "This file already exist.";
constexpr const char* kFolderExists = "This folder already exist.";

enum class LocalKind { None, File, Folder };

LocalKind KindOf(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) return LocalKind::None;
  return S_ISDIR(st.st_mode) ? LocalKind::Folder : LocalKind::File;
}

// "directory\name" for the log, one backslash between them.
std::string AnalyzerName(const std::string& name) {
  std::string text = GInstrument->transfer.analyzerDirectory;
  if (text.empty() || text.back() != '\\') text += '\\';
  return text + name;
}

bool Stopped() {
  const int32_t answer = GInstrument->transfer.overwriteAnswer;
  return answer == kOverwriteSkip || answer == kOverwriteCancel;
}

// "Overwrite?" unless the answer is already yes to all: the answer it leaves.
int32_t AskOverwrite(const char* text, const std::string& path) {
  TransferState& t = GInstrument->transfer;
  if (t.overwriteAnswer != kOverwriteAll) {
    t.overwriteAnswer = static_cast<int32_t>(GInstrument->host->AskOverwrite(text, path));
  }
  return t.overwriteAnswer;
}

// The lists and folders of both sides, kept while a folder is transferred and put back after.
struct Place {
  std::string pcFolder;
  std::string analyzerDirectory;
  std::vector<TransferEntry> pcEntries;
  std::vector<TransferEntry> analyzerEntries;
};

Place KeepPlace() {
  const TransferState& t = GInstrument->transfer;
  return {t.pcFolder, t.analyzerDirectory, t.pc.entries, t.analyzer.entries};
}

// Both sides back where they were; the analyzer returns with ":MMEM:CDIR" to the kept directory
// below its drive part.
void RestorePlace(Place& place) {
  TransferState& t = GInstrument->transfer;
  t.pcFolder = std::move(place.pcFolder);
  t.analyzerDirectory = std::move(place.analyzerDirectory);
  t.pc.entries = std::move(place.pcEntries);
  t.analyzer.entries = std::move(place.analyzerEntries);
  if (!TransferLinkUp()) return;
  SetCommandFormat(0);
  const std::string below = t.analyzerDirectory.size() > 4 ? t.analyzerDirectory.substr(4) : "\\";
  LinkSend(":MMEM:CDIR \"" + below + "\"");
}

// A PC name that cannot be written into an analyzer command.
bool UnsendableName(const std::string& name) {
  return name.find_first_of("'\"\\") != std::string::npos ||
         std::any_of(name.begin(), name.end(),
                     [](char c) { return static_cast<unsigned char>(c) < ' ' || c == 0x7F; });
}

// The names of a list's entries to transfer, in list order ("..": never).
std::vector<TransferEntry> Selected(const std::vector<TransferEntry>& entries, bool all) {
  std::vector<TransferEntry> chosen;
  for (const TransferEntry& e : entries) {
    if (e.name != ".." && (all || e.selected)) chosen.push_back(e);
  }
  return chosen;
}

// The file's size on the analyzer, in the current command format; 0 when it cannot be read.
uint32_t AnalyzerFileSize(const std::string& name) {
  Instrument& g = *GInstrument;
  const std::string query =
      g.link.commandFormat == 0 ? ":MMEM:FSIZ? \"" + name + "\"" : "FSIZE? '" + name + "'";
  if (LinkQuery(query, kTransferQuerySeconds) != kLinkDone) return 0;
  return static_cast<uint32_t>(std::strtoul(g.link.reply.bytes.data(), nullptr, 10));
}

// A same-name entry of the other kind: logged as an error, and the rest of the transfer goes.
void CancelOnError(const std::string& text) {
  TransferState& t = GInstrument->transfer;
  LogTransferError(text);
  t.overwriteAnswer = kOverwriteCancel;
  ++t.errors;
}

// The "Overwrite?" question about an existing entry: true to go on. Cancel logs `cancelled`; No
// logs the `skipped` lines and asks again at the next entry.
bool OverwriteExisting(const char* question, const std::string& path, const char* cancelled,
                       std::initializer_list<std::string> skipped) {
  const int32_t answer = AskOverwrite(question, path);
  if (answer == kOverwriteCancel) {
    AddTransferLog(cancelled);
    return false;
  }
  if (answer == kOverwriteSkip) {
    GInstrument->transfer.overwriteAnswer = kOverwriteAsk;
    for (const std::string& line : skipped) AddTransferLog(line);
    return false;
  }
  return true;
}

// A PC file or folder that could not be made.
void WriteFailed(int code, const std::string& local) {
  const std::string text =
      code == kMsgStorageFull ? "File can't write(Disk full?)." : "File can't write(Read only?).";
  TransferError(text, text + "..[" + local + "]");
}

// ---- download ------------------------------------------------------------------------------

// Each entry in list order, files and folders by their own way, until the rest is cancelled or
// the link is gone.
void TransferEntries(const std::vector<TransferEntry>& entries, void (*file)(const std::string&),
                     void (*folder)(const std::string&)) {
  for (const TransferEntry& e : entries) {
    if (GInstrument->transfer.overwriteAnswer == kOverwriteCancel) break;
    if (!TransferLinkUp()) {
      GInstrument->transfer.overwriteAnswer = kOverwriteCancel;
      break;
    }
    (e.kind == kTransferFolder ? folder : file)(e.name);
  }
}

void DownloadFolder(const std::string& name);

// Both paths of a download: false, with the error logged, for a name that would leave the PC
// folder or a path that is too long.
bool DownloadPaths(const std::string& name, std::string& remote, std::string& local) {
  const TransferState& t = GInstrument->transfer;
  const bool remoteOk = RemotePath(t.analyzerDirectory, name, remote);
  if (!LocalPath(t.pcFolder, name, local)) {
    if (remoteOk && local.size() < kTransferNameChars) {
      LogTransferError("Illegal file name. Not download...[" + Printable(name) + "]");
    } else {
      TransferError("Can't download. File path name is too long...");
    }
    return false;
  }
  if (!remoteOk) TransferError("Can't download. File path name is too long...");
  return remoteOk;
}

void DownloadFile(const std::string& name) {
  Instrument& g = *GInstrument;
  TransferState& t = g.transfer;
  if (Stopped()) return;
  if (!SafeAnalyzerName(name)) {
    LogTransferError("Illegal file name. Not download...[" + Printable(name) + "]");
    return;
  }
  std::string remote, local;
  if (!DownloadPaths(name, remote, local)) return;
  if (AnalyzerFileSize(name) > kTransferFileLimit) {
    return TransferError("Can't download. File size over 1MB...  \n[" + remote + "]",
                         "Can't download. File size over 1MB...[" + remote + "]");
  }
  const LocalKind existing = KindOf(local);
  if (existing == LocalKind::Folder) {
    return TransferError("Can't download. Same name folder already exist.",
                         "Can't download. Same name folder already exist...[" + local + "]");
  }
  bool skipped = false;
  if (existing == LocalKind::File) {
    skipped = !OverwriteExisting(kFileExists, local, "Download cancel.",
                                 {"Not download...[" + AnalyzerName(name) + "]"});
    if (t.overwriteAnswer == kOverwriteCancel) return;
  }
  if (!skipped) {
    g.link.blockReplyMode = 1;
    SetCommandFormat(1);
    int code = LinkQuery("SPOLL?", kTransferQuerySeconds);
    if (code == kLinkDone) code = LinkQuery("fileread? '" + remote + "'", kTransferQuerySeconds);
    g.link.blockReplyMode = 0;
    if (code != kLinkDone) {
      return TransferError("Communication error.",
                           "Communication error...[" + AnalyzerName(name) + "]");
    }
    const std::string_view reply = g.link.reply.Text();
    if (!reply.starts_with('#')) {
      CheckAnalyzerError();
      return TransferError("Download error.", "Download error...[" + AnalyzerName(name) + "]");
    }
    const std::string_view block = BlockData(reply);
    // Written aside and renamed into place: a failure leaves any earlier file as it was.
    const int written = WriteFileBytes(local, std::vector<uint8_t>(block.begin(), block.end()));
    if (written != 0) return WriteFailed(written, local);
    AddTransferLog("Download file ok...[" + AnalyzerName(name) + "]");
    ++t.filesDone;
  }
  CheckAnalyzerError();
}

void DownloadEntries(const std::vector<TransferEntry>& entries) {
  TransferEntries(entries, DownloadFile, DownloadFolder);
}

void DownloadFolder(const std::string& name) {
  TransferState& t = GInstrument->transfer;
  if (Stopped() || name == "..") return;
  SetCommandFormat(0);
  Place place = KeepPlace();
  std::string remote, local;
  if (!DownloadPaths(name, remote, local)) return;
  const LocalKind existing = KindOf(local);
  if (existing == LocalKind::File) {
    return CancelOnError("Can't download. Same name file already exist...[" + remote + "]");
  }
  if (existing == LocalKind::Folder) {
    if (!OverwriteExisting(kFolderExists, local, "Download cancel.",
                           {"Skip folder...[" + local + "]", "not download...[" + remote + "]"})) {
      return;
    }
    AddTransferLog("folder already exist. not make folder...[" + local + "]");
  } else {
    AddTransferLog("make folder...[" + local + "]");
    if (const int code = MakeDirectory(t.pcFolder, name)) return WriteFailed(code, local);
  }
  if (LinkSend(":MMEM:CDIR \"" + name + "\"") != kLinkDone) {
    return TransferError("Communication error.", "Communication error...[" + remote + "]");
  }
  t.pcFolder = local + "/";
  if (!ListAnalyzer()) {
    t.overwriteAnswer = kOverwriteCancel;
    return;
  }
  DownloadEntries(Selected(t.analyzer.entries, true));
  RestorePlace(place);
  ++t.foldersDone;
}

// ---- upload --------------------------------------------------------------------------------

void UploadFolder(const std::string& name);

// The analyzer list's entry of that name (compared with case over the longer length), or null.
const TransferEntry* AnalyzerEntry(const std::string& name) {
  for (const TransferEntry& e : GInstrument->transfer.analyzer.entries) {
    if (e.name == name) return &e;
  }
  return nullptr;
}

void UploadFile(const std::string& name) {
  Instrument& g = *GInstrument;
  TransferState& t = g.transfer;
  if (Stopped()) return;
  if (UnsendableName(name)) {
    LogTransferError("Illegal file name. Not upload...[" + Printable(name) + "]");
    return;
  }
  std::string remote;
  const std::string local = t.pcFolder + name;
  if (!RemotePath(t.analyzerDirectory, name, remote) || local.size() >= kTransferNameChars) {
    return TransferError("Can't upload. File path name is too long...");
  }
  if (const TransferEntry* there = AnalyzerEntry(name)) {
    if (there->kind == kTransferFolder) {
      return CancelOnError("Can't upload. Same name folder already exist...[" + remote + "]");
    }
    if (!OverwriteExisting(kFileExists, remote, "Upload cancel.",
                           {"not upload...[" + remote + "]"})) {
      return;
    }
  }
  struct stat st {};
  if (stat(local.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
    LogTransferError("File not found...[" + local + "]");
    ++t.errors;
    return;
  }
  SetCommandFormat(1);  // the status byte and the block travel in the older command set
  if (LinkQuery("SPOLL?", kTransferQuerySeconds) != kLinkDone) {
    return TransferError("Communication error.", "Communication error...[" + local + "]");
  }
  if (static_cast<uint64_t>(st.st_size) > kTransferFileLimit) {
    return TransferError("Can't upload. File size over 1MB...  \n[" + local + "]",
                         "Can't upload. File size over 1MB...[" + local + "]");
  }
  std::vector<uint8_t> data;
  if (ReadFileBytes(local, data) != 0 || data.size() > kTransferFileLimit) {
    LogTransferError("File not found...[" + local + "]");
    ++t.errors;
    return;
  }
  std::string command = FileWriteHeader(remote, data.size());
  command.append(data.begin(), data.end());
  int code = LinkSend("BINSENDON");
  if (code == kLinkDone) code = LinkSend(command);
  SetCommandFormat(1);
  if (code == kLinkDone) code = LinkQuery("SPOLL?", kTransferQuerySeconds);
  if (code != kLinkDone) {
    return TransferError("Communication error.", "Communication error...[" + local + "]");
  }
  const long status = std::strtol(g.link.reply.bytes.data(), nullptr, 10);
  if ((status & 4) == 0) {
    AddTransferLog("Upload file ok...[" + remote + "]");
    ++t.filesDone;
    return;
  }
  const int error = CheckAnalyzerError();
  if (error < 0) {
    return TransferError("Communication error.", "Communication error...[" + local + "]");
  }
  if (error != 0) CancelOnError("VQ7000 Disk full...[" + name + "]");
}

void UploadEntries(const std::vector<TransferEntry>& entries) {
  TransferEntries(entries, UploadFile, UploadFolder);
}

void UploadFolder(const std::string& name) {
  TransferState& t = GInstrument->transfer;
  if (Stopped() || name == "..") return;
  SetCommandFormat(0);
  Place place = KeepPlace();
  std::string remote;
  const std::string local = t.pcFolder + name;
  if (!RemotePath(t.analyzerDirectory, name, remote) || local.size() >= kTransferNameChars) {
    return TransferError("Can't upload. File path name is too long...");
  }
  if (UnsendableName(name)) {
    LogTransferError("Illegal file name. Not upload...[" + Printable(name) + "]");
    return;
  }
  if (const TransferEntry* there = AnalyzerEntry(name)) {
    if (there->kind == kTransferFile) {
      return CancelOnError("Can't upload. Same name file already exist...[" + remote + "]");
    }
    if (!OverwriteExisting(kFolderExists, remote, "Upload cancel.",
                           {"Skip folder...[" + local + "]", "not upload...[" + remote + "]"})) {
      return;
    }
    AddTransferLog("folder already exist. not make folder...[" + remote + "]");
  } else {
    AddTransferLog("make folder...[" + remote + "]");
    if (LinkSend(":MMEM:MDIR \"" + name + "\"") != kLinkDone || CheckAnalyzerError() != 0) {
      t.overwriteAnswer = kOverwriteCancel;
      ++t.errors;
      return;
    }
  }
  if (LinkSend(":MMEM:CDIR \"" + name + "\"") != kLinkDone) {
    return TransferError("Communication error.", "Communication error...[" + remote + "]");
  }
  t.pcFolder = local + "/";
  ListPc();
  if (!ListAnalyzer()) {
    t.overwriteAnswer = kOverwriteCancel;
    return;
  }
  UploadEntries(Selected(t.pc.entries, true));
  RestorePlace(place);
  ++t.foldersDone;
}

void StartTransfer(const char* title) {
  TransferState& t = GInstrument->transfer;
  AddTransferLog(kRule);
  AddTransferLog(title);
  AddTransferLog(kRule);
  t.filesDone = t.errors = t.foldersDone = 0;
  t.overwriteAnswer = kOverwriteAsk;
  SetCommandFormat(1);
}

}  // namespace

void DownloadCommand() {
  TransferState& t = GInstrument->transfer;
  StartTransfer("    DOWNLOAD START");
  DownloadEntries(Selected(t.analyzer.entries, false));
  ListPc();
  const int64_t done = t.filesDone + t.foldersDone;
  if (done > 0) {
    AddTransferLog("   Total " + std::to_string(done) + " file(s) and/or folder(s) download.");
  }
  if (TransferLinkUp()) {
    SetCommandFormat(0);
  } else {
    t.closeRequested = true;
  }
}

void UploadCommand() {
  TransferState& t = GInstrument->transfer;
  StartTransfer("    UPLOAD START");
  UploadEntries(Selected(t.pc.entries, false));
  SetCommandFormat(0);
  if (TransferLinkUp()) ListAnalyzer();
  if (!TransferLinkUp()) t.closeRequested = true;
  const int64_t done = t.filesDone + t.foldersDone;
  if (done > 0) {
    AddTransferLog("   Total " + std::to_string(done) + " file(s) and/or folder(s) upload.");
  }
}

}  // namespace vq
