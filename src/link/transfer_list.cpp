// The File Transfer window's two lists: the analyzer's catalogue with dates and sizes, the PC
// folder, the memory selection, opening folders, browsing, selection and the button states; and
// the checks that keep analyzer names and paths inside their folders.
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "instrument.h"
#include "link/file_transfer.h"
#include "link/link.h"
#include "link/transfer_internal.h"

namespace fs = std::filesystem;

namespace vq {

namespace {

constexpr size_t kDriveChars = 5;  // "INT:\" or "EXT:\" before the path of `AnalyzerDirectory`
constexpr size_t kDateChars = 19;  // "YYYY/MM/DD hh:mm:ss"

// The reply text without its terminator and trailing spaces.
std::string ReplyLine() {
  std::string text(GInstrument->link.reply.Text());
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
    text.pop_back();
  }
  return text;
}

TransferList& ListOf(TransferSide side) {
  TransferState& t = GInstrument->transfer;
  return side == TransferSide::Pc ? t.pc : t.analyzer;
}

bool HasSelection(const TransferList& list) {
  return std::any_of(list.entries.begin(), list.entries.end(),
                     [](const TransferEntry& e) { return e.selected; });
}

TransferEntry UpEntry() {
  TransferEntry up;
  up.name = "..";
  up.kind = kTransferFolder;
  up.typeText = TransferTypeText(up.name, up.kind);
  return up;
}

// The analyzer list could not be read: the window closes itself.
bool AnalyzerListFailed() {
  TransferState& t = GInstrument->transfer;
  t.analyzer.entries.clear();
  t.closeRequested = true;
  return false;
}

std::string PcDateText(const struct stat& st) {
  std::tm local{};
  const time_t when = st.st_mtime;
  localtime_r(&when, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &local);
  return text;
}

}  // namespace

// ---- the parts without the link ----------------------------------------------------------

size_t ParseCatalogue(std::string_view reply, int32_t kind, std::vector<TransferEntry>& out,
                      size_t limit) {
  size_t i = 0;
  // The first two fields (the bytes used and free) are skipped.
  for (int skipped = 0; skipped < 2; ++i) {
    if (i >= reply.size() || reply[i] == '\r' || reply[i] == '\n') return 0;
    if (reply[i] == ',') ++skipped;
  }
  size_t taken = 0;
  while (i < reply.size() && reply[i] != '\r') {
    const size_t start = i;
    while (i < reply.size() && reply[i] != ',' && reply[i] != '\r' && reply[i] != '\n') ++i;
    if (out.size() < limit) {
      TransferEntry entry;
      entry.name = std::string(reply.substr(start, std::min(i - start, kTransferNameChars)));
      entry.kind = kind;
      entry.typeText = TransferTypeText(entry.name, kind);
      out.push_back(std::move(entry));
      ++taken;
    }
    if (i < reply.size() && reply[i] != '\r') ++i;  // past the comma or LF
  }
  return taken;
}

void SortTransferEntries(std::vector<TransferEntry>& entries) {
  const auto rank = [](const TransferEntry& e) {
    if (e.kind != kTransferFolder) return 2;
    return e.name == ".." ? 0 : 1;  // the way up is a folder
  };
  std::stable_sort(entries.begin(), entries.end(),
                   [&](const TransferEntry& a, const TransferEntry& b) {
                     if (rank(a) != rank(b)) return rank(a) < rank(b);
                     return strcasecmp(a.name.c_str(), b.name.c_str()) < 0;
                   });
}

std::string TransferTypeText(const std::string& name, int32_t kind) {
  if (kind == kTransferFolder) return "File Folder";
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot + 1 == name.size()) return "File";
  return name.substr(dot + 1) + " File";
}

std::string AnalyzerDateText(std::string_view reply) {
  std::string text(reply.substr(0, kDateChars));
  // Positions 5, 8, 11, 14 and 17 counted from 1.
  constexpr std::pair<size_t, char> kMarks[] = {
      {4, '/'}, {7, '/'}, {10, ' '}, {13, ':'}, {16, ':'}};
  for (const auto& [at, mark] : kMarks) {
    if (at < text.size()) text[at] = mark;
  }
  return text;
}

std::string TransferSizeText(const TransferEntry& entry) {
  if (entry.kind == kTransferFolder) return "";
  return std::to_string((static_cast<uint64_t>(entry.size) + 1023) / 1024) + " KB";
}

bool SafeAnalyzerName(std::string_view name) {
  if (name.empty() || name == "." || name == ".." || name.size() >= kTransferNameChars) {
    return false;
  }
  return std::none_of(name.begin(), name.end(), [](char c) {
    return c == '/' || c == '\\' || static_cast<unsigned char>(c) < ' ' || c == 0x7F;
  });
}

