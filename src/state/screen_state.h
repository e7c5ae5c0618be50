// State of the instrument screen: surfaces and device, colour slots and schemes, the screen
// geometry, and the waveform display's zoom and plotted columns.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "platform/surface.h"
#include "resources/colour_tables.h"
#include "state/trace_state.h"

namespace vq {

// Colour schemes (the colour sets) 0 to 4 are colour, 5 black and white, 6 the print scheme.
constexpr int kSchemeCount = kColourSetCount;
constexpr int kSchemeMono = kColourSetMono;
constexpr int kSchemePrint = kColourSetPrint;

// Graph rectangles of the graph screen modes (0 single, 1 split, 2 and 3 the upper geometry).
struct GraphRect {
  int x, y, width, height;
};
constexpr int kGraphLeft = 47;
constexpr int kGraphWidth = 601;
constexpr GraphRect kGraphSingle = {kGraphLeft, 150, kGraphWidth, 401};
constexpr GraphRect kGraphUpper = {kGraphLeft, 150, kGraphWidth, 171};
constexpr GraphRect kGraphLower = {kGraphLeft, 380, kGraphWidth, 171};
constexpr int kFirstPageMode = 4;  // screen modes from here on are full-screen pages

// The soft-key column.
constexpr int kSoftKeyColumnX = 701;
constexpr int kSoftKeyColumnWidth = 99;
constexpr int kGraphColumns = kGraphWidth;  // one plotted column per pixel of the graph

struct ScreenState {
  Device device;
  Surface staticLayer;
  Surface frameCopy;
  Surface backBuffer;
  std::array<Surface, 3> logos;
  Surface* target = nullptr;           // surface the primitives draw on during a pass
  bool blending = false;               // alpha blending of translucent slots (dynamic layer)
  std::array<uint32_t, 88> colours{};  // slot colours, 0xAARRGGBB
  std::array<ColourSet, kSchemeCount> schemes{};  // palette indices per colour scheme
  int scheme = 0;                                 // the current set
  int colourDialogKey = kFirstColourKey;          // the Color dialog's key, kept between runs
  std::atomic<int32_t> overlayId{-1};
  bool wasNotReady = false;       // a check reported not ready: the next ready one redraws all
  int screenMode = 0;             // 0 single graph, 1 split, 2 and 3 other graph modes, 4+ pages
  bool altFill = false;           // the display's alternate background option
  bool hardCopySoftKeys = false;  // captures include the soft-key column (width 800)
  int lastClockMinute = -1;
  bool presentSuppressed = false;  // set while a capture redraws without presenting
  int passesDrawn = 0;             // counters for tests and benchmarks
};

constexpr int16_t kNoDataRow = 600;  // a column row that holds no data
constexpr int kOverviewMaxColumns = 133;

struct ColumnRows {
  int16_t first, top, bottom, last;  // top = row of the highest level, bottom = the lowest
};

// The level scale kinds of a graph.
enum class ScaleKind : uint8_t {
  Log,         // dB
  Linear,      // mW
  LinearUnit,  // linear in pW, nW or uW
  Percent,
  LinearAuto,  // linear, labelled in the largest unit under the top
  LinearSub,   // the linear sub scale
};

struct PlotContext {
  int16_t top = 0, height = 0, bottom = 0, columns = kGraphColumns;
  int32_t left = kGraphLeft;
  ScaleKind scaleKind = ScaleKind::Log;
  double topValue = 0.0, valuePerRow = 1.0, unitDivisor = 1.0;
  int32_t slot = 0;
  int32_t firstColumn = -1, lastColumn = -1;  // -1: nothing to draw
  int32_t firstIndex = 0, endIndex = 0;
  int32_t points = 0, columnsUsed = 0;
  double columnOrigin = 0.0, columnsPerPoint = 0.0;  // fractional column of point i: o + i * c
  bool mirrored = false;                             // frequency axis: column 0 at the right
  ColumnRows* rows = nullptr;                        // `columns` entries
};

struct WaveformState {
  bool zoomed = false;  // false: the displayed range is the setting record's window
  double zoomCentre = 0.0, zoomSpan = 0.0, zoomStart = 0.0, zoomStop = 0.0;  // nm
  int overview = 0;  // 0 off, 1 left, 2 right
  bool overviewSmall = false;
  std::array<std::array<ColumnRows, kGraphColumns>, kTraceCount> columns{};
  // The overview plots are prepared with the graphs and drawn over them in the dynamic layer.
  std::array<PlotContext, kTraceCount> overviewPlots{};
  std::array<std::array<ColumnRows, kOverviewMaxColumns>, kTraceCount> overviewColumns{};
};

}  // namespace vq
