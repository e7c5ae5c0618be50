// State of the parameter entry: the active entry and the run-time copy of the parameter table.
#pragma once

#include <array>
#include <cstdint>

#include "resources/param_table.h"

namespace vq {

struct EntryState {
  int32_t parameter = -1;  // active parameter, -1 = no entry
  int32_t state = -1;      // -1 none, 1 numeric, 2 list, 3 held
  double value = 0.0;
  double stepOffset = 0.0;
  int32_t listPosition = 0;
  int32_t stepMode = 0;  // 0 fine, 1 coarse
  std::array<int32_t, 5> window{510, 174, 117, 61, 436};
  char digits[16] = {};
  int32_t length = 0;
  int32_t maxLength = 10;
  bool pointEntered = false;
  bool edited = false;
  int32_t entryMode = 0;  // 1: parameters 74 and 75, whose owner reads the keys itself
  int32_t modelVariant = 0;
  int32_t listSize = 0;
  // Set by the entry's owner: the value its field holds now, to bring the entry back to it when
  // the field changes behind the entry (UNDO/LOCAL). Null: such an entry is closed instead.
  double (*valueInForce)() = nullptr;
  bool windowShown = false;
  bool auxShown = false;
  bool alternateDisplay = false;  // Ctrl+Home: the auxiliary box shows the step instead of limits
  // Set by the level scale: the linear scale shows its page; 42/43 in the automatic-unit scale.
  bool linearScalePage = false;
  bool autoUnitScale = false;
  int32_t levelUnitExponent = 3;  // unit of the linear base level: 0 pW, 1 nW, 2 uW, 3 mW
  std::array<ParamRecord, kParameterCount> params = kParameterTable;
  std::array<std::array<double, kSpanListCapacity>, 4> spanLists{};  // ids 2, 3, 10, 11
};

}  // namespace vq
