// The file list of the FILE menu: the item table, building the list of a folder (enumerate,
// filter, sort, new-file entry), default names, the drive and folder line and the status line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "state/file_state.h"

namespace vq {

constexpr int kMaxListEntries = 4094;
constexpr const char* kNewFileText = "     <NEW FILE>    ";
constexpr const char* kDirectoryText = "       <DIRECTORY>";
constexpr int kPathFieldChars = 60;  // the drive and folder line, "INT:" included

// One row of the item table: what the item writes and which files its list shows.
struct FileItemInfo {
  FileItem item;
  const char* key;                // the ITEM SELECT label
  char letter;                    // first letter of the default name
  int identifierType;             // the detected file type the list takes (-1: extension only)
  size_t headBytes;               // bytes the identifier check reads
  const char* const* extensions;  // listed extensions, upper case, null-terminated list
};

// The row of an item code; asserts on an unknown code.
const FileItemInfo& ItemInfo(int item);
bool ValidItem(int item);
// The extension a WRITE of the item gives, with its dot, by the chosen file types.
std::string WriteExtension(int item, const FileSettings& settings);

// The name of the new-file entry: the item's letter, the lowest free four-digit number of the
// list as sorted, and the extension.
std::string DefaultFileName(const std::vector<FileListEntry>& entries, int item,
                            const FileSettings& settings);

// Whether file bytes (its first bytes) may be listed under the item, by its identifiers.
bool HeadMatchesItem(int item, const uint8_t* bytes, size_t size);

// Builds the list of a folder for an item and mode: folders (not hidden ones), a ".." entry
// in a subfolder, the files the item takes, sorted by the key, and in WRITE mode the new-file
// entry first. 0, or the message code of a folder that cannot be read.
struct FileListRequest {
  std::string folder;  // with a trailing '/'
  bool subfolder = false;
  int item = kItemTrace;
  FileMenuMode mode = kFileModeRead;
  FileSettings settings;
};
int BuildFileList(const FileListRequest& request, std::vector<FileListEntry>& out);
// Sorts a list in place as the list shows it: new-file entry, "..", folders, then files.
void SortFileList(std::vector<FileListEntry>& entries, int sortKey);

// Free bytes of the drive that holds a folder; 0 when unknown.
uint64_t FreeBytes(const std::string& folder);
// Files in a list (the new-file entry and folders not counted).
int CountFiles(const std::vector<FileListEntry>& entries);

// "INT:" or "EXT:" and the folder below the drive's root, with "\" between names; a line
// longer than the field keeps its end and starts with "\..".
std::string DriveFolderLine(int drive, const std::string& root, const std::string& folder,
                            size_t width = kPathFieldChars);
// The status line of EXECUTE for the mode, item and source index (trace, memory, program).
std::string StatusLineText(FileMenuMode mode, int item, int index);

}  // namespace vq
