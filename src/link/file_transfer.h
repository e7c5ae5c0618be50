// The File Transfer window's work as plain functions over the link and the host's dialogs:
// listing both sides, opening folders, the memory selection, download, upload, delete, new folder,
// browsing for the PC folder, the button states and the numbered log. The Qt window and
// `vqtool transfer` call exactly these; the state is g.transfer (state/transfer_state.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "state/transfer_state.h"

namespace vq {

constexpr const char* kTransferWindowTitle = "VQ7000B Viewer [File Transfer]";
constexpr const char* kBrowseTitle = "Selects PC folder";

// Menu and toolbar commands of the window.
constexpr int kCmdTransferDownload = 40078;
constexpr int kCmdTransferUpload = 40079;
constexpr int kCmdTransferDelete = 40081;
constexpr int kCmdTransferNewFolder = 40082;

// The FileTransfer menu command (40073): its own connection when not connected, the window, and
// the disconnection (mode 2) when the connection was made for it. The window
// (Host::RunFileTransferWindow) opens once OpenTransfer has read both lists; it shows g.transfer,
// hands the user's selection and focus to it, calls the functions below, refreshes itself and
// the buttons after each, and closes on Exit or as soon as closeRequested is set. CloseTransfer
// runs after it has closed.
void FileTransferCommand();

// ---- window life ---------------------------------------------------------------------------
// Opening: the PC folder becomes the user folder and is listed, INT is selected and the analyzer
// side listed. False when the analyzer list could not be read (the window closes itself).
bool OpenTransfer();
// Exit: the lists freed, the analyzer back in command format 0 when still connected.
void CloseTransfer();

// ---- lists ---------------------------------------------------------------------------------
// Reads `AnalyzerDirectory` and the analyzer's catalogue with every entry's date and size. False
// when it failed: closeRequested is set.
bool ListAnalyzer();
// Lists the PC folder (at most 4,094 entries, ".." unless it is "/").
void ListPc();
// INT or EXT ("Memory:"); EXT only when ":MMEM:REMove?" answers storage present. False when the
// analyzer list could not be read afterwards.
enum class TransferMemory { Int, Ext };
bool SelectMemory(TransferMemory memory);
// What the radio buttons show: EXT when `AnalyzerDirectory` starts with "E" or "e".
TransferMemory CurrentMemory();

// Opens the named folder of a list (".." goes up) and lists that side again.
bool OpenFolder(TransferSide side, const std::string& name);
// Enter or a double click: opens the single selected entry when it is a folder.
bool OpenSelectedFolder(TransferSide side);
// Backspace: up one folder (nothing at the top).
bool GoUp(TransferSide side);
// The "..." button: the folder browser; a different folder becomes the PC folder and is listed.
void BrowsePcFolder();

// Selection and focus, as the window or the tool makes them. SelectNames selects exactly the
// named rows of a list (by exact name) and returns the names it did not find.
void SetTransferFocus(TransferSide side);
TransferSide FocusedSide();
std::vector<std::string> SelectNames(TransferSide side, const std::vector<std::string>& names);
void ClearSelection(TransferSide side);

// ---- commands ------------------------------------------------------------------------------
void DownloadCommand();   // 40078: the selected analyzer entries into the PC folder
void UploadCommand();     // 40079: the selected PC entries into the analyzer directory
void DeleteCommand();     // 40081 and the Delete key: asks "Are you sure?", then deletes
void NewFolderCommand();  // 40082: asks for the name, makes it on the focused side

// Upload, Download, Delete and New Folder enabled or not, after every command and click.
struct TransferButtons {
  bool download = false;
  bool upload = false;
  bool remove = false;
  bool newFolder = false;
};
TransferButtons TransferButtonStates();

// ---- the log -------------------------------------------------------------------------------
// Adds " %ld:   %s"; beyond 1,000 lines the oldest goes. Numbering never restarts.
void AddTransferLog(std::string_view text);

// ---- the parts without the link (also fuzzed and unit-tested) ------------------------------
// One catalogue reply: fields after the first two, each up to a comma, CR or LF, cut at 259
// characters, until the end or a CR; appended to `out` as `kind` entries while `out` holds fewer
// than `limit`. Returns how many fields were taken.
size_t ParseCatalogue(std::string_view reply, int32_t kind, std::vector<TransferEntry>& out,
                      size_t limit);
// ".." first, then folders, then files, each by name without regard to case.
void SortTransferEntries(std::vector<TransferEntry>& entries);
// "File Folder", "<extension> File", or "File".
std::string TransferTypeText(const std::string& name, int32_t kind);
// The ":MMEM:FDATE?" reply as "YYYY/MM/DD hh:mm:ss".
std::string AnalyzerDateText(std::string_view reply);
// "%ld KB" with the size rounded up to whole kilobytes; empty for folders.
std::string TransferSizeText(const TransferEntry& entry);
// True for a catalogue name that may become a PC file name: not empty, not "." or "..", no "/",
// "\" or control character, shorter than 259 characters.
bool SafeAnalyzerName(std::string_view name);
// The analyzer path of a name in `directory` ("f:\..." for EXT, "e:\user\..." for INT); false
// when it would be 259 characters or more.
bool RemotePath(const std::string& directory, const std::string& name, std::string& path);
// The PC path of a name in the PC folder: false when the name is unsafe, the path is 259
// characters or more, or it would resolve (after symbolic links) outside the folder.
bool LocalPath(const std::string& folder, const std::string& name, std::string& path);
// The padded text of analyzer file errors 120 to 131; null for other numbers.
const char* AnalyzerFileErrorText(int number);

}  // namespace vq
