// State of the filter analyses: FILTER-PK, FILTER-BTM, WDM FIL-PK and WDM FIL-BTM.
#pragma once

#include <array>
#include <cstdint>

namespace vq {

// Algorithm codes of the filter items' "ALGO:" selectors (the instrument's own numbering).
enum FilterAlgo : uint16_t {
  kFilterAlgoThresh = 1,       // the THRESH width algorithm
  kFilterAlgoRms = 2,          // the RMS width algorithm
  kFilterAlgoNotchPeak = 7,    // NOTCH, TYPE PEAK
  kFilterAlgoNotchBottom = 8,  // NOTCH, TYPE BOTTOM
  kFilterAlgoExtreme = 10,     // the peak (bottom) wavelength itself
  kFilterAlgoGrid = 12,        // the nominal grid wavelength nearest to the peak (bottom)
};

// A width item of FILTER-PK / FILTER-BTM: its switch (1.0 = ON) and the parameters of the width
// algorithm it runs. FILTER-BTM uses no K and no MODE FIT (K 1, MODE FIT OFF).
struct FilterWidthItem {
  double sw = 1.0;
  uint16_t algo = kFilterAlgoThresh;
  double thresh = 3.0;  // dB
  double k = 1.0;
  uint16_t modeFit = 0;
  double modeDiff = 3.0;  // dB
};

struct FilterCrossTalkItem {
  FilterWidthItem width;     // the switch, ALGO and the parameters of the reference run
  double chSpace = 0.4;      // nm
  double searchArea = 0.01;  // nm
};

struct FilterPkSettings {
  double swPeakLevel = 1.0;       // A. PEAK LEVEL
  double swPeakWavelength = 1.0;  // B. PEAK WAVELENGTH
  FilterWidthItem centre;         // C. CENTER WAVELENGTH
  FilterWidthItem width;          // D. SPECTRUM WIDTH
  double swRipple = 1.0;          // E. RIPPLE WIDTH
  double rippleThresh = 3.0;
  double rippleModeDiff = 0.5;
  FilterCrossTalkItem crossTalk;  // F. CROSS TALK
};

constexpr FilterWidthItem kNotchItemDefaults = {1.0, kFilterAlgoNotchBottom, 3.0, 1.0, 0, 3.0};
struct FilterBtmSettings {
  double swBottomLevel = 1.0;                                       // A. BOTTOM LEVEL
  double swBottomWavelength = 1.0;                                  // B. BOTTOM WAVELENGTH
  FilterWidthItem centre = kNotchItemDefaults;                      // C. CENTER WAVELENGTH
  FilterWidthItem width = kNotchItemDefaults;                       // D. NOTCH WIDTH
  FilterCrossTalkItem crossTalk = {kNotchItemDefaults, 0.4, 0.01};  // E. CROSS TALK
};

// Which items of a FILTER-PK / FILTER-BTM result hold a value.
enum FilterItemFlag : uint16_t {
  kFilterLevel,       // A
  kFilterWavelength,  // B
  kFilterCentre,      // C
  kFilterWidth,       // D
  kFilterRipple,      // E of FILTER-PK
  kFilterCrossTalk,   // F of FILTER-PK, E of FILTER-BTM
  kFilterItemCount,
};

struct FilterResult {
  std::array<uint16_t, kFilterItemCount> valid{};
  double extremeIndex = 0;      // peak (bottom) data index
  double extremeNm = 0;         // peak (bottom) wavelength
  double extremeDbm = 0;        // peak (bottom) level
  double centreNm = 0;          // C
  double widthNm = 0;           // D, nm
  double widthThz = 0;          // D, THz
  double rippleDb = 0;          // E
  double crossLeftDb = -210.0;  // cross talk; -210.0 for a side outside the range
  double crossRightDb = -210.0;
  double referenceNm = 0;  // the cross talk's reference wavelength
  double chSpace = 0, searchArea = 0;
};

// WDM FIL-PK detection ALGO: 0 "PEAK", 1 "MEAN", 2 "GRID FIT", 3 "GRID".
// WDM FIL-BTM detection ALGO: 0 "BOTTOM", 1 "NOTCH(P)", 2 "NOTCH(B)", 3 "GRID FIT", 4 "GRID".
struct WdmFilterSettings {
  uint16_t algo = 1;
  double thresh = 20.0;    // dB below the highest channel (above the lowest notch)
  double modeDiff = 3.0;   // dB
  double testBand = 0.1;   // nm: the window of the grid detections
  double swPeak = 1.0;     // B
  double swWidth = 1.0;    // C
  uint16_t notchType = 1;  // C of WDM FIL-BTM, "ALGORHYTHM:": 0 PEAK, 1 BOTTOM
  double widthThresh = 3.0;
  double swStop = 1.0;  // D
  double stopThresh = -10.0;
  double swPass = 1.0;  // E
  double passThresh = 3.0;
  double passBand = 0.2;
  double swRipple = 1.0;  // F
  double rippleBand = 0.2;
  double swCross = 1.0;  // G
  double spacing = 0.8;
  double crossBand = 0.2;
};
constexpr WdmFilterSettings kWdmFilPkDefaults = {};
constexpr WdmFilterSettings kWdmFilBtmDefaults = {.algo = 2};

// One channel of a WDM filter: wavelengths in nm, widths in nm and THz, levels in dBm, dB.
struct WdmFilterChannel {
  int32_t peakIndex = 0;  // the channel's peak (bottom) data index
  double nominalNm = 0;   // the channel wavelength, or its grid wavelength for the grid detections
  double peakNm = 0, peakDbm = 0;
  double widthNm = 0, widthThz = 0, centreNm = 0;
  double stopNm = 0, stopThz = 0;
  double passNm = 0, passThz = 0;
  double rippleDb = 0;
  double crossLeftDb = -210.0, crossRightDb = -210.0;
};

constexpr int kWdmFilterChannels = 1024;
struct FilterState {
  FilterPkSettings pk;
  FilterBtmSettings btm;
  WdmFilterSettings wdmPk = kWdmFilPkDefaults;
  WdmFilterSettings wdmBtm = kWdmFilBtmDefaults;
  // Working copies of the last run and its results.
  FilterPkSettings pkWorking;
  FilterBtmSettings btmWorking;
  WdmFilterSettings wdmWorking;
  FilterResult result;
  std::array<WdmFilterChannel, kWdmFilterChannels> channels{};
  int32_t channelCount = 0;
};

}  // namespace vq
