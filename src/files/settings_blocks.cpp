// The blocks of a settings image: the trace state's words at their fixed offsets, the display
// area, the viewer pieces and the analysis settings block, each encoded and decoded by one
// list of fields, so that writing and reading cannot drift apart.
//
// Trace and display block (file offset 987, 33144 bytes), block offsets:
//   0 .. 423      the trace state words of kTraceFields (the predecessor carries these)
//   18040 ..      the display area (VisitDisplay): both pane scale records, the level
//                 divisions, the zoom window, the saved level-scale copy, the records of the
//                 seven traces; 8704 bytes at most
//   32687 (54)    viewer piece 1: alternate background, soft keys in captures
//   32752         data file type
//   32759 (16)    viewer piece 2: memory slot number, LIST PARAM
//   32775 (32)    viewer piece 3: zoom overview position and size, result table hidden
// Analysis settings block (file offset 34131): the first 28800 bytes hold the search settings,
// the markers, the line markers and the search range (VisitMarkers); the last 10216 bytes the
// analysis item and every analysis family's settings (VisitAnalyses).
#include "files/settings_blocks.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cmath>
#include <cstring>
#include <memory>
#include <span>
#include <type_traits>
#include <utility>

namespace vq {

static_assert(std::endian::native == std::endian::little, "the images are little-endian");

namespace {

// A cursor over an area of an image that either writes the fields it is shown or reads them.
// A number read that is not finite leaves the field as it was.
class BlockIo {
 public:
  BlockIo(const uint8_t* in, uint8_t* out, size_t size) : in_(in), out_(out), size_(size) {}

  size_t Position() const { return at_; }
  // Bytes left as zeros: room kept for what the display recomputes.
  void Skip(size_t bytes) {
    assert(at_ + bytes <= size_ && "a gap runs beyond its area");
    at_ += bytes;
  }

  template <typename T>
  void Value(T& v) {
    static_assert(std::is_arithmetic_v<T>, "plain numbers only");
    assert(at_ + sizeof(T) <= size_ && "a field runs beyond its area");
    if (out_) {
      std::memcpy(out_ + at_, &v, sizeof v);
    } else {
      T read;
      std::memcpy(&read, in_ + at_, sizeof read);
      if constexpr (std::is_floating_point_v<T>) {
        if (std::isfinite(read)) v = read;
      } else {
        v = read;
      }
    }
    at_ += sizeof(T);
  }
  template <typename T, size_t N>
  void Values(std::array<T, N>& a) {
    for (T& v : a) Value(v);
  }
  // A condition record: its bytes are its layout. A record whose numbers are not all finite is
  // not taken.
  void Record(MeasCondition& c) {
    assert(at_ + sizeof c <= size_ && "a record runs beyond its area");
    if (out_) {
      std::memcpy(out_ + at_, &c, sizeof c);
    } else {
      MeasCondition read;
      std::memcpy(&read, in_ + at_, sizeof read);
      if (RecordFinite(read)) c = read;
    }
    at_ += sizeof c;
  }

  static bool RecordFinite(const MeasCondition& c) {
    const double* first = &c.centre;
    for (int i = 0; i < 18; ++i) {
      if (!std::isfinite(first[i])) return false;
    }
    return std::isfinite(c.samplingInterval);
  }

