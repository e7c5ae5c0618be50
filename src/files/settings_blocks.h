// The state that a settings image carries, and its encoding into and decoding from the image's
// blocks. Only the settings file code uses it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "instrument.h"

namespace vq {

constexpr size_t kSettingsIdBytes = 10;  // identifier with its CR LF

// Image layout of the current model (and its sibling, which shares it).
constexpr size_t kSettingRecordAt = 11;
constexpr size_t kMeasuredRecordAt = 499;
constexpr size_t kTraceBlockAt = 987;
constexpr size_t kTraceBlockBytes = 33144;
constexpr size_t kAnalysisBlockAt = 34131;
constexpr size_t kAnalysisBlockBytes = 39016;
constexpr size_t kAnalysisFirstAreaBytes = 28800;   // markers and search
constexpr size_t kAnalysisSecondAreaBytes = 10216;  // the analyses' own settings
static_assert(kMeasuredRecordAt == kSettingRecordAt + sizeof(MeasCondition));
static_assert(kTraceBlockAt == kMeasuredRecordAt + sizeof(MeasCondition));
static_assert(kAnalysisBlockAt == kTraceBlockAt + kTraceBlockBytes);
static_assert(kAnalysisBlockAt + kAnalysisBlockBytes == 73147, "the image is 73147 bytes");
static_assert(kAnalysisFirstAreaBytes + kAnalysisSecondAreaBytes == kAnalysisBlockBytes);

// The predecessor's layout: the trace state is cut after 424 bytes and the display area and the
// analysis block follow at their own offsets.
constexpr size_t kOldTraceStateBytes = 424;
constexpr size_t kOldDisplayAt = 19027;
constexpr size_t kOldAnalysisAt = 27731;
// Within the trace and display block the display area starts where the predecessor's display
// block sits in its file, so that both layouts share it.
constexpr size_t kDisplayAreaAt = kOldDisplayAt - kTraceBlockAt;  // 18040
constexpr size_t kDisplayAreaBytes = 8704;
static_assert(kOldAnalysisAt == kOldDisplayAt + kDisplayAreaBytes);
static_assert(kOldAnalysisAt + kAnalysisBlockBytes == 66747, "the predecessor is 66747 bytes");

// The viewer's own display pieces, at fixed file offsets: taken from a state backup even when it
// belongs to another firmware.
struct ViewerPiece {
  size_t fileOffset, bytes;
};
constexpr std::array<ViewerPiece, 3> kViewerPieces = {{{33674, 54}, {33746, 16}, {33762, 32}}};
static_assert(kViewerPieces[0].fileOffset > kTraceBlockAt + kDisplayAreaAt + kDisplayAreaBytes);
static_assert(kViewerPieces[2].fileOffset + kViewerPieces[2].bytes <= kAnalysisBlockAt);

enum class SettingsLayout { Current, Sibling, Predecessor };

// Every part of the state a settings image carries, in one place, so that a file is decoded
// completely before anything of the instrument changes.
struct SettingsState {
  MeasCondition setting{}, measured{};
  TraceStateBlock traces{};
  uint16_t sweepRunning = 0;
  // Templates: GO/NO GO, TYPE and each line's extrapolation and mode (trace fields); the shifts
  // and the lines' DISPLAY (display area).
  uint16_t goNoGo = 0, templateType = 0;
  std::array<uint16_t, 3> templateExtrapolation{}, templateMode{};
  double templateWlShift = 0, templateLevelShift = 0;
  std::array<uint16_t, 3> templateDisplay{};
  // Display.
  std::array<MeasCondition, 2> panes{};
  int16_t yDivisions = 10;
  uint16_t screenMode = 0;
  uint16_t zoomed = 0;
  double zoomCentre = 0, zoomSpan = 0, zoomStart = 0, zoomStop = 0;
  MeasCondition savedLevelScale{};                        // level-scale fields as saved at exit
  std::array<MeasCondition, kTraceCount> traceRecords{};  // a file load replaces them
  FileSettings files;
  // Viewer pieces.
  uint16_t colourScheme = 0, altFill = 0, hardCopySoftKeys = 0, fileDrive = kDriveInt;
  uint16_t memoryCurrent = 0, memoryListParameter = 0;
  uint16_t overview = 0, overviewSmall = 0, resultWindowHidden = 0;
  // Markers, search and the analyses' settings.
  SearchSettings search;
  std::array<MarkerSlot, kMarkerSlots> markers{};
  std::array<LineMarker, kLineMarkers> lineMarkers{};
  SearchRange range;
  uint16_t analysisItem = kItemThresh, autoAnalysis = 0;
  std::array<WidthParameters, kWidthItems> widthParams = kWidthDefaults;
  LightSourceSettings light;
  WdmSettings wdm;
  EdfaSettings edfa;
  FilterPkSettings filterPk;
  FilterBtmSettings filterBtm;
  WdmFilterSettings wdmFilPk, wdmFilBtm;
};

// The state of the instrument into `s`, and `s` into the instrument (the records, the trace
// state and the settings; trace data and results are left alone).
void CaptureSettingsState(SettingsState& s);
void ApplySettingsState(const SettingsState& s);

// Writes the records and blocks of `s` into a 73147-byte image (bytes 11 on).
void EncodeSettingsBlocks(const SettingsState& s, uint8_t* image);
// Reads the records and blocks of an image of the layout into `s`, which holds the current state
// beforehand: fields the layout (or the file's firmware) lacks keep their values, numbers that
// are not finite keep theirs, the rest is clamped to its range. False when the image cannot be a
// settings image (a record that is not finite).
bool DecodeSettingsBlocks(const uint8_t* image, SettingsLayout layout, SettingsState& s);
// Only the viewer pieces of an image into `s`.
void DecodeViewerPieces(const uint8_t* image, SettingsState& s);

// The layout an image's identifier and exact length name; false for anything else.
bool SettingsLayoutOf(const uint8_t* bytes, size_t size, SettingsLayout& layout);
// What a loaded image gets before it is taken: holds and sweep cleared, options the instrument
// lacks off, the fit thresholds into the setting record, the record normalised.
void FixUpLoaded(SettingsState& s);

}  // namespace vq
