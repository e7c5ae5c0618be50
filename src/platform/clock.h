// Local time and monotonic milliseconds.
#pragma once

#include <cstdint>

namespace vq {

struct LocalTime {
  int year = 0;
  int month = 0;  // 1 to 12
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

LocalTime GetLocalTime();
int64_t MonotonicMs();

}  // namespace vq
