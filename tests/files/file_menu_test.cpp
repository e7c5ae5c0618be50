// Tests of the FILE menu driven by its keys: WRITE and READ by item, names, folders, drives,
// COPY and DELETE, and the list on screen.
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "files/file_execute.h"
#include "files/file_list.h"
#include "files/file_menu.h"
#include "files/memory_slots.h"
#include "files/trace_files.h"
#include "files/user_folders.h"
#include "menu/menu_engine.h"
#include "platform/image_files.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "screen/file_list_view.h"
#include "support/instrument_fixture.h"
#include "traces/meas_condition.h"
#include "traces/traces.h"

namespace vq {
namespace {

namespace fs = std::filesystem;

class FileMenuTest : public StartedInstrumentTest {
 protected:
  // A trace of 101 points from 1545 to 1555 nm.
  void Fill(int trace) {
    Trace& t = g().traces.traces[trace];
    t.condition = DefaultSettingRecord();
    MeasCondition& c = t.condition;
    c.centre = 1550, c.span = 10, c.start = 1545, c.stop = 1555, c.samplingAuto = 0;
    c.samplingPoints = c.storedPoints = 101;
    c.samplingInterval = c.span / 100;
    for (int i = 0; i < 101; ++i) t.level[i] = DbmToLinear(-60 + 0.1 * i);
  }
  std::string User() { return g().files.userFolder; }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const FileListEntry& e : g().files.entries) names.push_back(e.name);
    return names;
  }
  // FILE, then a key of the FILE page (F2 WRITE, F3 READ, F4 FILE OPERATION).
  void Open(const char* key) { Press("Alt+F3", key); }
  void ChooseItem(const char* key) { Press("Alt+F3", "F1", key); }
  void Put(const std::string& path, const std::string& text) {
    ASSERT_TRUE(WriteFileAtomic(path, {text.begin(), text.end()}));
  }
  int Message() { return g().messages.currentMessage; }
};

TEST_F(FileMenuTest, WriteAndReadATraceWithTheKeys) {
  Fill(0);
  Open("F2");
  ASSERT_TRUE(FileListShown());
  EXPECT_EQ(FileStatusLine(), "WRITE : TRACE A TO FILE");
  EXPECT_EQ(Names(), (std::vector<std::string>{"W0000.WV8"}));
  Press("F1");  // EXECUTE on the new-file entry
  ASSERT_TRUE(fs::exists(User() + "W0000.WV8"));
  EXPECT_EQ(Names(), (std::vector<std::string>{"W0001.WV8", "W0000.WV8"}));
  EXPECT_EQ(g().files.cursor, 1);  // on the file just written

  // Trace C holds no data: "No data", and no file.
  Press("Up", "F3");  // the new-file entry, SOURCE SELECT
  Type("C");
  EXPECT_EQ(FileStatusLine(), "WRITE : TRACE C TO FILE");
  Press("F1");
  EXPECT_EQ(Message(), 131);
  EXPECT_FALSE(fs::exists(User() + "W0001.WV8"));

  // READ into trace B.
  Press("F9", "F3", "F2");
  Type("B");
  EXPECT_EQ(FileStatusLine(), "READ : FILE TO TRACE B");
  Press("F1");
  EXPECT_EQ(Message(), 0);
  for (int i : {0, 50, 100}) {
    // The binary file keeps levels as 32-bit floats.
    EXPECT_FLOAT_EQ(static_cast<float>(g().traces.traces[1].level[i]),
                    static_cast<float>(g().traces.traces[0].level[i]))
        << i;
  }
  // The list goes away with the FILE menu.
  Press("Alt+F1");
  EXPECT_FALSE(FileListShown());
}

