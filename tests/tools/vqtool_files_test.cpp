// vqtool and the FILE menu: soft keys named by label, and the file list in the state.
#include <filesystem>

#include "support/vqtool_fixture.h"

namespace vq {
namespace {

namespace fs = std::filesystem;

class VqtoolFilesTest : public VqtoolTest {
 protected:
  const std::string sample = std::string(VQ_TEST_DATA) + "/../../samples/dfb_laser.wv8";
  std::string Users() { return home.Path() + "UserData/"; }
  int Render(const std::string& keys) {
    return Tool("render --home . --keys \"" + keys + "\" --state s.json");
  }
  nlohmann::json State() { return nlohmann::json::parse(Read("s.json")); }
};

TEST_F(VqtoolFilesTest, SoftKeysByLabelDriveTheFileList) {
  ASSERT_TRUE(fs::create_directories(Users() + "RUNS"));
  for (const char* name : {"W0000.WV8", "W0001.WV8", "W0003.WV8"}) {
    fs::copy_file(sample, Users() + name);
  }
  ASSERT_EQ(Render("Alt+F3 Soft:ITEM_SELECT Soft:TRACE Soft:WRITE"), 0) << err;
  const nlohmann::json files = State().at("files");
  EXPECT_EQ(files.at("drive"), "INT");
  EXPECT_EQ(files.at("folder"), Users());
  EXPECT_EQ(files.at("item"), "TRACE");
  EXPECT_EQ(files.at("mode"), "WRITE");
  EXPECT_EQ(files.at("total"), 3);
  EXPECT_GT(files.at("free").get<uint64_t>(), 0u);
  EXPECT_EQ(files.at("status"), "WRITE : TRACE A TO FILE");
  const nlohmann::json& entries = files.at("entries");
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries[0].at("name"), "W0002.WV8");
  EXPECT_EQ(entries[0].at("kind"), 3);
  EXPECT_EQ(entries[1].at("name"), "RUNS");
  EXPECT_EQ(entries[1].at("kind"), 1);
  EXPECT_EQ(entries[2].at("name"), "W0000.WV8");
  EXPECT_EQ(entries[2].at("size"), fs::file_size(sample));

  // EXECUTE exists only once WRITE has shown its page: each label is found when pressed.
  ASSERT_EQ(Tool("render --home . --drop '" + sample +
                 "' --keys \"Alt+F3 Soft:WRITE Soft:EXECUTE\" --state s.json"),
            0)
      << err;
  EXPECT_TRUE(fs::exists(Users() + "W0002.WV8"));
  EXPECT_EQ(State().at("files").at("total"), 4);
  // Without a file list the state has no `files`.
  ASSERT_EQ(Render("Alt+F3"), 0) << err;
  EXPECT_FALSE(State().contains("files"));
}

TEST_F(VqtoolFilesTest, ALabelNotOnThePageIsAnError) {
  EXPECT_EQ(Render("Alt+F3 Soft:EXECUTE"), 2);
  EXPECT_NE(err.find("Soft:EXECUTE"), std::string::npos) << err;
  EXPECT_NE(err.find("ITEM_SELECT WRITE READ FILE_OPERATION"), std::string::npos) << err;
  EXPECT_EQ(err.find('\n'), err.size() - 1);  // one line
  EXPECT_FALSE(fs::exists(home.Path() + "s.json"));
  EXPECT_EQ(Render("Soft:"), 2);
  EXPECT_NE(err.find("bad soft key"), std::string::npos) << err;
}

}  // namespace
}  // namespace vq
