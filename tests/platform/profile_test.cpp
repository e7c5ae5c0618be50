// Tests of profile (ini) file lookups and edits.
#include "platform/profile.h"

#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/instrument_fixture.h"

namespace vq {
namespace {

namespace fs = std::filesystem;

class ProfileTest : public ::testing::Test {
 protected:
  void Put(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  std::string Contents() const {
    std::ifstream in(path_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::string Get(const std::string& section, const std::string& key) {
    return GetProfileString(section, key, "<default>", path_);
  }

  TempFolder dir_;
  const std::string path_ = dir_.Path() + "viewer.ini";
};

TEST_F(ProfileTest, ReadsValuesWithWindowsRulesForBothLineEnds) {
  const std::string text =
      "; comment\r\n[Folder]\r\n  TraceFolderNorm = /data/trace \r\nQuoted=\"  spaced  \"\r\n"
      "Single='x'\r\nHalf=\"open\r\n;Hidden=1\r\nEmpty=\r\nDup=first\r\nDup=second\r\n"
      "[ folder ]\r\nLate=1\r\n[Other]\r\nkey=other";
  for (const bool crlf : {true, false}) {
    std::string content = text;
    if (!crlf)
      for (size_t at; (at = content.find("\r\n")) != std::string::npos;) content.erase(at, 1);
    Put(content);
    SCOPED_TRACE(crlf ? "CR LF" : "LF");
    EXPECT_EQ(Get("FOLDER", "tracefoldernorm"), "/data/trace");
    EXPECT_EQ(Get("Folder", "Quoted"), "  spaced  ");
    EXPECT_EQ(Get("Folder", "Single"), "x");
    EXPECT_EQ(Get("Folder", "Half"), "\"open");
    EXPECT_EQ(Get("Folder", "Hidden"), "<default>");
    EXPECT_EQ(Get("Folder", ";Hidden"), "<default>");
    EXPECT_EQ(Get("Folder", "Empty"), "");
    EXPECT_EQ(Get("Folder", "Dup"), "first");
    EXPECT_EQ(Get("Folder", "Late"), "<default>");  // only the first matching section counts
    EXPECT_EQ(Get("other", "KEY"), "other");        // last line without a line end
    EXPECT_EQ(Get("Missing", "key"), "<default>");
    EXPECT_EQ(Get("Other", "missing"), "<default>");
  }
  EXPECT_EQ(GetProfileString("Folder", "Empty", "d", path_ + ".none"), "d");
}

TEST_F(ProfileTest, ReadsIntegersLikeWindows) {
  Put("[N]\na= 42\nb=-17\nc=+8\nd=0x1F\ne=12abc\nf=abc\ng=\nh=99999999999\ni=-99999999999\n"
      "j=\"7\"\nk=0X1fz\n");
  const std::pair<const char*, int> cases[] = {
      {"a", 42}, {"b", -17},     {"c", 8},       {"d", 31}, {"e", 12}, {"f", 0},
      {"g", 0},  {"h", INT_MAX}, {"i", INT_MIN}, {"j", 7},  {"k", 31}, {"missing", 5}};
  for (const auto& [key, expected] : cases)
    EXPECT_EQ(GetProfileInt("n", key, 5, path_), expected) << key;
  EXPECT_EQ(GetProfileInt("n", "a", 5, path_ + ".none"), 5);
}

TEST_F(ProfileTest, WriteReplacesInPlaceAndKeepsEveryOtherByte) {
  const std::string head = "; head  \r\n[Folder]\r\n";
  const std::string tail = "\r\nOther = keep  \n\r\n[Next]\nx=1";
  Put(head + "TraceFolderNorm = /old" + tail);
  ASSERT_TRUE(WriteProfileString("folder", "TRACEFOLDERNORM", "/new dir", path_));
  EXPECT_EQ(Contents(), head + "TraceFolderNorm =/new dir" + tail);
  EXPECT_EQ(Get("FOLDER", "tracefoldernorm"), "/new dir");
}

TEST_F(ProfileTest, WriteAppendsToSectionOrMakesOne) {
  ASSERT_TRUE(WriteProfileString("S", "k", "v", path_));  // no file yet
  EXPECT_EQ(Contents(), "[S]\r\nk=v\r\n");

  Put("[A]\r\nk1=1\r\n;note\r\n\r\n[B]\nk=2\n[E]\r\n\r\n[F]\r\nf=1");
  ASSERT_TRUE(WriteProfileString("a", "k2", "2", path_));
  ASSERT_TRUE(WriteProfileString("E", "e", "5", path_));
  ASSERT_TRUE(WriteProfileString("F", "g", "6", path_));
  ASSERT_TRUE(WriteProfileString("New", "z", "9", path_));
  EXPECT_EQ(Contents(),
            "[A]\r\nk1=1\r\n;note\r\nk2=2\r\n\r\n[B]\nk=2\n[E]\r\ne=5\r\n\r\n[F]\r\nf=1\r\ng=6\r\n"
            "\r\n[New]\r\nz=9\r\n");
  EXPECT_EQ(Get("NEW", "Z"), "9");

  // A file ending in a lone CR: the line it ends keeps its text when a line is added after it.
  for (const char* section : {"A", "New"}) {
    Put("[A]\r\nk=v\r");
    ASSERT_TRUE(WriteProfileString(section, "z", "9", path_));
    EXPECT_EQ(Get("A", "k"), "v") << section;
    EXPECT_EQ(Get(section, "z"), "9") << section;
  }
}

// Inputs that once broke the editor, as the fuzz target reads them ("SECTION|KEY", a line break,
// then the file): the key written reads back as written.
TEST_F(ProfileTest, FuzzFindingsReadBackWhatIsWritten) {
  int files = 0;
  for (const auto& entry : fs::directory_iterator(VQ_TEST_DATA "/fuzz")) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with("profile_fuzz-")) continue;
    SCOPED_TRACE(name);
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string input{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const size_t lineEnd = input.find('\n'), bar = input.find('|');
    ASSERT_LT(bar, lineEnd);
    ASSERT_NE(lineEnd, std::string::npos);
    const std::string section = input.substr(0, bar),
                      key = input.substr(bar + 1, lineEnd - bar - 1);
    Put(input.substr(lineEnd + 1));
    ASSERT_TRUE(WriteProfileString(section, key, "written", path_));
    EXPECT_EQ(Get(section, key), "written");
    ++files;
  }
  EXPECT_GE(files, 1);
}

TEST_F(ProfileTest, DeleteRemovesOnlyTheKeyLine) {
  const std::string original = "[A]\r\nk1=1\r\nk2=2\r\n[B]\r\nk1=3\r\n";
  Put(original);
  EXPECT_TRUE(DeleteProfileKey("A", "nothere", path_));
  EXPECT_TRUE(DeleteProfileKey("C", "k1", path_));
  EXPECT_EQ(Contents(), original);
  ASSERT_TRUE(DeleteProfileKey("a", "K1", path_));
  EXPECT_EQ(Contents(), "[A]\r\nk2=2\r\n[B]\r\nk1=3\r\n");

  const std::string missing = dir_.Path() + "none.ini";
  EXPECT_TRUE(DeleteProfileKey("A", "k1", missing));
  EXPECT_FALSE(fs::exists(missing));
}

TEST_F(ProfileTest, BadWritesFailAndLoseNothing) {
  EXPECT_FALSE(WriteProfileString("S", "k", "v", dir_.Path() + "missing/x.ini"));
  EXPECT_FALSE(fs::exists(dir_.Path() + "missing"));

  const std::string original = "[S]\r\nk=v\r\n";
  Put(original);
  EXPECT_FALSE(WriteProfileString("S", "k", "two\r\nlines", path_));
  EXPECT_FALSE(WriteProfileString("S", "a=b", "v", path_));
  EXPECT_FALSE(WriteProfileString("S", " ", "v", path_));
  EXPECT_FALSE(WriteProfileString("S]", "k", "v", path_));
  EXPECT_EQ(Contents(), original);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.Path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace vq