bool RemotePath(const std::string& directory, const std::string& name, std::string& path) {
  const bool ext = !directory.empty() && (directory[0] == 'E' || directory[0] == 'e');
  std::string folder = ext ? "f:\\" : "e:\\user\\";
  if (directory.size() > kDriveChars) folder += directory.substr(kDriveChars);
  if (folder.back() != '\\') folder += '\\';
  path = folder + name;
  return path.size() < kTransferNameChars;
}

bool LocalPath(const std::string& folder, const std::string& name, std::string& path) {
  path = folder + name;
  if (!SafeAnalyzerName(name) || path.size() >= kTransferNameChars) return false;
  // The final path, after symbolic links, must lie directly in the folder itself.
  std::string base = folder;
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  std::error_code error;
  const fs::path canonicalBase = fs::weakly_canonical(fs::path(base), error);
  if (error) return false;
  const fs::path target = fs::weakly_canonical(fs::path(path), error);
  return !error && target.parent_path() == canonicalBase && target.filename() == name;
}

// ---- the lists -----------------------------------------------------------------------------

bool ListAnalyzer() {
  Instrument& g = *GInstrument;
  TransferState& t = g.transfer;
  if (LinkQuery(":MMEM:CDIR?", kTransferQuerySeconds) != kLinkDone) return AnalyzerListFailed();
  t.analyzerDirectory = ReplyLine().substr(0, kTransferNameChars);
  std::vector<TransferEntry> listed;
  if (LinkQuery(":MMEM:CAT:DIR?", kTransferQuerySeconds) != kLinkDone) return AnalyzerListFailed();
  ParseCatalogue(g.link.reply.Text(), kTransferFolder, listed, kAnalyzerListEntries);
  if (LinkQuery(":MMEM:CAT:FILE?", kTransferQuerySeconds) != kLinkDone) {
    return AnalyzerListFailed();
  }
  ParseCatalogue(g.link.reply.Text(), kTransferFile, listed, kAnalyzerListEntries);
  // Names that could lead out of a PC folder never reach the list.
  std::vector<TransferEntry> entries;
  for (TransferEntry& e : listed) {
    if (SafeAnalyzerName(e.name)) {
      entries.push_back(std::move(e));
    } else {
      LogTransferError("Illegal file name. Not listed...[" + Printable(e.name) + "]");
    }
  }
  if (t.analyzerDirectory.size() > kDriveChars) entries.push_back(UpEntry());
  SortTransferEntries(entries);
  for (TransferEntry& e : entries) {
    if (e.name == "..") continue;
    if (LinkQuery(":MMEM:FDATE? \"" + e.name + "\"", kTransferQuerySeconds) != kLinkDone) {
      return AnalyzerListFailed();
    }
    e.dateText = AnalyzerDateText(ReplyLine());
    if (e.kind != kTransferFile) continue;
    const std::string query =
        g.link.commandFormat == 0 ? ":MMEM:FSIZ? \"" + e.name + "\"" : "FSIZE? '" + e.name + "'";
    if (LinkQuery(query, kTransferQuerySeconds) != kLinkDone) return AnalyzerListFailed();
    e.size = static_cast<uint32_t>(std::strtoul(g.link.reply.bytes.data(), nullptr, 10));
  }
  t.analyzer.entries = std::move(entries);
  return true;
}

void ListPc() {
  TransferState& t = GInstrument->transfer;
  std::vector<TransferEntry> entries;
  std::error_code error;
  for (fs::directory_iterator it(t.pcFolder, error), end; !error && it != end;
       it.increment(error)) {
    if (entries.size() >= kPcListEntries) break;
    TransferEntry e;
    e.name = it->path().filename().string();
    struct stat st {};
    if (stat((t.pcFolder + e.name).c_str(), &st) != 0) continue;  // a dangling link
    e.kind = S_ISDIR(st.st_mode) ? kTransferFolder : kTransferFile;
    e.size = e.kind == kTransferFile
                 ? static_cast<uint32_t>(std::min<uint64_t>(st.st_size, UINT32_MAX))
                 : 0;
    e.typeText = TransferTypeText(e.name, e.kind);
    e.dateText = PcDateText(st);
    entries.push_back(std::move(e));
  }
  if (t.pcFolder != "/") entries.push_back(UpEntry());
  SortTransferEntries(entries);
  t.pc.entries = std::move(entries);
}

TransferMemory CurrentMemory() {
  const std::string& directory = GInstrument->transfer.analyzerDirectory;
  const bool ext = !directory.empty() && (directory[0] == 'E' || directory[0] == 'e');
  return ext ? TransferMemory::Ext : TransferMemory::Int;
}

