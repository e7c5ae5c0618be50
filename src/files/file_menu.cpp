// The FILE menu's soft keys over the file list: ITEM SELECT, WRITE, READ, FILE OPERATION, DRIVE,
// FILE SORT, COPY and DELETE; the cursor, folders and the typed names.
#include "files/file_menu.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>

#include "files/file_execute.h"
#include "files/file_list.h"
#include "files/file_operations.h"
#include "files/trace_files.h"
#include "files/user_folders.h"
#include "instrument.h"
#include "menu/key_commands.h"
#include "menu/menu_engine.h"
#include "menu/messages.h"
#include "menu/param_entry.h"
#include "menu/softkey_column.h"

namespace vq {

namespace {

constexpr MenuId kNodeItemSelect = 936;
constexpr MenuId kNodeWrite = 937;
constexpr MenuId kNodeRead = 938;
constexpr MenuId kNodeOperation = 939;
constexpr MenuId kNodeSort = 940;
constexpr MenuId kNodeCopyPage = 942;
constexpr MenuId kNodeDelete = 943;
constexpr MenuId kNodeDrive = 1167;
constexpr MenuId kNodeWriteExecute = 1168;
constexpr MenuId kNodeFileName = 1169;
constexpr MenuId kNodeSource = 1170;
constexpr MenuId kNodeFileType = 1171;
constexpr MenuId kNodeReadExecute = 1172;
constexpr MenuId kNodeDestination = 1173;
constexpr MenuId kNodeRename = 1174;
constexpr MenuId kNodeMakeDirectory = 1175;
constexpr MenuId kNodeFileSelect = 1180;
constexpr MenuId kNodeAllSelect = 1181;
constexpr MenuId kNodeCopyTo = 1182;
constexpr MenuId kNodeCopyExecute = 1183;
constexpr MenuId kNodeDeleteExecute = 1184;
constexpr MenuId kSortNodes[] = {1176, 1177, 1178, 1179};
constexpr int kPageCopy = 76;
constexpr int kPageDelete = 77;
constexpr int kListPages[] = {72, 73, 74, 75, kPageCopy, kPageDelete};

struct ItemKey {
  MenuId node;
  FileItem item;
};
constexpr ItemKey kItemKeys[] = {
    {235, kItemTrace},   {1383, kItemAllTrace}, {257, kItemMemory},  {248, kItemGraphics},
    {238, kItemSetting}, {237, kItemData},      {236, kItemProgram}, {759, kItemTemplate},
};

// The notices shown while a file operation runs.
enum FileNotice {
  kNoticeSearching,
  kNoticeReading,
  kNoticeWriting,
  kNoticeDeleting,
  kNoticeCopying
};

FileState& Files() {
  return GInstrument->files;
}

void Notice(FileNotice notice) {
  if (auto show = GInstrument->frame.calls.showOverlay) show(notice);
}

// A path not found on EXT means the USB drive went away when its folder is gone too.
void ShowFileMessage(int code) {
  const FileState& f = GInstrument->files;
  if (code == kMsgFileNotFound && f.drive == kDriveExt && DriveRoot(kDriveExt).empty()) {
    code = kMsgUsbNotInserted;
  }
  ShowMessage(code);
}

void MarkListChanged() {
  GInstrument->frame.redrawFlags |= kRedrawDynamicOnly | kRedrawSoftKeys;
}

// How many sources an item chooses among with SOURCE SELECT and DESTINATION SELECT (0: none).
int SourceCount(int item) {
  switch (item) {
    case kItemTrace:
      return kTraceCount;
    case kItemMemory:
      return kMemorySlots;
    case kItemProgram:
      return kProgramCount;
    case kItemTemplate:
      return 3;
    default:
      return 0;
  }
}

void ClampIndex() {
  FileState& f = Files();
  const int count = SourceCount(f.settings.item);
  f.index = count == 0 ? 0 : std::clamp(f.index, 0, count - 1);
}

FileListEntry* CursorEntry() {
  FileState& f = Files();
  if (f.cursor < 0 || f.cursor >= static_cast<int>(f.entries.size())) return nullptr;
  return &f.entries[f.cursor];
}

void MoveCursor(int to) {
  FileState& f = Files();
  const int last = static_cast<int>(f.entries.size()) - 1;
  f.cursor = std::clamp(to, 0, std::max(last, 0));
  if (f.cursor < f.top) f.top = f.cursor;
  if (f.cursor >= f.top + kFileListRows) f.top = f.cursor - kFileListRows + 1;
  f.top = std::clamp(f.top, 0, std::max(0, last - kFileListRows + 1));
  MarkListChanged();
}

void CursorToName(const std::string& name) {
  const FileState& f = Files();
  for (size_t i = 0; i < f.entries.size(); ++i) {
    if (f.entries[i].kind != kEntryNewFile && f.entries[i].name == name) {
      MoveCursor(static_cast<int>(i));
      return;
    }
  }
}

// Shows a page one level below the current one, as a lower-page key does.
void ShowLowerPage(int page) {
  ShowSoftKeyPage(page, std::min(GInstrument->menu.depth + 1, kMaxPageDepth));
}

void CloseNameEntry() {
  FileState& f = Files();
  f.nameFor = 0;
  MarkListChanged();
}

// Opens a folder line: a subfolder, or ".." back to the parent.
void OpenFolder(const FileListEntry& e) {
  FileState& f = Files();
  std::string& folder = f.folder[f.drive];
  if (e.name == "..") {
    if (folder == DriveRoot(f.drive)) return;
    const size_t slash = folder.rfind('/', folder.size() - 2);
    const std::string child = folder.substr(slash + 1, folder.size() - slash - 2);
    folder.erase(slash + 1);
    if (const int code = RefreshFileList()) ShowFileMessage(code);
    CursorToName(child);
    return;
  }
  folder += e.name + "/";
  f.cursor = 0;
  f.top = 0;
  Notice(kNoticeSearching);
  if (const int code = RefreshFileList()) ShowFileMessage(code);
}

bool Selectable(const FileListEntry& e) {
  return e.kind != kEntryNewFile && e.name != "..";
}

// The selected entries of COPY and DELETE; without a selection, the entry under the cursor.
std::vector<std::string> SelectedNames() {
  std::vector<std::string> names;
  for (const FileListEntry& e : Files().entries) {
    if (e.selected) names.push_back(e.name);
  }
  if (names.empty()) {
    const FileListEntry* e = CursorEntry();
    if (e && Selectable(*e)) names.push_back(e->name);
  }
  return names;
}

// WRITE, READ and FILE OPERATION start their list afresh in their mode.
void EnterListMode(FileMenuMode mode) {
  FileState& f = Files();
  f.mode = mode;
  f.nameTyped = false;
  f.copyArmed = false;
  f.nameFor = 0;
  Notice(kNoticeSearching);
  if (const int code = RefreshFileList()) ShowFileMessage(code);
}

// [SECTION] Typed names

void ConfirmName() {
  FileState& f = Files();
  const int target = f.nameFor;
  std::string name = f.typedName;
  CloseNameEntry();
  int code = 0;
  if (target == kNodeFileName) {
    code = CheckFileName(name);
    if (code == 0) {
      if (name.find('.') == std::string::npos) name += WriteExtension(f.settings.item, f.settings);
      f.typedName = name;
      f.nameTyped = true;
      return;
    }
  } else if (target == kNodeRename) {
    const FileListEntry* e = CursorEntry();
    code = e && Selectable(*e) ? RenameEntry(CurrentFolder(), e->name, name) : kMsgFileNotFound;
  } else {
    code = MakeDirectory(CurrentFolder(), name);
  }
  if (code != 0) {
    f.nameTyped = false;
    ShowFileMessage(code);
    return;
  }
  RefreshFileList();
  CursorToName(name);
}

void NameKey(int key) {
  FileState& f = Files();
  if (key == kCmdEnter) {
    ConfirmName();
  } else if (key == kCmdBackSpace) {
    if (!f.typedName.empty()) f.typedName.pop_back();
    f.nameTyped = false;
  } else if (key >= ' ' && key < 0x7F && f.typedName.size() < kMaxFileNameChars) {
    if (!f.nameTyped) f.typedName.clear();  // the first key replaces the offered name
    f.nameTyped = true;
    f.typedName += static_cast<char>(key);
  }
  MarkListChanged();
}

void StartNameEntry(MenuId node) {
  FileState& f = Files();
  const FileListEntry* e = CursorEntry();
  f.nameFor = node;
  f.nameTyped = false;  // until a key is typed the offered name stands
  if (node == kNodeMakeDirectory) {
    f.typedName.clear();
  } else if (node == kNodeRename) {
    f.typedName = e && Selectable(*e) ? e->name : "";
  } else {
    f.typedName = e && e->kind != kEntryFolder ? e->name : "";
  }
  MarkListChanged();
}

// [SECTION] Keys of the list

void SourceKey(int key) {
  FileState& f = Files();
  const int count = SourceCount(f.settings.item);
  if (count == 0) return;
  if (key == kCmdUp || key == kCmdRight) f.index = (f.index + 1) % count;
  if (key == kCmdDown || key == kCmdLeft) f.index = (f.index + count - 1) % count;
  if (f.settings.item == kItemTrace && std::isalpha(key) && std::toupper(key) - 'A' < count) {
    f.index = std::toupper(key) - 'A';
  }
  // Digits name the number as the status line shows it (programs count from 01), up to two.
  const int first = f.settings.item == kItemProgram ? 1 : 0;
  if (key >= '0' && key <= '9') {
    if (f.sourceDigits.size() >= 2) f.sourceDigits.clear();
    f.sourceDigits += static_cast<char>(key);
    const int number = std::stoi(f.sourceDigits);
    if (number - first >= 0 && number - first < count) f.index = number - first;
  } else {
    f.sourceDigits.clear();
  }
  ClampIndex();
  MarkListChanged();
}

void ListKey(int key) {
  FileState& f = Files();
  switch (key) {
    case kCmdUp:
      MoveCursor(f.cursor - 1);
      break;
    case kCmdDown:
      MoveCursor(f.cursor + 1);
      break;
    case kCmdLeft:
      MoveCursor(f.cursor - kFileListRows);
      break;
    case kCmdRight:
      MoveCursor(f.cursor + kFileListRows);
      break;
    case kCmdEnter:
      if (const FileListEntry* e = CursorEntry(); e && e->kind == kEntryFolder) OpenFolder(*e);
      break;
    default:
      break;
  }
}

// Every key of the file menus that is not a soft key comes here.
int32_t FileKey(int16_t* key) {
  Instrument& g = *GInstrument;
  const int k = static_cast<uint16_t>(*key);
  if (!FileListShown()) return 0;
  if (Files().nameFor != 0 && Files().nameFor == g.menu.currentMenu) {
    NameKey(k);
  } else if (g.menu.currentMenu == kNodeSource || g.menu.currentMenu == kNodeDestination) {
    SourceKey(k);
  } else {
    ListKey(k);
  }
  return 1;
}

// [SECTION] Handlers

int32_t ItemHandler(int mode, int16_t* key) {
  Instrument& g = *GInstrument;
  if (mode == kModeKey) return FileKey(key);
  if (mode != kModeEnter) return 0;
  for (const ItemKey& k : kItemKeys) {
    if (k.node == g.menu.currentMenu) Files().settings.item = k.item;
  }
  Files().nameTyped = false;
  ClampIndex();
  if (g.menu.page == kPageFileItems) PopSoftKeyPage();
  MarkListChanged();
  return 1;
}

void ItemPainter(int slot, int16_t pressed) {
  Instrument& g = *GInstrument;
  const MenuId target = g.menu.keySlots[slot].target;
  bool chosen = false;
  for (const ItemKey& k : kItemKeys) chosen |= k.node == target && k.item == Files().settings.item;
  StandardLabelPainter(slot, static_cast<int16_t>(pressed || chosen));
}

int32_t ListPageHandler(int mode, int16_t* key) {
  Instrument& g = *GInstrument;
  if (mode == kModeKey) return FileKey(key);
  if (mode != kModeEnter) return 0;
  switch (g.menu.currentMenu) {
    case kNodeWrite:
      ShowLowerPage(72);
      EnterListMode(kFileModeWrite);
      break;
    case kNodeRead:
      ShowLowerPage(73);
      EnterListMode(kFileModeRead);
      break;
    case kNodeOperation:
      ShowLowerPage(74);
      EnterListMode(kFileModeOperation);
      break;
    case kNodeSort:
      ShowLowerPage(75);
      if (Files().mode == kFileModeNone) Files().mode = kFileModeRead;
      RefreshFileList();
      break;
    case kNodeCopyPage:
    case kNodeDelete:
      ShowLowerPage(g.menu.currentMenu == kNodeCopyPage ? kPageCopy : kPageDelete);
      Files().copyArmed = false;
      for (FileListEntry& e : Files().entries) e.selected = false;
      MarkListChanged();
      break;
    default:
      return 0;
  }
  return 1;
}

int32_t DriveHandler(int mode, int16_t* key) {
  if (mode == kModeKey) return FileKey(key);
  if (mode != kModeEnter) return 0;
  FileState& f = Files();
  const int next = f.drive == kDriveInt ? kDriveExt : kDriveInt;
  const std::string root = DriveRoot(next);
  if (root.empty()) {
    ShowMessage(kMsgUsbNotInserted);
    return 1;
  }
  f.drive = next;
  if (!f.folder[next].starts_with(root)) f.folder[next] = root;
  f.cursor = f.top = 0;
  if (FileListShown()) RefreshFileList();
  MarkListChanged();
  return 1;
}

void PaintValue(int slot, int16_t pressed, const char* value, int highlighted) {
  MenuState& m = GInstrument->menu;
  SoftKeySlot& s = m.keySlots[slot];
  m.nodes[s.target].valueLine = value;
  s.style = static_cast<int16_t>((s.style & ~3) | 1);
  s.index = static_cast<int16_t>(highlighted);
  StandardLabelPainter(slot, pressed);
}

void DrivePainter(int slot, int16_t pressed) {
  PaintValue(slot, pressed, "INT EXT", Files().drive);
}

void ItemSelectPainter(int slot, int16_t pressed) {
  GInstrument->menu.nodes[kNodeItemSelect].valueLine = ItemInfo(Files().settings.item).key;
  StandardLabelPainter(slot, pressed);
}

int32_t SortHandler(int mode, int16_t* key) {
  Instrument& g = *GInstrument;
  if (mode == kModeKey) return FileKey(key);
  if (mode != kModeEnter) return 0;
  for (int i = 0; i < 4; ++i) {
    if (kSortNodes[i] == g.menu.currentMenu) Files().settings.sortKey = static_cast<uint16_t>(i);
  }
  const FileListEntry* e = CursorEntry();
  const std::string name = e ? e->name : "";
  RefreshFileList();
  CursorToName(name);
  return 1;
}

void SortPainter(int slot, int16_t pressed) {
  const MenuId target = GInstrument->menu.keySlots[slot].target;
  const bool chosen = target == kSortNodes[std::min<int>(Files().settings.sortKey, 3)];
  StandardLabelPainter(slot, static_cast<int16_t>(pressed || chosen));
}

int32_t FileTypeHandler(int mode, int16_t* key) {
  if (mode == kModeKey) return FileKey(key);
  if (mode != kModeEnter) return 0;
  FileSettings& s = Files().settings;
  if (s.item == kItemGraphics) {
    s.graphicsFileType = s.graphicsFileType == 0 ? 1 : 0;
  } else {
    s.traceFileType = s.traceFileType == 0 ? 1 : 0;
  }
  if (Files().nameTyped && Files().typedName.find('.') != std::string::npos) {
    std::string& name = Files().typedName;
    name = name.substr(0, name.rfind('.')) + WriteExtension(s.item, s);
  }
  RefreshFileList();  // the new-file entry takes the extension
  return 1;
}

void FileTypePainter(int slot, int16_t pressed) {
  const FileSettings& s = Files().settings;
  if (s.item == kItemGraphics) {
    PaintValue(slot, pressed, "BMP TIFF", s.graphicsFileType);
  } else {
    PaintValue(slot, pressed, "BIN CSV", s.traceFileType);
  }
}

int16_t FileTypeState() {
  const int item = Files().settings.item;
  const bool has = item == kItemTrace || item == kItemMemory || item == kItemGraphics;
  return has ? CommonKeyState() : kKeyDisabled;
}

int32_t NameHandler(int mode, int16_t* key) {
  Instrument& g = *GInstrument;
  if (mode == kModeKey) return FileKey(key);
  if (mode == kModeLeave) {
    if (Files().nameFor != 0) CloseNameEntry();
    return 1;
  }
  if (mode != kModeEnter) return 0;
  StartNameEntry(g.menu.currentMenu);
  return 1;
}

int32_t SourceHandler(int mode, int16_t* key) {
  if (mode == kModeKey) return FileKey(key);
  if (mode != kModeEnter) return 0;
  Files().sourceDigits.clear();
  MarkListChanged();
  return 1;
}

int16_t SourceState() {
  return SourceCount(Files().settings.item) > 0 ? CommonKeyState() : kKeyDisabled;
}

int32_t WriteExecuteHandler(int mode, int16_t* key) {
  if (mode == kModeKey) return FileKey(key);
  if (mode != kModeEnter) return 0;
  FileState& f = Files();
  const FileListEntry* e = CursorEntry();
  std::string name = f.nameTyped ? f.typedName : e ? e->name : "";
  int code = 0;
  if (!f.nameTyped && e && e->kind == kEntryFolder) {
    code = kMsgFileExists;  // the cursor stands on a folder, not on a file to write
  } else if ((code = CheckFileName(name)) == 0) {
    Notice(kNoticeWriting);
    code = ExecuteFileWrite(f.settings.item, f.index, CurrentFolder() + name);
  }
  f.nameTyped = false;
  RefreshFileList();
  if (code != 0) {
    ShowFileMessage(code);
  } else {
    CursorToName(name);
  }
  return 1;
}

int16_t WriteExecuteState() {
  return ItemWritable(Files().settings.item) ? CommonKeyState() : kKeyDisabled;
}

int32_t ReadExecuteHandler(int mode, int16_t* key) {
  if (mode == kModeKey) return FileKey(key);
  if (mode != kModeEnter) return 0;
  FileState& f = Files();
  const FileListEntry* e = CursorEntry();
  if (!e) return 1;
  if (e->kind == kEntryFolder) {
    OpenFolder(*e);
    return 1;
  }
  Notice(kNoticeReading);
  if (const int code = ExecuteFileRead(f.settings.item, f.index, CurrentFolder() + e->name)) {
    ShowFileMessage(code);
  }
  GInstrument->frame.redrawFlags = kRedrawAll;
  return 1;
}

int16_t ReadExecuteState() {
  return ItemReadable(Files().settings.item) ? CommonKeyState() : kKeyDisabled;
}

int16_t WriteState() {
  return CommonKeyState();
}

int16_t ReadState() {
  const int item = Files().settings.item;
  return item == kItemGraphics ? kKeyDisabled : CommonKeyState();
}

int16_t TemplateItemState() {
  return CommonKeyState();
}

int32_t SelectHandler(int mode, int16_t* key) {
  Instrument& g = *GInstrument;
  if (mode == kModeKey) return FileKey(key);
  if (mode != kModeEnter) return 0;
  FileState& f = Files();
  if (g.menu.currentMenu == kNodeAllSelect) {
    const bool all = std::all_of(f.entries.begin(), f.entries.end(), [](const FileListEntry& e) {
      return !Selectable(e) || e.selected;
    });
    for (FileListEntry& e : f.entries) e.selected = Selectable(e) && !all;
  } else if (FileListEntry* e = CursorEntry(); e && Selectable(*e)) {
    e->selected = !e->selected;
    MoveCursor(f.cursor + 1);
  }
  MarkListChanged();
  return 1;
}

int32_t CopyToHandler(int mode, int16_t* key) {
  if (mode == kModeKey) return FileKey(key);
  if (mode != kModeEnter) return 0;
  FileState& f = Files();
  std::vector<std::string> names = SelectedNames();
  if (names.empty()) {
    ShowMessage(kMsgCannotCopy);
    return 1;
  }
  f.copyNames = std::move(names);
  f.copyFolder = CurrentFolder();
  f.copyArmed = true;
  for (FileListEntry& e : f.entries) e.selected = false;
  MarkListChanged();
  return 1;
}

int32_t CopyExecuteHandler(int mode, int16_t* key) {
  if (mode == kModeKey) return FileKey(key);
  if (mode != kModeEnter) return 0;
  FileState& f = Files();
  if (!f.copyArmed) {
    ShowMessage(kMsgCannotCopy);
    return 1;
  }
  Notice(kNoticeCopying);
  const int code = CopyEntries(f.copyFolder, f.copyNames, CurrentFolder());
  f.copyArmed = false;
  RefreshFileList();
  if (code != 0) ShowFileMessage(code);
  return 1;
}

int32_t DeleteExecuteHandler(int mode, int16_t* key) {
  if (mode == kModeKey) return FileKey(key);
  if (mode != kModeEnter) return 0;
  const std::vector<std::string> names = SelectedNames();
  if (names.empty()) return 1;
  Notice(kNoticeDeleting);
  const int code = DeleteEntries(CurrentFolder(), names);
  RefreshFileList();
  if (code != 0) ShowFileMessage(code);
  return 1;
}

}  // namespace

bool FileListShown() {
  const Instrument& g = *GInstrument;
  if (g.files.mode == kFileModeNone) return false;
  return std::find(std::begin(kListPages), std::end(kListPages), g.menu.page) !=
         std::end(kListPages);
}

std::string CurrentFolder() {
  const FileState& f = Files();
  return f.folder[f.drive];
}

int RefreshFileList() {
  FileState& f = Files();
  if (f.userFolder.empty()) ReadUserFolders();
  std::string root = DriveRoot(f.drive);
  if (root.empty()) {
    f.drive = kDriveInt;  // the drive went away: back to INT
    root = DriveRoot(f.drive);
    f.entries.clear();
    MarkListChanged();
    return kMsgUsbNotInserted;
  }
  std::string& folder = f.folder[f.drive];
  if (!folder.starts_with(root)) folder = root;
  const FileListEntry* e = CursorEntry();
  const std::string cursorName = e ? e->name : "";
  const int cursor = f.cursor;
  FileListRequest request{folder, folder != root, f.settings.item,
                          f.mode == kFileModeWrite ? kFileModeWrite : kFileModeRead, f.settings};
  int code = BuildFileList(request, f.entries);
  if (code != 0 && folder != root) {
    folder = root;  // the folder went away: back to the drive's root
    request.folder = root;
    request.subfolder = false;
    code = BuildFileList(request, f.entries);
  }
  f.freeBytes = FreeBytes(folder);
  MoveCursor(cursor);
  if (!cursorName.empty()) CursorToName(cursorName);
  MarkListChanged();
  return code;
}

std::string FileStatusLine() {
  const Instrument& g = *GInstrument;
  const FileState& f = g.files;
  const std::string folder = DriveFolderLine(f.drive, DriveRoot(f.drive), CurrentFolder(), 50);
  if (g.menu.page == kPageCopy) {
    if (f.copyArmed) return "COPY TO  >" + folder;
    const bool any = std::any_of(f.entries.begin(), f.entries.end(),
                                 [](const FileListEntry& e) { return e.selected; });
    return any ? "COPY FROM>" + folder : "COPY FROM>SELECT FILES";
  }
  return StatusLineText(f.mode, f.settings.item, f.index);
}

std::string NameEntryLine() {
  const FileState& f = Files();
  const char* title = f.nameFor == kNodeFileName        ? "FILE NAME : "
                      : f.nameFor == kNodeRename        ? "RENAME : "
                      : f.nameFor == kNodeMakeDirectory ? "MAKE DIRECTORY : "
                                                        : nullptr;
  if (title) return title + f.typedName + "_";
  if (f.nameTyped && f.mode == kFileModeWrite) return "FILE NAME : " + f.typedName;
  return "";
}

int ReadDroppedFile(const std::string& path, int type) {
  FileState& f = Files();
  const int index = type == kItemTrace ? GInstrument->traces.state.activeTrace : 0;
  const int code = ExecuteFileRead(type, index, path);
  // The FILE menu then offers what was dropped; a refused file changes nothing, and a settings
  // file brings its own FILE menu settings.
  if (code == 0 && type != kItemSetting) {
    f.settings.item = static_cast<uint16_t>(type);
    f.index = index;
  }
  return code;
}

void BindFileMenus() {
  for (const ItemKey& k : kItemKeys) BindNode(k.node, ItemHandler, ItemPainter);
  BindNode(kItemKeys[std::size(kItemKeys) - 1].node, ItemHandler, ItemPainter, TemplateItemState);
  BindNode(kNodeItemSelect, nullptr, ItemSelectPainter);
  BindNode(kNodeWrite, ListPageHandler, nullptr, WriteState);
  BindNode(kNodeRead, ListPageHandler, nullptr, ReadState);
  BindNode(kNodeOperation, ListPageHandler);
  BindNode(kNodeSort, ListPageHandler);
  BindNode(kNodeCopyPage, ListPageHandler);
  BindNode(kNodeDelete, ListPageHandler);
  BindNode(kNodeDrive, DriveHandler, DrivePainter);
  for (MenuId id : kSortNodes) BindNode(id, SortHandler, SortPainter);
  BindNode(kNodeFileType, FileTypeHandler, FileTypePainter, FileTypeState);
  for (MenuId id : {kNodeFileName, kNodeRename, kNodeMakeDirectory}) BindNode(id, NameHandler);
  for (MenuId id : {kNodeSource, kNodeDestination}) {
    BindNode(id, SourceHandler, nullptr, SourceState);
  }
  BindNode(kNodeWriteExecute, WriteExecuteHandler, nullptr, WriteExecuteState);
  BindNode(kNodeReadExecute, ReadExecuteHandler, nullptr, ReadExecuteState);
  for (MenuId id : {kNodeFileSelect, kNodeAllSelect}) BindNode(id, SelectHandler);
  BindNode(kNodeCopyTo, CopyToHandler);
  BindNode(kNodeCopyExecute, CopyExecuteHandler);
  BindNode(kNodeDeleteExecute, DeleteExecuteHandler);
}

}  // namespace vq
