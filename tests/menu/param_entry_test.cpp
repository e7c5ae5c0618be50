// Tests of parameter entry: typing, confirming, rounding, stepping, lists, limits and the window.
#include "menu/param_entry.h"

#include <cmath>
#include <string>
#include <tuple>

#include "menu/key_commands.h"
#include "support/instrument_fixture.h"

namespace vq {
namespace {

constexpr int kCenterWl = 0, kSpanWl = 2, kLinearRef = 17, kAverage = 31, kSampling = 29;
constexpr int kNoiseMask = 36, kModeDiff = 44, kUnrounded = 84, kValue = 71, kPageNo = 101;
constexpr int kResolution = 118, kListId = 86, kSensMode = 119;

class ParamEntryTest : public StartedInstrumentTest {
 protected:
  EntryState& e() { return g().entry; }
  // Types the characters one by one; the result of the last.
  int Type(std::string_view keys) {
    int r = -2;
    for (char c : keys) r = EntryKey(c);
    return r;
  }
  std::string Digits() { return std::string(e().digits, e().length); }
  double Enter(std::string_view keys, int parameter, double start) {
    Open(parameter, start);
    Type(keys);
    EXPECT_EQ(EntryKey(kCmdEnter), 1) << keys;
    return e().value;
  }
  // Steps n times in one direction; the number of steps that changed the value.
  int Step(int key, int n = 1) {
    int changed = 0;
    for (int i = 0; i < n; ++i) changed += EntryStep(key) == 1;
    return changed;
  }
  // Steps once; the new value, or NaN when the step changed nothing.
  double Stepped(int key) { return EntryStep(key) == 1 ? e().value : std::nan(""); }
  // Ends any entry and opens a new one.
  void Open(int parameter, double value, int variant = -1) {
    EndEntry();
    StartEntry(0, variant, parameter, value);
  }
};

TEST_F(ParamEntryTest, DigitTypingFollowsTheBufferRules) {
  ASSERT_EQ(StartEntry(0, -1, kModeDiff, 1.0), 1);
  EXPECT_EQ(Type("05"), 0);
  EXPECT_EQ(Digits(), "5");
  EXPECT_EQ(Type("-0.5"), 0);
  EXPECT_EQ(Digits(), "-0.5");
  EXPECT_EQ(EntryKey('.'), -1);  // a second point
  EXPECT_EQ(EntryKey(kCmdBackSpace), 0);
  EXPECT_EQ(EntryKey(kCmdBackSpace), 0);
  EXPECT_EQ(Digits(), "-0");
  EXPECT_EQ(EntryKey('.'), 0);  // the removed point no longer counts
  EXPECT_EQ(Type("12-"), 0);    // "-" restarts the buffer
  EXPECT_EQ(Digits(), "-");
  EXPECT_EQ(Type("123456789"), 0);
  EXPECT_EQ(EntryKey('0'), -1);  // an eleventh character
  EXPECT_EQ(EntryKey('.'), -1);
  EXPECT_EQ(Digits(), "-123456789");
  EXPECT_EQ(Type("-"), 0);
  EXPECT_EQ(EntryKey(kCmdBackSpace), 0);  // a single character clears
  EXPECT_EQ(Digits(), "");
  EXPECT_EQ(EntryKey(kCmdEnter), -1);  // nothing to confirm
  EXPECT_EQ(EntryKey('a'), -1);
  EXPECT_EQ(e().value, 1.0);
  EndEntry();
  EXPECT_EQ(EntryKey('5'), -1);  // no entry open
}

TEST_F(ParamEntryTest, ConfirmedDigitsAreConvertedRoundedAndClamped) {
  EXPECT_DOUBLE_EQ(Enter("0.5", kModeDiff, 1), 0.5);
  EXPECT_DOUBLE_EQ(Enter("12.345", kModeDiff, 1), 12.35);  // bias rounds the half up
  EXPECT_DOUBLE_EQ(Enter("99", kModeDiff, 1), 50);
  EXPECT_DOUBLE_EQ(Enter("-", kModeDiff, 7), 7);  // no digit: the value stays
  EXPECT_DOUBLE_EQ(Enter("3", kPageNo, 0), 0);    // limits 0..0 until the owner fills them
  SetParameterLimits(kPageNo, 0, 9);
  EXPECT_DOUBLE_EQ(Enter("3", kPageNo, 0), 2);
  EXPECT_EQ(FormatEntryValue(kPageNo, 2), "     3");
  EXPECT_DOUBLE_EQ(Enter("2", kResolution, 0), 0.01);
  EXPECT_DOUBLE_EQ(Enter("0.01", kResolution, 0), 0.01);
  EXPECT_EQ(SetParameterLimits(kValue, 1, 2), 0);
  EXPECT_DOUBLE_EQ(Enter("5", kValue, 1.5), 1.5);  // outside: ignored, not clamped
  EXPECT_DOUBLE_EQ(Enter("1.25", kValue, 1.5), 1.25);
  EXPECT_EQ(SetParameterLimits(kValue, 2, 1), -1);
  EXPECT_EQ(SetParameterLimits(kParameterCount, 0, 1), -1);
  // The linear level is typed in the unit it shows and renormalised.
  EXPECT_DOUBLE_EQ(Enter("20", kLinearRef, 5e-3), 0.02);  // 5 uW shown: 20 uW
  EXPECT_EQ(FormatEntryValue(kLinearRef, 0.02), "    20uW");
  EXPECT_DOUBLE_EQ(Enter("2000", kLinearRef, 5), 1000);  // 2000 mW clamps to 1 W
  EXPECT_EQ(FormatEntryValue(kLinearRef, 1000), "     1W");
  EXPECT_DOUBLE_EQ(Enter("0.5", kLinearRef, 5), 0.5);
  EXPECT_EQ(FormatEntryValue(kLinearRef, 0.5), "   500uW");
  EXPECT_EQ(FormatEntryValue(kNoiseMask, -101), "MINIMUM");
  EXPECT_EQ(FormatEntryValue(kCenterWl, 1550), "1550.000nm");
}

TEST_F(ParamEntryTest, RoundToBiasAndClampResults) {
  EXPECT_EQ(RoundTo(2.4999996, 1), 3);
  EXPECT_EQ(RoundTo(2.4999994, 1), 2);
  EXPECT_EQ(RoundTo(-1.5, 1), -2);
  EXPECT_EQ(RoundTo(0.123456, -1), 0.123456);
  EXPECT_FALSE(std::signbit(RoundTo(-0.04, 10)));  // would show as "-0.0"
  // Clamp says whether the value was within the limits (1 to 999 times).
  for (auto [in, within, out] : {std::tuple{0.0, 0, 1.0}, {1000.0, 0, 999.0}, {500.0, 1, 500.0}}) {
    double v = in;
    EXPECT_EQ(Clamp(v, kAverage), within) << in;
    EXPECT_EQ(v, out);
  }
}

TEST_F(ParamEntryTest, FineStepsStopAtLimitsAndDoNotDrift) {
  StartEntry(0, -1, kAverage, 999);
  g().frame.redrawFlags = 0;
  EXPECT_EQ(EntryStep(kCmdUp), 0);
  EXPECT_EQ(e().value, 999);
  EXPECT_EQ(Stepped(kCmdLeft), 998);
  EXPECT_TRUE(g().frame.redrawFlags & kRedrawDynamicOnly);
  EXPECT_EQ(EntryStep(kCmdInsert), -1);
  // An unrounded parameter: a hundred steps of 0.01 land on 1 exactly.
  Open(kUnrounded, 0);
  EXPECT_EQ(Step(kCmdUp, 100), 100);
  EXPECT_EQ(e().value, 1.0);
  // The noise mask's "off" value goes to -100 whatever the step.
  Open(kNoiseMask, -101);
  ToggleStepMode();
  EXPECT_EQ(Stepped(kCmdRight), -100);
  EXPECT_EQ(Stepped(kCmdDown), -101);
  // A step throws away unconfirmed digits.
  Open(kModeDiff, 10);
  Type("7");
  EXPECT_EQ(EntryStep(kCmdUp), 1);
  EXPECT_EQ(Digits(), "");
  EXPECT_FALSE(e().edited);
  EXPECT_DOUBLE_EQ(e().value, 11);  // coarse step 1
}

TEST_F(ParamEntryTest, CoarseStepsWalkThePreferredValues) {
  StartEntry(0, -1, kAverage, 1);
  g().frame.redrawFlags = 0;
  ToggleStepMode();
  EXPECT_EQ(e().stepMode, 1);
  EXPECT_TRUE(g().frame.redrawFlags & kRedrawDynamicOnly);  // the step indicator
  for (double v : {2, 5, 10}) EXPECT_EQ(Stepped(kCmdUp), v);
  for (double v : {5, 2, 1}) EXPECT_EQ(Stepped(kCmdDown), v);
  EXPECT_EQ(EntryStep(kCmdDown), 0);
  e().value = 500;
  EXPECT_EQ(Stepped(kCmdUp), 999);  // 1000 is listed, the maximum is 999
  EXPECT_EQ(EntryStep(kCmdUp), 0);
  e().value = 3;  // off the list: the neighbours
  EXPECT_EQ(Stepped(kCmdDown), 2);
  Open(kSampling, 20000);
  EXPECT_EQ(Stepped(kCmdUp), 50001);
  // The linear level: 1-2-5 coarse, one mantissa digit fine.
  Open(kLinearRef, 1e-3);
  EXPECT_DOUBLE_EQ(Stepped(kCmdDown), 5e-4);
  ToggleStepMode();
  EXPECT_EQ(e().stepMode, 0);
  EXPECT_DOUBLE_EQ(Stepped(kCmdUp), 5.01e-4);  // 500 nW to 501 nW
  e().value = 1;
  EXPECT_DOUBLE_EQ(Stepped(kCmdDown), 0.999);
  EXPECT_DOUBLE_EQ(Stepped(kCmdUp), 1);
}

TEST_F(ParamEntryTest, ModelLimitsAndSpanListsFollowTheVariant) {
  EXPECT_EQ(StartEntry(0, 4, kCenterWl, 1550), -1);
  EXPECT_EQ(StartEntry(0, -1, kParameterCount, 0), -1);
  EXPECT_DOUBLE_EQ(Enter("1800", kCenterWl, 1550), 1700);
  EXPECT_DOUBLE_EQ(Enter("500", kCenterWl, 1550), 600);
  EXPECT_EQ(e().params[4].minimum, 50);
  g().entry.modelVariant = 1;
  EXPECT_DOUBLE_EQ(Enter("1800", kCenterWl, 1550), 1800);
  EXPECT_EQ(e().params[4].minimum, -100);
  EXPECT_EQ(e().params[65].maximum, 2000);
  Open(kCenterWl, 1550, 2);  // an explicit variant wins
  EXPECT_EQ(e().params[kCenterWl].maximum, 1750);
  // The span list ends with the maximum of the variant, one coarse step above 1000 nm.
  for (int variant : {0, 1}) {
    Open(kSpanWl, 1000, variant);
    e().stepMode = 1;
    EXPECT_EQ(Stepped(kCmdUp), variant == 0 ? 1100 : 1400);
    EXPECT_EQ(EntryStep(kCmdUp), 0);
    e().value = 0;
    EXPECT_EQ(Stepped(kCmdUp), 0.1);
  }
}

TEST_F(ParamEntryTest, ListEntriesWrapAndTakeTypedItems) {
  ASSERT_EQ(StartEntry(4, -1, kSensMode, 2), 2);
  EXPECT_FALSE(e().windowShown);
  EXPECT_EQ(EntryKey('1'), -1);  // no typing
  EXPECT_EQ(Step(kCmdUp, 3), 3);
  EXPECT_EQ(e().listPosition, 3);  // 1, 0, then around to 3
  EXPECT_EQ(Stepped(kCmdDown), 0);
  g().screen.screenMode = 8;  // these pages stop at the ends
  EXPECT_EQ(EntryStep(kCmdUp), 0);
  EXPECT_EQ(e().listPosition, 0);
  g().screen.screenMode = 0;
  EndEntry();
  ASSERT_EQ(StartEntry(5, -1, kListId, 1), 2);
  EXPECT_EQ(Type("3"), 0);
  EXPECT_EQ(EntryKey(kCmdEnter), 1);
  EXPECT_EQ(e().listPosition, 3);
  EXPECT_EQ(Type("7"), 0);
  EXPECT_EQ(EntryKey(kCmdEnter), -1);  // no such item
  EXPECT_EQ(e().listPosition, 3);
}

TEST_F(ParamEntryTest, LinearLevelShowsAndRemovesItsPage) {
  ASSERT_EQ(g().menu.depth, 0);
  const int page = g().menu.page;
  e().linearScalePage = true;
  StartEntry(0, -1, kLinearRef, 1);
  EXPECT_EQ(EntryKey('2'), 0);
  EXPECT_EQ(g().menu.depth, 1);
  EXPECT_EQ(g().menu.page, 5);
  e().linearScalePage = false;
  g().frame.redrawFlags = 0;
  EndEntry();
  EXPECT_EQ(g().menu.depth, 0);
  EXPECT_EQ(g().menu.page, page);
  EXPECT_EQ(e().parameter, -1);
  EXPECT_EQ(g().frame.redrawFlags & (kRedrawDynamicOnly | kRedrawSoftKeys),
            kRedrawDynamicOnly | kRedrawSoftKeys);
}

TEST_F(ParamEntryTest, EntryWindowShowsNameValueDigitsAndStepMode) {
  DistinctSlotColours();
  auto pass = [&] {
    g().frame.redrawFlags = kRedrawDynamicOnly;
    RedrawScreen(true, false);
  };
  const Surface& back = g().screen.backBuffer;
  pass();
  const uint32_t before = back.At(560, 200);
  StartEntry(0, -1, kCenterWl, 1550);
  pass();
  const uint32_t fill = Slot(48), text = Slot(73), value = Slot(42), mode = Slot(57);
  EXPECT_EQ(TextMismatch(back, kFontNormal, 512, 178, "CENTER WL", text, fill), "");
  EXPECT_EQ(TextMismatch(back, kFontNormal, 512, 196, "1550.000nm", value, fill), "");
  EXPECT_EQ(TextMismatch(back, kFontSmall, 512, 220, "FINE", mode, fill), "");
  EXPECT_EQ(TextMismatch(back, kFontSmall, 513, 245, "MAX 1700.000nm", text, fill), "");
  Type("15");
  ToggleStepMode();
  EntryKey(kCmdCtrlHome);
  pass();
  EXPECT_EQ(TextMismatch(back, kFontNormal, 512, 196, "15", value, fill), "");
  EXPECT_EQ(back.At(512 + 16, 206), value);  // the cursor after the digits
  EXPECT_EQ(TextMismatch(back, kFontSmall, 512, 220, "COARSE", mode, fill), "");
  EXPECT_EQ(TextMismatch(back, kFontSmall, 513, 245, "COARSE STEP", text, fill), "");
  EndEntry();
  pass();
  EXPECT_EQ(back.At(560, 200), before);
}

}  // namespace
}  // namespace vq
