// Tests of the file list (names, filter, sort, lines) and of the file operations over prepared
// folders.
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "files/file_list.h"
#include "files/file_operations.h"
#include "platform/image_files.h"
#include "support/instrument_fixture.h"

namespace vq {
namespace {

constexpr char kTraceId[] = "\"QXBWAV\"\r\n";
constexpr char kSettingsId[] = "\"QXBSET\"\r\n";

class FileListTest : public ::testing::Test {
 protected:
  // A file that starts with an identifier, padded to 600 bytes, optionally with a label at the
  // offset where its record keeps it.
  void Put(const std::string& name, const char* id, const std::string& label = "",
           size_t labelAt = 10) {
    std::vector<uint8_t> bytes(600, 0);
    std::memcpy(bytes.data(), id, std::strlen(id));
    std::memcpy(bytes.data() + labelAt, label.data(), label.size());
    ASSERT_TRUE(WriteFileAtomic(dir.Path() + name, bytes));
  }
  void PutText(const std::string& name, const std::string& text) {
    ASSERT_TRUE(WriteFileAtomic(dir.Path() + name, {text.begin(), text.end()}));
  }
  void SetTime(const std::string& name, time_t when) {
    std::filesystem::last_write_time(dir.Path() + name,
                                     std::filesystem::file_time_type::clock::now() +
                                         std::chrono::seconds(when - std::time(nullptr)));
  }
  std::vector<FileListEntry> List(int item, FileMenuMode mode, int sortKey = 0,
                                  const std::string& sub = "") {
    FileListRequest r;
    r.folder = dir.Path() + sub;
    r.subfolder = !sub.empty();
    r.item = item;
    r.mode = mode;
    r.settings.sortKey = static_cast<uint16_t>(sortKey);
    std::vector<FileListEntry> out;
    EXPECT_EQ(BuildFileList(r, out), 0);
    return out;
  }
  static std::vector<std::string> Names(const std::vector<FileListEntry>& list) {
    std::vector<std::string> names;
    for (const FileListEntry& e : list) names.push_back(e.name);
    return names;
  }
  TempFolder dir;
};

TEST_F(FileListTest, DefaultNameTakesTheFirstGapOfFourDigitNames) {
  // An empty folder offers number 0000.
  auto list = List(kItemTrace, kFileModeWrite);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].kind, kEntryNewFile);
  EXPECT_EQ(list[0].name, "W0000.WV8");
  EXPECT_EQ(list[0].date, kNewFileText);

  Put("W0000.WV8", kTraceId);
  Put("W0001.WV8", kTraceId);
  Put("W0003.WV8", kTraceId);
  Put("W12.WV8", kTraceId);  // listed, but not nine characters: no part in the numbering
  list = List(kItemTrace, kFileModeWrite);
  EXPECT_EQ(list[0].name, "W0002.WV8");
  EXPECT_EQ(CountFiles(list), 4);
  const auto names = Names(list);
  EXPECT_NE(std::find(names.begin(), names.end(), "W12.WV8"), names.end());

  // A CSV trace takes its own extension; other items their letter and extension.
  FileSettings csv;
  csv.traceFileType = 1;
  EXPECT_EQ(DefaultFileName(list, kItemTrace, csv), "W0002.CSV");
  EXPECT_EQ(List(kItemSetting, kFileModeWrite)[0].name, "S0000.ST8");
  csv.dataFileType = 1;
  EXPECT_EQ(DefaultFileName({}, kItemData, csv), "D0000.DT8");
  // The scan stops at the first larger number: W0001 alone leaves 0000 free.
  std::filesystem::remove(dir.Path() + "W0000.WV8");
  EXPECT_EQ(List(kItemTrace, kFileModeWrite)[0].name, "W0000.WV8");
  // READ lists no new-file entry.
  EXPECT_EQ(CountFiles(List(kItemTrace, kFileModeRead)), 3);
  EXPECT_EQ(List(kItemTrace, kFileModeRead)[0].kind, kEntryFile);
}

