// File transfer through the window's own functions against the simulator's file system: the
// FileTransfer command's connection, memory selection, download and upload with the overwrite
// answers, the 1 MB limit, hostile catalogue names, a transfer broken in the middle, a full
// catalogue, and delete and new folder on both sides.
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "link/connection.h"
#include "link/file_transfer.h"
#include "link/link.h"
#include "support/instrument_fixture.h"
#include "support/vqsim_process.h"

namespace fs = std::filesystem;

namespace vq {
namespace {

void WriteFile(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class TransferTest : public InstrumentTest {
 protected:
  // The simulator with `seed` copied into INT's top folder, and the PC folder "pc/".
  void StartSim(std::vector<std::string> args) {
    args.insert(args.end(), {"--files", analyzerSeed.Path(), "--log", home.Path() + "sim.log"});
    sim = std::make_unique<VqsimProcess>(args);
    ASSERT_NE(sim->port(), 0) << sim->firstLine();
    pc = work.Path() + "pc/";
    fs::create_directories(pc);
  }
  ConnectFields Fields() const {
    return {"127.0.0.1", std::to_string(sim->port()), "user", "pass"};
  }
  // Connected as FileTransfer connects, the window's lists read, the PC side on "pc/".
  void Open() {
    Start();
    host.connectAnswers = {Fields()};
    ConnectCommand(kCmdFileTransfer);
    ASSERT_EQ(g().link.connected, 1);
    ASSERT_TRUE(OpenTransfer());
    host.browseAnswers = {pc};
    BrowsePcFolder();
    ASSERT_EQ(g().transfer.pcFolder, pc);
  }
  void Download(const std::vector<std::string>& names) {
    ASSERT_TRUE(SelectNames(TransferSide::Analyzer, names).empty());
    DownloadCommand();
  }
  void Upload(const std::vector<std::string>& names) {
    ListPc();
    ASSERT_TRUE(SelectNames(TransferSide::Pc, names).empty());
    UploadCommand();
  }
  bool Logged(const std::string& text) const {
    const auto& lines = GInstrument->transfer.log.lines;
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.ends_with(":   " + text); });
  }
  const TransferEntry* Analyzer(const std::string& name) const {
    for (const TransferEntry& e : GInstrument->transfer.analyzer.entries) {
      if (e.name == name) return &e;
    }
    return nullptr;
  }
  std::vector<std::string> SimLog() {
    std::ifstream in(home.Path() + "sim.log", std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  TempFolder analyzerSeed, work;
  std::string pc;
  std::unique_ptr<VqsimProcess> sim;
};

TEST_F(TransferTest, FileTransferCommandHasItsOwnConnectionAndMemorySelection) {
  WriteFile(analyzerSeed.Path() + "DATA/T1.CSV", "1,2,3\r\n");
  StartSim({"--no-usb"});
  Start();
  host.connectAnswers = {Fields()};
  TransferMemory afterExt = TransferMemory::Ext;
  std::string inData, afterUp;
  bool hadUp = false;
  host.transferScript = [&] {
    afterExt = SelectMemory(TransferMemory::Ext) ? CurrentMemory() : TransferMemory::Ext;
    OpenFolder(TransferSide::Analyzer, "DATA");
    inData = g().transfer.analyzerDirectory;
    hadUp = !g().transfer.analyzer.entries.empty() && g().transfer.analyzer.entries[0].name == "..";
    GoUp(TransferSide::Analyzer);
    afterUp = g().transfer.analyzerDirectory;
  };
  WindowProc(WM_COMMAND, kCmdFileTransfer, 0);
  EXPECT_EQ(host.transferWindows, 1);
  // Without USB storage EXT is refused and the memory stays INT.
  EXPECT_EQ(afterExt, TransferMemory::Int);
  EXPECT_EQ(inData, "INT:\\DATA");
  EXPECT_TRUE(hadUp);
  EXPECT_EQ(afterUp, "INT:\\");
  // The connection made for the window ends with it, without handing settings back.
  EXPECT_EQ(g().link.connected, 0);
  EXPECT_EQ(host.statusTexts[1], "Status: DISCONNECT");
  sim->Stop();
  const std::vector<std::string> log = SimLog();
  const auto has = [&](const std::string& part) {
    return std::any_of(log.begin(), log.end(),
                       [&](const std::string& l) { return l.find(part) != std::string::npos; });
  };
  EXPECT_TRUE(has(":MMEM:REMove?"));
  EXPECT_FALSE(has(":MMEM:CDR EXT"));
  EXPECT_TRUE(has("TESTMODEEND"));
  EXPECT_FALSE(has("filewrite"));   // no settings hand-back
  EXPECT_FALSE(has(":MMEM:STOR"));  // no first synchronisation
}

TEST_F(TransferTest, DownloadWithYesAllOverwritesEveryFurtherFileAndTakesFolders) {
  const std::string exact(1048576, 'x');
  WriteFile(analyzerSeed.Path() + "A.TXT", "new A");
  WriteFile(analyzerSeed.Path() + "B.TXT", "new B");
  WriteFile(analyzerSeed.Path() + "C.TXT", "new C");
  WriteFile(analyzerSeed.Path() + "EXACT.BIN", exact);
  WriteFile(analyzerSeed.Path() + "HUGE.BIN", exact + "y");
  WriteFile(analyzerSeed.Path() + "SUB/D.TXT", "deep D");
  StartSim({});
  Open();
  WriteFile(pc + "A.TXT", "old A");
  WriteFile(pc + "B.TXT", "old B");
  WriteFile(pc + "SUB/D.TXT", "old D");
  ASSERT_NE(Analyzer("EXACT.BIN"), nullptr);
  EXPECT_EQ(Analyzer("EXACT.BIN")->size, 1048576u);
  EXPECT_EQ(TransferSizeText(*Analyzer("HUGE.BIN")), "1025 KB");

  host.overwriteAnswers = {OverwriteChoice::YesAll};
  Download({"A.TXT", "B.TXT", "C.TXT", "EXACT.BIN", "SUB"});
  // One question (the folder comes first in the list), answered Yes All: every further file,
  // inside the folder and beside it, is overwritten without asking.
  ASSERT_EQ(host.overwriteQuestions.size(), 1u);
  EXPECT_EQ(host.overwriteQuestions[0], "This folder already exist.|" + pc + "SUB");
  EXPECT_EQ(ReadFile(pc + "A.TXT"), "new A");
  EXPECT_EQ(ReadFile(pc + "B.TXT"), "new B");
  EXPECT_EQ(ReadFile(pc + "C.TXT"), "new C");
  EXPECT_EQ(ReadFile(pc + "EXACT.BIN"), exact);  // exactly 1 MB passes
  EXPECT_EQ(ReadFile(pc + "SUB/D.TXT"), "deep D");
  EXPECT_TRUE(Logged("    DOWNLOAD START"));
  EXPECT_TRUE(Logged("Download file ok...[INT:\\A.TXT]"));
  EXPECT_TRUE(Logged("folder already exist. not make folder...[" + pc + "SUB]"));
  EXPECT_TRUE(Logged("Download file ok...[INT:\\SUB\\D.TXT]"));
  EXPECT_TRUE(Logged("   Total 6 file(s) and/or folder(s) download."));
  EXPECT_EQ(g().transfer.errors, 0);
  // Back in the top folder on both sides.
  EXPECT_EQ(g().transfer.analyzerDirectory, "INT:\\");
  EXPECT_EQ(g().transfer.pcFolder, pc);

  // One byte over 1 MB is refused before anything is read; No skips and asks again next time.
  host.boxes.clear();
  Download({"HUGE.BIN"});
  EXPECT_FALSE(fs::exists(pc + "HUGE.BIN"));
  EXPECT_TRUE(Logged("Can't download. File size over 1MB...[e:\\user\\HUGE.BIN]"));
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text,
            "Error: Can't download. File size over 1MB...  \n[e:\\user\\HUGE.BIN]");
  EXPECT_EQ(host.boxes[0].caption, "Error");
  EXPECT_EQ(g().transfer.errors, 1);
  host.overwriteAnswers = {OverwriteChoice::No, OverwriteChoice::Cancel};
  Download({"A.TXT", "B.TXT", "C.TXT"});
  EXPECT_TRUE(Logged("Not download...[INT:\\A.TXT]"));
  EXPECT_TRUE(Logged("Download cancel."));
  EXPECT_EQ(host.overwriteQuestions.size(), 3u);  // C.TXT was never reached
  EXPECT_FALSE(Logged("   Total 0 file(s) and/or folder(s) download."));
}

TEST_F(TransferTest, UploadEndsAtASameNameFolderAndCarriesFoldersByteForByte) {
  WriteFile(analyzerSeed.Path() + "X/KEEP.TXT", "keep");
  WriteFile(analyzerSeed.Path() + "Y.TXT", "analyzer Y");
  StartSim({});
  Open();
  WriteFile(pc + "X", "a file named like the analyzer's folder");
  WriteFile(pc + "Y.TXT", "pc Y");
  Upload({"X", "Y.TXT"});
  EXPECT_TRUE(Logged("Can't upload. Same name folder already exist...[e:\\user\\X]"));
  EXPECT_TRUE(host.overwriteQuestions.empty());  // the upload ended before Y.TXT
  EXPECT_EQ(g().transfer.errors, 1);

  // A tree with binary bytes, the 1 MB file, and one byte more.
  std::string binary;
  for (int i = 0; i < 256; ++i) binary += static_cast<char>(i);
  WriteFile(pc + "TREE/BIN.DAT", binary + "\r\n" + binary);
  WriteFile(pc + "TREE/INNER/EXACT.BIN", std::string(1048576, 'e'));
  WriteFile(pc + "OVER.BIN", std::string(1048577, 'o'));
  Upload({"TREE", "Y.TXT"});
  EXPECT_EQ(host.overwriteQuestions,
            std::vector<std::string>{"This file already exist.|e:\\user\\Y.TXT"});
  EXPECT_TRUE(Logged("make folder...[e:\\user\\TREE]"));
  EXPECT_TRUE(Logged("Upload file ok...[e:\\user\\TREE\\INNER\\EXACT.BIN]"));
  EXPECT_TRUE(Logged("   Total 5 file(s) and/or folder(s) upload."));
  Upload({"OVER.BIN"});
  EXPECT_TRUE(Logged("Can't upload. File size over 1MB...[" + pc + "OVER.BIN]"));
  EXPECT_EQ(Analyzer("OVER.BIN"), nullptr);

  // Downloaded again elsewhere, every byte is as it was sent.
  const std::string back = work.Path() + "back/";
  fs::create_directories(back);
  host.browseAnswers = {back};
  BrowsePcFolder();
  Download({"TREE", "Y.TXT"});
  EXPECT_EQ(ReadFile(back + "TREE/BIN.DAT"), binary + "\r\n" + binary);
  EXPECT_EQ(ReadFile(back + "TREE/INNER/EXACT.BIN"), std::string(1048576, 'e'));
  EXPECT_EQ(ReadFile(back + "Y.TXT"), "pc Y");
}

TEST_F(TransferTest, HostileCatalogueNamesAreRefusedAndNothingIsWrittenOutside) {
  WriteFile(analyzerSeed.Path() + "OK.TXT", "fine");
  StartSim({"--fault", "hostile-names"});
  Open();
  EXPECT_GT(g().transfer.errorLines, 0);
  EXPECT_TRUE(Logged("Illegal file name. Not listed...[../escape.txt]"));
  EXPECT_TRUE(Logged("Illegal file name. Not listed...[/etc/passwd]"));
  for (const TransferEntry& e : g().transfer.analyzer.entries) {
    EXPECT_TRUE(e.name == ".." || SafeAnalyzerName(e.name)) << e.name;
  }
  EXPECT_FALSE(SelectNames(TransferSide::Analyzer, {"../escape.txt"}).empty());
  // Everything listed goes down; the work folder holds the PC folder and nothing else.
  for (TransferEntry& e : g().transfer.analyzer.entries) e.selected = e.name != "..";
  DownloadCommand();
  EXPECT_EQ(ReadFile(pc + "OK.TXT"), "fine");
  std::vector<std::string> outside;
  for (const auto& entry : fs::recursive_directory_iterator(work.Path())) {
    const std::string path = entry.path().string();
    if (path.rfind(pc, 0) != 0 && path + "/" != pc) outside.push_back(path);
  }
  EXPECT_TRUE(outside.empty()) << outside[0];
  for (const auto& entry : fs::directory_iterator(pc)) {
    EXPECT_TRUE(SafeAnalyzerName(entry.path().filename().string())) << entry.path();
  }
}

TEST_F(TransferTest, ATransferBrokenInTheMiddleLeavesTheOldFileWhole) {
  WriteFile(analyzerSeed.Path() + "A.TXT", std::string(200000, 'n'));
  StartSim({"--fault", "close-mid-reply=fileread?"});
  Open();
  WriteFile(pc + "A.TXT", "old contents");
  Download({"A.TXT"});
  EXPECT_EQ(ReadFile(pc + "A.TXT"), "old contents");
  EXPECT_TRUE(Logged("Communication error...[INT:\\A.TXT]"));
  EXPECT_TRUE(g().transfer.closeRequested);
  EXPECT_EQ(g().link.connected, 0);
  // Nothing written aside is left behind.
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(pc)) names.push_back(entry.path().filename());
  EXPECT_EQ(names, std::vector<std::string>{"A.TXT"});
}

TEST_F(TransferTest, ACatalogueOf4096NamesLists4095) {
  StartSim({"--catalogue-size", "4096"});
  Open();
  const auto& entries = g().transfer.analyzer.entries;
  EXPECT_EQ(entries.size(), 4095u);
  EXPECT_EQ(entries.front().name, "GEN00000.TXT");
  EXPECT_EQ(entries.front().dateText.size(), 19u);
}

TEST_F(TransferTest, DeleteAndNewFolderOnBothSidesWithTheirButtons) {
  WriteFile(analyzerSeed.Path() + "FULL/IN.TXT", "in");
  WriteFile(analyzerSeed.Path() + "GONE.TXT", "gone");
  StartSim({});
  Open();
  EXPECT_FALSE(TransferButtonStates().newFolder);  // no list has the focus yet

  SetTransferFocus(TransferSide::Analyzer);
  host.folderNameAnswers = {std::string("NEWF")};
  NewFolderCommand();
  EXPECT_TRUE(Logged("make new folder. [NEWF]"));
  ASSERT_NE(Analyzer("NEWF"), nullptr);
  EXPECT_EQ(Analyzer("NEWF")->kind, kTransferFolder);

  SelectNames(TransferSide::Analyzer, {"GONE.TXT", "NEWF"});
  TransferButtons buttons = TransferButtonStates();
  EXPECT_TRUE(buttons.download && buttons.remove && buttons.newFolder && !buttons.upload);
  host.boxAnswers = {BoxAnswer::Cancel};
  DeleteCommand();
  EXPECT_NE(Analyzer("GONE.TXT"), nullptr);
  host.boxAnswers = {BoxAnswer::Ok};
  DeleteCommand();
  EXPECT_EQ(Analyzer("GONE.TXT"), nullptr);
  EXPECT_EQ(Analyzer("NEWF"), nullptr);
  EXPECT_TRUE(Logged("   2 file(s) and/or folder(s) delete."));

  // A folder that still holds a file: the analyzer's error, and the stop.
  host.boxes.clear();
  SelectNames(TransferSide::Analyzer, {"FULL"});
  host.boxAnswers = {BoxAnswer::Ok};
  DeleteCommand();
  EXPECT_TRUE(Logged("Error: Illegal directory name" + std::string(14, ' ')));
  EXPECT_TRUE(Logged("can't delete...[FULL]"));
  EXPECT_TRUE(Logged("   1 file(s) and/or folder(s) can't delete."));
  ASSERT_FALSE(host.boxes.empty());
  EXPECT_EQ(host.boxes.back().caption, "Error");

  // The PC side.
  SetTransferFocus(TransferSide::Pc);
  host.folderNameAnswers = {std::string("LOCAL")};
  NewFolderCommand();
  EXPECT_TRUE(fs::is_directory(pc + "LOCAL"));
  WriteFile(pc + "LOCAL/x.txt", "x");
  ListPc();
  SelectNames(TransferSide::Pc, {"LOCAL"});
  ClearSelection(TransferSide::Analyzer);
  buttons = TransferButtonStates();
  EXPECT_TRUE(buttons.upload && buttons.remove && !buttons.download);
  host.boxAnswers = {BoxAnswer::Ok};
  DeleteCommand();
  EXPECT_FALSE(fs::exists(pc + "LOCAL"));
  host.folderNameAnswers = {std::string("bad/name")};
  NewFolderCommand();
  EXPECT_TRUE(Logged("Error: Can't make directory."));
}

}  // namespace
}  // namespace vq
