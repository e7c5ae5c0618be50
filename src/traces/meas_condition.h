// The measurement conditions: the shared conversions, the window fields and the sampling.
#pragma once

#include <cstdint>
#include <span>

#include "state/condition_state.h"

namespace vq {

// Shared conversions.
double DbmToLinear(double dbm);
// The same for a level of k thousandths of a dB, as text files write them: DbmToLinear gives
// this very value for the double nearest k / 1000.
double MilliDbToLinear(int32_t k);
double LinearToDbm(double mw);
double AirRefractiveIndex(double nm);
double WavelengthToFrequency(double nm, bool noAirCorrection = false);
double FrequencyToWavelength(double thz, bool noAirCorrection = false);
// The frequency axis of a record's data: a record taken in vacuum converts without the air
// correction; one taken in air, or not saying, follows the air/vacuum choice.
double RecordFrequency(const MeasCondition& record, double nm);
double RecordWavelength(const MeasCondition& record, double thz);

// Brings a record from a file or the instrument into the limits of the parameter table; levels,
// when given, are the trace's values, and those outside the instrument's range become 0.
void NormaliseCondition(MeasCondition& c, std::span<double> levels = {});

// The window fields as the user enters them: nm, or THz when the record is in frequency mode.
// Each keeps the other window fields coupled and recomputes the sampling.
void SetCentre(MeasCondition& c, double value);
void SetStart(MeasCondition& c, double value);
void SetStop(MeasCondition& c, double value);
void SetSpan(MeasCondition& c, double value);

// The sampling points that span, resolution and the sampling mode give.
int32_t SamplingPoints(const MeasCondition& c);
// Stores SamplingPoints and the interval; in interval mode the entered interval stays.
void UpdateSampling(MeasCondition& c);

// The screen name of a sensitivity with its chop mode ("HIGH1/CHOP"); "" when out of range.
const char* SensitivityName(int sensitivity, int chopMode);

// A fresh setting record, before any file or instrument has supplied one.
MeasCondition DefaultSettingRecord();
// The four records of the context set to the fresh record.
void InitConditions();
// Handlers, painters and states of the CENTER, SPAN, LEVEL and SETUP keys.
void BindConditionMenus();
// Binds UNDO/LOCAL (undo_local.cpp).
void BindUndoNode();

}  // namespace vq