TEST_F(FileListTest, FilterTakesExtensionThenIdentifier) {
  Put("trace.wv8", kTraceId, "MY LABEL");    // lower-case extension
  Put("setting.WV8", kSettingsId);           // a settings file under a trace extension
  Put("s.ST8", kSettingsId, "BENCH 3", 11);  // its label sits in the setting record
  Put("notes.DOC", kTraceId);                // an extension no item lists
  Put("short.WV8", "QX");                    // too short for any identifier
  Put("backup.WV8", "\"QXBBAK\"\r\n");       // the state backup is not a user's trace
  PutText("shot.BMP", "BM whatever");        // graphics go by extension only
  PutText("t.CSV", "VQ7000B,\r\nTEMPLATE,\r\nTYPE,0\r\n" + std::string(40, ' '));
  PutText("u.CSV", "VQ7000B,\r\nSOMETHING,\r\n" + std::string(40, ' '));
  std::filesystem::create_directory(dir.Path() + "sub");
  std::filesystem::create_directory(dir.Path() + ".hidden");

  const auto traces = List(kItemTrace, kFileModeRead);
  EXPECT_EQ(Names(traces), (std::vector<std::string>{"sub", "trace.wv8"}));
  EXPECT_EQ(traces[0].kind, kEntryFolder);
  EXPECT_EQ(traces[0].date, kDirectoryText);
  EXPECT_EQ(traces[1].label, "MY LABEL");
  EXPECT_EQ(traces[1].size, 600u);
  EXPECT_EQ(traces[1].date.size(), 19u);

  const auto settings = List(kItemSetting, kFileModeRead);
  EXPECT_EQ(Names(settings), (std::vector<std::string>{"sub", "s.ST8"}));
  EXPECT_EQ(settings[1].label, "BENCH 3");
  EXPECT_EQ(Names(List(kItemGraphics, kFileModeRead)),
            (std::vector<std::string>{"sub", "shot.BMP"}));
  // A template file names its kind after the model line; a trace file may serve as one.
  EXPECT_EQ(Names(List(kItemTemplate, kFileModeRead)),
            (std::vector<std::string>{"sub", "t.CSV", "trace.wv8"}));
  // A subfolder starts with "..".
  EXPECT_EQ(Names(List(kItemTrace, kFileModeWrite, 0, "sub/")),
            (std::vector<std::string>{"W0000.WV8", ".."}));
}

TEST_F(FileListTest, SortKeysFallBackToTheNameWithoutCase) {
  Put("b.WV8", kTraceId, "ZED");
  Put("A.CSV", "\"QXBWAV\"\r\n", "ALPHA");
  Put("c.WV8", kTraceId, "ALPHA");
  Put("a.WV8", kTraceId, "ZED");
  std::filesystem::create_directory(dir.Path() + "zfolder");
  std::filesystem::create_directory(dir.Path() + "Afolder");
  SetTime("b.WV8", 1700000000);
  SetTime("A.CSV", 1700000300);
  SetTime("c.WV8", 1700000000);
  SetTime("a.WV8", 1600000000);

  using V = std::vector<std::string>;
  // New-file entry, folders, then files, each group sorted by the key.
  EXPECT_EQ(Names(List(kItemTrace, kFileModeWrite, 0)),
            (V{"W0000.WV8", "Afolder", "zfolder", "A.CSV", "a.WV8", "b.WV8", "c.WV8"}));
  // FILE TYPE: the extension; a tie goes by the name without regard to case.
  EXPECT_EQ(Names(List(kItemTrace, kFileModeRead, 1)),
            (V{"Afolder", "zfolder", "A.CSV", "a.WV8", "b.WV8", "c.WV8"}));
  // FILE DATE: oldest first, equal times by name.
  EXPECT_EQ(Names(List(kItemTrace, kFileModeRead, 2)),
            (V{"Afolder", "zfolder", "a.WV8", "b.WV8", "c.WV8", "A.CSV"}));
  // FILE LABEL.
  EXPECT_EQ(Names(List(kItemTrace, kFileModeRead, 3)),
            (V{"Afolder", "zfolder", "A.CSV", "c.WV8", "a.WV8", "b.WV8"}));
}

