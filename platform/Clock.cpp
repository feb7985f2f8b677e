#include "platform/Clock.h"

#include <chrono>

namespace {

class MonotonicClock final : public Clock {
 public:
  uint64_t Hundredths() override { return MonotonicMicroseconds() / 10000; }
};

MonotonicClock gMonotonic;
Replaceable<Clock*> gActive{&gMonotonic};

}  // namespace

Replaceable<Clock*>& CalibrationClockSeam() {
  return gActive;
}

Clock& CalibrationClock() {
  return *gActive.Get();
}

uint64_t MonotonicMicroseconds() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(now).count());
}
