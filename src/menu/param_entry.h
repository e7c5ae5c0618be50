// Parameter entry: the parameter table, the active entry, digit typing, stepping and rounding.
#pragma once

#include <cstdint>
#include <string>

#include "state/entry_state.h"

namespace vq {

// Opens the entry; variant -1 takes the configured model variant. Returns the entry state
// (1 numeric, 2 list), or -1 for an unknown parameter or variant. The same parameter already
// active is left as it is.
int StartEntry(int listSize, int variant, int parameter, double value);
void EndEntry();
// The field of the open entry changed behind it: the entry takes the value in force, typed digits
// are dropped; an entry whose owner gave no value in force is closed.
void RefreshEntry();
// Digits, '.', '-', Back Space, Enter, Shift+Enter, Ctrl+Home: 1 value changed, 0 accepted,
// -1 refused.
int EntryKey(int key);
// Up, Down, Left, Right: 1 changed, 0 no change, -1 not a step key or no entry.
int EntryStep(int key);
// The key and leave modes of a numeric entry's handler: a step key steps, any other key types
// into the entry, and `take` stores each changed value; leaving stores it and closes the entry.
int32_t NumericEntryKeyOrLeave(int mode, const int16_t* key, void (*take)());
// Alt+N: flips fine and coarse stepping and redraws the step indicator of an open entry.
void ToggleStepMode();

double RoundTo(double value, double factor);
// Limits value to the parameter's range: 1 kept, 0 clamped.
int Clamp(double& value, int parameter);
// Rounds, clamps and stores the entry value: 1 stored as given, 0 clamped or (71) not stored.
int SetValue(double value, int parameter);

// Limits and preferred lists that owners fill at run time: 0 done, -1 bad id or range.
int SetParameterLimits(int parameter, double minimum, double maximum);
int SetPreferredValues(int parameter, const double* list);
// Copies the model limit block of the variant into the model-dependent parameters.
void PrepareModelLimits(int variant);

// The value text of a parameter as the entry window shows it.
std::string FormatEntryValue(int parameter, double value);
// The entry window and its auxiliary box, drawn in the dynamic layer.
void DrawEntryWindow();

}  // namespace vq
