// The clock that delay calibration reads: monotonic, in hundredths of a second. Simulation and
// tests replace it.
#pragma once

#include <cstdint>

#include "platform/Replaceable.h"

class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint64_t Hundredths() = 0;
};

// The calibration clock in use; the default (and what nullptr stands for) is the monotonic clock.
// The one who replaces it keeps ownership.
Replaceable<Clock*>& CalibrationClockSeam();
using ClockOverride = Replaceable<Clock*>::Override;
Clock& CalibrationClock();

// Microseconds of the system's monotonic clock.
uint64_t MonotonicMicroseconds();
