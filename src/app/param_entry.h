// Parameter entry: the parameter table, the active entry, digit typing, stepping and rounding.
#pragma once

#include <array>
#include <cstdint>

namespace vq {

constexpr int kParameterCount = 120;

struct EntryState {
  int32_t parameter = -1;  // active parameter, -1 = no entry
  int32_t state = -1;      // -1 none, 1 numeric, 2 list, 3 held
  double value = 0.0;
  double stepOffset = 0.0;
  int32_t listPosition = 0;
  int32_t stepMode = 0;    // 0 fine, 1 coarse
  std::array<int32_t, 5> window{510, 174, 117, 61, 436};
  char digits[16] = {};
  int32_t length = 0;
  int32_t maxLength = 10;
  bool pointEntered = false;
  bool edited = false;
  int32_t entryMode = 0;
  int32_t modelVariant = 0;
};

}  // namespace vq
