// Peak search: conversions, search range, turning points, qualification, next and multi search.
#include <gtest/gtest.h>

#include <algorithm>

#include "analysis/search.h"
#include "analysis/spectrum_fixture.h"

namespace vq {
namespace {

class PeakSearchTest : public SpectrumTest {
 protected:
  AnalysisState& a() { return g().analysis; }
  int32_t Peak() { return SingleSearch(0, true) == 0 ? a().result.index : -1; }
};

TEST_F(PeakSearchTest, ConversionsRoundAndKeepLimitsInside) {
  TraceAxis axis{1500.0, 1.0, 10001, 2};                      // step 0.0001 nm
  EXPECT_DOUBLE_EQ(IndexToWavelength(axis, 2.5), 1500.0003);  // 1500.00025 rounds half up
  EXPECT_EQ(WavelengthToIndex(axis, 1499.0), 0);
  EXPECT_EQ(WavelengthToIndex(axis, 1502.0), 10000);
  axis = {1500.0, 10.0, 11, 2};  // step 1 nm
  // A limit between two samples takes only the points inside it.
  EXPECT_EQ(WavelengthToIndexInside(axis, 1503.4, true), 4);
  EXPECT_EQ(WavelengthToIndexInside(axis, 1503.4, false), 3);
  EXPECT_EQ(WavelengthToIndexInside(axis, 1503.00004, true), 3);  // on a sample within 0.00005
  const TraceAxis empty{1500.0, 10.0, 1, 0};
  EXPECT_EQ(IndexToWavelength(empty, 7), 1500.0);
  EXPECT_EQ(WavelengthToIndex(empty, 1505), 0);
}

TEST_F(PeakSearchTest, TurningPointsOfPlateausSlopesAndFlatData) {
  // A plateau top of four equal points is one peak at its middle, rounded down.
  SetTraceDbm(0, 1500, 10, {-30, -20, -10, -10, -10, -10, -20, -30, -40, -30, -35});
  EXPECT_EQ(Peak(), 3);
  ASSERT_EQ(SingleSearch(0, false), 0);
  EXPECT_EQ(a().result.index, 8);
  // A rising trace: the peak is the last point, the only bottom the first.
  SetTraceDbm(0, 1500, 4, {-40, -30, -20, -10, -5});
  EXPECT_EQ(Peak(), 4);
  ASSERT_EQ(SingleSearch(0, false), 0);
  EXPECT_EQ(a().result.index, 0);
  // Falling from the first point: the first point is a candidate peak.
  SetTraceDbm(0, 1500, 4, {-5, -10, -20, -30, -40});
  EXPECT_EQ(Peak(), 0);
  // Equal peaks: the shorter wavelength wins.
  SetTraceDbm(0, 1500, 6, {-40, -10, -40, -10, -40, -20, -40});
  EXPECT_EQ(Peak(), 1);
  // Flat data: the middle of the range, and the next searches find nothing.
  SetTraceDbm(0, 1500, 10, std::vector<double>(11, -20.0));
  EXPECT_EQ(Peak(), 5);
  EXPECT_EQ(NextSearch(0, 1, 5, 3.0), kNoDataInTrace);
}

TEST_F(PeakSearchTest, ModeDiffSeparatesPeaksOnlyFromTheFullDifference) {
  // Two equal peaks with a dip between them: 2.9 dB does not separate them, 3.00 dB does.
  for (double dip : {-2.9, -3.0}) {
    SetTraceDbm(0, 1500, 8, {-40, -20, 0, dip, 0, -20, -40, -45, -40});
    ASSERT_EQ(SingleSearch(0, true), 0);
    ASSERT_TRUE(ModeDiffQualification(a().work, a().range.start, a().range.end, 3.0, a().turning));
    EXPECT_EQ(a().turning.qualifiedPeaks, dip == -3.0 ? 2 : 1) << dip;
    EXPECT_EQ(a().turning.entries[a().turning.highestPos].state, kQualifiedPeak) << dip;
  }
  // A lone peak with a deep valley on one side only is not a mode: NEXT LEVEL finds nothing.
  SetTraceDbm(0, 1500, 6, {-1, -0.5, 0, -30, -31, -32, -33});
  ASSERT_EQ(SingleSearch(0, true), 0);
  ASSERT_TRUE(ModeDiffQualification(a().work, 0, 6, 3.0, a().turning));
  EXPECT_EQ(a().turning.qualifiedPeaks, 0);
  EXPECT_EQ(NextSearch(0, 1, 2, 3.0), kNoDataInTrace);
}

TEST_F(PeakSearchTest, NextSearchesWalkTheQualifiedModes) {
  // Peaks at 2 (-10), 6 (0), 10 (-5), 14 (-5); bottoms at -40 between them.
  SetTraceDbm(0, 1500, 16,
              {-40, -30, -10, -30, -40, -30, 0, -30, -40, -30, -5, -30, -40, -30, -5, -30, -40});
  ASSERT_EQ(Peak(), 6);
  auto next = [&](int kind, int32_t from) {
    return NextSearch(0, kind, from, 3.0) == 0 ? a().result.index : -1;
  };
  EXPECT_EQ(next(1, 6), 10);  // next level: the highest below, first of equals
  EXPECT_EQ(next(1, 10), 2);
  EXPECT_EQ(next(1, 2), -1);
  EXPECT_EQ(next(3, 6), 10);  // right
  EXPECT_EQ(next(2, 6), 2);   // left
  EXPECT_EQ(next(2, 2), -1);
  EXPECT_EQ(next(6, 6), 8);  // bottoms
  EXPECT_EQ(next(5, 6), 4);
  EXPECT_EQ(next(4, 4), -1);  // all bottoms equal: none strictly above
  EXPECT_EQ(next(7, 6), -1);  // no such kind
}

TEST_F(PeakSearchTest, RangeFromLineMarkersAndZoom) {
  SetTraceDbm(0, 1500, 10, {-40, -10, -40, -30, -20, -30, -40, -25, -40, -35, -40});
  a().search.rangeLineMarkers = 1;
  a().lineMarkers[0] = {1, 1508.5};  // L1 above L2: exchanged
  a().lineMarkers[1] = {1, 1502.5};
  EXPECT_EQ(Peak(), 4);
  EXPECT_EQ(a().range.start, 3);
  EXPECT_EQ(a().range.end, 8);
  // Both limits between the same two samples: no point, 110.
  a().lineMarkers[0].value = 1503.2;
  a().lineMarkers[1].value = 1503.6;
  EXPECT_EQ(SingleSearch(0, true), kNoDataBetweenMarkers);
  a().lineMarkers[0].on = a().lineMarkers[1].on = 0;
  EXPECT_EQ(SearchFailureCode(), kNoDataInTrace);
  a().search.rangeLineMarkers = 0;
  // The zoom area narrows the range to the displayed window.
  ShowWindow1500To1600();
  g().waveform.zoomed = true;
  g().waveform.zoomStart = 1505.6, g().waveform.zoomStop = 1509;
  a().search.rangeZoom = 1;
  EXPECT_EQ(Peak(), 7);
  ComputeSearchRange(0, kItemWdm);  // not for the multichannel analyses
  EXPECT_EQ(a().range.start, 0);
}

TEST_F(PeakSearchTest, NoiseMaskFillsTheWorkBuffer) {
  SetTraceDbm(0, 1500, 4, {-70, -50, -65, -50, -80});
  MeasCondition& c = g().conditions.setting;
  c.noiseMask = -60;
  c.noiseMaskDirection = 1;  // HRZN: the mask level
  FillWorkBuffer(0);
  EXPECT_DOUBLE_EQ(a().work[0], DbmToLinear(-60));
  EXPECT_DOUBLE_EQ(a().work[1], DbmToLinear(-50));
  c.noiseMaskDirection = 0;  // VERT: zero
  FillWorkBuffer(0);
  EXPECT_EQ(a().work[2], 0.0);
}

TEST_F(PeakSearchTest, MultiSearchSelectsRanksAndSorts) {
  // Modes at -10, -3, -3, -25, -3 dBm over a -60 dBm floor.
  std::vector<double> dbm(41, -60.0);
  const double modes[] = {-10, -3, -3, -25, -3};
  for (int k = 0; k < 5; ++k) dbm[4 + 8 * k] = modes[k];
  SetTraceDbm(0, 1500, 40, dbm);
  ASSERT_EQ(MultiSearch(0, true, 20.0, 3.0, 0), 0);
  ASSERT_EQ(a().multi.count, 4);  // -25 lies more than 20 dB below the top
  EXPECT_EQ(a().multi.index[0], 4);
  EXPECT_EQ(a().multi.index[3], 36);
  ASSERT_EQ(MultiSearch(0, true, 20.0, 3.0, 1), 0);
  // By level, the equal modes keep their wavelength order.
  EXPECT_EQ((std::vector<int32_t>(a().multi.index.begin(), a().multi.index.begin() + 4)),
            (std::vector<int32_t>{12, 20, 36, 4}));
  EXPECT_EQ(a().result.index, 12);
  // Bottoms within 10 dB of the lowest: the four between modes; the two at the ends have no mode
  // beyond them and are not qualified.
  ASSERT_EQ(MultiSearch(0, false, 10.0, 3.0, 0), 0);
  EXPECT_EQ(a().multi.count, 4);
  EXPECT_EQ(a().multi.index[0], 8);
}

TEST_F(PeakSearchTest, MultiSearchListsOnlyTheHighest1024) {
  // 1100 modes at five levels: 1024 are listed, in wavelength order. Of the 157 lowest, equal
  // modes further right rank before, so the 76 leftmost of them fall out.
  const int modes = 1100, n = modes * 4 + 1;
  std::vector<double> dbm(n, -60.0);
  for (int k = 0; k < modes; ++k) dbm[2 + 4 * k] = -10.0 - (k % 7) * 0.5;
  SetTraceDbm(0, 1500, 100, dbm);
  ASSERT_EQ(MultiSearch(0, true, 20.0, 3.0, 0), 0);
  ASSERT_EQ(a().multi.count, kMultiResults);
  std::vector<int32_t> listed(a().multi.index.begin(), a().multi.index.end());
  EXPECT_TRUE(std::is_sorted(listed.begin(), listed.end()));
  EXPECT_EQ(std::count_if(listed.begin(), listed.end(), [&](int32_t i) { return dbm[i] == -13.0; }),
            157 - 76);
  auto has = [&](int k) { return std::count(listed.begin(), listed.end(), 2 + 4 * k) == 1; };
  EXPECT_FALSE(has(6 + 7 * 75));
  EXPECT_TRUE(has(6 + 7 * 76));
  EXPECT_TRUE(has(5));
}

}  // namespace
}  // namespace vq
