// State of the searches and analyses: search settings, markers, line markers, the search range,
// the work buffer and turning points, the multi-search table, and the spectral width.
#pragma once

#include <array>
#include <cstdint>

#include "state/filter_state.h"
#include "state/light_source_state.h"
#include "state/trace_state.h"
#include "state/wdm_state.h"

namespace vq {

constexpr int kMarkerSlots = 1025;  // slot 0 the moving marker, 1 to 1024 the fixed markers
constexpr int kMovingMarker = 0;
constexpr int kFixedMarkers = 1024;
constexpr int kLineMarkers = 4;  // L1, L2 wavelengths (nm); L3, L4 levels (mW)

struct MarkerSlot {
  uint16_t on = 0;
  uint16_t x = 0, y = 0;  // screen position of the symbol, kept by the waveform display
  uint16_t trace = 0;
  int32_t index = 0;
  double wavelength = 0.0;  // nm, always the wavelength of `index`
  double level = 0.0;       // mW; a negative trace value is stored as 0
};

struct LineMarker {
  uint16_t on = 0;
  double value = 0.0;
};

// The search settings of the instrument (saved with the settings).
struct SearchSettings {
  double modeDiff = 3.0;          // dB
  uint16_t searchMode = 0;        // 0 SINGL, 1 MULTI
  double multiThresh = 20.0;      // dB
  uint16_t sortBy = 0;            // 0 WL, 1 LVL
  uint16_t autoSearch = 0;        // off/on
  uint16_t lastKind = 1;          // 1 peak, 0 bottom
  uint16_t rangeLineMarkers = 0;  // "SEARCH/ANA" "L1-L2"
  uint16_t rangeZoom = 0;         // "SEARCH/ANA" "ZOOM AREA"
  uint16_t markerUnit = 0;        // 0 nm, 1 THz
  uint16_t markerDisplay = 0;     // 0 OFFSET, 1 SPACING
  uint16_t markerAutoUpdate = 0;  // off/on
};

enum RangeMode : int16_t { kRangeWhole = 0, kRangeExplicit = 1, kRangeMarkers = 2 };
struct SearchRange {
  int32_t start = 0, end = 0;  // S and E, data indices, both included
  int16_t mode = kRangeWhole;
};

// States of a turning point.
enum TurningState : uint8_t {
  kCandidatePeak,
  kCandidateBottom,
  kQualifiedPeak,
  kQualifiedBottom,
  kSelectedPeak,
  kSelectedBottom,
};
constexpr bool IsPeakState(uint8_t s) {
  return s == kCandidatePeak || s == kQualifiedPeak || s == kSelectedPeak;
}

struct TurningPoint {
  int32_t index;
  uint8_t state;
};

struct TurningPointList {
  std::array<TurningPoint, kMaxPoints> entries;
  int32_t last = -1;          // the list holds entries 0 to last
  int32_t highestPos = -1;    // list position of the highest candidate peak
  int32_t highestIndex = 0;   // its data index
  double highestLevel = 0.0;  // and level (mW)
  int32_t qualifiedPeaks = 0, qualifiedBottoms = 0;
};

constexpr int kMultiResults = 1024;
struct MultiSearchResult {
  std::array<int32_t, kMultiResults> index{};
  uint16_t count = 0;
};

// What a search leaves for the soft-key handlers.
struct SearchResult {
  int32_t index = 0;
  double level = 0.0;  // mW
};

// Analysis items, in the order of their numbers.
enum AnalysisItem : uint16_t {
  kItemThresh,
  kItemEnvelope,
  kItemRms,
  kItemPeakRms,
  kItemNotch,
  kItemDfbLd,
  kItemFpLd,
  kItemLed,
  kItemSmsr,
  kItemPower,
  kItemPmd,
  kItemWdm,
  kItemEdfaNf,
  kItemFilterPk,
  kItemFilterBtm,
  kItemWdmFilPk,
  kItemWdmFilBtm,
  kItemCount,
};
constexpr int kWidthItems = 5;  // items 0 to 4 are the spectral widths

// Which analysis result is shown.
enum ResultKind : uint16_t {
  kResultNone = 0,
  kResultSpectralWidth,
  kResultDfbLd,
  kResultFpLd,
  kResultLed,
  kResultSmsr,
  kResultPower,
  kResultPmd,
  kResultColor,
  kResultWdm,
  kResultEdfaNf,
  kResultFilterPk,
  kResultFilterBtm,
  kResultWdmFilPk,
  kResultWdmFilBtm,
};

// The parameters of one spectral width algorithm; each uses the fields its item names.
struct WidthParameters {
  double threshLevel = 3.0;   // THRESH LEVEL, THRESH LEVEL1 (dB)
  double threshLevel2 = 0.0;  // THRESH LEVEL2 of ENVELOPE (dB)
  double k = 1.0;
  uint16_t modeFit = 0;  // THRESH: 0 OFF, 1 ON
  uint16_t type = 0;     // NOTCH: 0 PEAK, 1 BOTTOM
};

// Factory defaults, by item.
constexpr std::array<WidthParameters, kWidthItems> kWidthDefaults = {{
    {3.0, 0.0, 1.0, 0, 0},   // THRESH
    {3.0, 13.0, 1.0, 0, 0},  // ENVELOPE
    {20.0, 0.0, 2.0, 0, 0},  // RMS
    {20.0, 0.0, 2.0, 0, 0},  // PEAK RMS
    {3.0, 0.0, 1.0, 0, 1},   // NOTCH
}};

struct WidthResult {
  double left = 0.0, right = 0.0, centre = 0.0;  // fractional data indices (scaled by K)
  double widthNm = 0.0, widthThz = 0.0, centreNm = 0.0;
  int32_t modeCount = 0;
  double refLevel = 0.0, threshLevel = 0.0;  // mW: the two level lines on the graph
};

// The three markers of a width result: centre, left edge, right edge.
struct AnalysisMarker {
  int32_t index = 0;        // trunc(x + 0.5)
  double level = 0.0;       // mW, the trace value there (negative shown as 0)
  double wavelength = 0.0;  // nm of `index`
  double positionNm = 0.0;  // nm at the fractional index: where it is drawn
};

struct AnalysisState {
  SearchSettings search;
  std::array<MarkerSlot, kMarkerSlots> markers{};
  std::array<LineMarker, kLineMarkers> lineMarkers{};
  SearchRange range;
  std::array<double, kMaxPoints> work{};  // the analysis work buffer
  TurningPointList turning;
  MultiSearchResult multi;
  SearchResult result;
  // Analysis item, parameters and results.
  uint16_t item = kItemThresh;
  uint16_t autoAnalysis = 0;
  uint16_t resultKind = kResultNone;
  uint16_t resultTrace = 0;  // the trace the shown result was taken on
  std::array<WidthParameters, kWidthItems> widthParams = kWidthDefaults;
  WidthParameters working;
  WidthResult width;
  std::array<AnalysisMarker, 3> analysisMarkers{};
  // The other analyses: settings, working copies and results, by family.
  LightSourceState light;
  WdmState wdm;  // WDM and EDFA-NF
  FilterState filter;
  // The analysis setting window.
  int16_t settingRow = 0;   // the selected row
  int16_t settingPage = 0;  // the page shown
  bool settingSelecting = false;  // SELECT is held: a further press moves to the next row
  int16_t resultPage = 0;         // the page of a multichannel result table
  bool resultWindowHidden = false;  // SWITCH DISPLAY: the graph without the channel table
};

}  // namespace vq