TEST_F(FileMenuTest, SettingsMemoryAndDataFilesThroughTheMenuAndDrops) {
  Fill(0);
  g().conditions.setting.centre = 1552.5;
  ChooseItem("F5");  // SETTING
  Press("F2", "F1");
  ASSERT_EQ(Message(), 0);
  EXPECT_EQ(fs::file_size(User() + "S0000.ST8"), 73147u);
  g().conditions.setting.centre = 1300;
  Press("F9", "F3");
  EXPECT_EQ(FileStatusLine(), "READ : FILE TO SETTING");
  Press("F1");
  EXPECT_EQ(Message(), 0);
  EXPECT_DOUBLE_EQ(g().conditions.setting.centre, 1552.5);
  EXPECT_FALSE(TraceHasData(0));  // a settings read clears the traces

  // MEMORY: a used slot is written as a trace file; an empty one gives 107 and no file.
  Fill(0);
  ASSERT_EQ(SaveMemorySlot(5, 0), 0);
  ChooseItem("F3");
  Press("F2", "F3");
  Type("5");
  EXPECT_EQ(FileStatusLine(), "WRITE : MEMORY NO.05 TO FILE");
  Press("F1");
  EXPECT_EQ(DetectFileType(User() + "W0000.WV8"), kFileTrace);
  Press("Up", "F3");
  Type("6");
  Press("F1");
  EXPECT_EQ(Message(), kMsgUnsuitableMemory);
  EXPECT_FALSE(fs::exists(User() + "W0001.WV8"));

  // DATA: the report of trace A; dropped back, it is read into trace A on one display.
  ChooseItem("F6");
  Press("F2", "F1");
  ASSERT_EQ(Message(), 0);
  ASSERT_TRUE(fs::exists(User() + "D0000.CSV"));
  TraceClear(0);
  SetSplitDisplay(true);
  SetDroppedFiles({User() + "D0000.CSV"});
  WindowProc(WM_DROPFILES, 0, 0);
  PumpUntilIdle(host);
  EXPECT_EQ(Message(), 0);
  EXPECT_TRUE(TraceHasData(0));
  EXPECT_EQ(g().screen.screenMode, 0);
  EXPECT_EQ(g().menu.page, 70);
  // A dropped settings file is read as SETTING.
  g().conditions.setting.centre = 1300;
  SetDroppedFiles({User() + "S0000.ST8"});
  WindowProc(WM_DROPFILES, 0, 0);
  PumpUntilIdle(host);
  EXPECT_DOUBLE_EQ(g().conditions.setting.centre, 1552.5);
}

TEST_F(FileMenuTest, OtherKindsOfFileAreNotReadAsTraces) {
  std::string settings(600, '\0');
  std::memcpy(settings.data(), "\"QXBSET\"\r\n", 10);
  Put(User() + "set.WV8", settings);
  Open("F3");
  EXPECT_TRUE(g().files.entries.empty());  // refused by the list filter
  const MeasCondition before = g().traces.traces[0].condition;
  // Forced by name.
  EXPECT_EQ(ExecuteFileRead(kItemTrace, 0, User() + "set.WV8"), kMsgNotTraceFile);
  EXPECT_EQ(std::memcmp(&before, &g().traces.traces[0].condition, sizeof before), 0);
  EXPECT_EQ(ExecuteFileRead(kItemTrace, 0, User() + "missing.WV8"), 123);
  EXPECT_EQ(ExecuteFileRead(kItemProgram, 0, User() + "set.WV8"), kMsgNotProgramFile);
}

TEST_F(FileMenuTest, TypedNamesAreCheckedBeforeAnythingIsWritten) {
  Fill(0);
  Open("F2");
  Press("F2");  // FILE NAME
  EXPECT_EQ(NameEntryLine(), "FILE NAME : W0000.WV8_");
  Type("bench");
  Press("Enter");
  EXPECT_EQ(NameEntryLine(), "FILE NAME : bench.WV8");
  Press("F1");
  EXPECT_TRUE(fs::exists(User() + "bench.WV8"));

  Press("F2");
  Type("../escape");
  Press("Enter");
  EXPECT_EQ(Message(), 125);
  EXPECT_FALSE(fs::exists(fs::path(User()).parent_path().parent_path() / "escape.WV8"));
  EXPECT_EQ(CountFiles(g().files.entries), 1);

  // Writing over an existing file replaces it whole.
  Press("F2");
  Type("bench.WV8");
  Press("Enter", "F1");
  EXPECT_EQ(Message(), 0);
  EXPECT_EQ(CountFiles(g().files.entries), 1);
}

