// Tests of `vqtool render --keys`, run as the built program in a folder of its own.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "render.h"
#include "support/instrument_fixture.h"

namespace vq {
namespace {

class VqtoolKeysTest : public ::testing::Test {
 protected:
  // Runs `vqtool render --keys KEYS --state s.json ARGS`; the exit code and stderr.
  int Render(const std::string& keys, const std::string& args = "") {
    const std::string command = "cd '" + dir.Path() + "' && exec '" + VQ_TOOL_PATH +
                                "' render --home '" + dir.Path() + "' --keys '" + keys +
                                "' --state s.json " + args + " 2> err.txt";
    const int status = std::system(command.c_str());
    err = Read("err.txt");
    std::filesystem::remove(dir.Path() + "err.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Read(const std::string& name) {
    std::ifstream in(dir.Path() + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  nlohmann::json State() { return nlohmann::json::parse(Read("s.json")); }

  TempFolder dir;
  std::string err;
};

TEST_F(VqtoolKeysTest, PanelKeyReportsItsPageAndLabels) {
  ASSERT_EQ(Render("Shift+F2"), 0) << err;
  const nlohmann::json s = State();
  EXPECT_EQ(s.at("pageTitle"), "CENTER");
  EXPECT_EQ(s.at("page"), 1);
  EXPECT_EQ(s.at("currentMenu"), 2);
  EXPECT_EQ(s.at("depth"), 0);
  const nlohmann::json& keys = s.at("softKeys");
  ASSERT_EQ(keys.size(), 9u);
  EXPECT_EQ(keys[0].at("lines"), nlohmann::json({"CENTER", "", ""}));
  EXPECT_EQ(keys[3].at("lines")[1], "->CENTER");
  EXPECT_EQ(keys[8].at("target"), 0);

  // A lower page by a click on its key, with the parent on the stack; typed characters too.
  ASSERT_EQ(Render("Shift+F4 Click:750,435 5 Space"), 0) << err;
  const nlohmann::json lower = State();
  EXPECT_EQ(lower.at("pageTitle"), "Y SCALE\nDIVISION");
  EXPECT_EQ(lower.at("pageStack"), nlohmann::json::parse(R"([{"page": 3, "title": "LEVEL"}])"));
  EXPECT_EQ(lower.at("mouseHeldElement"), 0);
}

TEST_F(VqtoolKeysTest, UnknownKeyNameWritesNothing) {
  for (const char* keys : {"Shift+F2 Shift+F12", "Click:800,10", "Wheel:10,10,0", "Ctrl+Q", "ab"}) {
    SCOPED_TRACE(keys);
    EXPECT_EQ(Render(keys, "--out s.bmp"), 2);
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    EXPECT_FALSE(std::filesystem::exists(dir.Path() + "s.json"));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() + "s.bmp"));
  }
}

TEST_F(VqtoolKeysTest, PopUpMenuByKeysAndMouse) {
  ASSERT_EQ(Render("Apps"), 0) << err;
  EXPECT_EQ(State().at("popup"), nlohmann::json::parse(R"({"open": true, "x": 339, "y": 145,
      "width": 122, "height": 310, "selected": 0, "selectedLabel": "CENTER"})"));
  ASSERT_EQ(Render("Apps Enter"), 0) << err;
  EXPECT_EQ(State().at("pageTitle"), "CENTER");
  EXPECT_FALSE(State().at("popup").at("open"));

  ASSERT_EQ(Render("RightClick:750,590"), 0) << err;
  const nlohmann::json popup = State().at("popup");
  EXPECT_EQ(popup.at("x"), 628);
  EXPECT_EQ(popup.at("y"), 280);
}

TEST(VqtoolKeyParsing, NamesCharactersAndMouseForms) {
  std::vector<KeyAction> keys;
  std::string error;
  ASSERT_TRUE(ParseKeys("  F1  a Space Click:0,599 Wheel:3,4,-1 RightClick:1,2 ", keys, error));
  ASSERT_EQ(keys.size(), 6u);
  EXPECT_EQ(keys[0].kind, KeyAction::Command);
  EXPECT_EQ(keys[0].code, 40002);
  EXPECT_EQ(keys[1].kind, KeyAction::Char);
  EXPECT_EQ(keys[1].code, 'a');
  EXPECT_EQ(keys[2].code, ' ');
  EXPECT_EQ(keys[3].kind, KeyAction::Click);
  EXPECT_EQ(keys[3].y, 599);
  EXPECT_EQ(keys[4].kind, KeyAction::Wheel);
  EXPECT_EQ(keys[4].code, -1);
  EXPECT_EQ(keys[5].kind, KeyAction::RightClick);
  for (const char* bad : {"Click:1", "Click:1,2,3", "Click:-1,5", "Click:1,600", "Wheel:1,2",
                          "Wheel:1,2,x", "Click:,5", "F 1x"}) {
    keys.clear();
    EXPECT_FALSE(ParseKeys(bad, keys, error)) << bad;
  }
}

}  // namespace
}  // namespace vq
