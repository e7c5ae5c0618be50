// Tests of the memory slots: SAVE, RECALL, CLEAR, the scan at start, the list and the file menu's
// MEMORY item.
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>

#include "files/memory_slots.h"
#include "files/trace_files.h"
#include "platform/image_files.h"
#include "screen/memory_list_view.h"
#include "support/instrument_fixture.h"

namespace vq {
namespace {

class MemorySlotTest : public StartedInstrumentTest {
 protected:
  // A trace of n points from 1545 to 1555 nm with levels rising from -60 dBm by `step` dB.
  void Fill(int trace, int n, int attribute, double step = 0.01) {
    Trace& t = g().traces.traces[trace];
    t.condition = DefaultSettingRecord();
    MeasCondition& c = t.condition;
    c.centre = 1550, c.span = 10, c.start = 1545, c.stop = 1555, c.samplingAuto = 0;
    c.samplingPoints = c.storedPoints = n;
    c.samplingInterval = c.span / (n - 1);
    c.traceAttribute = static_cast<int16_t>(attribute);
    for (int i = 0; i < n; ++i) t.level[i] = DbmToLinear(-60 + step * i);
    t.source = t.level;
    g().traces.state.attribute[trace] = static_cast<uint16_t>(attribute);
  }
  void SetLabel(const char* text) {
    char* label = g().conditions.setting.label;
    std::memset(label, ' ', 56);
    std::memcpy(label, text, std::strlen(text));
  }
  std::string SlotLine(int n) {
    for (const std::string& l : MemoryListLayout().lines) {
      char number[4];
      std::snprintf(number, sizeof number, "%02d ", n);
      if (l.starts_with(number)) return l;
    }
    return "";
  }
  // Starts a second instrument on the same home, as after a restart of the viewer.
  void Restart() {
    WindowProc(WM_CLOSE, 0, 0);
    DestroyInstrument(context);
    context = CreateInstrument(host2);
    result = StartUp(host2, {home.Path(), false});
    ASSERT_TRUE(result.running);
    PumpUntilIdle(host2);
  }
  HeadlessHost host2;
};

TEST_F(MemorySlotTest, SaveRecallClearAndTheList) {
  SetLabel("FIX TRACE");
  Fill(0, 101, kAttrFix);
  ASSERT_EQ(SaveMemorySlot(5, 0), 0);
  SetLabel("HOLD TRACE");
  Fill(1, 51, kAttrMaxHold);
  ASSERT_EQ(SaveMemorySlot(6, 1), 0);
  EXPECT_TRUE(std::filesystem::exists(MemorySlotPath(5)));
  EXPECT_EQ(MemorySlotPath(6), g().config.folders[kFolderMemory] + "MEM006.WV8");
  EXPECT_EQ(DetectFileType(MemorySlotPath(6)), kFileTrace);

  // LBL: the label from the setting record at the time of saving; the attribute under ATTR.
  const std::string fix = SlotLine(5), hold = SlotLine(6);
  EXPECT_EQ(fix.substr(0, 14), "05   FIX TRACE");
  EXPECT_EQ(fix.substr(77), "MEAS");
  EXPECT_EQ(hold.substr(77), "MAX HOLD ");
  EXPECT_EQ(SlotLine(7), "07   ");
  g().memory.listParameter = 1;
  g().memory.current = 5;
  EXPECT_EQ(SlotLine(5).substr(0, 51), "05   CTR : 1550.000nm  SPAN : 10.0nm  REF :-10.0dBm");

  // RECALL of an empty slot leaves the trace as it was.
  Fill(2, 11, kAttrWrite, 1.0);
  const auto before = std::make_unique<Trace>(g().traces.traces[2]);
  EXPECT_EQ(RecallMemorySlot(7, 2), kMsgUnsuitableMemory);
  EXPECT_EQ(g().traces.traces[2].level, before->level);
  EXPECT_EQ(std::memcmp(&g().traces.traces[2].condition, &before->condition, 488), 0);

  // RECALL loads the slot into the trace, fixed.
  ASSERT_EQ(RecallMemorySlot(6, 2), 0);
  const Trace& t = g().traces.traces[2];
  EXPECT_EQ(t.condition.samplingPoints, 51);
  for (int i = 0; i < 51; ++i) {
    EXPECT_FLOAT_EQ(static_cast<float>(t.level[i]),
                    static_cast<float>(DbmToLinear(-60 + 0.01 * i)));
  }
  EXPECT_EQ(g().traces.state.attribute[2], kAttrFix);
  EXPECT_EQ(g().traces.state.fixedFrom[2], kAttrMaxHold);

  // CLEAR removes the file and the slot; clearing it again is no error.
  ASSERT_EQ(ClearMemorySlot(5), 0);
  EXPECT_FALSE(std::filesystem::exists(MemorySlotPath(5)));
  EXPECT_EQ(g().memory.slot[5].used, 0);
  EXPECT_EQ(ClearMemorySlot(5), 0);
  EXPECT_EQ(SaveMemorySlot(64, 0), kMsgUnsuitableMemory);
  EXPECT_EQ(RecallMemorySlot(-1, 0), kMsgUnsuitableMemory);
}

TEST_F(MemorySlotTest, SlotsSurviveARestartAndForeignFilesAreNotListed) {
  SetLabel("KEPT");
  Fill(0, 21, kAttrWrite);
  ASSERT_EQ(SaveMemorySlot(1, 0), 0);
  ASSERT_EQ(SaveMemorySlot(2, 0), 0);
  ASSERT_EQ(SaveMemorySlot(3, 0), 0);
  ASSERT_EQ(ClearMemorySlot(3), 0);
  // Slot 2's file is replaced by a settings file, slot 4 gets a file too short for a record.
  std::vector<uint8_t> settings(600, 0);
  std::memcpy(settings.data(), "\"QXBSET\"\r\n", 10);
  ASSERT_TRUE(WriteFileAtomic(MemorySlotPath(2), settings));
  std::vector<uint8_t> shortFile(100, 0);
  std::memcpy(shortFile.data(), "\"QXBWAV\"\r\n", 10);
  ASSERT_TRUE(WriteFileAtomic(MemorySlotPath(4), shortFile));

  Restart();
  EXPECT_EQ(g().memory.slot[1].used, 1);
  EXPECT_EQ(std::string(g().memory.slot[1].condition.label, 4), "KEPT");
  EXPECT_EQ(g().memory.slot[1].condition.samplingPoints, 21);
  for (int n : {0, 2, 3, 4, 63}) EXPECT_EQ(g().memory.slot[n].used, 0) << n;
  // The foreign files are left alone; only unreadable ones would be removed.
  EXPECT_TRUE(std::filesystem::exists(MemorySlotPath(2)));
  EXPECT_EQ(RecallMemorySlot(2, 0), kMsgUnsuitableMemory);
  ASSERT_EQ(RecallMemorySlot(1, 4), 0);
  EXPECT_FLOAT_EQ(static_cast<float>(g().traces.traces[4].level[20]),
                  static_cast<float>(DbmToLinear(-59.8)));
}

TEST_F(MemorySlotTest, AFailedWriteKeepsTheSlotListed) {
  Fill(0, 11, kAttrFix);
  // The memory folder cannot be made: a file stands in its place.
  std::string folder = g().config.folders[kFolderMemory];
  folder.pop_back();
  std::filesystem::remove_all(folder);
  ASSERT_TRUE(WriteFileAtomic(folder, {1, 2, 3}));
  const int code = SaveMemorySlot(9, 0);
  EXPECT_NE(code, 0);
  EXPECT_GE(code, 121);
  EXPECT_EQ(g().memory.slot[9].used, 1);
  EXPECT_EQ(g().memory.slot[9].condition.samplingPoints, 11);

  // An empty trace is not saved at all.
  std::filesystem::remove(folder);
  g().traces.traces[3].level.fill(0.0);
  EXPECT_EQ(SaveMemorySlot(10, 3), kMsgNoData);
  EXPECT_EQ(g().memory.slot[10].used, 0);
}

TEST_F(MemorySlotTest, FileMenuMemoryItemLeavesTheTracesAlone) {
  Fill(0, 31, kAttrWrite);
  Fill(5, 41, kAttrFix, 0.5);
  g().traces.state.activeTrace = 5;
  ASSERT_EQ(WriteTraceCsv(home.Path() + "in.csv", 5), 0);
  std::vector<uint8_t> csv;
  ASSERT_TRUE(ReadWholeFile(home.Path() + "in.csv", csv));

  const auto traceA = std::make_unique<Trace>(g().traces.traces[0]);
  const MeasCondition setting = g().conditions.setting;
  const TraceStateBlock state = g().traces.state;
  ASSERT_EQ(FileToMemorySlot(csv.data(), csv.size(), 8), 0);
  EXPECT_EQ(g().traces.traces[0].level, traceA->level);
  EXPECT_EQ(std::memcmp(&g().traces.traces[0].condition, &traceA->condition, 488), 0);
  EXPECT_EQ(std::memcmp(&g().conditions.setting, &setting, 488), 0);
  EXPECT_EQ(std::memcmp(&g().traces.state, &state, sizeof state), 0);
  EXPECT_EQ(g().memory.slot[8].used, 1);
  EXPECT_EQ(g().memory.slot[8].condition.samplingPoints, 41);
  EXPECT_EQ(DetectFileType(MemorySlotPath(8)), kFileTrace);

  // Out again: BIN as the slot file is, CSV as the single-trace CSV file of the same trace.
  ASSERT_EQ(WriteMemorySlotToFile(8, home.Path() + "out.wv8", false), 0);
  std::vector<uint8_t> slotBytes, outBytes;
  ASSERT_TRUE(ReadWholeFile(MemorySlotPath(8), slotBytes));
  ASSERT_TRUE(ReadWholeFile(home.Path() + "out.wv8", outBytes));
  EXPECT_EQ(outBytes, slotBytes);
  ASSERT_EQ(WriteMemorySlotToFile(8, home.Path() + "out.csv", true), 0);
  TraceFileData back;
  ASSERT_EQ(ReadTraceFile(home.Path() + "out.csv", back), 0);
  ASSERT_EQ(back.levels.size(), 41u);
  for (int i = 0; i < 41; ++i) EXPECT_NEAR(LinearToDbm(back.levels[i]), -60 + 0.5 * i, 6e-4) << i;
  EXPECT_EQ(g().traces.traces[0].level, traceA->level);

  // An empty slot, and bytes that are not a trace file, change nothing.
  EXPECT_EQ(WriteMemorySlotToFile(9, home.Path() + "none.csv", true), kMsgUnsuitableMemory);
  EXPECT_FALSE(std::filesystem::exists(home.Path() + "none.csv"));
  const std::string settings = "\"QXBSET\"\r\n" + std::string(100, 'x');
  EXPECT_EQ(FileToMemorySlot(reinterpret_cast<const uint8_t*>(settings.data()), settings.size(), 9),
            kMsgNotTraceFile);
  EXPECT_EQ(g().memory.slot[9].used, 0);
}

TEST_F(MemorySlotTest, RecallIntoTheAnalysedTraceKeepsTheLevelScaleOfTwoLineMarkers) {
  Fill(0, 11, kAttrFix);
  g().traces.traces[0].condition.refLevel = 0;
  ASSERT_EQ(SaveMemorySlot(0, 0), 0);
  g().conditions.setting.refLevel = -23;
  // Not the analysed trace: the slot's level scale comes with it.
  ASSERT_EQ(RecallMemorySlot(0, 0), 0);
  EXPECT_EQ(g().conditions.setting.refLevel, 0);

  g().conditions.setting.refLevel = -23;
  g().analysis.resultKind = kResultSpectralWidth;
  g().analysis.resultTrace = 0;
  g().analysis.lineMarkers[0] = {1, 1546.0};
  g().analysis.lineMarkers[2] = {1, 1e-4};
  ASSERT_EQ(RecallMemorySlot(0, 0), 0);
  EXPECT_EQ(g().conditions.setting.refLevel, -23);
  EXPECT_EQ(g().traces.traces[0].condition.refLevel, -23);
  EXPECT_EQ(g().conditions.measured.refLevel, -23);
  EXPECT_EQ(g().analysis.lineMarkers[2].on, 1);
}

TEST_F(MemorySlotTest, MemoryKeysSaveAndRecallTheActiveTrace) {
  Fill(3, 11, kAttrFix);
  g().traces.state.activeTrace = 3;
  Press("Alt+F2", "F1");
  Type("12");
  Press("Enter", "F2");
  EXPECT_EQ(g().memory.current, 12);
  EXPECT_EQ(g().memory.slot[12].used, 1);
  EXPECT_EQ(g().memory.status, "WRITE : TRACE TO MEMORY NO.12");
  Press("F1", "Down", "F3");  // slot 11 is empty
  EXPECT_EQ(g().memory.current, 11);
  EXPECT_EQ(g().messages.currentMessage, kMsgUnsuitableMemory);
  EXPECT_EQ(g().memory.status, "READ : MEMORY NO.11 TO TRACE");
  Press("F5");
  EXPECT_EQ(g().memory.listParameter, 1);
  EXPECT_TRUE(MemoryListShown());
  const MemoryListView v = MemoryListLayout();
  EXPECT_EQ(v.lines[0], "MEMORY LIST");
  EXPECT_EQ(v.lines[v.cursorLine].substr(0, 2), "11");
  EXPECT_EQ(v.pageLine, "1/4");
}

}  // namespace
}  // namespace vq
