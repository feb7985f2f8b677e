// The clock that delay calibration reads: monotonic, in hundredths of a second. Simulation and
// tests replace it.
#pragma once

#include <cstdint>

class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint64_t Hundredths() = 0;
};

// Makes `clock` the calibration clock and returns the previous one (nullptr = the monotonic
// clock). The caller keeps ownership.
Clock* SetCalibrationClock(Clock* clock);
Clock& CalibrationClock();

// Microseconds of the system's monotonic clock.
uint64_t MonotonicMicroseconds();
