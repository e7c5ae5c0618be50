// Tests of the simulator's file system over loopback: folders and files made, listed, sized,
// dated, changed into and deleted on both drives, the file error numbers, a full drive and the
// hostile names of the catalogue.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "platform/md5.h"
#include "support/instrument_fixture.h"
#include "support/loopback_client.h"
#include "support/text_files.h"
#include "support/vqsim_process.h"

namespace vq {
namespace {

std::string Chomp(std::string s) {
  while (!s.empty() && (s.back() == '\r' || s.back() == '\n')) s.pop_back();
  return s;
}

// A logged-in connection to a simulator started with `args`, in the standard command set.
class FsSession {
 public:
  explicit FsSession(const std::vector<std::string>& args) : sim_(args), c_(sim_.port()) {
    c_.Send(" ");
    c_.Query("open \"user\"");
    const std::string challenge = Chomp(c_.Query("AUTHENTICATE CRAM-MD5 OK."));
    ready_ = Chomp(c_.Query(Md5Hex(challenge + "pass"))) == "ready";
  }
  bool ready() const { return ready_; }

  std::string Ask(const std::string& query) { return Chomp(c_.Query(query)); }
  void Tell(const std::string& command) { c_.Send(command + "\r\n"); }

  // The next error queue entry's number ("0" when the queue is empty).
  std::string NextError() {
    const std::string entry = Ask(":syst:err?");
    return entry.substr(0, entry.find(','));
  }

  // Writes a file as the viewer uploads one (older command set, "BINSENDON" first); back in the
  // standard set afterwards. Whether the status byte that followed reports a queued error.
  bool FileWriteFails(const std::string& path, const std::string& bytes) {
    Tell(":SYST:COMM:CFOR 0");
    Tell("BINSENDON");
    const std::string size = std::to_string(bytes.size());
    Tell("filewrite '" + path + "',#" + std::to_string(size.size()) + size + bytes);
    const int status = std::stoi(Ask("SPOLL?"));
    Tell("CFORM 1");
    return (status & 4) != 0;
  }

  // The block "fileread?" answers, or the text line when none came.
  std::string FileRead(const std::string& path) {
    Tell(":SYST:COMM:CFOR 0");
    const std::string reply = c_.Query("fileread? '" + path + "'");
    Tell("CFORM 1");
    return reply;
  }

