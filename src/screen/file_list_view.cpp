// The file list over the graph area: drive and folder, columns, rows with the cursor, the count
// and free-space line, the typed name and the status line.
#include "screen/file_list_view.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "draw/primitives.h"
#include "files/file_list.h"
#include "files/file_menu.h"
#include "files/user_folders.h"
#include "instrument.h"

namespace vq {

namespace {

constexpr int kLeft = 3, kTop = 97, kWidth = 694, kHeight = 454;
constexpr int kTextX = kLeft + 8;
constexpr int kPitch = 14;
constexpr int kRowsTop = kTop + 36;
constexpr int kNameChars = 30, kDateX = kTextX + 31 * 8, kLabelX = kDateX + 20 * 8;
constexpr int kLabelChars = 33;
constexpr int kFooterY = kRowsTop + kFileListRows * kPitch + 6;
constexpr int kSlotListBack = 67, kSlotListChar = 68, kSlotListCursor = 69, kSlotScrollBar = 71;

std::string Fit(const std::string& text, size_t chars) {
  return text.size() <= chars ? text : text.substr(0, chars);
}

std::string RowText(const FileListEntry& e) {
  char row[128];
  // The new-file entry shows its default name, and "<NEW FILE>" where a file shows its date.
  const std::string name = Fit(e.name, kNameChars);
  std::snprintf(row, sizeof row, "%c%-*s %-19s %s", e.selected ? '*' : ' ', kNameChars,
                name.c_str(), e.date.c_str(), Fit(e.label, kLabelChars).c_str());
  return row;
}

std::string CountLine() {
  const FileState& f = GInstrument->files;
  char text[96];
  std::snprintf(text, sizeof text, "TOTAL:%4d FILES    FREE:%16" PRIu64 " BYTES",
                CountFiles(f.entries), f.freeBytes);
  return text;
}

std::string FolderLine() {
  const FileState& f = GInstrument->files;
  return DriveFolderLine(f.drive, DriveRoot(f.drive), CurrentFolder());
}

}  // namespace

std::vector<std::string> FileListLines() {
  const FileState& f = GInstrument->files;
  std::vector<std::string> lines = {FolderLine(),
                                    " FILE NAME                      DATE & TIME"
                                    "         LABEL/PROGRAM NAME"};
  const int end = std::min<int>(f.top + kFileListRows, static_cast<int>(f.entries.size()));
  for (int i = f.top; i < end; ++i) lines.push_back(RowText(f.entries[i]));
  lines.push_back(CountLine());
  lines.push_back(NameEntryLine());
  lines.push_back(FileStatusLine());
  return lines;
}

void DrawFileList() {
  const FileState& f = GInstrument->files;
  Panel(kLeft, kTop, kWidth, kHeight, kSlotListBack, 3);
  TextTransparent(kSlotListChar, kTextX, kTop + 4, FolderLine(), true);
  TextTransparent(kSlotListChar, kTextX + 8, kTop + 20, "FILE NAME", true);
  TextTransparent(kSlotListChar, kDateX, kTop + 20, "DATE & TIME", true);
  TextTransparent(kSlotListChar, kLabelX, kTop + 20, "LABEL/PROGRAM NAME", true);
  Line(kLeft + 2, kTop + 33, kLeft + kWidth - 3, kTop + 33, kSlotListChar);
  const int count = static_cast<int>(f.entries.size());
  const int end = std::min(f.top + kFileListRows, count);
  for (int i = f.top; i < end; ++i) {
    const int y = kRowsTop + (i - f.top) * kPitch;
    if (i == f.cursor) FillRect(kLeft + 3, y - 1, kWidth - 14, kPitch, kSlotListCursor);
    TextTransparent(kSlotListChar, kTextX - 8, y + 1, RowText(f.entries[i]), true);
  }
  // The scroll bar: where the shown rows sit in the whole list.
  const int barTop = kRowsTop, barHeight = kFileListRows * kPitch;
  if (count > kFileListRows) {
    const int thumb = std::max(8, barHeight * kFileListRows / count);
    const int at = barTop + (barHeight - thumb) * f.top / std::max(1, count - kFileListRows);
    FillRect(kLeft + kWidth - 9, at, 5, thumb, kSlotScrollBar);
  }
  Line(kLeft + 2, kFooterY - 3, kLeft + kWidth - 3, kFooterY - 3, kSlotListChar);
  TextTransparent(kSlotListChar, kTextX, kFooterY, CountLine(), true);
  TextTransparent(kSlotListChar, kTextX, kFooterY + kPitch, NameEntryLine(), true);
  TextTransparent(kSlotListChar, kTextX, kFooterY + 2 * kPitch, FileStatusLine(), true);
}

}  // namespace vq