 private:
  const uint8_t* in_;
  uint8_t* out_;
  [[maybe_unused]] size_t size_;  // checked by the asserts
  size_t at_ = 0;
};

// Words of the state at fixed block offsets, with the range a read value is clamped to.
struct FixedField {
  uint16_t offset;
  uint16_t words;
  bool isSigned;
  int32_t low, high;
  void* (*address)(SettingsState&);
};

// The element of a member: itself, or what its (built-in or std::) array holds.
template <typename T>
struct Element {
  using Type = std::remove_all_extents_t<T>;
};
template <typename T, size_t N>
struct Element<std::array<T, N>> {
  using Type = T;
};
// The words of a member and whether they are signed; every fixed field is made of 16-bit words.
template <typename T>
constexpr uint16_t WordsOf() {
  static_assert(sizeof(typename Element<T>::Type) == 2, "fixed fields are 16-bit words");
  return sizeof(T) / 2;
}
template <typename T>
constexpr bool SignedWords() {
  return std::is_signed_v<typename Element<T>::Type>;
}

#define VQ_FIELD(offset, member, low, high)                        \
  FixedField {                                                     \
    offset, WordsOf<decltype(SettingsState::member)>(),            \
        SignedWords<decltype(SettingsState::member)>(), low, high, \
        [](SettingsState& s) -> void* { return &s.member; }        \
  }

// clang-format off
constexpr FixedField kTraceFields[] = {
    VQ_FIELD(0, traces.activeTrace, 0, kTraceCount - 1),
    VQ_FIELD(2, traces.splitMode, 0, 1),
    VQ_FIELD(20, traces.display, 0, 1),
    VQ_FIELD(40, traces.pane, 0, 1),
    VQ_FIELD(60, traces.attribute, 0, kAttributeCount - 1),
    VQ_FIELD(74, traces.fixedFrom, 0, kAttributeCount - 1),
    VQ_FIELD(88, traces.holdSelection, 0, kAttrMinHold),
    VQ_FIELD(102, traces.calcOperation, 0, kAttributeCount - 1),
    VQ_FIELD(172, traces.calcCategory, 0, 4),
    VQ_FIELD(186, traces.copySource, 0, kTraceCount - 1),
    VQ_FIELD(188, traces.copyDestination, 0, kTraceCount - 1),
    VQ_FIELD(200, traces.paneHold, 0, 1),
    VQ_FIELD(204, sweepRunning, 0, 1),
    VQ_FIELD(216, traces.curveFitThreshold, INT16_MIN, INT16_MAX),  // the record's rules clamp
    VQ_FIELD(218, traces.peakCurveFitThreshold, INT16_MIN, INT16_MAX),
    VQ_FIELD(220, files.item, 0, kItemAllTrace),
    VQ_FIELD(224, files.traceFileType, 0, 1),
    VQ_FIELD(226, files.graphicsFileType, 0, 1),
    VQ_FIELD(232, files.sortKey, 0, 3),
    VQ_FIELD(234, files.dataItems, 0, 1),
    VQ_FIELD(246, files.dataWriteMode, 0, 1),
    VQ_FIELD(292, goNoGo, 0, 1),
    VQ_FIELD(294, templateType, 0, 2),
    VQ_FIELD(296, templateExtrapolation, 0, 2),
    VQ_FIELD(304, templateMode, 0, 1),
    VQ_FIELD(396, traces.measWavelengthChoice, 0, 1),
    VQ_FIELD(32752, files.dataFileType, 0, 1),
};
// The viewer pieces' words (block offsets of the pieces at file offsets 33674, 33746, 33762).
constexpr FixedField kViewerFields[] = {
    VQ_FIELD(32687, altFill, 0, 1),
    VQ_FIELD(32689, hardCopySoftKeys, 0, 1),
    VQ_FIELD(32759, memoryCurrent, 0, kMemorySlots - 1),
    VQ_FIELD(32761, memoryListParameter, 0, 1),
    VQ_FIELD(32775, overview, 0, 2),
    VQ_FIELD(32777, overviewSmall, 0, 1),
    VQ_FIELD(32779, resultWindowHidden, 0, 1),
};
// clang-format on
#undef VQ_FIELD

template <size_t N>
constexpr bool Ascending(const FixedField (&fields)[N], size_t low, size_t high) {
  size_t at = low;
  for (const FixedField& f : fields) {
    if (f.offset < at || f.offset + 2u * f.words > high) return false;
    at = f.offset + 2u * f.words;
  }
  return true;
}
static_assert(Ascending(kTraceFields, 0, kTraceBlockBytes), "trace fields in order, no overlap");
static_assert(kTraceFields[std::size(kTraceFields) - 2].offset + 2 <= kOldTraceStateBytes,
              "all but the data file type fit the predecessor's trace state");
static_assert(Ascending(kViewerFields, kDisplayAreaAt + kDisplayAreaBytes, kTraceBlockBytes),
              "viewer fields in order, after the display area");

constexpr bool InPiece(const FixedField& f) {
  for (const ViewerPiece& p : kViewerPieces) {
    const size_t start = p.fileOffset - kTraceBlockAt;
    if (f.offset >= start && f.offset + 2u * f.words <= start + p.bytes) return true;
  }
  return false;
}
constexpr bool AllInPieces() {
  for (const FixedField& f : kViewerFields) {
    if (!InPiece(f)) return false;
  }
  for (const FixedField& f : kTraceFields) {
    if (InPiece(f)) return false;
  }
  return true;
}
static_assert(AllInPieces(), "viewer fields inside the pieces, trace fields outside them");

// Fields that older firmware did not write yet: a file older than the version leaves them as
// they are.
struct VersionRule {
  SettingsLayout layout;
  const char* version;
  uint16_t first, end;  // block offsets of the fields
};
constexpr VersionRule kVersionRules[] = {
    {SettingsLayout::Predecessor, "02.06.58", 216, 220},  // curve-fit thresholds
    {SettingsLayout::Predecessor, "02.09.60", 234, 248},  // data file items and WRITE MODE
    {SettingsLayout::Predecessor, "02.09.61", 396, 398},  // measurement wavelength choice
    {SettingsLayout::Sibling, "02.01.00", 216, 220},
    {SettingsLayout::Sibling, "02.04.30", 396, 398},
};

bool Dropped(const FixedField& f, SettingsLayout layout, const char* version) {
  if (layout == SettingsLayout::Predecessor && f.offset + 2u * f.words > kOldTraceStateBytes) {
    return true;
  }
  for (const VersionRule& r : kVersionRules) {
    // Version texts are "NN.NN.NN": their byte order is their age.
    if (r.layout == layout && f.offset >= r.first && f.offset < r.end &&
        std::strncmp(version, r.version, 8) < 0) {
      return true;
    }
  }
  return false;
}

void EncodeFields(std::span<const FixedField> fields, SettingsState& s, uint8_t* block) {
  for (const FixedField& f : fields) std::memcpy(block + f.offset, f.address(s), 2u * f.words);
}

void DecodeField(const FixedField& f, const uint8_t* block, SettingsState& s) {
  auto* words = static_cast<uint16_t*>(f.address(s));
  for (int i = 0; i < f.words; ++i) {
    uint16_t raw;
    std::memcpy(&raw, block + f.offset + 2 * i, 2);
    const int32_t value = f.isSigned ? static_cast<int16_t>(raw) : raw;
    words[i] = static_cast<uint16_t>(std::clamp(value, f.low, f.high));
  }
}

void VisitLevelScale(BlockIo& io, MeasCondition& c) {
  for (double* v : {&c.refLevel, &c.logScale, &c.baseLevel, &c.subScaleLinear, &c.subScaleLog,
                    &c.subScaleDbKm, &c.subScalePercent, &c.subScaleMin, &c.subScaleMinPercent,
                    &c.offsetLevel, &c.offsetLevelPerKm, &c.fibreLength}) {
    io.Value(*v);
  }
  io.Value(c.levelUnit);
  io.Value(c.subScaleMode);
}

void VisitDisplay(BlockIo& io, SettingsState& s) {
  io.Record(s.panes[0]);
  io.Record(s.panes[1]);
  io.Value(s.yDivisions);
  io.Value(s.zoomed);
  for (double* v : {&s.zoomCentre, &s.zoomSpan, &s.zoomStart, &s.zoomStop}) io.Value(*v);
  VisitLevelScale(io, s.savedLevelScale);
  for (MeasCondition& r : s.traceRecords) io.Record(r);
  io.Value(s.templateWlShift);
  io.Value(s.templateLevelShift);
  for (uint16_t& v : s.templateDisplay) io.Value(v);
}

void VisitMarkers(BlockIo& io, SettingsState& s) {
  SearchSettings& q = s.search;
  io.Value(q.modeDiff);
  io.Value(q.searchMode);
  io.Value(q.multiThresh);
  for (uint16_t* v : {&q.sortBy, &q.autoSearch, &q.lastKind, &q.rangeLineMarkers, &q.rangeZoom,
                      &q.markerUnit, &q.markerDisplay, &q.markerAutoUpdate}) {
    io.Value(*v);
  }
  for (MarkerSlot& m : s.markers) {
    io.Value(m.on);
    io.Skip(sizeof m.x + sizeof m.y);  // the symbol's screen position follows the next drawing
    io.Value(m.trace);
    io.Value(m.index);
    io.Value(m.wavelength);
    io.Value(m.level);
  }
  for (LineMarker& l : s.lineMarkers) {
    io.Value(l.on);
    io.Value(l.value);
  }
  io.Value(s.range.start);
  io.Value(s.range.end);
  io.Value(s.range.mode);
}

void VisitWidthPart(BlockIo& io, WidthPart& p) {
  io.Value(p.algo);
  io.Value(p.thresh);
  io.Value(p.thresh2);
  io.Value(p.k);
  io.Value(p.modeFit);
  io.Value(p.modeDiff);
}

void VisitNoise(BlockIo& io, WdmNoiseSettings& n) {
  io.Value(n.modeDiff);
  io.Value(n.noiseAlgo);
  io.Value(n.noiseArea);
  io.Value(n.maskArea);
  io.Value(n.fittingAlgo);
  io.Value(n.noiseBw);
  io.Value(n.signalPower);
  io.Value(n.integralRange);
}

void VisitLight(BlockIo& io, LightSourceSettings& l) {
  io.Value(l.smsr.mode);
  io.Value(l.smsr.mask);
  io.Value(l.powerOffset);
  io.Value(l.pmdThresh);
  VisitWidthPart(io, l.dfb.width);
  io.Value(l.dfb.smsr.mode);
  io.Value(l.dfb.smsr.mask);
  io.Value(l.dfb.smsrModeDiff);
  VisitWidthPart(io, l.dfb.rms);
  io.Value(l.dfb.powerSpan);
  VisitNoise(io, l.dfb.osnr);
  for (WidthPart& p : l.fp.parts) VisitWidthPart(io, p);
  io.Value(l.fp.offset);
  for (WidthPart& p : l.led.parts) VisitWidthPart(io, p);
  io.Value(l.led.offset);
}

void VisitWdm(BlockIo& io, WdmSettings& w, EdfaSettings& e) {
  io.Value(w.thresh);
  io.Value(w.displayMask);
  VisitNoise(io, w.noise);
  for (uint16_t* v : {&w.dualTrace, &w.displayType, &w.chRelation}) io.Value(*v);
  io.Value(w.refCh);
  io.Value(w.outputSlope);
  io.Value(w.pointDisplay);
  for (double* v : {&e.thresh, &e.modeDiff, &e.offsetIn, &e.offsetOut}) io.Value(*v);
  io.Value(e.aseAlgo);
  io.Value(e.fitArea);
  io.Value(e.maskArea);
  for (uint16_t* v : {&e.fitAlgo, &e.pointDisplay, &e.resBw, &e.shotNoise}) io.Value(*v);
}

void VisitFilterWidth(BlockIo& io, FilterWidthItem& w) {
  io.Value(w.sw);
  io.Value(w.algo);
  io.Value(w.thresh);
  io.Value(w.k);
  io.Value(w.modeFit);
  io.Value(w.modeDiff);
}

void VisitCrossTalk(BlockIo& io, FilterCrossTalkItem& c) {
  VisitFilterWidth(io, c.width);
  io.Value(c.chSpace);
  io.Value(c.searchArea);
}

void VisitWdmFilter(BlockIo& io, WdmFilterSettings& w) {
  io.Value(w.algo);
  for (double* v : {&w.thresh, &w.modeDiff, &w.testBand, &w.swPeak, &w.swWidth}) io.Value(*v);
  io.Value(w.notchType);
  for (double* v : {&w.widthThresh, &w.swStop, &w.stopThresh, &w.swPass, &w.passThresh, &w.passBand,
                    &w.swRipple, &w.rippleBand, &w.swCross, &w.spacing, &w.crossBand}) {
    io.Value(*v);
  }
}

void VisitAnalyses(BlockIo& io, SettingsState& s) {
  io.Value(s.analysisItem);
  io.Value(s.autoAnalysis);
  for (WidthParameters& w : s.widthParams) {
    io.Value(w.threshLevel);
    io.Value(w.threshLevel2);
    io.Value(w.k);
    io.Value(w.modeFit);
    io.Value(w.type);
  }
  VisitLight(io, s.light);
  VisitWdm(io, s.wdm, s.edfa);
  FilterPkSettings& pk = s.filterPk;
  io.Value(pk.swPeakLevel);
  io.Value(pk.swPeakWavelength);
  VisitFilterWidth(io, pk.centre);
  VisitFilterWidth(io, pk.width);
  io.Value(pk.swRipple);
  io.Value(pk.rippleThresh);
  io.Value(pk.rippleModeDiff);
  VisitCrossTalk(io, pk.crossTalk);
  FilterBtmSettings& btm = s.filterBtm;
  io.Value(btm.swBottomLevel);
  io.Value(btm.swBottomWavelength);
  VisitFilterWidth(io, btm.centre);
  VisitFilterWidth(io, btm.width);
  VisitCrossTalk(io, btm.crossTalk);
  VisitWdmFilter(io, s.wdmFilPk);
  VisitWdmFilter(io, s.wdmFilBtm);
}

// Both areas of the analysis block, in one direction.
void VisitAnalysisBlock(const uint8_t* in, uint8_t* out, SettingsState& s) {
  BlockIo first(in, out, kAnalysisFirstAreaBytes);
  VisitMarkers(first, s);
  const size_t second = kAnalysisFirstAreaBytes;
  BlockIo rest(in ? in + second : nullptr, out ? out + second : nullptr, kAnalysisSecondAreaBytes);
  VisitAnalyses(rest, s);
}

template <typename T>
void ClampTo(T& v, T low, T high) {
  v = std::clamp(v, low, high);
}

double ParamClamp(double v, int id) {
  const ParamRecord& p = GInstrument->entry.params[id];
  return std::clamp(v, p.minimum, p.maximum);
}

// Ranges of what the trace fields do not cover: codes to their choices, parameters to their
// limits, marker positions to the arrays.
void ClampDecoded(SettingsState& s, const SettingsState& before) {
  TraceStateBlock& t = s.traces;
  for (int i = 0; i < kTraceCount; ++i) {
    if (!ValidAttribute(t.attribute[i])) t.attribute[i] = before.traces.attribute[i];
    if (!ValidAttribute(t.fixedFrom[i])) t.fixedFrom[i] = before.traces.fixedFrom[i];
  }
  if (s.files.item == 5) s.files.item = before.files.item;  // no item 5
  if (s.yDivisions != 8 && s.yDivisions != 10 && s.yDivisions != 12) {
    s.yDivisions = before.yDivisions;
  }
  ClampTo<uint16_t>(s.zoomed, 0, 1);
  s.templateWlShift = ParamClamp(s.templateWlShift, kParTemplateWlShift);
  s.templateLevelShift = ParamClamp(s.templateLevelShift, kParTemplateLevelShift);
  for (uint16_t& v : s.templateDisplay) ClampTo<uint16_t>(v, 0, 1);
  if (s.zoomed && !(s.zoomStart < s.zoomStop)) s.zoomed = 0;
  SearchSettings& q = s.search;
  q.modeDiff = ParamClamp(q.modeDiff, kParModeDiff);
  q.multiThresh = ParamClamp(q.multiThresh, kParMultiThresh);
  for (uint16_t* v : {&q.searchMode, &q.sortBy, &q.autoSearch, &q.lastKind, &q.rangeLineMarkers,
                      &q.rangeZoom, &q.markerUnit, &q.markerDisplay, &q.markerAutoUpdate}) {
    ClampTo<uint16_t>(*v, 0, 1);
  }
  for (MarkerSlot& m : s.markers) {
    ClampTo<uint16_t>(m.on, 0, 1);
    ClampTo<uint16_t>(m.trace, 0, kTraceCount - 1);
    ClampTo<int32_t>(m.index, 0, kMaxPoints - 1);
  }
  for (LineMarker& l : s.lineMarkers) ClampTo<uint16_t>(l.on, 0, 1);
  ClampTo<int32_t>(s.range.start, 0, kMaxPoints - 1);
  ClampTo<int32_t>(s.range.end, 0, kMaxPoints - 1);
  ClampTo<int16_t>(s.range.mode, kRangeWhole, kRangeMarkers);
  if (s.analysisItem >= kItemCount) s.analysisItem = before.analysisItem;
  ClampTo<uint16_t>(s.autoAnalysis, 0, 1);
  for (WidthParameters& w : s.widthParams) {
    w.threshLevel = ParamClamp(w.threshLevel, kParWidthThresh);
    w.k = ParamClamp(w.k, kParWidthK);
    ClampTo<uint16_t>(w.modeFit, 0, 1);
    ClampTo<uint16_t>(w.type, 0, 1);
  }
  WidthParameters& envelope = s.widthParams[kItemEnvelope];  // the one item with a THRESH 2
  envelope.threshLevel2 = ParamClamp(envelope.threshLevel2, kParWidthThresh2);
  // The analyses' choices: a code outside its list keeps the value it had.
  auto choice = [](uint16_t& v, uint16_t was, uint16_t count) {
    if (v >= count) v = was;
  };
  const LightSourceSettings& l0 = before.light;
  LightSourceSettings& l = s.light;
  choice(l.smsr.mode, l0.smsr.mode, 4);
  choice(l.dfb.smsr.mode, l0.dfb.smsr.mode, 4);
  for (auto [part, was] : {std::pair{&l.dfb.width, &l0.dfb.width},
                           {&l.dfb.rms, &l0.dfb.rms},
                           {&l.fp.parts[0], &l0.fp.parts[0]},
                           {&l.fp.parts[1], &l0.fp.parts[1]},
                           {&l.fp.parts[2], &l0.fp.parts[2]},
                           {&l.led.parts[0], &l0.led.parts[0]},
                           {&l.led.parts[1], &l0.led.parts[1]}}) {
    choice(part->algo, was->algo, 4);
    ClampTo<uint16_t>(part->modeFit, 0, 1);
  }
  for (auto [n, was] : {std::pair{&l.dfb.osnr, &l0.dfb.osnr}, {&s.wdm.noise, &before.wdm.noise}}) {
    choice(n->noiseAlgo, was->noiseAlgo, 5);
    choice(n->fittingAlgo, was->fittingAlgo, 6);
    ClampTo<uint16_t>(n->signalPower, 0, 1);
  }
  choice(s.wdm.displayType, before.wdm.displayType, 4);
  s.wdm.thresh = ParamClamp(s.wdm.thresh, kParWdmThresh);
  choice(s.edfa.aseAlgo, before.edfa.aseAlgo, 4);
  choice(s.edfa.fitAlgo, before.edfa.fitAlgo, 6);
  s.edfa.thresh = ParamClamp(s.edfa.thresh, kParWdmThresh);
  for (uint16_t* v : {&s.wdm.dualTrace, &s.wdm.chRelation, &s.wdm.outputSlope, &s.wdm.pointDisplay,
                      &s.edfa.pointDisplay, &s.edfa.resBw, &s.edfa.shotNoise}) {
    ClampTo<uint16_t>(*v, 0, 1);
  }
  choice(s.wdmFilPk.algo, before.wdmFilPk.algo, 4);
  choice(s.wdmFilBtm.algo, before.wdmFilBtm.algo, 5);
  for (WdmFilterSettings* w : {&s.wdmFilPk, &s.wdmFilBtm}) ClampTo<uint16_t>(w->notchType, 0, 1);
  // Filter width algorithms: one of the instrument's codes, else what it was.
  auto filterAlgo = [](uint16_t& v, uint16_t was) {
    constexpr uint16_t kCodes[] = {kFilterAlgoThresh,      kFilterAlgoRms,     kFilterAlgoNotchPeak,
                                   kFilterAlgoNotchBottom, kFilterAlgoExtreme, kFilterAlgoGrid};
    if (std::find(std::begin(kCodes), std::end(kCodes), v) == std::end(kCodes)) v = was;
  };
  filterAlgo(s.filterPk.centre.algo, before.filterPk.centre.algo);
  filterAlgo(s.filterPk.width.algo, before.filterPk.width.algo);
  filterAlgo(s.filterPk.crossTalk.width.algo, before.filterPk.crossTalk.width.algo);
  filterAlgo(s.filterBtm.centre.algo, before.filterBtm.centre.algo);
  filterAlgo(s.filterBtm.width.algo, before.filterBtm.width.algo);
  filterAlgo(s.filterBtm.crossTalk.width.algo, before.filterBtm.crossTalk.width.algo);
}

}  // namespace

void CaptureSettingsState(SettingsState& s) {
  const Instrument& g = *GInstrument;
  s.setting = g.conditions.setting;
  s.measured = g.conditions.measured;
  s.traces = g.traces.state;
  s.sweepRunning = g.conditions.sweepState != 0 ? 1 : 0;
  s.panes = {g.conditions.panes[0], g.conditions.panes[1]};
  s.yDivisions = g.conditions.yDivisions;
  const WaveformState& w = g.waveform;
  s.zoomed = w.zoomed;
  s.zoomCentre = w.zoomCentre, s.zoomSpan = w.zoomSpan;
  s.zoomStart = w.zoomStart, s.zoomStop = w.zoomStop;
  s.savedLevelScale = g.conditions.setting;
  for (int t = 0; t < kTraceCount; ++t) s.traceRecords[t] = g.traces.traces[t].condition;
  const TemplateState& tp = g.templates;
  s.goNoGo = tp.goNoGo, s.templateType = tp.type;
  s.templateWlShift = tp.wlShift, s.templateLevelShift = tp.levelShift;
  for (int k = 0; k < kTemplateLineCount; ++k) {
    s.templateExtrapolation[k] = tp.lines[k].extrapolation;
    s.templateMode[k] = tp.lines[k].mode;
    s.templateDisplay[k] = tp.lines[k].display;
  }
  s.files = g.files.settings;
  s.altFill = g.screen.altFill;
  s.hardCopySoftKeys = g.screen.hardCopySoftKeys;
  s.memoryCurrent = static_cast<uint16_t>(g.memory.current);
  s.memoryListParameter = g.memory.listParameter;
  s.overview = static_cast<uint16_t>(w.overview);
  s.overviewSmall = w.overviewSmall;
  const AnalysisState& a = g.analysis;
  s.resultWindowHidden = a.resultWindowHidden;
  s.search = a.search;
  s.markers = a.markers;
  s.lineMarkers = a.lineMarkers;
  s.range = a.range;
  s.analysisItem = a.item;
  s.autoAnalysis = a.autoAnalysis;
  s.widthParams = a.widthParams;
  s.light = a.light.settings;
  s.wdm = a.wdm.wdm;
  s.edfa = a.wdm.edfa;
  s.filterPk = a.filter.pk;
  s.filterBtm = a.filter.btm;
  s.wdmFilPk = a.filter.wdmPk;
  s.wdmFilBtm = a.filter.wdmBtm;
}

void ApplySettingsState(const SettingsState& s) {
  Instrument& g = *GInstrument;
  g.conditions.setting = s.setting;
  g.conditions.measured = s.measured;
  g.traces.state = s.traces;
  if (s.sweepRunning == 0) g.conditions.sweepState = 0;
  g.conditions.panes[0] = s.panes[0];
  g.conditions.panes[1] = s.panes[1];
  g.conditions.yDivisions = s.yDivisions;
  for (int t = 0; t < kTraceCount; ++t) g.traces.traces[t].condition = s.traceRecords[t];
  TemplateState& tp = g.templates;
  tp.goNoGo = static_cast<int16_t>(s.goNoGo), tp.type = static_cast<int16_t>(s.templateType);
  tp.wlShift = s.templateWlShift, tp.levelShift = s.templateLevelShift;
  for (int k = 0; k < kTemplateLineCount; ++k) {
    tp.lines[k].extrapolation = static_cast<int16_t>(s.templateExtrapolation[k]);
    tp.lines[k].mode = static_cast<int16_t>(s.templateMode[k]);
    tp.lines[k].display = static_cast<int16_t>(s.templateDisplay[k]);
  }
  tp.result = -1;  // judged again with the next data
  ++tp.edits;      // rendered again on the next use
  // Graph modes follow the split display; a full-screen page stays.
  if (g.screen.screenMode < kFirstPageMode) g.screen.screenMode = s.traces.splitMode == 1 ? 1 : 0;
  WaveformState& w = g.waveform;
  w.zoomed = s.zoomed != 0;
  w.zoomCentre = s.zoomCentre, w.zoomSpan = s.zoomSpan;
  w.zoomStart = s.zoomStart, w.zoomStop = s.zoomStop;
  w.overview = s.overview;
  w.overviewSmall = s.overviewSmall != 0;
  g.files.settings = s.files;
  g.screen.altFill = s.altFill != 0;
  g.screen.hardCopySoftKeys = s.hardCopySoftKeys != 0;
  g.memory.current = s.memoryCurrent;
  g.memory.listParameter = s.memoryListParameter;
  AnalysisState& a = g.analysis;
  a.resultWindowHidden = s.resultWindowHidden != 0;
  a.search = s.search;
  a.markers = s.markers;
  a.lineMarkers = s.lineMarkers;
  a.range = s.range;
  a.item = s.analysisItem;
  a.autoAnalysis = s.autoAnalysis;
  a.widthParams = s.widthParams;
  a.light.settings = s.light;
  a.wdm.wdm = s.wdm;
  a.wdm.edfa = s.edfa;
  a.filter.pk = s.filterPk;
  a.filter.btm = s.filterBtm;
  a.filter.wdmPk = s.wdmFilPk;
  a.filter.wdmBtm = s.wdmFilBtm;
  g.frame.redrawFlags = kRedrawAll;
}

void EncodeSettingsBlocks(const SettingsState& state, uint8_t* image) {
  SettingsState& s = const_cast<SettingsState&>(state);  // the visitors only read when writing
  std::memcpy(image + kSettingRecordAt, &s.setting, sizeof s.setting);
  std::memcpy(image + kMeasuredRecordAt, &s.measured, sizeof s.measured);
  uint8_t* block = image + kTraceBlockAt;
  EncodeFields(kTraceFields, s, block);
  EncodeFields(kViewerFields, s, block);
  BlockIo display(nullptr, block + kDisplayAreaAt, kDisplayAreaBytes);
  VisitDisplay(display, s);
  VisitAnalysisBlock(nullptr, image + kAnalysisBlockAt, s);
}

bool DecodeSettingsBlocks(const uint8_t* image, SettingsLayout layout, SettingsState& s) {
  MeasCondition setting, measured;
  std::memcpy(&setting, image + kSettingRecordAt, sizeof setting);
  std::memcpy(&measured, image + kMeasuredRecordAt, sizeof measured);
  if (!BlockIo::RecordFinite(setting) || !BlockIo::RecordFinite(measured)) return false;
  const auto before = std::make_unique<SettingsState>(s);
  s.setting = setting;
  s.measured = measured;
  char version[sizeof setting.firmwareVersion + 1] = {};
  std::memcpy(version, setting.firmwareVersion, sizeof setting.firmwareVersion);
  const bool old = layout == SettingsLayout::Predecessor;
  const uint8_t* block = image + kTraceBlockAt;
  for (const FixedField& f : kTraceFields) {
    if (!Dropped(f, layout, version)) DecodeField(f, block, s);
  }
  if (!old) DecodeViewerPieces(image, s);
  BlockIo display(old ? image + kOldDisplayAt : block + kDisplayAreaAt, nullptr, kDisplayAreaBytes);
  VisitDisplay(display, s);
  VisitAnalysisBlock(image + (old ? kOldAnalysisAt : kAnalysisBlockAt), nullptr, s);
  ClampDecoded(s, *before);
  return true;
}

void DecodeViewerPieces(const uint8_t* image, SettingsState& s) {
  for (const FixedField& f : kViewerFields) DecodeField(f, image + kTraceBlockAt, s);
}

}  // namespace vq
