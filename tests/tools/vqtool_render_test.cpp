// Tests of `vqtool render`, run as the built program in a folder of its own.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "platform/image_files.h"
#include "support/instrument_fixture.h"
#include "support/png_decode.h"

namespace vq {
namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int exitCode = -1;
  std::string err;
};

class VqtoolRenderTest : public ::testing::Test {
 protected:
  // Runs `vqtool render ARGS` in the test folder; a shell prefix may set limits first.
  ToolRun Render(const std::string& args, const std::string& prefix = "") {
    const std::string command = "cd '" + dir.Path() + "' && " + prefix + "exec '" + VQ_TOOL_PATH +
                                "' render --home '" + dir.Path() + "' " + args + " 2> err.txt";
    const int status = std::system(command.c_str());
    ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = Read("err.txt");
    fs::remove(dir.Path() + "err.txt");
    return run;
  }
  std::string Read(const std::string& name) {
    std::ifstream in(dir.Path() + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  bool Exists(const std::string& name) { return fs::exists(dir.Path() + name); }
  Surface Bmp(const std::string& name) {
    std::vector<uint8_t> bytes;
    Surface image;
    EXPECT_TRUE(ReadWholeFile(dir.Path() + name, bytes) && DecodeBmp(bytes, image)) << name;
    return image;
  }

  TempFolder dir;
};

TEST_F(VqtoolRenderTest, WritesTheStartScreenAsBmpPngAndState) {
  const ToolRun run = Render("--out s.bmp --state s.json");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const Surface s = Bmp("s.bmp");
  ASSERT_EQ(s.width, 800);
  ASSERT_EQ(s.height, 600);
  // The soft-key column, the graph's background and its bevel of the start screen.
  EXPECT_EQ(s.At(720, 295) & 0xFFFFFFu, 0x333366u);
  EXPECT_EQ(s.At(300, 300) & 0xFFFFFFu, 0x000000u);
  EXPECT_EQ(s.At(300, 149) & 0xFFFFFFu, 0x000033u);

  const nlohmann::json state = nlohmann::json::parse(Read("s.json"));
  EXPECT_EQ(state.at("appState"), 1);
  EXPECT_EQ(state.at("title"), "VQ7000B OPTICAL SPECTRUM ANALYZER");
  EXPECT_EQ(state.at("colourSlots").size(), 88u);
  EXPECT_EQ(state.at("colourSlots").at(28), "0xFF333366");

  ASSERT_EQ(Render("--width 700 --out narrow.bmp").exitCode, 0);
  const Surface narrow = Bmp("narrow.bmp");
  EXPECT_EQ(narrow.width, 700);
  EXPECT_EQ(narrow.height, 600);
  EXPECT_EQ(narrow.At(300, 149), s.At(300, 149));

  // The PNG of a sample screen is compressed and holds the BMP capture's pixels.
  ASSERT_EQ(Render("--drop " VQ_TEST_DATA "/../../samples/wdm_8ch.csv --out w.bmp").exitCode, 0);
  ASSERT_EQ(Render("--drop " VQ_TEST_DATA "/../../samples/wdm_8ch.csv --out w.png").exitCode, 0);
  const std::string png = Read("w.png");
  EXPECT_LT(png.size(), 100000u);
  Surface decoded;
  ASSERT_TRUE(DecodePng(std::vector<uint8_t>(png.begin(), png.end()), decoded));
  const Surface bmp = Bmp("w.bmp");
  ASSERT_EQ(decoded.width, 800);
  ASSERT_EQ(decoded.height, 600);
  ASSERT_EQ(bmp.pixels.size(), decoded.pixels.size());
  // Below the clock's line, which may turn to the next minute between the two runs.
  EXPECT_TRUE(std::equal(decoded.pixels.begin() + 800 * 24, decoded.pixels.end(),
                         bmp.pixels.begin() + 800 * 24));
}

// Labels are the instrument's 8-bit text: the state holds them as UTF-8 (read as Latin-1).
TEST_F(VqtoolRenderTest, LatinOneLabelsBecomeUtf8InTheState) {
  std::ifstream in(VQ_TEST_DATA "/../../samples/led.csv", std::ios::binary);
  std::string csv((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t label = csv.find("LED 1550nm");
  ASSERT_NE(label, std::string::npos);
  csv.replace(label, 3, "L\xFA\xE9");
  std::ofstream(dir.Path() + "latin.csv", std::ios::binary) << csv;

  const ToolRun run = Render("--drop latin.csv --state s.json");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const nlohmann::json j = nlohmann::json::parse(Read("s.json"));
  EXPECT_EQ(j["settingRecord"]["label"].get<std::string>().substr(0, 12), "L\u00fa\u00e9 1550nm");
}

TEST_F(VqtoolRenderTest, BadArgumentsGiveOneLineAndExitCodeTwo) {
  for (const char* args : {"--width 640 --out s.bmp", "--out s.gif", "--out s.bmp --colour red",
                           "--drop missing.trc --out s.bmp", "--out"}) {
    SCOPED_TRACE(args);
    const ToolRun run = Render(args);
    EXPECT_EQ(run.exitCode, 2);
    ASSERT_FALSE(run.err.empty());
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    EXPECT_FALSE(Exists("s.bmp"));
    EXPECT_FALSE(Exists("s.gif"));
  }
  // A capture that cannot be written.
  const ToolRun run = Render("--out nofolder/s.bmp --state s.json");
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
}

TEST_F(VqtoolRenderTest, AFailedWriteKeepsTheGoodFiles) {
  // Files the tool writes are limited to one block (512 or 1024 bytes): both outputs are larger.
  std::ofstream(dir.Path() + "s.json") << "{\"good\": true}\n";
  std::ofstream(dir.Path() + "s.bmp") << "good";
  const std::string limit = "trap '' XFSZ; ulimit -f 1; ";
  ToolRun run = Render("--state s.json", limit);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(Read("s.json"), "{\"good\": true}\n");
  run = Render("--out s.bmp", limit);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(Read("s.bmp"), "good");
}

// The sample's scale in 12 divisions of 10 dB: the state lists the labels as drawn.
TEST_F(VqtoolRenderTest, StateListsTheLevelLabelsOfEachGraph) {
  const std::string sample = std::string(VQ_TEST_DATA) + "/../../samples/dfb_laser.csv";
  const ToolRun run = Render("--drop '" + sample + "' --keys \"Shift+F4 F8 F3\" --state s.json");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const nlohmann::json state = nlohmann::json::parse(Read("s.json"));
  nlohmann::json expected = nlohmann::json::array({nlohmann::json::array()});
  for (int j = 0; j <= 12; ++j) expected[0].push_back(std::to_string(10 - 10 * j) + ".0");
  EXPECT_EQ(state.at("levelLabels"), expected);
}

// After PEAK SEARCH the moving marker stands on the peak; after THRESH the level lines and the
// width marks are on the graph and the result block replaces the conditions.
TEST_F(VqtoolRenderTest, PeakSearchAndThreshShowTheirMarksOnTheScreen) {
  const std::string sample = std::string(VQ_TEST_DATA) + "/../../samples/dfb_laser.csv";
  ASSERT_EQ(
      Render("--drop '" + sample + "' --keys \"Shift+F10 F1\" --out p.bmp --state p.json").exitCode,
      0);
  nlohmann::json state = nlohmann::json::parse(Read("p.json"));
  auto slot = [&](int n) {
    return static_cast<uint32_t>(
        std::stoul(state.at("colourSlots").at(n).get<std::string>(), nullptr, 16));
  };
  const nlohmann::json& moving = state.at("markers").at("moving");
  ASSERT_FALSE(moving.is_null());
  const Surface peak = Bmp("p.bmp");
  EXPECT_EQ(peak.At(moving.at("x"), moving.at("y")), slot(19));
  EXPECT_EQ(state.at("markerRow").at(0), "  MKR:1550.0000nm");

  // The sample's peak of 3 dBm lies 7 dB under the 10 dBm top, 4 rows a dB: row 178.
  ASSERT_EQ(Render("--drop '" + sample + "' --keys \"Shift+F11 F1 F1\" --out t.bmp --state t.json")
                .exitCode,
            0);
  state = nlohmann::json::parse(Read("t.json"));
  EXPECT_EQ(state.at("analysis").at("itemName"), "THRESH");
  EXPECT_EQ(state.at("dataArea").at("shows"), "result");
  const Surface thresh = Bmp("t.bmp");
  EXPECT_EQ(thresh.At(47, 178), slot(25));   // the reference line, dashed from the left edge
  EXPECT_EQ(thresh.At(47, 190), slot(25));   // the threshold 3 dB under it
  EXPECT_EQ(thresh.At(347, 178), slot(27));  // the centre mark's tip on the peak
}

}  // namespace
}  // namespace vq
