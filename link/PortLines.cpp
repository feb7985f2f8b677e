#include <cmath>
#include <limits>

#include "link/Communication.h"
#include "link/FastProgramming.h"
#include "platform/Clock.h"
#include "platform/PortIo.h"

namespace {

// Each start value once: the definitions and the reset both take it from here.
constexpr uint32_t kStartBase = 0x378;
constexpr uint8_t kStartResetState = 0x00;
constexpr uint32_t kStartDelayConst = 10000;
constexpr float kStartDelayMultiplier = 1.0f;
constexpr int32_t kStartFastProgramming = 0;

}  // namespace

uint32_t base = kStartBase;
int bUsbCable = 0;
std::string usbCableSerial;
uint8_t reset_state = kStartResetState;
uint32_t delay_const = kStartDelayConst;
float fDelayOffSet = kStartDelayMultiplier;
int32_t bFastProgramming = kStartFastProgramming;

void ResetPortLineGlobals() {
  base = kStartBase;
  bUsbCable = 0;
  usbCableSerial.clear();
  reset_state = kStartResetState;
  delay_const = kStartDelayConst;
  fDelayOffSet = kStartDelayMultiplier;
  bFastProgramming = kStartFastProgramming;
  lastByteMismatch.reset();
}

// Port addresses are formed in 32 bits and handed over as their low 16 bits.
uint16_t DataPort() {
  return static_cast<uint16_t>(base);
}
uint16_t StatusPort() {
  return static_cast<uint16_t>(base + 1);
}
uint16_t ControlPort() {
  return static_cast<uint16_t>(base + 2);
}

void set_reset() {
  Out32(DataPort(), kReset);
  reset_state = kReset;
}

void clear_reset() {
  Out32(DataPort(), 0x00);
  // Releasing reset ends what the board was asked to do: a batching cable must send it now.
  PortFlush();
}

uint32_t WaitMicroseconds(float multiplier) {
  const double us = std::ceil(static_cast<double>(kWaitMicroseconds) * multiplier);
  return us >= std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                    : static_cast<uint32_t>(us);
}

void wait_3ms() {
  PortWait(delay_const, WaitMicroseconds(fDelayOffSet));
}

uint32_t DelayConstFor(uint32_t n, uint64_t e, float multiplier) {
  if (e == 0) return 0;  // the clock never moved: no usable measurement
  // 0.3 hundredths of a second is 3 ms; k is truncated before the multiplier applies.
  const double k = std::trunc(static_cast<double>(n) / static_cast<double>(e) * 0.3);
  const double scaled = std::trunc(k * static_cast<double>(multiplier));
  constexpr double kMax = std::numeric_limits<uint32_t>::max();
  return scaled >= kMax ? std::numeric_limits<uint32_t>::max() : static_cast<uint32_t>(scaled);
}

// A trial must last a tenth of a second before it counts: the clock reads whole hundredths, so a
// shorter trial could be misjudged by half its length and every wait would come out that short.
constexpr uint64_t kShortestTrial = 10;
// Fewer units than this cannot take a tenth of a second on any port: such a trial was held up (the
// scheduler, another program), and trusting it would make every wait of the run far too short.
constexpr uint32_t kFewestMeasuredUnits = 10000;

void calculate_delay_const() {
  // Every board run calibrates first: a port that was busy or missing so far gets its next chance.
  PortBeginRun();
  ForgetPollLead();
  if (ActivePortBackend().TimesWaitsItself()) {
    // Such a cable counts a delay unit as a microsecond of its own clock: nothing to measure.
    delay_const = WaitMicroseconds(fDelayOffSet);
    return;
  }
  Clock& clock = CalibrationClock();
  uint32_t n = 100;
  uint64_t e = 0;
  for (;;) {
    const uint64_t t0 = clock.Hundredths();
    PortDelay(n);
    const uint64_t t1 = clock.Hundredths();
    e = t1 >= t0 ? t1 - t0 : 0;
    if (e >= kShortestTrial && n >= kFewestMeasuredUnits) break;
    const uint32_t next = n * 10u;  // modulo 2^32: the search stops once it wraps
    if (next < n) break;
    n = next;
  }
  delay_const = DelayConstFor(n, e, fDelayOffSet);
}
