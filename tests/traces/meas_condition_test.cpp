// Tests of the conversions, normalisation, window coupling and sampling of condition records.
#include <cmath>
#include <cstring>
#include <vector>

#include "support/instrument_fixture.h"
#include "traces/meas_condition.h"

namespace vq {
namespace {

TEST(MeasCondition, LevelConversionsAndTheirLimits) {
  for (double mw : {0.0, -1.0, 1e-21}) EXPECT_EQ(LinearToDbm(mw), -210) << mw;
  EXPECT_EQ(LinearToDbm(1e21), 210);
  EXPECT_NEAR(LinearToDbm(2), 3.0103, 1e-4);
  for (double dbm : {-210.0, -500.0}) EXPECT_EQ(DbmToLinear(dbm), 0) << dbm;
  for (double dbm : {210.0, 300.0}) EXPECT_EQ(DbmToLinear(dbm), 3.40282e38) << dbm;
  EXPECT_NEAR(DbmToLinear(-10), 0.1, 1e-15);
  for (double dbm : {-90.0, -12.3, 0.0, 17.5})
    EXPECT_NEAR(LinearToDbm(DbmToLinear(dbm)), dbm, 1e-9);
  // Levels in thousandths of a dB come from the tables: within two units in the last place of
  // the exact power, and the same value whichever way they arrive.
  for (int32_t k = -209999; k < 210000; k += 997) {
    const long double exact = std::pow(10.0L, k / 10000.0L);
    const double value = MilliDbToLinear(k);
    EXPECT_LE(std::fabs(static_cast<long double>(value) - exact) / exact, 2 * 0x1p-52L) << k;
    EXPECT_EQ(DbmToLinear(k / 1000.0), value) << k;
  }
  EXPECT_EQ(MilliDbToLinear(-10000), 0.1);
  EXPECT_EQ(MilliDbToLinear(-210000), 0.0);
  EXPECT_EQ(MilliDbToLinear(210000), 3.40282e38);
}

TEST(MeasCondition, WavelengthAndFrequency) {
  EXPECT_EQ(WavelengthToFrequency(0.5), 299792.458);
  EXPECT_NEAR(WavelengthToFrequency(1550, true), 193.414489, 5e-7);
  // n(1550 nm) = 1.00027324058749 from the dispersion formula evaluated separately.
  EXPECT_NEAR(AirRefractiveIndex(1550), 1.00027324058749, 1e-12);
  EXPECT_NEAR(WavelengthToFrequency(1550), 193.361654780, 1e-8);
  // The inverse takes the index at the vacuum wavelength: a round trip in air is off by parts
  // in 1e8; in vacuum it is exact.
  for (double thz : {150.0, 193.1, 230.0, 500.0}) {
    EXPECT_NEAR(WavelengthToFrequency(FrequencyToWavelength(thz)), thz, 2e-8 * thz) << thz;
    EXPECT_NEAR(WavelengthToFrequency(FrequencyToWavelength(thz, true), true), thz, 1e-9);
  }
  EXPECT_EQ(FrequencyToWavelength(0), 0);
}

TEST(MeasCondition, SensitivityNames) {
  EXPECT_STREQ(SensitivityName(3, 1), "HIGH1/CHOP");
  EXPECT_STREQ(SensitivityName(7, 0), "");  // out of range: no name
  EXPECT_STREQ(SensitivityName(0, 3), "");
}

TEST(MeasCondition, SamplingPoints) {
  struct Case {
    double start, span, resolution;
    int correction, mode;
    int32_t points;
    double interval;
    int32_t expected;
  };
  const Case cases[] = {
      {1500, 0, 0.1, 0, 1, 0, 0, 1001},         // 0 nm sweep, whatever the mode
      {1500, 0, 0.1, 0, 0, 201, 0, 1001},       //
      {1500, 100, 0.1, 0, 1, 0, 0, 5001},       // AUTO: span / 0.02 + 1
      {1500, 100, 0.1, 1, 1, 0, 0, 10001},      // with resolution correction: 0.01
      {1500, 100, 0.005, 0, 1, 0, 0, 501},      // below 0.009 nm counts as 2 nm
      {1500, 1100, 2, 0, 1, 0, 0, 2751},        //
      {1500, 1100, 0.01, 0, 1, 0, 0, 50001},    // capped
      {1500, 5, 0.1, 0, 1, 0, 0, 501},          // below 501: span / 500 is above the step
      {1500, 0.4, 0.02, 0, 1, 0, 0, 401},       // ... or not: span / 0.001 + 1
      {1000, 0.4, 0.02, 0, 1, 0, 0, 201},       // below 1300 nm the minimum step is 0.002
      {1500, 100.003, 0.1, 0, 1, 0, 0, 5002},   // a fraction of a step adds a point
      {1500, 100, 0.1, 0, 2, 0, 0.05, 2001},    // interval mode
      {1500, 50, 0.1, 0, 2, 0, 1, 101},         // at least 101
      {1500, 200, 0.1, 0, 2, 0, 0.001, 50001},  // at most 50001
      {1500, 100, 0.1, 0, 0, 1001, 0, 1001},    // entered
      {1000, 1, 0.1, 0, 0, 50001, 0, 501},      // entered, denser than the minimum step
  };
  for (const Case& k : cases) {
    MeasCondition c{};
    c.start = k.start, c.span = k.span, c.resolution = k.resolution;
    c.resolutionCorrection = k.correction, c.samplingAuto = static_cast<int16_t>(k.mode);
    c.samplingPoints = k.points, c.samplingInterval = k.interval;
    EXPECT_EQ(SamplingPoints(c), k.expected) << k.span << " nm, mode " << k.mode;
  }
}

constexpr double kAirTol = 2e-5;  // THz, what a wavelength round trip in air may lose

// Coupling and normalisation clamp through the context's parameter table.
class MeasConditionTest : public InstrumentTest {
 protected:
  // The record's edges and centre in nm, and a span that matches them.
  void ExpectWindow(double start, double centre, double stop) {
    EXPECT_NEAR(c.start, start, 1e-9);
    EXPECT_NEAR(c.centre, centre, 1e-9);
    EXPECT_NEAR(c.stop, stop, 1e-9);
    EXPECT_NEAR(c.span, stop - start, 1e-9);
  }
  MeasCondition c = DefaultSettingRecord();
};

TEST_F(MeasConditionTest, NormaliseBringsARecordIntoRange) {
  c.samplingPoints = 0, c.logScale = -50, c.frequencyMode = 7, c.centre = 2000;
  c.resolution = 0.07, c.averageTimes = 0, c.chopMode = 1;
  c.reserved4 = 9, c.smoothing = 1, c.resolutionCorrection = 1;
  std::vector<double> levels(11, 1.0);
  NormaliseCondition(c, levels);
  EXPECT_EQ(c.samplingPoints, 11);
  EXPECT_NEAR(c.samplingInterval, 10, 1e-12);
  EXPECT_EQ(c.logScale, -10);  // clamped by its magnitude, still linear
  EXPECT_EQ(c.frequencyMode, 0);
  EXPECT_EQ(c.centre, 1700);
  EXPECT_EQ(c.start, 1650);
  EXPECT_EQ(c.stop, 1750);
  EXPECT_EQ(c.resolution, 0.05);
  EXPECT_EQ(c.averageTimes, 1);
  EXPECT_EQ(c.chopMode, 2);
  EXPECT_EQ(c.reserved4 + c.smoothing + c.resolutionCorrection, 0);
  // Points above 1700 nm hold no light.
  EXPECT_EQ(levels, (std::vector<double>{1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0}));

  c.samplingPoints = 60000, c.logScale = -5;
  NormaliseCondition(c);
  EXPECT_EQ(c.samplingPoints, 50001);
  EXPECT_EQ(c.logScale, -5);
}

TEST_F(MeasConditionTest, NormaliseInFrequencyMode) {
  c.frequencyMode = 1;
  c.start = FrequencyToWavelength(999);  // centre 874 THz, above the 500 THz limit
  c.stop = FrequencyToWavelength(749);
  NormaliseCondition(c);
  EXPECT_NEAR(WavelengthToFrequency(c.centre), 500, kAirTol);
  EXPECT_NEAR(WavelengthToFrequency(c.start), 625, kAirTol);
  EXPECT_NEAR(WavelengthToFrequency(c.stop), 375, kAirTol);
  EXPECT_DOUBLE_EQ(c.span, c.stop - c.start);
}

TEST_F(MeasConditionTest, CentreAndSpanInWavelength) {
  SetCentre(c, 1600.25);
  ExpectWindow(1550.25, 1600.25, 1650.25);
  SetSpan(c, 50);
  ExpectWindow(1575.25, 1600.25, 1625.25);
  EXPECT_EQ(c.samplingPoints, 2501);
  SetSpan(c, 5000);
  EXPECT_EQ(c.span, 1100);
  // A span wider than the model allows: the start edge is pulled in on the grid of the centre.
  c.span = 1200;
  SetCentre(c, 600.37);
  ExpectWindow(50.07, 600.37, 1150.67);
}

TEST_F(MeasConditionTest, StartAndStopInWavelength) {
  SetStart(c, 1520.37);  // the stop keeps its grid shifted by the start's fraction
  ExpectWindow(1520.37, 1560.22, 1600.07);
  SetStop(c, 1580.44);
  ExpectWindow(1520.34, 1550.39, 1580.44);
  // Above the stop, or within 0.05 nm of it: a 0 nm sweep.
  SetStart(c, 1650);
  ExpectWindow(1650, 1650, 1650);
  EXPECT_EQ(c.samplingPoints, 1001);
  c = DefaultSettingRecord();
  SetStart(c, 1599.98);
  EXPECT_EQ(c.span, 0);
  // The centre below 600 nm is clamped and the span rounded to 0.1 nm, grown back over 600 nm.
  c.stop = 1000;
  SetStart(c, 50.03);
  ExpectWindow(50.03, 600.03, 1150.03);
}

TEST_F(MeasConditionTest, WindowInFrequency) {
  c.frequencyMode = 1;
  const double half = (WavelengthToFrequency(c.start) - WavelengthToFrequency(c.stop)) / 2;
  SetCentre(c, 200);
  EXPECT_NEAR(WavelengthToFrequency(c.centre), 200, kAirTol);
  EXPECT_NEAR(WavelengthToFrequency(c.start), 200 + half, kAirTol);
  EXPECT_NEAR(WavelengthToFrequency(c.stop), 200 - half, kAirTol);
  // The high edge would pass 665 THz: the half span shrinks on the 0.01 THz grid.
  c.start = FrequencyToWavelength(700);
  c.stop = FrequencyToWavelength(300);
  SetCentre(c, 500);
  EXPECT_NEAR(WavelengthToFrequency(c.start), 665, kAirTol);
  EXPECT_NEAR(WavelengthToFrequency(c.stop), 335, kAirTol);
  // Start frequency: the high edge stays, the low edge is the entered frequency.
  c = DefaultSettingRecord();
  c.frequencyMode = 1;
  SetStart(c, 190);
  EXPECT_NEAR(c.start, 1500, 1e-5);
  EXPECT_NEAR(WavelengthToFrequency(c.stop), 190, kAirTol);
  SetStop(c, 189);  // below the start frequency: a 0 nm sweep at 189 THz
  EXPECT_EQ(c.span, 0);
  EXPECT_NEAR(WavelengthToFrequency(c.centre), 189, kAirTol);
}

TEST_F(MeasConditionTest, VacuumSettingDropsTheAirCorrection) {
  g().traces.state.measWavelengthChoice = 1;
  EXPECT_EQ(WavelengthToFrequency(1550), WavelengthToFrequency(1550, true));
  EXPECT_EQ(FrequencyToWavelength(200), 299792.458 / 200);

  // A record measured in vacuum is entered in vacuum THz whatever the choice, as its axis shows.
  g().traces.state.measWavelengthChoice = 0;
  c.frequencyMode = 1;
  c.measurementWavelength = 2;
  SetCentre(c, 193.1);
  EXPECT_NEAR(c.centre, 299792.458 / 193.1, 1e-9);
  EXPECT_NEAR(RecordFrequency(c, c.centre), 193.1, 1e-9);
}

}  // namespace
}  // namespace vq
