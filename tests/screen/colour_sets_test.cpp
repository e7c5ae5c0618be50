// Tests of the colour sets: color.ini at start, the Color and RGB dialogs through the headless
// host, writing color.ini back, and the Palette.txt export.
#include "screen/colour_sets.h"

#include <unistd.h>

#include <filesystem>

#include "frame/colour_setting.h"
#include "menu/menu_engine.h"
#include "platform/profile.h"
#include "resources/colour_tables.h"
#include "resources/menu_tables.h"
#include "support/instrument_fixture.h"
#include "support/text_files.h"

namespace vq {
namespace {

constexpr uint32_t Rgb(int r, int g, int b) {
  return 0xFF000000u | static_cast<uint32_t>(51 * r) << 16 | static_cast<uint32_t>(51 * g) << 8 |
         static_cast<uint32_t>(51 * b);
}

class ColourSetsTest : public InstrumentTest {
 protected:
  void StartWithPaletteSwitch() {
    WriteText(home.Path() + "debug.ini", "[DEBUG]\r\nPALETTE=ON\r\n");
    Start();
    ASSERT_TRUE(result.running);
  }
  ColourLevels Levels(int set, int key) { return PaletteLevels(set, key); }
  std::string Ini() { return home.Path() + "color.ini"; }
};

TEST_F(ColourSetsTest, ColorIniIsTakenSlotBySlotAtStart) {
  WriteText(home.Path() + "color.ini",
            "[COLOR1]\r\n"
            "WAVE_BACK=1,2,3,set by hand\r\n"  // a comma and more text after the levels
            "GRID=6,0,0\r\n"                   // a level above 5
            "MARKER=1,2\r\n"                   // two levels
            "LINE_MKR1=1,2,3x\r\n"
            "LINE_MKR2= 1, 2, 3\r\n"
            "TRACE_B=1,1,1\r\n"  // copied to TRACE_B_NOTACT
            "TRACE_C=2,2,2\r\n"
            "TRACE_C_NOTACT=3,3,3\r\n"  // read after TRACE_C: its own value wins
            "FUNC_PUSH=4,0,4\r\n"       // also key 77
            "[COLOR3]\r\n"
            "WAVE_BACK=5,5,5\r\n");
  Start();
  ASSERT_TRUE(result.running);
  const ColourSet defaults = BuiltInColourSet(0);
  const ColourSet& set0 = g().screen.schemes[0];
  EXPECT_EQ(Levels(0, kSlotWaveBack), (ColourLevels{1, 2, 3}));
  for (int key : {4, 19, 20, 21})  // GRID, MARKER, LINE_MKR1, LINE_MKR2
    EXPECT_EQ(set0[key], defaults[key]) << key;
  EXPECT_EQ(Levels(0, 6), (ColourLevels{1, 1, 1}));
  EXPECT_EQ(Levels(0, 13), (ColourLevels{1, 1, 1}));
  EXPECT_EQ(Levels(0, 7), (ColourLevels{2, 2, 2}));
  EXPECT_EQ(Levels(0, 14), (ColourLevels{3, 3, 3}));
  EXPECT_EQ(Levels(0, kSlotFuncPush), (ColourLevels{4, 0, 4}));
  EXPECT_EQ(Levels(0, 77), (ColourLevels{4, 0, 4}));
  EXPECT_EQ(Levels(2, kSlotWaveBack), (ColourLevels{5, 5, 5}));
  EXPECT_EQ(g().screen.schemes[1], defaults);
  // Set 0 is current: the renderer has its colours, and the translucent copy of key 3.
  EXPECT_EQ(g().screen.colours[kSlotWaveBack], Rgb(1, 2, 3));
  EXPECT_EQ(g().screen.colours[kSlotWaveBackAlt], (Rgb(1, 2, 3) & 0xFFFFFFu) | 0x7D000000u);
  EXPECT_EQ(g().screen.colours[77], Rgb(4, 0, 4));
}

TEST_F(ColourSetsTest, KeyNumberClampsAndStepsOverTheUnnamedKeys) {
  EXPECT_EQ(ColourKeyAfter(48, 49), 50);
  EXPECT_EQ(ColourKeyAfter(50, 49), 48);
  EXPECT_EQ(ColourKeyAfter(69, 70), 71);
  EXPECT_EQ(ColourKeyAfter(80, 77), 76);
  EXPECT_EQ(ColourKeyAfter(3, 2), 3);
  EXPECT_EQ(ColourKeyAfter(40, -7), 3);
  EXPECT_EQ(ColourKeyAfter(40, 81), 80);
  EXPECT_EQ(ColourKeyAfter(40, 56), 56);  // unnamed, yet a key of the dialog

  // The dialog remembers its key; spins go through the same rule.
  StartWithPaletteSwitch();
  ASSERT_TRUE(host.menu[kCmdColourSetting].present && host.menu[kCmdColourSetting].enabled);
  host.colourDialogScripts.push_back({{ColourDialogStep::TypeKey, 48},
                                      {ColourDialogStep::SpinUp},
                                      {ColourDialogStep::SpinDown},
                                      {ColourDialogStep::TypeKey, 100},
                                      {ColourDialogStep::SpinUp},
                                      {ColourDialogStep::TypeKey, 78},
                                      {ColourDialogStep::SpinDown}});
  WindowProc(WM_COMMAND, kCmdColourSetting, 0);
  EXPECT_EQ(host.colourKeysShown, (std::vector<int>{3, 48, 50, 48, 80, 80, 78, 76}));
  WindowProc(WM_COMMAND, kCmdColourSetting, 0);
  EXPECT_EQ(host.colourKeysShown.back(), 76);
  EXPECT_EQ(g().frame.modalActive, 0);
}

TEST_F(ColourSetsTest, RgbDialogRedrawsAtOnceAndWritesEverySlot) {
  WriteText(Ini(), "; screen colours\r\n[COLOR2]\r\nGRID=1,1,1\r\n[COLOR1]\r\nGRID=0,0,5\r\n");
  StartWithPaletteSwitch();
  ASSERT_EQ(Levels(0, kSlotGrid), (ColourLevels{0, 0, 5}));
  const int passes = g().screen.passesDrawn;
  host.colourDialogScripts.push_back({{ColourDialogStep::TypeKey, kSlotMainBack},
                                      {ColourDialogStep::OpenRgb},
                                      {ColourDialogStep::MoveSliders, 0, {5, 0, 1}},
                                      {ColourDialogStep::Redraw},
                                      {ColourDialogStep::WriteFile}});
  WindowProc(WM_COMMAND, kCmdColourSetting, 0);
  ASSERT_EQ(host.slidersShown, (std::vector<ColourLevels>{{1, 1, 2}}));
  // Taken into set 0 and drawn before the dialog closes: the screen's background is the new one.
  EXPECT_EQ(Levels(0, kSlotMainBack), (ColourLevels{5, 0, 1}));
  EXPECT_EQ(g().screen.colours[kSlotMainBack], Rgb(5, 0, 1));
  EXPECT_GT(g().screen.passesDrawn, passes);
  EXPECT_EQ(g().screen.backBuffer.At(0, 0), Rgb(5, 0, 1));

  // Every named slot of set 0 went into COLOR1, edited or not; COLOR2 and the comment stayed.
  for (const ColourSlotInfo& s : kColourSlotTable) {
    const ColourLevels l = Levels(0, s.key);
    EXPECT_EQ(GetProfileString("COLOR1", s.name, "", Ini()),
              std::to_string(l.red) + "," + std::to_string(l.green) + "," + std::to_string(l.blue))
        << s.name;
  }
  EXPECT_EQ(GetProfileString("COLOR1", "MAIN_BACK", "", Ini()), "5,0,1");
  EXPECT_EQ(GetProfileString("COLOR2", "GRID", "", Ini()), "1,1,1");
  EXPECT_EQ(ReadText(Ini()).rfind("; screen colours\r\n", 0), 0u);

  // "Default値" goes back to the slot table's colour and moves the sliders there.
  host.colourDialogScripts.push_back({{ColourDialogStep::OpenRgb}, {ColourDialogStep::Default}});
  WindowProc(WM_COMMAND, kCmdColourSetting, 0);
  EXPECT_EQ(host.slidersShown.back(), (ColourLevels{1, 1, 2}));
  EXPECT_EQ(g().screen.backBuffer.At(0, 0), Rgb(1, 1, 2));

  // What was written is what the next start reads.
  g().screen.schemes[0] = BuiltInColourSet(0);
  LoadColourIni();
  EXPECT_EQ(g().screen.colours[kSlotMainBack], Rgb(5, 0, 1));
  EXPECT_EQ(Levels(0, kSlotGrid), (ColourLevels{0, 0, 5}));
}

TEST_F(ColourSetsTest, PaletteExportOverwritesTheStartOfAnExistingFile) {
  StartWithPaletteSwitch();
  SetPaletteEntry(0, 80, {1, 2, 3});
  const std::string path = home.Path() + "Palette.txt";
  WriteText(path, std::string(2000, '#'));
  ASSERT_EQ(ExportPalette(path), 0);
  const std::string text = ReadText(path);
  ASSERT_EQ(text.size(), 2000u);  // not cut: the old bytes beyond the lines stay
  const std::string lines = text.substr(0, text.find('#'));
  EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 78);
  EXPECT_EQ(lines.substr(0, 10), " 3=0,0,0\r\n");
  EXPECT_EQ(lines.substr(lines.size() - 10), "80=1,2,3\r\n");
  EXPECT_NE(lines.find("\r\n49=3,3,4\r\n"), std::string::npos);
  EXPECT_EQ(text.find_first_not_of('#', lines.size()), std::string::npos);

  // The PALETTE EXPORT key writes it in the current directory.
  TempFolder here;
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(here.Path());
  ASSERT_EQ(NodeState(kNodePaletteExport), kKeyEnabled);
  EnterNode(kNodePaletteExport, 0);
  std::filesystem::current_path(before);
  EXPECT_EQ(ReadText(here.Path() + "Palette.txt"), lines);
}

}  // namespace
}  // namespace vq
