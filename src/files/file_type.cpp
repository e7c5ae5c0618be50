// The file-type detection table and the detector that serves the file menus and file drops.
#include <cstdio>
#include <cstring>
#include <iterator>

#include "files/trace_files.h"

namespace vq {

namespace {

// Identifiers sit in 16-byte NUL-padded slots; each list ends with "end".
using IdSlot = char[16];

// clang-format off
// Trace files. Older models' formats 0 to 10 are not read, so the list starts at format 11.
constexpr IdSlot kTraceIds[] = {
    "'\"QXWAV\"\r\n", "QXCSV  \t\r\n", "'\"QYWAV\"\r\n", "QYCSV  \t\r\n",
    "\"QXBWAV\"\r\n", "QXBCSV \t\r\n", "end"};
constexpr int kTraceFirstFormat = kFormatQxBinary;
constexpr IdSlot kProgramIds[] = {"'\"QXPRG\"\r\n", "'\"QYPRG\"\r\n", "\"QXBPRG\"\r\n", "end"};
constexpr IdSlot kDataIds[] = {
    "\"QXDAT \"\r\n", "QXDAT2\r\n", "\"QYDAT \"\r\n", "QYDAT2\r\n", "\"QXBDAT\"\r\n",
    "QXBDAT2\r\n", "end"};
constexpr IdSlot kSettingsIds[] = {"\"QXBSET\"\r\n", "'\"QYSET\"\r\n", "'\"QXSET\"\r\n", "end"};
// A trace file of the family can serve as a template.
constexpr IdSlot kTemplateIds[] = {
    "VQ7000,\r\n", "VQ7500,\r\n", "VQ7000B,\r\n",
    "'\"QXWAV\"\r\n", "QXCSV  \t\r\n", "'\"QYWAV\"\r\n", "QYCSV  \t\r\n",
    "\"QXBWAV\"\r\n", "QXBCSV \t\r\n", "end"};
constexpr IdSlot kAllTraceIds[] = {"QXCSVG \t\r\n", "QYCSVG \t\r\n", "QXBCSVG\t\r\n", "end"};
// clang-format on

// The single-trace CSV format each all-trace identifier imitates.
constexpr int kAllTraceFormats[] = {kFormatQxCsv, kFormatQyCsv, kFormatCsv};
static_assert(std::size(kAllTraceFormats) + 1 == std::size(kAllTraceIds), "one format an id");
static_assert(kTraceFirstFormat + std::size(kTraceIds) - 1 == kFormatBackup,
              "the backup index follows the trace row");

struct FileTypeRow {
  int type;
  const IdSlot* ids;
};

constexpr FileTypeRow kFileTypes[] = {
    {kFileTrace, kTraceIds},       {kFileProgram, kProgramIds},   {kFileData, kDataIds},
    {kFileSettings, kSettingsIds}, {kFileTemplate, kTemplateIds}, {kFileAllTrace, kAllTraceIds},
};

constexpr char kBackupId[] = "\"QXBBAK\"\r\n";
static_assert(sizeof kBackupId - 1 == kIdentifierBytes, "backup identifier as the binary one");

constexpr size_t kDetectBytes = 50;

// The position of the identifier that starts the bytes within a list, or -1.
int MatchId(const IdSlot* ids, const uint8_t* bytes, size_t size) {
  for (int i = 0; std::strcmp(ids[i], "end") != 0; ++i) {
    const size_t length = strnlen(ids[i], sizeof(IdSlot));
    if (length <= size && std::memcmp(ids[i], bytes, length) == 0) return i;
  }
  return -1;
}

}  // namespace

int TraceFormatIndex(const uint8_t* bytes, size_t size) {
  if (size >= kIdentifierBytes && std::memcmp(bytes, kBackupId, kIdentifierBytes) == 0) {
    return kFormatBackup;
  }
  const int i = MatchId(kTraceIds, bytes, size);
  return i < 0 ? -1 : kTraceFirstFormat + i;
}

int AllTraceFormatIndex(const uint8_t* bytes, size_t size) {
  const int i = MatchId(kAllTraceIds, bytes, size);
  return i < 0 ? -1 : kAllTraceFormats[i];
}

int IdentifierIndex(int type, const uint8_t* bytes, size_t size) {
  for (const FileTypeRow& row : kFileTypes) {
    if (row.type == type) return MatchId(row.ids, bytes, size);
  }
  return -1;
}

int DetectFileType(const std::string& path, int* format) {
  uint8_t head[kDetectBytes];
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return -1;
  const size_t got = std::fread(head, 1, kDetectBytes, file);
  std::fclose(file);
  if (got < kDetectBytes) return -1;
  for (const FileTypeRow& row : kFileTypes) {
    const int i = MatchId(row.ids, head, got);
    if (i < 0) continue;
    if (format) *format = row.type == kFileTrace ? kTraceFirstFormat + i : i;
    return row.type;
  }
  return -1;
}

}  // namespace vq