TEST_F(FileListTest, FolderAndStatusLines) {
  EXPECT_EQ(DriveFolderLine(kDriveInt, "/home/u/UserData/", "/home/u/UserData/"), "INT:\\");
  EXPECT_EQ(DriveFolderLine(kDriveExt, "/media/usb/", "/media/usb/a/b/"), "EXT:\\a\\b");
  const std::string deep = "/r/" + std::string(40, 'x') + "/" + std::string(40, 'y') + "/";
  const std::string line = DriveFolderLine(kDriveInt, "/r/", deep, 30);
  EXPECT_EQ(line.size(), 30u);
  EXPECT_EQ(line.substr(0, 7), "INT:\\..");
  EXPECT_EQ(line.substr(line.size() - 5), "yyyyy");

  EXPECT_EQ(StatusLineText(kFileModeRead, kItemTrace, 2), "READ : FILE TO TRACE C");
  EXPECT_EQ(StatusLineText(kFileModeWrite, kItemTrace, 0), "WRITE : TRACE A TO FILE");
  EXPECT_EQ(StatusLineText(kFileModeWrite, kItemMemory, 7), "WRITE : MEMORY NO.07 TO FILE");
  EXPECT_EQ(StatusLineText(kFileModeRead, kItemMemory, 63), "READ : FILE TO MEMORY NO.63");
  EXPECT_EQ(StatusLineText(kFileModeRead, kItemTemplate, 1), "READ : FILE TO TEMPLATE (LOWER)");
  EXPECT_EQ(StatusLineText(kFileModeWrite, kItemGraphics, 0), "WRITE : GRAPHICS TO FILE");
  EXPECT_EQ(StatusLineText(kFileModeWrite, kItemAllTrace, 0), "WRITE : ALL TRACE TO FILE");
  EXPECT_EQ(StatusLineText(kFileModeRead, kItemSetting, 0), "READ : FILE TO SETTING");
  EXPECT_EQ(StatusLineText(kFileModeOperation, kItemData, 0), "FILE OPERATION");
}

TEST_F(FileListTest, ListStopsAt4094Entries) {
  for (int i = 0; i < kMaxListEntries + 6; ++i) {
    std::filesystem::create_directory(dir.Path() + "d" + std::to_string(i));
  }
  EXPECT_EQ(List(kItemTrace, kFileModeRead).size(), static_cast<size_t>(kMaxListEntries));
}

class FileOperationsTest : public FileListTest {};

TEST_F(FileOperationsTest, MakeDirectoryAndRenameReportTheirClashes) {
  const std::string d = dir.Path();
  EXPECT_EQ(MakeDirectory(d, "DATA1"), 0);
  EXPECT_EQ(MakeDirectory(d, "DATA1"), kMsgDirectoryExists);
  EXPECT_EQ(MakeDirectory(d, "a/b"), kMsgIllegalDirectoryName);
  EXPECT_EQ(MakeDirectory(d, ".."), kMsgIllegalDirectoryName);

  Put("one.WV8", kTraceId);
  Put("two.WV8", kTraceId);
  EXPECT_EQ(RenameEntry(d, "one.WV8", "two.WV8"), kMsgFileExists);
  EXPECT_EQ(RenameEntry(d, "one.WV8", "DATA1"), kMsgFileExists);
  EXPECT_EQ(RenameEntry(d, "DATA1", "two.WV8"), kMsgDirectoryExists);
  EXPECT_EQ(RenameEntry(d, "DATA1", "x\\y"), kMsgIllegalDirectoryName);
  EXPECT_EQ(RenameEntry(d, "gone.WV8", "new.WV8"), kMsgFileNotFound);
  EXPECT_EQ(RenameEntry(d, "one.WV8", "three.WV8"), 0);
  EXPECT_TRUE(std::filesystem::exists(d + "three.WV8"));
  EXPECT_FALSE(std::filesystem::exists(d + "one.WV8"));
  // A read-only file is not renamed.
  chmod((d + "two.WV8").c_str(), 0444);
  if (access((d + "two.WV8").c_str(), W_OK) != 0) {  // root may write anyway
    EXPECT_EQ(RenameEntry(d, "two.WV8", "four.WV8"), kMsgWriteProtected);
  }
}

