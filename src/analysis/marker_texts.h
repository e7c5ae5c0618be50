// Texts of the marker area, the marker list and the spectral width result block. All texts are
// Latin-1 bytes of the instrument font (the result labels use its lambda and Delta glyphs).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "state/trace_state.h"

namespace vq {

// The level digits of the instrument's factory setting; the SYSTEM keys that change them are not
// part of the viewer yet.
constexpr int kLevelDecimals = 3;

// How the levels of a trace are written, by the scale of the graph that shows it.
enum class LevelStyle : uint8_t {
  Dbm,      // logarithmic: the absolute level in dBm
  Db,       // logarithmic sub scale: a relative level in dB
  Linear,   // linear: the power with its unit, pW to mW
  Ratio,    // linear sub scale: a plain ratio
  Percent,  // percent sub scale
};
struct LevelFormat {
  LevelStyle style = LevelStyle::Dbm;
  bool perNm = false;  // power density: "/nm" after the unit
  int decimals = kLevelDecimals;
  bool Log() const { return style == LevelStyle::Dbm || style == LevelStyle::Db; }
};
// The level formats of the seven traces as the screen shows them (the screen decides).
using TraceLevelFormats = std::array<LevelFormat, kTraceCount>;

// Marker units.
constexpr int kUnitNm = 0, kUnitThz = 1;

// A wavelength in the marker unit with a number cell of 9 or 10 characters: "%9.4fnm", or the
// frequency "%9.5fTHz" (below 1000 THz) / "%9.4fTHz"; "***.*****THz" below 30 nm. A number too
// long for its cell is replaced by asterisks around the point ("****.****nm").
std::string WavelengthText(double nm, int unit, int cell = 9);
// The difference b - a: nm on the 0.0001 nm grid, or f(b) - f(a) in THz.
std::string WavelengthDifferenceText(double nmA, double nmB, int unit, int cell = 9);
// A level (mW) in a trace's format: "%8.3fdBm" (the value on the 0.0001 grid first), the power
// with its unit, a ratio or a percentage.
std::string LevelText(double mw, const LevelFormat& format);
// The ratio a / b as a relative level: "%8.3fdB" in log formats, the plain ratio in linear ones;
// "?????" when b is 0.
std::string RatioText(double mwA, double mwB, const LevelFormat& format);

// ---- From the context: markers, line markers and the width result ----

// Character columns of the two marker-row lines: the moving marker, L1/L2, L3/L4, differences.
constexpr int kMarkerRowColumns[4] = {0, 21, 40, 61};
// The marker row: the moving marker's wavelength and level (when on), then the line-marker block.
std::array<std::string, 2> MarkerRowLines(const TraceLevelFormats& formats);

// Fixed markers that are on.
int FixedMarkersOn();
// The marker list: a heading with the difference column's title, then up to maxRows rows
// "MKR%04d:" of the fixed markers that are on.
std::vector<std::string> MarkerListLines(const TraceLevelFormats& formats, int maxRows);

// Width of the label lines of a result block.
constexpr int kResultLineWidth = 70;
// The spectral width result: the title, then its rows (70 characters each).
std::vector<std::string> WidthResultLines();

}  // namespace vq