 private:
  VqsimProcess sim_;
  LoopbackClient c_;
  bool ready_ = false;
};

std::string Block(const std::string& bytes) {
  const std::string size = std::to_string(bytes.size());
  return "#" + std::to_string(size.size()) + size + bytes + "\r\n";
}

// The fields of a catalogue reply after the used and free bytes.
std::vector<std::string> Names(const std::string& catalogue) {
  std::vector<std::string> fields(1);
  for (char ch : catalogue) {
    if (ch == ',') {
      fields.emplace_back();
    } else {
      fields.back() += ch;
    }
  }
  return {fields.begin() + std::min<size_t>(2, fields.size()), fields.end()};
}

using Strings = std::vector<std::string>;

TEST(VqsimFs, FoldersAndFilesMadeListedSizedDatedChangedIntoAndDeleted) {
  TempFolder host;
  std::filesystem::create_directories(host.Path() + "Data/Sub");
  WriteText(host.Path() + "Notes.txt", "hello");
  WriteText(host.Path() + "Data/b.bin", std::string("\0\r\n", 3));
  FsSession s({"--files", host.Path(), "--storage-bytes", "1000"});
  ASSERT_TRUE(s.ready());

  EXPECT_EQ(s.Ask(":MMEM:CDIR?"), "INT:\\");
  EXPECT_EQ(s.Ask(":MMEM:CAT:DIR?"), "8,992,Data");
  EXPECT_EQ(s.Ask(":MMEM:CAT:FILE?"), "8,992,Notes.txt");
  EXPECT_EQ(s.Ask(":MMEM:FSIZ? \"NOTES.TXT\""), "5") << "names compare without case";
  EXPECT_EQ(s.Ask(":MMEM:FDATE? \"Notes.txt\""), "2026,01,15,09,30,00");

  // New folders list in the order made, after the seeded one; a second of the same name fails.
  s.Tell(":MMEM:MDIR \"Zeta\"");
  s.Tell(":MMEM:MDIR \"alpha\"");
  s.Tell(":MMEM:MDIR \"ZETA\"");
  s.Tell(":MMEM:MDIR \"a*b\"");
  s.Tell(":MMEM:MDIR \"notes.txt\"");
  EXPECT_EQ(s.Ask(":MMEM:CAT:DIR?"), "8,992,Data,Zeta,alpha");
  EXPECT_EQ(s.NextError(), "126");
  EXPECT_EQ(s.NextError(), "125");
  EXPECT_EQ(s.NextError(), "127");
  EXPECT_EQ(s.NextError(), "0");
  EXPECT_TRUE(std::regex_match(s.Ask(":MMEM:FDATE? \"alpha\""),
                               std::regex(R"(\d{4},\d\d,\d\d,\d\d,\d\d,\d\d)")));
  s.Tell(":MMEM:CDIR \"alpha\"");
  s.Tell(":MMEM:DEL \"\"");
  EXPECT_EQ(s.NextError(), "123") << "an empty name is not the current folder";
  EXPECT_EQ(s.Ask(":MMEM:CDIR?"), "INT:\\alpha");
  s.Tell(":MMEM:CDIR \"..\"");

  // Every form of a folder text the viewer sends; the case shown is the one the folder was made
  // with; a missing folder leaves the current one.
  s.Tell(":MMEM:CDIR \"DATA\"");
  EXPECT_EQ(s.Ask(":MMEM:CDIR?"), "INT:\\Data");
  s.Tell(":MMEM:CDIR \"sub\\\"");
  EXPECT_EQ(s.Ask(":MMEM:CDIR?"), "INT:\\Data\\Sub");
  s.Tell(":MMEM:CDIR \"nowhere\"");
  EXPECT_EQ(s.Ask(":MMEM:CDIR?"), "INT:\\Data\\Sub");
  EXPECT_EQ(s.NextError(), "124");
  s.Tell(":MMEM:CDIR \"INT:\\Data\\\"");
  EXPECT_EQ(s.Ask(":MMEM:CDIR?"), "INT:\\Data");
  EXPECT_EQ(s.Ask(":MMEM:CAT:FILE?"), "8,992,b.bin");
  s.Tell(":MMEM:CDIR \"\\\"");
  EXPECT_EQ(s.Ask(":MMEM:CDIR?"), "INT:\\");
  s.Tell(":MMEM:CDIR \"\\Data\\Sub\"");
  EXPECT_EQ(s.Ask(":MMEM:CDIR?"), "INT:\\Data\\Sub");

  // A file written below a folder by its full path; the top's doubled backslash is one.
  EXPECT_FALSE(s.FileWriteFails("e:\\user\\\\data\\SUB\\New.dat", "abc;\r\n\"x"));
  EXPECT_EQ(s.Ask(":MMEM:CAT:FILE?"), "16,984,New.dat");
  EXPECT_EQ(s.FileRead("e:\\user\\\\Data\\Sub\\new.DAT"), Block("abc;\r\n\"x"));
  EXPECT_EQ(s.FileRead("e:\\user\\\\Data\\Sub"), "\r\n") << "a folder is no file";
  EXPECT_EQ(s.NextError(), "123");
  s.Tell(":SYST:COMM:CFOR 0");
  EXPECT_EQ(s.Ask("FSIZE? 'new.dat'"), "8");
  s.Tell("CFORM 1");
  EXPECT_TRUE(s.FileWriteFails("e:\\user\\Nowhere\\x.dat", "x")) << "a missing folder is refused";
  EXPECT_EQ(s.NextError(), "124");

  // Deleting: a file, then the emptied folder; a folder that holds entries stays.
  s.Tell(":MMEM:CDIR \"INT:\\Data\"");
  s.Tell(":MMEM:DEL \"Sub\"");
  EXPECT_EQ(s.NextError(), "124");
  s.Tell(":MMEM:DEL \"Sub\\new.dat\"");
  s.Tell(":MMEM:DEL \"sub\"");
  EXPECT_EQ(s.Ask("*OPC?"), "1");
  EXPECT_EQ(s.NextError(), "0");
  EXPECT_EQ(s.Ask(":MMEM:CAT:DIR?"), "8,992");
  s.Tell(":MMEM:DEL \"sub\"");
  EXPECT_EQ(s.NextError(), "123");
  EXPECT_EQ(s.Ask(":MMEM:FSIZ? \"gone.txt\""), "0");
  EXPECT_EQ(s.Ask(":MMEM:FDATE? \"gone.txt\"").size(), 19u);
  EXPECT_EQ(s.Ask(":syst:err?"), "123,\"File not found\"");
  EXPECT_EQ(s.NextError(), "123");

  // The synchronisation's store and delete name the internal memory's top, whatever is current.
  s.Tell(":MMEM:STOR:TRAC TRA,BIN,\"\\$$$T\",int");
  EXPECT_EQ(s.NextError(), "129") << "a trace file does not fit in 1000 bytes";
  s.Tell(":MMEM:DEL \"\\notes.txt\",int");
  EXPECT_EQ(s.NextError(), "0");
  s.Tell(":MMEM:CDIR \"\\\"");
  EXPECT_EQ(s.Ask(":MMEM:CAT:FILE?"), "3,997");
}

TEST(VqsimFs, UsbStorageComesAndGoesWithItsDrive) {
  FsSession none({"--no-usb"});
  ASSERT_TRUE(none.ready());
  EXPECT_EQ(none.Ask(":MMEM:REMove?"), "0");
  none.Tell(":MMEM:CDR EXT");
  EXPECT_EQ(none.Ask(":MMEM:CDIR?"), "INT:\\");
  EXPECT_EQ(none.NextError(), "120");
  none.Tell(":MMEM:CDIR \"EXT:\\\"");
  EXPECT_EQ(none.Ask(":MMEM:CDIR?"), "INT:\\");
  EXPECT_EQ(none.NextError(), "120");
  EXPECT_TRUE(none.FileWriteFails("f:\\\\a.txt", "a"));
  EXPECT_EQ(none.NextError(), "120");

  TempFolder host;
  WriteText(host.Path() + "On USB.csv", "1,2\r\n");
  FsSession usb({"--ext-files", host.Path(), "--ext-storage-bytes", "4096"});
  ASSERT_TRUE(usb.ready());
  EXPECT_EQ(usb.Ask(":MMEM:REMove?"), "1");
  usb.Tell(":MMEM:MDIR \"OnInt\"");
  usb.Tell(":MMEM:CDR EXT");
  EXPECT_EQ(usb.Ask(":MMEM:CDIR?"), "EXT:\\");
  EXPECT_EQ(usb.Ask(":MMEM:CAT:DIR?"), "5,4091");
  EXPECT_EQ(usb.Ask(":MMEM:CAT:FILE?"), "5,4091,On USB.csv");
  EXPECT_EQ(usb.FileRead("f:\\\\on usb.csv"), Block("1,2\r\n"));
  EXPECT_FALSE(usb.FileWriteFails("f:\\\\Second.txt", "xy"));
  EXPECT_EQ(usb.Ask(":MMEM:CAT:FILE?"), "7,4089,On USB.csv,Second.txt");
  usb.Tell(":MMEM:CDIR \"INT:\\OnInt\"");
  EXPECT_EQ(usb.Ask(":MMEM:CDIR?"), "INT:\\OnInt");
  usb.Tell(":MMEM:CDR EXT");
  usb.Tell(":MMEM:CDR INT");
  EXPECT_EQ(usb.Ask(":MMEM:CDIR?"), "INT:\\") << "a drive is selected at its top";
  EXPECT_EQ(usb.NextError(), "0");
}

TEST(VqsimFs, FileThatDoesNotFitIsRefusedWhole) {
  FsSession s({"--storage-bytes", "100"});
  ASSERT_TRUE(s.ready());
  EXPECT_FALSE(s.FileWriteFails("e:\\user\\\\a.bin", std::string(60, 'a')));
  EXPECT_TRUE(s.FileWriteFails("e:\\user\\\\b.bin", std::string(41, 'b')));
  EXPECT_EQ(s.Ask(":syst:err?"), "129,\"Storage full\"");
  EXPECT_EQ(s.Ask(":MMEM:CAT:FILE?"), "60,40,a.bin");
  // Overwriting counts the old file's bytes as freed; a refused overwrite keeps the old bytes.
  EXPECT_FALSE(s.FileWriteFails("e:\\user\\\\A.BIN", std::string(100, 'c')));
  EXPECT_TRUE(s.FileWriteFails("e:\\user\\\\a.bin", std::string(101, 'd')));
  EXPECT_EQ(s.NextError(), "129");
  EXPECT_EQ(s.Ask(":MMEM:CAT:FILE?"), "100,0,a.bin");
  EXPECT_EQ(s.FileRead("e:\\user\\\\a.bin"), Block(std::string(100, 'c')));
}

TEST(VqsimFs, HostileNamesFollowAGeneratedCatalogue) {
  FsSession s({"--catalogue-size", "4096", "--fault", "hostile-names"});
  ASSERT_TRUE(s.ready());
  const std::string catalogue = s.Ask(":MMEM:CAT:FILE?");
  const Strings names = Names(catalogue);
  ASSERT_EQ(names.size(), 4096u + 8u);
  EXPECT_EQ(names[0], "GEN00000.TXT");
  EXPECT_EQ(names[4095], "GEN04095.TXT");
  const std::string longName = std::string(296, 'L') + ".txt";
  EXPECT_EQ(Strings(names.begin() + 4096, names.end()),
            (Strings{"..", "../escape.txt", "a/b.txt", "sub\\x.txt", "/etc/passwd", "\\abs.txt", "",
                     longName}));
  EXPECT_EQ(catalogue.substr(0, catalogue.find(',', catalogue.find(',') + 1)),
            std::to_string(4096 * 29) + "," + std::to_string((64 << 20) - 4096 * 29));
  EXPECT_EQ(Names(s.Ask(":MMEM:CAT:DIR?")), Strings{}) << "hostile names are files only";

  // Each answers its queries as an ordinary file does, so only the viewer's check stays.
  for (const std::string& name : {std::string("../escape.txt"), std::string(""), longName}) {
    EXPECT_EQ(s.Ask(":MMEM:FDATE? \"" + name + "\""), "2026,01,15,09,30,00") << name;
    EXPECT_EQ(s.Ask(":MMEM:FSIZ? \"" + name + "\""), "37") << name;
  }
  EXPECT_EQ(s.FileRead("e:\\user\\\\../escape.txt"),
            Block("this name points outside its folder\r\n"));
  EXPECT_EQ(s.FileRead("e:\\user\\\\\\abs.txt"), Block("this name points outside its folder\r\n"));
  EXPECT_EQ(s.FileRead("e:\\user\\\\GEN04095.TXT"), Block("generated file GEN04095.TXT\r\n"));
  EXPECT_EQ(s.NextError(), "0");
}

}  // namespace
}  // namespace vq