TEST_F(FileMenuTest, FoldersAreMadeRenamedEnteredAndLeft) {
  Open("F4");  // FILE OPERATION
  EXPECT_EQ(FileStatusLine(), "FILE OPERATION");
  Press("F2");  // MAKE DIRECTORY
  Type("RUN1");
  Press("Enter");
  EXPECT_TRUE(fs::is_directory(User() + "RUN1"));
  EXPECT_EQ(Names(), (std::vector<std::string>{"RUN1"}));
  Press("F2");
  Type("RUN1");
  Press("Enter");
  EXPECT_EQ(Message(), 126);

  Press("F1");  // RENAME the folder under the cursor
  Type("a/b");
  Press("Enter");
  EXPECT_EQ(Message(), 124);
  EXPECT_TRUE(fs::is_directory(User() + "RUN1"));
  Press("F1");
  Type("RUN2");
  Press("Enter");
  EXPECT_EQ(Names(), (std::vector<std::string>{"RUN2"}));

  Press("Enter");  // into the folder
  EXPECT_EQ(CurrentFolder(), User() + "RUN2/");
  EXPECT_EQ(Names(), (std::vector<std::string>{".."}));
  EXPECT_EQ(FileListLines()[0], "INT:\\RUN2");
  Press("Enter");  // ".." back up, the cursor on the folder left
  EXPECT_EQ(CurrentFolder(), User());
  EXPECT_EQ(Names()[g().files.cursor], "RUN2");
}

TEST_F(FileMenuTest, CopyAndDeleteWithTheSelectionKeys) {
  Fill(0);
  Open("F2");
  Press("F1", "Up", "F1");  // W0000.WV8, then on the new-file entry W0001.WV8
  ASSERT_TRUE(MakeFolders(User() + "DEST"));
  Press("F9", "F4");  // FILE OPERATION: DEST, W0000.WV8, W0001.WV8
  ASSERT_EQ(Names(), (std::vector<std::string>{"DEST", "W0000.WV8", "W0001.WV8"}));
  Press("F3");  // COPY
  EXPECT_EQ(FileStatusLine(), "COPY FROM>SELECT FILES");
  g().files.cursor = 1;
  Press("F1", "F1");  // FILE SELECT both files
  EXPECT_EQ(FileStatusLine().substr(0, 10), "COPY FROM>");
  Press("F3");  // COPY TO: choose the destination
  EXPECT_EQ(FileStatusLine().substr(0, 10), "COPY TO  >");
  g().files.cursor = 0;
  Press("Enter", "F4");  // into DEST, EXECUTE
  EXPECT_EQ(Message(), 0);
  EXPECT_TRUE(fs::exists(User() + "DEST/W0000.WV8"));
  EXPECT_TRUE(fs::exists(User() + "DEST/W0001.WV8"));

  // Each operation shows its notice over the screen while it runs.
  static std::vector<int> notices;
  notices.clear();
  g().frame.calls.showOverlay = [](int id) { notices.push_back(id); };
  Press("F9", "F4");  // DELETE, ALL SELECT, EXECUTE inside DEST
  Press("F2", "F3");
  EXPECT_EQ(Names(), (std::vector<std::string>{".."}));
  EXPECT_EQ(notices, (std::vector<int>{3}));      // "   Deleting!"
  EXPECT_TRUE(fs::exists(User() + "W0000.WV8"));  // the originals stay
}

TEST_F(FileMenuTest, CursorAndPagesKeepTheCursorInView) {
  for (int i = 0; i < 30; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "W%04d.WV8", i);
    Put(User() + name, "\"QXBWAV\"\r\n" + std::string(600, '\0'));
  }
  Open("F3");
  EXPECT_EQ(FileListLines().size(), 2u + kFileListRows + 3u);  // a page of rows
  Press("Right");                                              // a page down
  EXPECT_EQ(g().files.cursor, kFileListRows);
  EXPECT_EQ(g().files.top, 1);
  EXPECT_EQ(FileListLines()[2 + kFileListRows - 1].substr(1, 9), "W0024.WV8");
  Press("Right", "Down");  // clamped at the last entry
  EXPECT_EQ(g().files.cursor, 29);
  EXPECT_EQ(g().files.top, 30 - kFileListRows);
  Press("Left", "Up");
  EXPECT_EQ(g().files.cursor, 29 - kFileListRows - 1);
  EXPECT_EQ(g().files.top, g().files.cursor);
  // FILE SORT keeps the cursor on its file.
  const std::string at = Names()[g().files.cursor];
  Press("F9", "F6", "F3");  // FILE SORT, SORT BY FILE DATE
  EXPECT_EQ(Names()[g().files.cursor], at);
}

