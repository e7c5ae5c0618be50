// Tests of the numbered messages: table, showing and clearing, the message box, condition logs.
#include "menu/messages.h"

#include <filesystem>
#include <regex>

#include "draw/primitives.h"
#include "platform/clock.h"
#include "platform/image_files.h"
#include "support/instrument_fixture.h"
#include "support/text_files.h"

namespace vq {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2) {
    lines.push_back(text.substr(at, end - at));
  }
  return lines;
}

// A log of count lines "L0" to "L<count - 1>".
void WriteNumberedLines(const std::string& path, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "L" + std::to_string(i) + "\r\n";
  WriteFileAtomic(path, std::vector<uint8_t>(text.begin(), text.end()));
}

class MessageTest : public InstrumentTest {
 protected:
  void SetUp() override {
    InstrumentTest::SetUp();
    g().config.home = home.Path();
  }
  std::string Log(const char* name) { return home.Path() + name; }
};

// The box is drawn on a started screen the way the redraw pass draws the dynamic layer.
class MessageBoxTest : public StartedInstrumentTest {
 protected:
  void SetUp() override {
    StartedInstrumentTest::SetUp();
    DistinctSlotColours();
  }
  Surface& Draw(int32_t code) {
    ShowMessage(code);
    g().screen.target = &g().screen.backBuffer;
    FillRect(0, 0, 800, 600, 0);
    DrawMessage();
    g().screen.target = nullptr;
    return g().screen.backBuffer;
  }
  // True when the text line of the box holds nothing but the box fill.
  bool TextLineBlank(const Surface& s) {
    for (int y = 497; y < 505; ++y) {
      for (int x = 333; x < 624; ++x) {
        if (s.At(x, y) != Slot(48)) return false;
      }
    }
    return true;
  }
};

TEST(MessageTable, TextsByCode) {
  // Texts users see, byte for byte (misspellings included).
  EXPECT_EQ(MessageText(132), "File is not a trace file");
  EXPECT_EQ(MessageText(207), "Internal temparature over!");
  EXPECT_EQ(MessageText(303), "No data in Active trace");
  // Empty slots, then codes in no block.
  for (int32_t code : {0, 13, 104, 136, 240, 301, -1, 21, 45, 100, 147, 241, 384, 100000}) {
    EXPECT_EQ(MessageText(code), "") << "code " << code;
  }
  int withText = 0;
  for (const MessageBlock& block : kMessageBlocks) {
    for (int32_t i = 0; i < block.count; ++i) withText += !MessageText(block.firstCode + i).empty();
  }
  EXPECT_EQ(withText, 122);
}

// A warning, a code without text and a program error in the box; clearing removes the box only
// when one is shown.
TEST_F(MessageBoxTest, WarningsErrorsAndClearing) {
  g().frame.redrawFlags = 0;
  const Surface& s = Draw(103);
  EXPECT_EQ(g().frame.redrawFlags, kRedrawDynamicOnly);
  EXPECT_EQ(g().messages.boxElement, 329);
  EXPECT_EQ(TextMismatch(s, kFontSmall, 336, 484, "WARNING:", Slot(80), 0), "");
  EXPECT_EQ(TextMismatch(s, kFontSmall, 407, 481, "103", Slot(80), Slot(48)), "");
  EXPECT_EQ(TextMismatch(s, kFontSmall, 335, 497, "No data in active trace", Slot(80), Slot(48)),
            "");
  // From the left: outline, the double frame's two outer lines and its inner line, the fill.
  const uint32_t edge[] = {Slot(0), Slot(30), Slot(81), Slot(81), Slot(49), Slot(48)};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(s.At(327 + i, 490), edge[i]) << "x " << 327 + i;
  EXPECT_EQ(s.At(625, 490), Slot(82));

  // An empty slot and an unknown code show only the code.
  EXPECT_TRUE(TextLineBlank(Draw(104)));
  Draw(45);
  EXPECT_EQ(TextMismatch(s, kFontSmall, 407, 481, " 45", Slot(80), Slot(48)), "");
  EXPECT_TRUE(TextLineBlank(s));

  g().messages.programLine = 12;
  Draw(381);
  EXPECT_EQ(TextMismatch(s, kFontSmall, 336, 484, "ERROR     IN LINE", Slot(80), 0), "");
  EXPECT_EQ(TextMismatch(s, kFontSmall, 391, 481, "381          12", Slot(80), 0), "");
  EXPECT_EQ(TextMismatch(s, kFontSmall, 335, 497, "Syntax error", Slot(80), Slot(48)), "");

  g().frame.redrawFlags = 0;
  CloseMessageWindows();
  EXPECT_EQ(g().messages.currentMessage, 0);
  EXPECT_EQ(g().messages.boxElement, -1);
  EXPECT_EQ(g().frame.redrawFlags, kRedrawDynamicOnly);
  g().frame.redrawFlags = 0;
  EXPECT_EQ(Draw(0).At(328, 474), Slot(0));
  EXPECT_EQ(g().frame.redrawFlags, 0u);
}