bool SelectMemory(TransferMemory memory) {
  Instrument& g = *GInstrument;
  if (memory == TransferMemory::Int) {
    LinkSend(":MMEM:CDR INT");
  } else {
    // EXT only when USB storage is present.
    if (LinkQuery(":MMEM:REMove?", kTransferQuerySeconds) != kLinkDone) {
      return AnalyzerListFailed();
    }
    if (g.link.reply.Text().starts_with('1')) LinkSend(":MMEM:CDR EXT");
  }
  return ListAnalyzer();
}

bool OpenFolder(TransferSide side, const std::string& name) {
  TransferState& t = GInstrument->transfer;
  if (side == TransferSide::Pc) {
    if (name == "..") {
      if (t.pcFolder == "/" || t.pcFolder.empty()) return true;
      std::string folder = t.pcFolder.substr(0, t.pcFolder.size() - 1);
      t.pcFolder = folder.substr(0, folder.rfind('/') + 1);
    } else {
      t.pcFolder += name + "/";
    }
    ListPc();
    return true;
  }
  std::string target = name;
  if (name == "..") {
    std::string directory = t.analyzerDirectory;
    if (directory.size() <= kDriveChars) return true;  // already at the top
    if (directory.back() == '\\') directory.pop_back();
    target = directory.substr(0, directory.rfind('\\') + 1);
  }
  if (LinkSend(":MMEM:CDIR \"" + target + "\"") != kLinkDone) return AnalyzerListFailed();
  return ListAnalyzer();
}

bool OpenSelectedFolder(TransferSide side) {
  const TransferList& list = ListOf(side);
  const TransferEntry* chosen = nullptr;
  for (const TransferEntry& e : list.entries) {
    if (!e.selected) continue;
    if (chosen != nullptr) return true;  // only a single selection opens
    chosen = &e;
  }
  if (chosen == nullptr || chosen->kind != kTransferFolder) return true;
  const std::string name = chosen->name;
  return OpenFolder(side, name);
}

bool GoUp(TransferSide side) {
  return OpenFolder(side, "..");
}

void BrowsePcFolder() {
  TransferState& t = GInstrument->transfer;
  std::string folder = t.pcFolder;
  if (!GInstrument->host->BrowseForFolder(kBrowseTitle, folder)) return;
  std::error_code error;
  if (folder.empty() || !fs::is_directory(folder, error)) return;
  if (folder.back() != '/') folder += '/';
  if (folder == t.pcFolder) return;
  t.pcFolder = folder;
  ListPc();
}

bool OpenTransfer() {
  Instrument& g = *GInstrument;
  TransferState& t = g.transfer;
  t.windowOpen = true;
  t.closeRequested = false;
  t.pcFolder = g.files.userFolder;
  if (t.pcFolder.empty() || t.pcFolder.back() != '/') t.pcFolder += '/';
  ListPc();
  SetTransferFocus(TransferSide::None);
  return SelectMemory(TransferMemory::Int);
}

void CloseTransfer() {
  Instrument& g = *GInstrument;
  TransferState& t = g.transfer;
  t.analyzer.entries.clear();
  t.pc.entries.clear();
  if (g.link.connected == 1) SetCommandFormat(0);
  t.windowOpen = false;
}

// ---- selection and buttons ----------------------------------------------------------------

void SetTransferFocus(TransferSide side) {
  TransferState& t = GInstrument->transfer;
  t.analyzer.hasFocus = side == TransferSide::Analyzer;
  t.pc.hasFocus = side == TransferSide::Pc;
}

TransferSide FocusedSide() {
  const TransferState& t = GInstrument->transfer;
  if (t.analyzer.hasFocus) return TransferSide::Analyzer;
  if (t.pc.hasFocus) return TransferSide::Pc;
  return TransferSide::None;
}

void ClearSelection(TransferSide side) {
  for (TransferEntry& e : ListOf(side).entries) e.selected = false;
}

std::vector<std::string> SelectNames(TransferSide side, const std::vector<std::string>& names) {
  ClearSelection(side);
  std::vector<std::string> missing;
  for (const std::string& name : names) {
    bool found = false;
    for (TransferEntry& e : ListOf(side).entries) {
      if (e.name == name) e.selected = found = true;
    }
    if (!found) missing.push_back(name);
  }
  return missing;
}

TransferButtons TransferButtonStates() {
  const TransferState& t = GInstrument->transfer;
  TransferButtons b;
  b.upload = HasSelection(t.pc);
  b.download = HasSelection(t.analyzer);
  const TransferSide focus = FocusedSide();
  b.newFolder = focus != TransferSide::None;
  b.remove = focus != TransferSide::None && HasSelection(ListOf(focus));
  return b;
}

}  // namespace vq