TEST_F(FileMenuTest, ExtNeedsAConfiguredMountedFolder) {
  Open("F3");
  Press("F9", "F5");  // DRIVE
  EXPECT_EQ(Message(), 120);
  EXPECT_EQ(g().files.drive, kDriveInt);

  TempFolder usb;
  ASSERT_EQ(ApplyUserFolders(User(), 'e', usb.Path()), 0);
  const std::string ini = home.Path() + "UserDirectory.ini";
  EXPECT_EQ(GetProfileString("FOLDER", "USBStorageDrive", "", ini), "E");
  EXPECT_EQ(GetProfileString("FOLDER", "UserDataFolderNorm", "", ini), User());
  Put(usb.Path() + "W0007.WV8", "\"QXBWAV\"\r\n" + std::string(600, '\0'));
  Press("F5", "F3");
  EXPECT_EQ(g().files.drive, kDriveExt);
  EXPECT_EQ(Names(), (std::vector<std::string>{"W0007.WV8"}));
  EXPECT_EQ(FileListLines()[0], "EXT:\\");
  // The drive pulled out: reading from it says so, and the list goes back to INT.
  const std::string mount = usb.Path();
  fs::rename(mount, mount.substr(0, mount.size() - 1) + "_gone");
  Press("F1");
  EXPECT_EQ(Message(), 120);
  Press("F9", "F3");
  EXPECT_EQ(Message(), 120);
  EXPECT_EQ(g().files.drive, kDriveInt);
  fs::rename(mount.substr(0, mount.size() - 1) + "_gone", mount);
  // A new INT folder: the ini follows and the next start reads it.
  TempFolder other;
  ASSERT_EQ(ApplyUserFolders(other.Path(), 'E', usb.Path()), 0);
  g().files = FileState{};
  ReadUserFolders();
  EXPECT_EQ(g().files.userFolder, other.Path());
  EXPECT_EQ(g().files.extFolder, usb.Path());
  EXPECT_EQ(ApplyUserFolders(other.Path() + "none", 'E', ""), 123);  // nothing changes
  EXPECT_EQ(GetProfileString("FOLDER", "UserDataFolderNorm", "", ini), other.Path());
  // A Windows path in the ini names no folder here: the default one is used.
  ASSERT_TRUE(WriteProfileString("FOLDER", "UserDataFolderNorm", "C:\\Users\\me\\Data", ini));
  ReadUserFolders();
  EXPECT_EQ(g().files.userFolder, home.Path() + "UserData/");
}

TEST_F(FileMenuTest, FolderSettingChangesTheFolderTheListShows) {
  Open("F3");
  TempFolder other;
  Put(other.Path() + "W0005.WV8", "\"QXBWAV\"\r\n" + std::string(600, '\0'));
  // Cancel changes nothing; OK moves INT and the shown list follows.
  host.folderAnswers.push_back(std::nullopt);
  WindowProc(WM_COMMAND, kCmdFolderSetting, 0);
  EXPECT_EQ(CurrentFolder(), home.Path() + "UserData/");
  ASSERT_EQ(host.folderDialogs.size(), 1u);
  EXPECT_EQ(host.folderDialogs[0].userFolder, home.Path() + "UserData");  // shown without the '/'

  host.folderAnswers.push_back(FolderChoice{other.Path(), {}, -1});
  WindowProc(WM_COMMAND, kCmdFolderSetting, 0);
  EXPECT_EQ(CurrentFolder(), other.Path());
  EXPECT_EQ(Names(), (std::vector<std::string>{"W0005.WV8"}));
  // A folder that is not there is refused with the ini file as it was.
  host.folderAnswers.push_back(FolderChoice{other.Path() + "gone", {}, -1});
  WindowProc(WM_COMMAND, kCmdFolderSetting, 0);
  EXPECT_EQ(Message(), 123);
  EXPECT_EQ(GetProfileString("FOLDER", "UserDataFolderNorm", "", home.Path() + "UserDirectory.ini"),
            other.Path());
}

