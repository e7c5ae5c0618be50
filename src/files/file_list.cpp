// The file list of the FILE menu: item table, enumeration, filter, sort and default names.
#include "files/file_list.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <strings.h>
#include <algorithm>
#include <cassert>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iterator>
#include <memory>

#include "files/trace_files.h"
#include "platform/file_io.h"

namespace vq {

namespace {

// clang-format off
constexpr const char* kTraceExtensions[] = {
    "TXT", "WV8", "WV7", "WV6", "WV5", "WV4", "WV3", "WV2", "WAV", "CSV", nullptr};
constexpr const char* kProgramExtensions[] = {
    "PG8", "PG7", "PG6", "PG5", "PG4", "PG3", "PG2", "PRG", nullptr};
constexpr const char* kDataExtensions[] = {
    "CSV", "DT8", "DT7", "DT6", "DT5", "DT4", "DT3", "DT2", "DAT", nullptr};
constexpr const char* kSettingExtensions[] = {"ST8", "ST7", "ST6", "ST5", "ST3", "SET", nullptr};
constexpr const char* kGraphicsExtensions[] = {"BMP", "TIF", nullptr};
constexpr const char* kTemplateExtensions[] = {"CSV", "WV8", "WV7", "WV6", "WV5", nullptr};
constexpr const char* kAllTraceExtensions[] = {"CSV", nullptr};

constexpr FileItemInfo kItems[] = {
    {kItemTrace,    "TRACE",     'W', kFileTrace,    50, kTraceExtensions},
    {kItemProgram,  "PROGRAM",   'P', kFileProgram,  50, kProgramExtensions},
    {kItemData,     "DATA",      'D', kFileData,     20, kDataExtensions},
    {kItemSetting,  "SETTING",   'S', kFileSettings, 20, kSettingExtensions},
    {kItemGraphics, "GRAPHICS",  'G', -1,             0, kGraphicsExtensions},
    {kItemTemplate, "TEMPLATE",  'T', kFileTemplate, 36, kTemplateExtensions},
    {kItemMemory,   "MEMORY",    'W', kFileTrace,    50, kTraceExtensions},
    {kItemAllTrace, "ALL TRACE", 'A', kFileAllTrace, 50, kAllTraceExtensions},
};
// clang-format on

// Where a label sits in a file's first bytes: the record of a binary trace file, the setting
// record of a settings file, the name of a program file.
constexpr size_t kTraceLabelOffset = kIdentifierBytes;
constexpr size_t kSettingsLabelOffset = 11;
constexpr size_t kProgramNameOffset = kIdentifierBytes;
constexpr size_t kLabelChars = 56;
constexpr size_t kProgramNameChars = 32;
constexpr size_t kHeadBytes = kSettingsLabelOffset + kLabelChars;
// The first template identifier that is a trace identifier (a trace file as template source).
constexpr int kFirstTemplateTraceId = 3;

std::string UpperExtension(const std::string& name) {
  const size_t dot = name.rfind('.');
  std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return ext;
}

bool ExtensionListed(const FileItemInfo& info, const std::string& ext) {
  for (const char* const* e = info.extensions; *e; ++e) {
    if (ext == *e) return true;
  }
  return false;
}

// A template file names its kind after the model line.
bool TemplateBody(const uint8_t* bytes, size_t size) {
  const void* end = std::memchr(bytes, '\n', size);
  if (!end) return false;
  const size_t line = static_cast<const uint8_t*>(end) - bytes + 1;
  const std::string rest(reinterpret_cast<const char*>(bytes) + line, size - line);
  return rest.starts_with("TEMPLATE,,,\r\nDATANUM,") || rest.starts_with("TEMPLATE,\r\nTYPE,");
}

std::string FixedText(const uint8_t* bytes, size_t size, size_t offset, size_t count) {
  if (size < offset + count) return "";
  std::string s(reinterpret_cast<const char*>(bytes) + offset, count);
  s.resize(strnlen(s.c_str(), count));
  for (char& c : s) {
    if (static_cast<unsigned char>(c) < ' ') c = ' ';
  }
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

std::string LabelOf(int item, const uint8_t* bytes, size_t size) {
  switch (item) {
    case kItemTrace:
    case kItemMemory:
      if (TraceFormatIndex(bytes, size) == kFormatBinary) {
        return FixedText(bytes, size, kTraceLabelOffset, kLabelChars);
      }
      return "";
    case kItemSetting:
      return FixedText(bytes, size, kSettingsLabelOffset, kLabelChars);
    case kItemProgram:
      return FixedText(bytes, size, kProgramNameOffset, kProgramNameChars);
    default:
      return "";
  }
}

std::string DateText(time_t when) {
  struct tm t {};
  localtime_r(&when, &t);
  char text[80];
  std::snprintf(text, sizeof text, "%.4d/%.2d/%.2d %.2d:%.2d:%.2d", t.tm_year + 1900, t.tm_mon + 1,
                t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
  return text;
}

// Reads up to `count` first bytes of a file and its status; the number read, -1 when the file
// cannot be opened.
ssize_t ReadHead(int dirFd, const char* name, uint8_t* head, size_t count, struct stat& st) {
  const int fd =
      openat(dirFd, name, O_RDONLY | O_CLOEXEC | O_NONBLOCK);  // a pipe never blocks the list
  if (fd < 0) return -1;
  const ssize_t got = count > 0 ? read(fd, head, count) : 0;
  const bool ok = fstat(fd, &st) == 0;
  close(fd);
  return ok && got >= 0 ? got : -1;
}

int CompareNoCase(const std::string& a, const std::string& b) {
  return strcasecmp(a.c_str(), b.c_str());
}

// An entry as the sort sees it: its group and, for FILE TYPE, its extension worked out once.
struct SortKey {
  size_t index;
  int rank;
  std::string extension;
};

int CompareByKey(const FileListEntry& a, const FileListEntry& b, const SortKey& x, const SortKey& y,
                 int sortKey) {
  switch (sortKey) {
    case 1:
      return x.extension.compare(y.extension);
    case 2:
      return a.date.compare(0, 19, b.date, 0, 19);
    case 3:
      return a.label.compare(b.label);
    default:
      return CompareNoCase(a.name, b.name);
  }
}

int Rank(const FileListEntry& e) {
  if (e.kind == kEntryNewFile) return 0;
  if (e.name == "..") return 1;
  return e.kind == kEntryFolder ? 2 : 3;
}

}  // namespace

bool ValidItem(int item) {
  return std::any_of(std::begin(kItems), std::end(kItems),
                     [item](const FileItemInfo& i) { return i.item == item; });
}

const FileItemInfo& ItemInfo(int item) {
  for (const FileItemInfo& i : kItems) {
    if (i.item == item) return i;
  }
  assert(false && "unknown file item");
  return kItems[0];
}

std::string WriteExtension(int item, const FileSettings& settings) {
  switch (item) {
    case kItemTrace:
    case kItemMemory:
      return settings.traceFileType == 1 ? ".CSV" : ".WV8";
    case kItemProgram:
      return ".PG8";
    case kItemData:
      return settings.dataFileType == 1 ? ".DT8" : ".CSV";
    case kItemSetting:
      return ".ST8";
    case kItemGraphics:
      return settings.graphicsFileType == 1 ? ".TIF" : ".BMP";
    default:
      return ".CSV";  // TEMPLATE, ALL TRACE
  }
}

std::string DefaultFileName(const std::vector<FileListEntry>& entries, int item,
                            const FileSettings& settings) {
  const char letter = ItemInfo(item).letter;
  int n = 0;
  for (const FileListEntry& e : entries) {
    if (e.kind != kEntryFile || e.name.size() != 9) continue;
    if (std::toupper(static_cast<unsigned char>(e.name[0])) != letter) continue;
    if (!std::all_of(e.name.begin() + 1, e.name.begin() + 5,
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
      continue;
    }
    const int number = std::stoi(e.name.substr(1, 4));
    if (number == n) {
      ++n;
    } else if (number > n) {
      break;
    }
  }
  char name[16];
  std::snprintf(name, sizeof name, "%c%04d", letter, std::min(n, 9999));
  return name + WriteExtension(item, settings);
}

bool HeadMatchesItem(int item, const uint8_t* bytes, size_t size) {
  const FileItemInfo& info = ItemInfo(item);
  if (info.identifierType < 0) return true;
  if (item == kItemTemplate) {
    const int id = IdentifierIndex(kFileTemplate, bytes, size);
    if (id < 0) return false;
    return id >= kFirstTemplateTraceId || TemplateBody(bytes, size);
  }
  if (info.identifierType == kFileTrace && TraceFormatIndex(bytes, size) == kFormatBackup) {
    return false;
  }
  return IdentifierIndex(info.identifierType, bytes, std::min(size, info.headBytes)) >= 0;
}

int BuildFileList(const FileListRequest& request, std::vector<FileListEntry>& out) {
  out.clear();
  const FileItemInfo& info = ItemInfo(request.item);
  DIR* dir = opendir(request.folder.c_str());
  if (!dir) return FileErrorCode(errno);
  std::unique_ptr<DIR, int (*)(DIR*)> closer(dir, closedir);
  const int dirFd = dirfd(dir);
  uint8_t head[kHeadBytes];
  int taken = 0;
  while (taken < kMaxListEntries) {
    const dirent* d = readdir(dir);
    if (!d) break;
    const char* name = d->d_name;
    struct stat st {};
    bool folder = d->d_type == DT_DIR;
    if (d->d_type == DT_UNKNOWN || d->d_type == DT_LNK) {
      if (fstatat(dirFd, name, &st, 0) != 0) continue;
      folder = S_ISDIR(st.st_mode);
    } else if (!folder && d->d_type != DT_REG) {
      continue;
    }
    FileListEntry e;
    if (folder) {
      if (name[0] == '.') continue;  // ".", ".." and hidden folders
      e.name = name;
      e.kind = kEntryFolder;
      e.date = kDirectoryText;
    } else {
      e.name = name;
      if (!ExtensionListed(info, UpperExtension(e.name))) continue;
      const size_t want = info.identifierType >= 0 ? sizeof head : 0;
      const ssize_t got = ReadHead(dirFd, name, head, want, st);
      if (got < 0 || !S_ISREG(st.st_mode)) continue;
      const size_t size = static_cast<size_t>(got);
      if (info.identifierType >= 0 && !HeadMatchesItem(request.item, head, size)) continue;
      e.kind = kEntryFile;
      e.label = LabelOf(request.item, head, size);
      e.date = DateText(st.st_mtime);
      e.size = static_cast<uint64_t>(st.st_size);
    }
    out.push_back(std::move(e));
    ++taken;
  }
  if (request.subfolder) out.push_back({"..", "", kDirectoryText, kEntryFolder, 0, false});
  SortFileList(out, request.settings.sortKey);
  if (request.mode == kFileModeWrite) {
    FileListEntry entry{DefaultFileName(out, request.item, request.settings),
                        "",
                        kNewFileText,
                        kEntryNewFile,
                        0,
                        false};
    out.insert(out.begin(), std::move(entry));
  }
  return 0;
}

void SortFileList(std::vector<FileListEntry>& entries, int sortKey) {
  // Keys are sorted and the entries moved once into their places.
  std::vector<SortKey> keys;
  keys.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    const FileListEntry& e = entries[i];
    keys.push_back({i, Rank(e), sortKey == 1 ? UpperExtension(e.name) : std::string()});
  }
  std::sort(keys.begin(), keys.end(), [&entries, sortKey](const SortKey& x, const SortKey& y) {
    if (x.rank != y.rank) return x.rank < y.rank;
    const FileListEntry &a = entries[x.index], &b = entries[y.index];
    if (int c = CompareByKey(a, b, x, y, sortKey)) return c < 0;
    if (int c = CompareNoCase(a.name, b.name)) return c < 0;
    return a.name < b.name;
  });
  std::vector<FileListEntry> sorted;
  sorted.reserve(entries.size());
  for (const SortKey& k : keys) sorted.push_back(std::move(entries[k.index]));
  entries = std::move(sorted);
}

uint64_t FreeBytes(const std::string& folder) {
  struct statvfs s {};
  if (statvfs(folder.c_str(), &s) != 0) return 0;
  return static_cast<uint64_t>(s.f_bavail) * s.f_frsize;
}

int CountFiles(const std::vector<FileListEntry>& entries) {
  return static_cast<int>(std::count_if(
      entries.begin(), entries.end(), [](const FileListEntry& e) { return e.kind == kEntryFile; }));
}

std::string DriveFolderLine(int drive, const std::string& root, const std::string& folder,
                            size_t width) {
  std::string below = folder.starts_with(root) ? folder.substr(root.size()) : folder;
  if (!below.empty() && below.back() == '/') below.pop_back();
  std::string path = "\\" + below;
  std::replace(path.begin(), path.end(), '/', '\\');
  const std::string drivePart = drive == kDriveExt ? "EXT:" : "INT:";
  const size_t room = width > drivePart.size() ? width - drivePart.size() : 0;
  if (path.size() > room && room > 3) path = "\\.." + path.substr(path.size() - (room - 3));
  return drivePart + path;
}

std::string StatusLineText(FileMenuMode mode, int item, int index) {
  static const char* const kLines[] = {"UPPER", "LOWER", "TARGET"};
  char text[64] = "";
  const bool read = mode == kFileModeRead;
  const int number = std::max(index, 0);
  if (mode == kFileModeOperation) return "FILE OPERATION";
  if (mode != kFileModeRead && mode != kFileModeWrite) return "";
  switch (item) {
    case kItemTrace:
      std::snprintf(text, sizeof text,
                    read ? "READ : FILE TO TRACE %c" : "WRITE : TRACE %c TO FILE",
                    'A' + std::min(number, 6));
      break;
    case kItemAllTrace:
      return read ? "READ : FILE TO ALL TRACE" : "WRITE : ALL TRACE TO FILE";
    case kItemProgram:
      std::snprintf(text, sizeof text,
                    read ? "READ : FILE TO PROGRAM NO.%02d" : "WRITE : PROGRAM NO.%02d TO FILE",
                    number + 1);
      break;
    case kItemMemory:
      std::snprintf(text, sizeof text,
                    read ? "READ : FILE TO MEMORY NO.%02d" : "WRITE : MEMORY NO.%02d TO FILE",
                    number);
      break;
    case kItemTemplate:
      std::snprintf(text, sizeof text,
                    read ? "READ : FILE TO TEMPLATE (%s)" : "WRITE : TEMPLATE TO FILE (%s)",
                    kLines[std::min(number, 2)]);
      break;
    case kItemData:
      return read ? "READ : FILE TO DATA" : "WRITE : DATA TO FILE";
    case kItemSetting:
      return read ? "READ : FILE TO SETTING" : "WRITE : SETTING TO FILE";
    case kItemGraphics:
      return read ? "" : "WRITE : GRAPHICS TO FILE";
    default:
      return "";
  }
  return text;
}

}  // namespace vq
