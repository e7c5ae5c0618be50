// The File Transfer parts that need no analyzer: catalogue reading, the list order and its
// columns, the analyzer and PC paths with the names refused, and the numbered log.
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "link/file_transfer.h"
#include "support/instrument_fixture.h"

namespace vq {
namespace {

std::vector<std::string> Names(const std::vector<TransferEntry>& entries) {
  std::vector<std::string> names;
  for (const TransferEntry& e : entries) names.push_back(e.name);
  return names;
}

TEST(TransferCatalogue, SkipsTwoFieldsEndsAtCrAndCutsLongNames) {
  std::vector<TransferEntry> out;
  const std::string longName(300, 'n');
  EXPECT_EQ(ParseCatalogue("1024,99999,A.TXT,b\nC," + longName + "\r\nAFTER", kTransferFile, out,
                           kAnalyzerListEntries),
            4u);
  ASSERT_EQ(out.size(), 4u);
  EXPECT_EQ(Names(out), (std::vector<std::string>{"A.TXT", "b", "C", longName.substr(0, 259)}));
  EXPECT_EQ(out[0].typeText, "TXT File");
  EXPECT_EQ(out[1].typeText, "File");
  EXPECT_EQ(out[0].kind, kTransferFile);
  // Used and free bytes only, or an empty folder's catalogue ended by its terminator.
  out.clear();
  EXPECT_EQ(ParseCatalogue("0,1000\r\n", kTransferFolder, out, kAnalyzerListEntries), 0u);
  EXPECT_EQ(ParseCatalogue("0,1000,\r\n", kTransferFolder, out, kAnalyzerListEntries), 0u);
  EXPECT_EQ(ParseCatalogue("", kTransferFolder, out, kAnalyzerListEntries), 0u);
  EXPECT_TRUE(out.empty());
}

TEST(TransferCatalogue, FoldersAndFilesTogetherStopAt4095Names) {
  std::string folders = "0,0", files = "0,0";
  for (int i = 0; i < 96; ++i) folders += ",D" + std::to_string(i);
  for (int i = 0; i < 4000; ++i) files += ",F" + std::to_string(i) + ".DAT";
  std::vector<TransferEntry> out;
  EXPECT_EQ(ParseCatalogue(folders + "\r\n", kTransferFolder, out, kAnalyzerListEntries), 96u);
  EXPECT_EQ(ParseCatalogue(files + "\r\n", kTransferFile, out, kAnalyzerListEntries), 3999u);
  ASSERT_EQ(out.size(), 4095u);
  EXPECT_EQ(out.back().name, "F3998.DAT");
}

TEST(TransferList, OrderColumnsAndDates) {
  std::vector<TransferEntry> entries;
  const auto add = [&](std::string name, int32_t kind, uint32_t size = 0) {
    entries.push_back({name, TransferTypeText(name, kind), "", kind, size, false});
  };
  add("b.csv", kTransferFile, 1025);
  add("Zeta", kTransferFolder);
  add("A.wv8", kTransferFile, 1024);
  add("..", kTransferFolder);
  add("alpha", kTransferFolder);
  add("empty.", kTransferFile, 0);
  SortTransferEntries(entries);
  EXPECT_EQ(Names(entries),
            (std::vector<std::string>{"..", "alpha", "Zeta", "A.wv8", "b.csv", "empty."}));
  EXPECT_EQ(entries[1].typeText, "File Folder");
  EXPECT_EQ(entries[4].typeText, "csv File");
  EXPECT_EQ(entries[5].typeText, "File");
  EXPECT_EQ(TransferSizeText(entries[3]), "1 KB");
  EXPECT_EQ(TransferSizeText(entries[4]), "2 KB");
  EXPECT_EQ(TransferSizeText(entries[5]), "0 KB");
  EXPECT_EQ(TransferSizeText(entries[1]), "");
  TransferEntry big{"big", "File", "", kTransferFile, 0xFFFFFFFFu, false};
  EXPECT_EQ(TransferSizeText(big), "4194304 KB");
  EXPECT_EQ(AnalyzerDateText("2026,01,15,09,30,00\r\n"), "2026/01/15 09:30:00");
  EXPECT_EQ(AnalyzerDateText("2026,01,15"), "2026/01/15");
}

TEST(TransferPaths, RemotePathsHaveOneBackslashAndAStrictLimit) {
  std::string path;
  EXPECT_TRUE(RemotePath("INT:\\", "A.TXT", path));
  EXPECT_EQ(path, "e:\\user\\A.TXT");
  EXPECT_TRUE(RemotePath("INT:\\DATA\\SUB", "A.TXT", path));
  EXPECT_EQ(path, "e:\\user\\DATA\\SUB\\A.TXT");
  EXPECT_TRUE(RemotePath("EXT:\\LOG\\", "x", path));
  EXPECT_EQ(path, "f:\\LOG\\x");
  EXPECT_TRUE(RemotePath("ext:\\", "x", path));
  EXPECT_EQ(path, "f:\\x");
  // "e:\user\" is 8 characters: a 250-character name makes 258, one more makes 259.
  EXPECT_TRUE(RemotePath("INT:\\", std::string(250, 'a'), path));
  EXPECT_FALSE(RemotePath("INT:\\", std::string(251, 'a'), path));
}

TEST(TransferPaths, HostileNamesNeverLeaveThePcFolder) {
  TempFolder outside, base;
  const std::string folder = base.Path() + "pc/";
  std::filesystem::create_directory(folder);
  std::filesystem::create_directory_symlink(outside.Path(), folder + "away");
  std::ofstream(outside.Path() + "target") << "outside";
  std::filesystem::create_symlink(outside.Path() + "target", folder + "link.txt");
  std::string path;
  for (const std::string& bad :
       {std::string(".."), std::string("."), std::string(""), std::string("../escape.txt"),
        std::string("a/b.txt"), std::string("sub\\x.txt"), std::string("/etc/passwd"),
        std::string("\\abs.txt"), std::string("away"), std::string("link.txt"),
        std::string("cr\rname"), std::string(259, 'a')}) {
    EXPECT_FALSE(LocalPath(folder, bad, path)) << bad;
  }
  EXPECT_TRUE(LocalPath(folder, "a..b.txt", path));
  EXPECT_EQ(path, folder + "a..b.txt");
  // The whole local path counts against the 259-character limit.
  const std::string room(258 - folder.size(), 'x');
  EXPECT_TRUE(LocalPath(folder, room, path));
  EXPECT_FALSE(LocalPath(folder, room + "x", path));
}

class TransferLogTest : public InstrumentTest {};

TEST_F(TransferLogTest, KeepsTheNewestThousandLinesAndNeverRenumbers) {
  for (int i = 1; i <= 1001; ++i) AddTransferLog("line " + std::to_string(i));
  const TransferLog& log = g().transfer.log;
  ASSERT_EQ(log.lines.size(), 1000u);
  EXPECT_EQ(log.lines.front(), " 2:   line 2");
  EXPECT_EQ(log.lines.back(), " 1001:   line 1001");
  g().transfer.log.lines.clear();  // a new window shows an empty log; the numbers run on
  AddTransferLog("Download file ok...[INT:\\A]");
  EXPECT_EQ(log.lines.back(), " 1002:   Download file ok...[INT:\\A]");
}

}  // namespace
}  // namespace vq
