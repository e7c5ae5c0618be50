// The measurement condition record (488 bytes, also a file format) and the condition state.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vq {

// Fields in storage order; every field sits at its natural alignment, so the struct has no
// padding and its bytes are the file layout (little-endian).
struct MeasCondition {
  char label[57];  // 56 characters and a terminator; a cleared label is 56 blanks
  uint8_t reserved0[7];
  double centre;      // nm
  double span;        // nm; 0 = a 0 nm sweep
  double start;       // nm
  double stop;        // nm
  double refLevel;    // dBm
  double logScale;    // dB per division; negative = linear main scale
  double resolution;  // nm
  double baseLevel;   // mW, bottom of the linear scale
  double subScaleLinear;
  double subScaleLog;
  double subScaleDbKm;
  double subScalePercent;
  double subScaleMin;
  double subScaleMinPercent;
  double offsetLevel;
  double offsetLevelPerKm;
  double fibreLength;  // km
  double calcConstantK;
  uint16_t sensitivity;  // 0 NORM/HOLD .. 6 NORMAL
  uint16_t reserved1;
  int16_t averageTimes;
  int16_t traceAttribute;
  int16_t rollAverageTimes;
  int16_t frequencyMode;  // 0 wavelength axis, 1 frequency axis
  uint16_t noiseMaskDirection;
  int16_t levelUnit;      // 0 power, 1 power density
  uint16_t subScaleMode;  // 0 linear, 1 log, 2 dB/km, 3 percent
  int16_t samplingAuto;   // 0 entered, 1 AUTO, 2 from the entered interval
  int32_t samplingPoints;
  int32_t storedPoints;
  int32_t noiseMask;  // dBm; -101 = OFF
  uint8_t reserved2[8];
  double samplingInterval;  // nm
  uint8_t reserved3[12];
  uint16_t chopMode;  // 0 off, 1 CHOP, 2 SWITCH
  int16_t curveFitThreshold;
  int16_t peakCurveFitThreshold;
  uint16_t operationArea;
  uint16_t lineMarkerArea0;
  uint16_t lineMarkerArea1;
  uint32_t lineMarkerArea2[3];
  uint32_t lineMarkerArea3;
  uint16_t fittingAlgorithm;
  uint16_t reserved4;  // cleared by the normalisation
  uint16_t reserved5;
  uint16_t pulseMode;  // 0 none, 1 pulsed light with peak hold, 2 external trigger
  int16_t peakHoldTime;
  uint16_t reserved6;
  uint16_t resolutionMode;
  uint16_t fibreType;
  int32_t resolutionCorrection;
  int32_t resolutionParameter;
  int32_t frequencyParameter;
  int32_t waveNumberParameter;
  int32_t smoothing;
  int32_t changePoint;
  int32_t resolutionCalibration;
  uint8_t reserved7[20];
  int32_t coreSize;
  uint16_t sweepSpeed;
  uint16_t measurementWavelength;  // 1 air, 2 vacuum, 0 not set
  uint8_t reserved8[104];
  char firmwareVersion[16];
};

static_assert(sizeof(MeasCondition) == 488, "the record is 488 bytes");
static_assert(offsetof(MeasCondition, centre) == 64, "layout");
static_assert(offsetof(MeasCondition, calcConstantK) == 200, "layout");
static_assert(offsetof(MeasCondition, sensitivity) == 208, "layout");
static_assert(offsetof(MeasCondition, samplingPoints) == 228, "layout");
static_assert(offsetof(MeasCondition, noiseMask) == 236, "layout");
static_assert(offsetof(MeasCondition, samplingInterval) == 248, "layout");
static_assert(offsetof(MeasCondition, chopMode) == 268, "layout");
static_assert(offsetof(MeasCondition, lineMarkerArea2) == 280, "layout");
static_assert(offsetof(MeasCondition, fittingAlgorithm) == 296, "layout");
static_assert(offsetof(MeasCondition, pulseMode) == 302, "layout");
static_assert(offsetof(MeasCondition, resolutionCorrection) == 312, "layout");
static_assert(offsetof(MeasCondition, resolutionCalibration) == 336, "layout");
static_assert(offsetof(MeasCondition, coreSize) == 360, "layout");
static_assert(offsetof(MeasCondition, measurementWavelength) == 366, "layout");
static_assert(offsetof(MeasCondition, firmwareVersion) == 472, "layout");

// The measurement conditions of the instrument: the four roles of the record and the sweep.
struct ConditionState {
  MeasCondition setting{};                // what the user sets and sees; carries the screen label
  MeasCondition measured{};               // the conditions of the last measurement
  MeasCondition panes[2]{};               // level scales of the upper and lower pane
  int32_t sweepState = 0;                 // 0 idle; the analyzer's sweeps run only over the link
  int16_t yDivisions = 10;                // level divisions of the graph: 8, 10 or 12
  bool smoothingAvailable = false;        // the instrument offers smoothing
  bool correctionTableAvailable = false;  // a resolution-correction table is loaded
  std::array<std::array<char, 16>, 9> valueLines{};  // value lines of the painted keys, by slot
};

}  // namespace vq