TEST_F(MessageTest, ConditionsAreLoggedAndStopTheProgram) {
  g().program.running = 1;
  const LocalTime before = GetLocalTime();
  ShowMessage(203);
  const LocalTime after = GetLocalTime();
  EXPECT_EQ(g().program.running, 1);
  EXPECT_EQ(g().frame.redrawFlags & kRedrawSoftKeys, 0u);
  auto stamp = [](const LocalTime& t) {
    char s[32];
    std::snprintf(s, sizeof s, "%04d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute);
    return std::string(s);
  };
  const std::string line = ReadText(Log("SystemLog.txt"));
  EXPECT_TRUE(line == "203   " + stamp(before) + "\r\n" || line == "203   " + stamp(after) + "\r\n")
      << line;
  EXPECT_EQ(ReadText(Log("error.log")), line);

  ShowMessage(207);
  EXPECT_EQ(g().program.running, 0);
  EXPECT_EQ(g().frame.redrawFlags & kRedrawSoftKeys, kRedrawSoftKeys);
  ShowMessage(103);  // not a condition: not logged
  const auto lines = Lines(ReadText(Log("error.log")));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(std::regex_match(lines[1], std::regex("207   [0-9]{12}")));
}

TEST_F(MessageTest, FullLogsDropTheirOldestLine) {
  WriteNumberedLines(Log("SystemLog.txt"), 100);
  WriteNumberedLines(Log("error.log"), 999);
  ShowMessage(210);
  auto shortLog = Lines(ReadText(Log("SystemLog.txt")));
  auto longLog = Lines(ReadText(Log("error.log")));
  ASSERT_EQ(shortLog.size(), 100u);
  EXPECT_EQ(shortLog.front(), "L1");
  EXPECT_EQ(shortLog.back().substr(0, 6), "210   ");
  ASSERT_EQ(longLog.size(), 1000u);
  EXPECT_EQ(longLog.front(), "L0");
  ShowMessage(211);
  longLog = Lines(ReadText(Log("error.log")));
  ASSERT_EQ(longLog.size(), 1000u);
  EXPECT_EQ(longLog.front(), "L1");

  // A log over its limit loses one line per new one, so it keeps its length.
  WriteNumberedLines(Log("SystemLog.txt"), 150);
  ShowMessage(212);
  shortLog = Lines(ReadText(Log("SystemLog.txt")));
  EXPECT_EQ(shortLog.size(), 150u);
  EXPECT_EQ(shortLog.front(), "L1");
}

TEST_F(MessageTest, LogFailuresAreSilent) {
  std::filesystem::create_directory(Log("error.log"));  // neither readable nor replaceable
  ShowMessage(201);
  EXPECT_EQ(g().messages.currentMessage, 201);
  EXPECT_TRUE(std::filesystem::is_directory(Log("error.log")));
  EXPECT_EQ(Lines(ReadText(Log("SystemLog.txt"))).size(), 1u);

  g().config.home = home.Path() + "missing/";
  ShowMessage(205);
  EXPECT_EQ(g().messages.currentMessage, 205);
  EXPECT_FALSE(std::filesystem::exists(g().config.home));
}

TEST_F(MessageTest, RunStartWithoutEndMarksBadShutDown) {
  LogRunStart();  // a first run has nothing to miss
  EXPECT_FALSE(g().messages.notProperlyShutDown);
  LogRunEnd();
  LogRunStart();
  EXPECT_FALSE(g().messages.notProperlyShutDown);
  ShowMessage(222);
  LogRunStart();
  EXPECT_TRUE(g().messages.notProperlyShutDown);
  const auto lines = Lines(ReadText(Log("SystemLog.txt")));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_TRUE(std::regex_match(lines[0], std::regex("start [0-9]{12}")));
  EXPECT_TRUE(std::regex_match(lines[1], std::regex("end   [0-9]{12}")));
}

}  // namespace
}  // namespace vq
