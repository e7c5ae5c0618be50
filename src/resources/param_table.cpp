// The parameter table, its preferred-value lists, the model limit blocks and the value formats.
//
// [SECTION] Value formats
// [SECTION] Preferred-value lists
// [SECTION] Parameter table
// [SECTION] Model limits
#include <cmath>

#include "resources/param_table.h"

namespace vq {

//-------------------------------------------------------------------------------------------------
// [SECTION] Value formats
//-------------------------------------------------------------------------------------------------

constexpr std::array<const char*, kValueFormatCount> kValueFormats = {
    "%8.3fnm",   "%8.4fTHz",   "%6.1fnm",   "%6.2fTHz", "%6.1fdBm", "%6.1fdB", "%4.1fdB/D",
    "%5.3f/D",   "%5.1fdB/km", "%5.1f%%/D", "%5.2f",    "%6.1f%%",  "%6.3fkm", "%4.0fdBm",
    "%6.0f",     "%11.0f",     "%3.0fDIV",  "%7.0fsec", "%6.3fnm",  "%7.3fdB", "%9.4fnm",
    "%8.3fTHz",  "%6.4f",      "%6.2fdB",   "%3.0fdB",  "%5.1fGHz", "%08X",    "%6.1f",
    "%4.0fmsec", "%8dmin",     "%6ld",      "%11ld",
};
static_assert(kValueFormats[kFmtInt11][3] == 'l' && kValueFormats[kFmtWl][5] == 'n',
              "the format names follow the table order");

//-------------------------------------------------------------------------------------------------
// [SECTION] Preferred-value lists (ascending, ended by -1.0)
//-------------------------------------------------------------------------------------------------

namespace {

// N - 1 entries: the sequence, then `tail` when it is above 0, then the -1.0 end.
template <size_t N>
constexpr std::array<double, N> OneTwoFiveList(int firstExp, double tail = 0) {
  std::array<double, N> list{};
  const size_t count = N - (tail > 0 ? 2 : 1);
  for (size_t i = 0; i < count; ++i) list[i] = OneTwoFive(firstExp, static_cast<int>(i));
  if (tail > 0) list[count] = tail;
  list[N - 1] = -1.0;
  return list;
}

constexpr auto kLinearLevelList = OneTwoFiveList<38>(-9);     // 1e-09 .. 1000
constexpr auto kScaleList = OneTwoFiveList<8>(-1);            // 0.1 .. 10
constexpr auto kLengthList = OneTwoFiveList<17>(-3, 99.999);  // 0.001 .. 50, 99.999
constexpr auto kAverageList = OneTwoFiveList<11>(0);          // 1 .. 1000
constexpr auto kSegmentList = OneTwoFiveList<16>(0, 50001);   // 1 .. 20000, 50001
constexpr auto kZoomSpanWlList = OneTwoFiveList<14>(-1);      // 0.1 .. 1000
constexpr auto kZoomSpanList = OneTwoFiveList<15>(-2);        // 0.01 .. 200
constexpr double kSubScaleLinList[] = {0.005, 0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1, 1.25, -1};
constexpr double kSubScalePctList[] = {0.5, 1, 2, 5, 10, 20, 50, 100, 125, -1};
constexpr double kSamplingList[] = {101, 200, 500, 1000, 2000, 5000, 10000, 20000, 50001, -1};

static_assert(kLinearLevelList[0] == 1e-09 && kLinearLevelList[35] == 500 &&
              kLinearLevelList[36] == 1000);
static_assert(kScaleList[0] == 0.1 && kScaleList[6] == 10);
static_assert(kLengthList[1] == 0.002 && kLengthList[14] == 50 && kLengthList[15] == 99.999);
static_assert(kAverageList[9] == 1000 && kSegmentList[13] == 20000 && kSegmentList[14] == 50001);
static_assert(kZoomSpanWlList[12] == 1000 && kZoomSpanList[0] == 0.01 && kZoomSpanList[13] == 200);

//-------------------------------------------------------------------------------------------------
// [SECTION] Parameter table
//-------------------------------------------------------------------------------------------------

constexpr double kModel = 0;  // filled from the model limit block when the entry opens

template <size_t N>
constexpr ParamRecord Row(const char (&name)[N], double max, double min, double third, double res,
                          double fine, double coarse, ValueFormat format,
                          const double* list = nullptr) {
  static_assert(N <= 16, "a parameter name fits 16 bytes with its terminator");
  ParamRecord r{max, min, third, res, fine, coarse, list, {}, format, false};
  for (size_t i = 0; i < N; ++i) r.name[i] = name[i];
  return r;
}

constexpr ParamRecord AsList(ParamRecord r) {
  r.list = true;
  return r;
}

// Identifiers that serve list entries and the service pages: no limits, no name.
constexpr ParamRecord kListRow = AsList(Row("", 0, 0, 0, 0, 0, 0, kFmtInt6));

}  // namespace

constexpr std::array<ParamRecord, kParameterCount> kParameterTable = {{
    Row("CENTER WL", kModel, kModel, 1000, 1000, 0.1, 1, kFmtWl),  // 0
    Row("CENTER FREQ", kModel, kModel, 1000, 10000, 0.01, 0.1, kFmtFreq),
    Row("SPAN WL", kModel, 0, 1000, 10, 1, 0, kFmtSpanWl),  // list built per model
    Row("SPAN FREQ", kModel, 0, 1000, 100, 0.1, 0, kFmtSpanFreq),
    Row("START WL", kModel, kModel, 1000, 1000, 0.1, 1, kFmtWl),
    Row("START FREQ", kModel, kModel, 1000, 10000, 0.01, 0.1, kFmtFreq),  // 5
    Row("STOP WL", kModel, kModel, 1000, 1000, 0.1, 1, kFmtWl),
    Row("STOP FREQ", kModel, kModel, 1000, 10000, 0.01, 0.1, kFmtFreq),
    Row("ZOOM CENTER WL", kModel, kModel, 1000, 1000, 0.1, 1, kFmtWl),
    Row("ZOOM CENTER", kModel, kModel, 1000, 10000, 0.01, 0.1, kFmtFreq),
    Row("ZOOM SPAN WL", kModel, 0.1, 1000, 10, 1, 0, kFmtSpanWl, kZoomSpanWlList.data()),  // 10
    Row("ZOOM SPAN", kModel, 0.01, 1000, 100, 0.1, 0, kFmtSpanFreq, kZoomSpanList.data()),
    Row("ZOOM START WL", kModel, kModel, 1000, 1000, 0.1, 1, kFmtWl),
    Row("ZOOM START", kModel, kModel, 1000, 10000, 0.01, 0.1, kFmtFreq),
    Row("ZOOM STOP WL", kModel, kModel, 1000, 1000, 0.1, 1, kFmtWl),
    Row("ZOOM STOP", kModel, kModel, 1000, 10000, 0.01, 0.1, kFmtFreq),  // 15
    Row("REF LEVEL", 30, -90, 1, 10, 0.1, 1, kFmtDbm),
    Row("REF LEVEL", 1000, 1e-09, 1, 1, 0.1, 0, kFmtCount6, kLinearLevelList.data()),  // mW
    Row("LOG SCALE", 10, 0.1, 1, 10, 0.1, 0, kFmtDbDiv, kScaleList.data()),
    Row("BASE LEVEL", 0, 0, 1, 1, 0.1, 1, kFmtCount6),                           // linear, mW
    Row("SUB SCALE LOG", 10, 0.1, 1, 10, 0.1, 0, kFmtDbDiv, kScaleList.data()),  // 20
    Row("SUB SCALE LIN", 1.25, 0.005, 1, 1000, 0.005, 0, kFmtLinDiv, kSubScaleLinList),
    Row("SUB SCALE", 10, 0.1, 1, 10, 0.1, 0, kFmtDbKm, kScaleList.data()),
    Row("SUB SCALE", 125, 0.5, 1, 10, 0.1, 0, kFmtPctDiv, kSubScalePctList),
    Row("OFFSET LEVEL", 99.9, -99.9, 1, 10, 0.1, 1, kFmtDb),
    Row("SCALE MIN", 12.5, 0, 1, 100, 0.01, 0, kFmtPlain2),  // 25
    Row("OFFSET LEVEL", 99.9, -99.9, 1, 10, 0.1, 1, kFmtDb),
    Row("SCALE MIN", 1250, 0, 1, 10, 0.1, 0, kFmtPct),
    Row("LENGTH", 99.999, 0.001, 1, 1000, 0.001, 0, kFmtKm, kLengthList.data()),
    Row("SAMPLING POINT", 50001, 101, 1, 1, 1, 0, kFmtCount6, kSamplingList),
    Row("SAMPL INTERVAL", 0, 0, 1000, 1000, 0.001, 0.001, kFmtNm3),  // 30
    Row("AVERAGE TIMES", 999, 1, 1, 1, 1, 0, kFmtCount6, kAverageList.data()),
    Row("REF POSITION", 0, 0, 1, 1, 1, 0, kFmtDiv),
    Row("SEGMENT POINT", 50001, 1, 1, 1, 1, 0, kFmtCount6, kSegmentList.data()),
    Row("SWEEP INTERVAL", 99999, 0, 1, 1, 1, 0, kFmtSec),
    Row("SWEEP TIME", 50, 0, 1, 1, 1, 0, kFmtMin),  // 35
    Row("NOISE MASK", 0, -101, 1, 1, 1, 10, kFmtDbmInt),
    Row("MOVE MARKER", 0, 0, 1000, 1, 0, 0, kFmtWl),
    Row("SET MARKER", 1024, 1, 1, 1, 1, 10, kFmtInt6),
    Row("CLEAR MARKER", 1024, 1, 1, 1, 1, 10, kFmtInt6),
    Row("LINE MARKER 1", 0, 0, 1000, 10000, 0, 0, kFmtNm4),  // 40
    Row("LINE MARKER 2", 0, 0, 1000, 10000, 0, 0, kFmtNm4),
    Row("LINE MARKER 3", 0, 0, 1000, -1, 0, 0, kFmtDb3),
    Row("LINE MARKER 4", 0, 0, 1000, -1, 0, 0, kFmtDb3),
    Row("MODE DIFF", 50, 0.01, 1, 100, 0.01, 1, kFmtDb2),
    Row("", 50, 0, 1, 10, 0.1, 1, kFmtPlain1),  // 45
    Row("", 50, 0.1, 1, 10, 0.1, 1, kFmtPlain1),
    Row("", 30, -90, 1, 1000, 0.001, 0.1, kFmtDb3),
    Row("", 50, 0.01, 1, 100, 0.01, 1, kFmtPlain2),
    Row("", 50, 0.01, 1, 100, 0.01, 1, kFmtPlain2),
    Row("", 99.9, 0.1, 1, 10, 0.1, 10, kFmtPlain1),  // 50
    Row("", 10, 1, 1, 100, 0.01, 1, kFmtPlain2),
    Row("", 99.99, -99.99, 1, 100, 0.01, 1, kFmtDb2),
    Row("THRESH", 99, 0, 1, 1, 1, 1, kFmtDbInt),
    Row("", 0, -100, 1, 100, 0.1, 1, kFmtDb2),
    Row("", 10, 0.01, 1, 100, 0.01, 1, kFmtPlain2),  // 55
    Row("", 10, 0.01, 1, 100, 0.01, 1, kFmtPlain2),
    Row("", 1, 0.01, 1, 100, 0.01, 1, kFmtPlain2),
    Row("", 1024, 1, 1, 1, 1, 10, kFmtInt6),
    Row("", 50, 0, 1, 100, 0.01, 1, kFmtPlain2),
    Row("", 50, 0.001, 1, 1000, 0.001, 1, kFmtNm3),  // 60
    Row("", 99.99, 0.01, 1, 100, 0.01, 1, kFmtPlain2),
    Row("", 9.999, 0.001, 1, 1000, 0.001, 0.1, kFmtNm3),
    Row("WL SHIFT", 5, -5, 1000, 1000, 0.001, 0.1, kFmtNm3),
    Row("LEVEL SHIFT", 60, -60, 1, 1000, 0.001, 0.1, kFmtDb3),
    Row("LASER", kModel, kModel, 1000, 1000, 0.001, 1, kFmtWl),  // 65
    Row("ROLL AVERAGE", 100, 2, 1, 1, 1, 10, kFmtCount6),
    Row("k", 20000, 1, 1, 10000, 0.0001, 0, kFmtPlain4),
    Row("", 0, 0, 1000, 10000, 0.0001, 1, kFmtNm4),
    Row("", 0, 0, 1000, 10000, 0.0001, 1, kFmtNm4),   // limits from the settings
    Row("", 999.9, 0.1, 1, 10, 0.1, 10, kFmtPlain1),  // 70
    Row("VALUE", 0, 0, 1000, 10000, 0.0001, 1, kFmtNm4),
    Row("PORT ADDRESS", 30, 0, 1, 1, 1, 1, kFmtInt6),
    kListRow,
    Row("ADDRESS", 0, 0, 1, 1, 4, 4, kFmtHex),
    Row("DATA", 0, 0, 1, 1, 1, 1, kFmtHex),  // 75
    Row("PHASE", 0, 0, 1, 1, 1, 100, kFmtInt6),
    Row("OFFSET", 0, 0, 1, 1, 1, 100, kFmtInt6),
    Row("DAC", 0, 0, 1, 1, 1, 100, kFmtInt6),
    Row("ALPHA CONSTANT", 4, 2, 1, 1, 1, 1, kFmtInt6),
    Row("PALETTE NO.", 80, 3, 1, 1, 1, 1, kFmtInt6),  // 80
    Row("RGB", 5, 0, 1, 1, 1, 1, kFmtInt6),
    Row("", 200, 1, 1, 1, 1, 1, kFmtInt6),
    Row("", 1000, 1, 1, 100, 0.01, 0.01, kFmtPlain2),
    Row("", 50, -210, 1, -1, 0.01, 1, kFmtPlain2),
    Row("", 2500, 0, 1, -1, 0.01, 1, kFmtPlain2),  // 85
    kListRow,
    kListRow,
    Row("", 63, 0, 1, 1, 1, 1, kFmtInt6),
    Row("", 255, 0, 1, 1, 1, 1, kFmtInt6),
    Row("EXECUTE NO.", 21, 1, 1, 1, 1, 1, kFmtInt6),  // 90
    Row("DELAY", 1000, 0, 1, 10, 0.1, 1, kFmtPlain1),
    Row("", 0.1, -0.1, 1000, 1000, 0.001, 0.1, kFmtNm3),
    Row("", 1, -1, 1, 1000, 0.001, 0.1, kFmtPlain4),
    Row("WL SHIFT", 999.999, -999.999, 1, 1000, 0.001, 0.1, kFmtWl),
    Row("LEVEL SHIFT", 99.99, -99.99, 1, 100, 0.01, 1, kFmtDb2),  // 95
    Row("", 0, 0, 1000, 1000, 0.001, 1, kFmtWl),
    Row("", 0, -99.99, 1, 100, 0.01, 1, kFmtDb2),
    Row("", 10, -10, 1, 1000, 0.01, 1, kFmtDb3),
    Row("", 99.99, 0, 1, 100, 0.01, 1, kFmtDb2),
    Row("PORT NO.", 65535, 1024, 1, 1, 1, 10, kFmtInt6),  // 100
    Row("PAGE NO.", 0, 0, 1, 1, 1, 1, kFmtInt6),
    Row("PULSE", 0, 0, 1, 1, 1, 100, kFmtInt6),
    Row("PEAK HOLD", 9999, 1, 1, 1, 1, 100, kFmtMsec),
    kListRow,
    Row("ADDRESS", 65535, 0, 1, 1, 1, 100, kFmtHex),  // 105
    Row("DATA", 65535, 0, 1, 1, 1, 100, kFmtHex),
    Row("SMOOTH", 3, 0, 1, 1, 1, 1, kFmtInt6),
    Row("", 0, 0, 1000, 10000, 0.0001, 1, kFmtNm4),
    Row("", 0, 0, 1000, 100000, 0.0001, 0.1, kFmtNm4),
    Row("INTERVAL", 999, 10, 1, 1, 1, 10, kFmtMsec),  // 110
    Row("CHANGE TABLE", 3, 0, 1, 1, 1, 1, kFmtInt6),
    Row("COUNT NO.", 1e+09, 0, 1, 1, 1, 100, kFmtInt11),
    Row("", 999, 10, 1, 1, 1, 10, kFmtMsec),
    Row("THRESH", 99.99, 0.01, 1, 100, 0.01, 1, kFmtDb2),
    Row("LINE MKR Y1", 100, 0, 1, 100, 0.01, 0.1, kFmtPlain2),  // 115
    Row("LINE MKR Y2", 100, 0, 1, 100, 0.01, 0.1, kFmtPlain2),
    Row("RESOLUTION", 2, 0, 1000, 1000, 1, 1, kFmtNm3),
    Row("RESOLUTION", 2, 0, 1000, 1000, 1, 1, kFmtNm3),
    AsList(Row("SENS/MODE", 0, 0, 1, 1, 1, 1, kFmtInt6)),  // 119
}};

namespace {

constexpr bool NameIs(int id, const char* name) {
  const char* n = kParameterTable[id].name;
  for (; *name != 0; ++n, ++name) {
    if (*n != *name) return false;
  }
  return *n == 0;
}
// A row left out or doubled would shift every identifier after it.
static_assert(NameIs(10, "ZOOM SPAN WL") && NameIs(31, "AVERAGE TIMES") && NameIs(53, "THRESH") &&
              NameIs(65, "LASER") && NameIs(90, "EXECUTE NO.") && NameIs(100, "PORT NO.") &&
              NameIs(112, "COUNT NO.") && NameIs(119, "SENS/MODE"));
static_assert(kParameterTable[73].list && kParameterTable[86].list && kParameterTable[87].list &&
              kParameterTable[104].list && !kParameterTable[118].list);

//-------------------------------------------------------------------------------------------------
// [SECTION] Model limits
//-------------------------------------------------------------------------------------------------

constexpr ModelLimitUse kModelLimitUses[] = {
    {0, 0, 1},    {8, 0, 1},   {65, 0, 1},   {1, 2, 3},   {9, 2, 3},    {2, -1, 5},
    {10, 4, 5},   {3, -1, 7},  {11, 6, 7},   {4, 8, 9},   {12, 8, 9},   {5, 10, 11},
    {13, 10, 11}, {6, 12, 13}, {14, 12, 13}, {7, 14, 15}, {15, 14, 15},
};
static_assert(std::size(kModelLimitUses) == 17, "ids 0 to 15 and 65");

}  // namespace

constexpr std::array<std::array<double, kModelLimitValues>, kModelVariantCount> kModelLimits = {{
    {600, 1700, 176.5, 500, 0.1, 1100, 0.01, 330, 50, 1700, 11.5, 500, 600, 2250, 176.5, 665},
    {600, 2000, 150, 500, 0.1, 1400, 0.01, 350, -100, 2000, 1, 500, 600, 2700, 150, 675},
    {600, 1750, 171.5, 500, 0.1, 1150, 0.01, 350, 25, 1750, 1, 500, 600, 2325, 171.5, 675},
    {600, 1800, 166.5, 500, 0.1, 1200, 0.01, 350, 0, 1800, 1, 500, 600, 2400, 166.5, 675},
}};

std::span<const ModelLimitUse> ModelLimitUses() {
  return kModelLimitUses;
}

const double* ZoomSpanWlList() {
  return kZoomSpanWlList.data();
}

const double* ZoomSpanList() {
  return kZoomSpanList.data();
}

}  // namespace vq