TEST(RemovableDrivesTest, MountsUnderTheMediaFoldersAreOffered) {
  const std::string table =
      "/dev/sda1 / ext4 rw 0 0\n"
      "/dev/sdb1 /media/ann/USB\\040STICK vfat rw 0 0\n"
      "/dev/sdc1 /run/media/bob/DATA exfat rw 0 0\n"
      "tmpfs /mnt tmpfs rw 0 0\n"
      "/dev/sdd1 /mnt/card vfat rw 0 0\n";
  const std::vector<RemovableDrive> drives = RemovableDrives(table);
  ASSERT_EQ(drives.size(), 3u);
  EXPECT_EQ(drives[0].letter, 'D');
  EXPECT_EQ(drives[0].mount, "/media/ann/USB STICK/");
  EXPECT_EQ(drives[1].mount, "/run/media/bob/DATA/");
  EXPECT_EQ(drives[2].letter, 'F');
  EXPECT_EQ(drives[2].mount, "/mnt/card/");
}

TEST_F(FileMenuTest, ProgramsAndGraphicsAreWrittenAndRead) {
  std::vector<uint8_t>& record = g().program.records[3];
  record.assign(kProgramRecordBytes, 0);
  std::memcpy(record.data() + 10, "SWEEP TEST", 10);
  record[500] = 42;
  ChooseItem("F7");  // PROGRAM
  Press("F2", "F3");
  Type("4");  // PROGRAM NO.04, the fourth record
  EXPECT_EQ(FileStatusLine(), "WRITE : PROGRAM NO.04 TO FILE");
  Press("F1");
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile(User() + "P0000.PG8", bytes));
  EXPECT_EQ(bytes.size(), kProgramRecordBytes);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 10), kProgramIdentifier);
  Press("F9", "F3");
  EXPECT_EQ(g().files.entries.at(0).label, "SWEEP TEST");
  EXPECT_EQ(ReadProgramFile(0, User() + "P0000.PG8"), 0);
  EXPECT_EQ(g().program.records[0][500], 42);
  EXPECT_EQ(ProgramName(0), "SWEEP TEST");
  EXPECT_EQ(WriteProgramFile(5, User() + "P0001.PG8"), kMsgNoData);

  ChooseItem("F4");  // GRAPHICS: BMP, then TIFF on the next new-file entry
  DistinctSlotColours();
  Press("F2", "F1", "F4", "Up", "F1");
  ASSERT_TRUE(ReadWholeFile(User() + "G0000.BMP", bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 2), "BM");
  // The picture shows the graph, not the file list over it.
  Surface picture;
  ASSERT_TRUE(DecodeBmp(bytes, picture));
  EXPECT_EQ(picture.At(300, 310) | 0xFF000000u, Slot(3));
  ASSERT_TRUE(ReadWholeFile(User() + "G0001.TIF", bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), std::string("II*\0", 4));
  // GRAPHICS cannot be read; TEMPLATE is chosen like the other items.
  Press("F9");
  EXPECT_NE(NodeState(938), 0);
  ChooseItem("F8");
  EXPECT_EQ(g().files.settings.item, kItemTemplate);
}

TEST_F(FileMenuTest, TheListCoversTheGraphWithItsLines) {
  Fill(0);
  Open("F2");
  Press("F1");
  const std::vector<std::string> lines = FileListLines();
  EXPECT_EQ(lines[0], "INT:\\");
  EXPECT_NE(lines[1].find("FILE NAME"), std::string::npos);
  EXPECT_NE(lines[1].find("DATE & TIME"), std::string::npos);
  EXPECT_NE(lines[1].find("LABEL/PROGRAM NAME"), std::string::npos);
  EXPECT_EQ(lines[2].substr(1, 9), "W0001.WV8");
  EXPECT_EQ(lines[2].substr(32, 19), kNewFileText);
  EXPECT_EQ(lines[3].substr(1, 9), "W0000.WV8");
  const std::string& count = lines[4];
  EXPECT_EQ(count.substr(0, 16), "TOTAL:   1 FILES");
  EXPECT_EQ(count.substr(20, 5), "FREE:");
  EXPECT_EQ(count.substr(count.size() - 6), " BYTES");
  EXPECT_EQ(lines.back(), "WRITE : TRACE A TO FILE");
  // The cursor row is drawn in the list's cursor colour over the graph area.
  DistinctSlotColours();
  g().frame.redrawFlags = kRedrawAll;
  PumpUntilIdle(host);
  const int cursorY = 133 + g().files.cursor * 14 + 6;
  EXPECT_EQ(g().screen.frameCopy.At(600, cursorY) | 0xFF000000u, Slot(69));
}

}  // namespace
}  // namespace vq
