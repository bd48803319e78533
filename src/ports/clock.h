// Time as the core sees it: a monotonic scale for timers and the local calendar for dates in
// lines and records. The driver supplies the real clock; tests a virtual one.
#pragma once

#include <cstdint>

namespace tc {

// A local calendar time: what the wall clock says, for dates and times shown in lines and records.
struct DateTime {
  int year = 2000;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Monotonic milliseconds; timers are scheduled on this scale.
  virtual int64_t NowMs() const = 0;
  virtual DateTime LocalNow() const = 0;
};

}  // namespace tc