TEST_F(FileOperationsTest, IllegalNamesTouchNothingOutsideTheFolder) {
  std::filesystem::create_directory(dir.Path() + "inner");
  const std::string inner = dir.Path() + "inner/";
  ASSERT_TRUE(WriteFileAtomic(inner + "keep.WV8", {1, 2, 3}));
  ASSERT_TRUE(WriteFileAtomic(dir.Path() + "outside.WV8", {4, 5, 6}));
  for (const char* bad : {"", ".", "..", "../outside.WV8", "a/b", "a\\b", "x:y", "a*b", "tab\tx"}) {
    EXPECT_EQ(CheckFileName(bad), kMsgIllegalFileName) << bad;
    EXPECT_EQ(RenameEntry(inner, "keep.WV8", bad), kMsgIllegalFileName) << bad;
  }
  EXPECT_EQ(CheckFileName(std::string(256, 'a')), kMsgIllegalFileName);
  EXPECT_EQ(CheckFileName("W0001.WV8"), 0);
  EXPECT_EQ(DeleteEntries(inner, {"../outside.WV8"}), kMsgFileNotFound);
  EXPECT_EQ(DeleteEntries(inner, {".."}), kMsgFileNotFound);
  EXPECT_TRUE(std::filesystem::exists(inner + "keep.WV8"));
  EXPECT_TRUE(std::filesystem::exists(dir.Path() + "outside.WV8"));
}

TEST_F(FileOperationsTest, CopyAndDeleteWholeFolderTrees) {
  const std::string d = dir.Path();
  std::filesystem::create_directories(d + "src/deep/er");
  ASSERT_TRUE(WriteFileAtomic(d + "src/deep/er/x.WV8", {7, 8, 9}));
  ASSERT_TRUE(WriteFileAtomic(d + "top.WV8", {1}));
  std::filesystem::create_directory(d + "dest");
  ASSERT_TRUE(WriteFileAtomic(d + "dest/top.WV8", {9, 9}));  // replaced by the copy

  EXPECT_EQ(CopyEntries(d, {"src", "top.WV8"}, d + "dest/"), 0);
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile(d + "dest/src/deep/er/x.WV8", bytes));
  EXPECT_EQ(bytes, (std::vector<uint8_t>{7, 8, 9}));
  ASSERT_TRUE(ReadWholeFile(d + "dest/top.WV8", bytes));
  EXPECT_EQ(bytes, (std::vector<uint8_t>{1}));
  // A folder into itself, a file onto itself, or into a folder that is not there: refused.
  EXPECT_EQ(CopyEntries(d, {"src"}, d + "src/deep/"), kMsgCannotCopy);
  EXPECT_EQ(CopyEntries(d, {"top.WV8"}, d), kMsgCannotCopy);
  EXPECT_EQ(CopyEntries(d, {"top.WV8"}, d + "none/"), kMsgCannotCopy);
  EXPECT_TRUE(std::filesystem::exists(d + "top.WV8"));

  EXPECT_EQ(DeleteEntries(d, {"src", "top.WV8"}), 0);
  EXPECT_FALSE(std::filesystem::exists(d + "src"));
  EXPECT_FALSE(std::filesystem::exists(d + "top.WV8"));
  EXPECT_TRUE(std::filesystem::exists(d + "dest/src/deep/er/x.WV8"));
}

}  // namespace
}  // namespace vq
