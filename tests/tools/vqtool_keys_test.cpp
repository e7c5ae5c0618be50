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
  EXPECT_EQ(keys[0].at("lines"), nlohmann::json({"CENTER", "", "1550.000nm"}));
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
  EXPECT_EQ(Render("Shift+F2 Shift+F12", "--out s.bmp"), 2);
  EXPECT_EQ(err, "vqtool render: unknown key name Shift+F12\n");
  EXPECT_FALSE(std::filesystem::exists(dir.Path() + "s.json"));
  EXPECT_FALSE(std::filesystem::exists(dir.Path() + "s.bmp"));
}

TEST_F(VqtoolKeysTest, PopUpMenuState) {
  ASSERT_EQ(Render("Apps Down"), 0) << err;
  EXPECT_EQ(State().at("popup"), nlohmann::json::parse(R"({"open": true, "x": 339, "y": 145,
      "width": 122, "height": 310, "selected": 1, "selectedLabel": "SPAN"})"));
}

TEST(VqtoolKeyParsing, NamesCharactersAndMouseForms) {
  std::vector<KeyAction> keys;
  std::string error;
  ASSERT_TRUE(ParseKeys("  F1  a Space Click:0,599 Wheel:3,4,-1 RightClick:1,2 ", keys, error));
  ASSERT_EQ(keys.size(), 6u);
  const KeyAction::Kind kinds[] = {KeyAction::Command, KeyAction::Char,  KeyAction::Char,
                                   KeyAction::Click,   KeyAction::Wheel, KeyAction::RightClick};
  const int codes[] = {40002, 'a', ' ', 0, -1, 0};
  for (size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(keys[i].kind, kinds[i]) << i;
    EXPECT_EQ(keys[i].code, codes[i]) << i;
  }
  EXPECT_EQ(keys[3].y, 599);
  for (const char* bad : {"Click:1", "Click:1,2,3", "Click:-1,5", "Click:1,600", "Click:800,1",
                          "Click:,5", "Wheel:1,2", "Wheel:1,2,x", "Wheel:1,2,0", "Ctrl+Q", "ab"}) {
    keys.clear();
    EXPECT_FALSE(ParseKeys(bad, keys, error)) << bad;
    const bool mouse = std::string_view(bad).find(':') != std::string_view::npos;
    EXPECT_EQ(error.rfind(mouse ? "bad mouse key " : "unknown key name ", 0), 0u) << error;
  }
}

}  // namespace
}  // namespace vq
