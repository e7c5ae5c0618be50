// The analyzer's file system: two drives, the internal memory INT and the removable USB storage
// EXT, each a tree of folders and files. Names compare without regard to letter case and keep
// the case they were made with; entries list in the order they were made.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vq {

// The analyzer's file error numbers, as its error queue reports them.
enum SimFsError {
  kFsOk = 0,
  kFsNoUsb = 120,         // "USB Storage not inserted"
  kFsNotFound = 123,      // "File not found"
  kFsBadFolder = 124,     // "Illegal directory name"
  kFsBadName = 125,       // "Illegal file name"
  kFsFolderExists = 126,  // "Directory already exists"
  kFsFileExists = 127,    // "File already exists"
  kFsStorageFull = 129,   // "Storage full"
  kFsFolderFull = 130,    // "Directory full"
};
// The queue text of an error number; "Error" for one outside 120 to 131.
const char* SimFsErrorText(int code);

enum SimDrive { kSimInt = 0, kSimExt = 1 };

// "YYYY,MM,DD,hh,mm,ss" as ":MMEM:FDATE?" answers it.
using SimDate = std::string;

struct SimEntry {
  std::string name;  // as made
  bool folder = false;
  std::string bytes;  // a file's contents
  SimDate modified;
  std::vector<std::unique_ptr<SimEntry>> children;  // a folder's entries, in the order made
  std::map<std::string, SimEntry*> index;           // upper-case name -> child
};

struct SimVolume {
  SimEntry root;
  uint64_t capacity = 0;  // bytes
  uint64_t used = 0;      // the bytes of all its files
};

struct SimFileSystem {
  std::array<SimVolume, 2> drives;
  bool usbPresent = true;                    // EXT can be selected and read
  int drive = kSimInt;                       // the current drive
  std::vector<std::string> folder;           // the current folder's path below the drive's top
  bool hostileNames = false;                 // catalogues also list names that point elsewhere
  SimDate seedDate = "2026,01,15,09,30,00";  // what entries made at start are dated
  bool seeding = true;                       // entries made now take `seedDate`
};

// Most entries one folder holds; one more is "Directory full".
constexpr size_t kSimFolderLimit = 8192;

// The current folder as ":MMEM:CDIR?" answers it: "INT:\" at the top, "EXT:\DATA\SUB" below.
std::string SimCurrentFolderText(const SimFileSystem& fs);
// Changes the current folder to `text`: a name relative to the current folder, "\PATH" on the
// current drive, or "INT:\PATH" / "EXT:\PATH"; a trailing backslash is allowed, ".." goes up.
int SimChangeFolder(SimFileSystem& fs, const std::string& text);
// Selects drive INT or EXT at its top folder.
int SimSelectDrive(SimFileSystem& fs, int drive);

// The catalogue of the current folder: used and free bytes, then the folder (or file) names.
std::string SimCatalogue(const SimFileSystem& fs, bool folders);

// An entry named relative to the current folder (or "\PATH" from the drive's top); null when
// there is none.
const SimEntry* SimFindEntry(const SimFileSystem& fs, const std::string& name);
// An entry by its path below a drive's top ("DATA\A.TXT"; empty parts are skipped).
const SimEntry* SimFindOnDrive(const SimFileSystem& fs, int drive, const std::string& path);

// Makes a folder named relative to the current folder.
int SimMakeFolder(SimFileSystem& fs, const std::string& name);
// Deletes a file or an empty folder: relative to the current folder when `drive` is -1, else
// by its path below that drive's top. A folder that still holds entries is refused (124).
int SimDeleteEntry(SimFileSystem& fs, const std::string& name, int drive = -1);
// Writes a file by its path below a drive's top, replacing one of that name. A file that does
// not fit the drive is refused (129) and nothing changes.
int SimWriteFile(SimFileSystem& fs, int drive, const std::string& path, std::string bytes);

// The names the hostile-names fault adds to every file catalogue, and what reading one gives.
const std::vector<std::string>& SimHostileNames();
constexpr const char kSimHostileBytes[] = "this name points outside its folder\r\n";

// Copies a host folder tree into a drive's top folder; false with `error` set on failure.
bool SimSeedFromHost(SimFileSystem& fs, int drive, const std::string& hostFolder,
                     std::string& error);
// Adds `count` small generated files to INT's top folder.
void SimSeedGenerated(SimFileSystem& fs, int count);

}  // namespace vq
