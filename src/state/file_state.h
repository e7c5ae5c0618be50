// State of the file menus: the settings kept in settings files (item, file types, sort key, what
// a data file holds), the drives and folders, the shown file list; and the 64 memory slots.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "state/condition_state.h"

namespace vq {

// ITEM SELECT codes, as the settings file and the file-type detection number them.
enum FileItem : uint16_t {
  kItemTrace = 0,
  kItemProgram = 1,
  kItemData = 2,
  kItemSetting = 3,
  kItemGraphics = 4,
  kItemTemplate = 6,
  kItemMemory = 7,
  kItemAllTrace = 8,
};

// The six OUTPUT ITEM SETTING switches of a data file, in their stored order.
enum DataFileItem {
  kDataDateTime,
  kDataLabel,
  kDataArea,
  kDataCondition,
  kDataTraceData,
  kDataOutputWindow,
  kDataItemCount
};

// The file-menu settings that a settings file carries (trace and display state block).
struct FileSettings {
  uint16_t item = kItemTrace;
  uint16_t traceFileType = 0;     // 0 BIN, 1 CSV
  uint16_t graphicsFileType = 0;  // 0 BMP, 1 TIFF
  uint16_t sortKey = 0;           // 0 FILE NAME, 1 FILE TYPE, 2 FILE DATE, 3 FILE LABEL
  std::array<uint16_t, kDataItemCount> dataItems{1, 1, 1, 1, 1, 0};  // 0 OFF, 1 ON
  uint16_t dataWriteMode = 0;                                        // 0 OVER, 1 ADD
  uint16_t dataFileType = 0;                                         // 0 CSV, 1 DT6
};

// One line of the file list.
enum FileEntryKind : uint32_t { kEntryFolder = 1, kEntryFile = 2, kEntryNewFile = 3 };
struct FileListEntry {
  std::string name;
  std::string label;  // LABEL/PROGRAM NAME column
  std::string date;   // "%.4d/%.2d/%.2d %.2d:%.2d:%.2d", or "       <DIRECTORY>"
  FileEntryKind kind = kEntryFile;
  uint64_t size = 0;
  bool selected = false;  // FILE SELECT / ALL SELECT of COPY and DELETE
};

enum FileDrive { kDriveInt = 0, kDriveExt = 1 };
enum FileMenuMode { kFileModeNone = 0, kFileModeRead, kFileModeWrite, kFileModeOperation };

struct FileState {
  FileSettings settings;
  // Viewer side, from UserDirectory.ini.
  std::string userFolder;  // INT, with a trailing '/'
  char usbDrive = 0;       // the drive letter A to Z of EXT; 0 = not configured
  std::string extFolder;   // where that drive is mounted, with a trailing '/'; empty = none
  int drive = kDriveInt;
  std::array<std::string, 2> folder;  // current folder of INT and EXT, with a trailing '/'
  // The shown list.
  FileMenuMode mode = kFileModeNone;
  std::vector<FileListEntry> entries;
  int cursor = 0;
  int top = 0;  // first shown line
  uint64_t freeBytes = 0;
  int index = 0;  // the trace, program, memory or template line that READ or WRITE uses
  // The name typed for FILE NAME, RENAME or MAKE DIRECTORY (nameFor: that key's node; 0 none).
  std::string typedName;
  int nameFor = 0;
  bool nameTyped = false;    // FILE NAME confirmed: WRITE EXECUTE uses typedName
  std::string sourceDigits;  // digits typed for SOURCE SELECT or DESTINATION SELECT
  // COPY: after COPY TO the selection waits in copyFolder for EXECUTE in the shown folder.
  bool copyArmed = false;
  std::string copyFolder;
  std::vector<std::string> copyNames;
};

constexpr int kMemorySlots = 64;
struct MemorySlot {
  uint16_t used = 0;
  MeasCondition condition{};
};
struct MemoryState {
  std::array<MemorySlot, kMemorySlots> slot{};  // not "slots": a Qt keyword
  int current = 0;                              // MEMORY NO.
  uint16_t listParameter = 0;                   // LIST PARAM: 0 LBL, 1 CONDTN
  std::string status;                           // the status text of the last SAVE, RECALL or CLEAR
};

}  // namespace vq
