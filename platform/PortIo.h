// Raw port I/O: the only way the tool touches the hardware. Out32/Inp32 forward to the active
// backend (simulated board, Linux ppdev, direct I/O, or a test's fake).
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "platform/Replaceable.h"

// The PC's diagnostic port; one write to it is the delay unit of every board timing.
constexpr uint16_t kDelayPort = 0x80;

class PortBackend {
 public:
  virtual ~PortBackend() = default;
  virtual void Write(uint16_t port, uint8_t value) = 0;
  virtual uint8_t Read(uint16_t port) = 0;
  // Performs `units` delay units, each the same as Write(kDelayPort, 0). Backends whose delay unit
  // needs no real port access (simulation, tests) do them in one step.
  virtual void Delay(uint32_t units);
  // A board run starts (calibration, or the pin test): a backend whose port could not be opened
  // tries it again, and a simulated board's injected faults go run by run.
  virtual void BeginRun() {}

  // Optional calls for a backend that batches its accesses (the USB cable); the parallel-port
  // backends keep the defaults, which do everything at once.
  //
  // A wait the chip needs, `chipMicroseconds` long (0 when the chip needs none, as before a read
  // answer). The parallel port spends `units` calibrated delay units on it.
  virtual void Wait(uint32_t units, uint32_t /*chipMicroseconds*/) { Delay(units); }
  // Reads `port` at this point of the sequence; its value is fetched with TakeRead, in order. A
  // batching backend answers every read queued before a TakeRead from one transfer.
  virtual void QueueRead(uint16_t port) { queuedReads_.push_back(Read(port)); }
  virtual uint8_t TakeRead();
  // Everything queued so far must reach the cable now (reset released, a pin test step shown).
  virtual void Flush() {}
  // True when waits are counted by the backend in the chip's own time, so the delay unit needs no
  // measuring.
  virtual bool TimesWaitsItself() const { return false; }
  // Delay units' worth of time spent beyond the delays asked for (a USB round trip), so that a
  // bound counted in delay units holds on every cable.
  virtual uint64_t UnitsBeyondDelays() const { return 0; }
  // Why the port itself could not be opened (or, for the USB cable, stopped answering) at the
  // last attempt, in the user's words (what went wrong and what to do); empty when it was opened,
  // or when the backend has no port to open.
  virtual std::string OpenFailure() const { return {}; }
  // The cable that the last board run opened, as --port names it, when the port address does
  // not say it (the USB cable: "usb:SERIAL"); empty otherwise.
  virtual std::string CableName() const { return {}; }

 private:
  std::deque<uint8_t> queuedReads_;
};

// Writes the low byte of `value` to `port`.
void Out32(uint16_t port, uint16_t value);
// Returns the byte read from `port`.
uint16_t Inp32(uint16_t port);
// `units` delay units (writes of 0 to port 0x80), done by the backend.
void PortDelay(uint32_t units);
// Delay units asked for through PortDelay since the process started, whatever the backend made of
// them: the difference between two readings is what the steps between them cost on the cable.
uint64_t PortDelayUnitsSoFar();
// Tells the active backend that a board run starts.
void PortBeginRun();
// A wait of `units` delay units on the parallel port, `chipMicroseconds` of the chip's time on a
// cable that times its own waits.
void PortWait(uint32_t units, uint32_t chipMicroseconds);
// Reads `port` now; the answer comes, in order, from PortTakeRead.
void PortQueueRead(uint16_t port);
uint8_t PortTakeRead();
// Sends whatever the active backend has queued.
void PortFlush();
// The active backend's OpenFailure: why the last board run could not open the port.
std::string PortOpenFailure();
// The active backend's CableName.
std::string PortCableName();

// The backend in use; the default (and what nullptr stands for) is the absent port. The one who
// replaces it keeps ownership.
Replaceable<PortBackend*>& PortBackendSeam();
using PortBackendOverride = Replaceable<PortBackend*>::Override;
PortBackend& ActivePortBackend();

// How the port-open reasons tell the user to choose another port and to use the simulated board:
// the window's words unless orvanta-ofw puts its options' in.
struct PortChoiceWords {
  std::string choose = "under \"Connection...\"";
  std::string simulate = "start with \"simulate\"";
};
Replaceable<PortChoiceWords>& PortChoiceSeam();
using PortChoiceOverride = Replaceable<PortChoiceWords>::Override;

// A port with nothing behind it: writes vanish, reads give 0xFF, and the delay unit takes about
// a microsecond of real time, like a port access.
class AbsentPort final : public PortBackend {
 public:
  void Write(uint16_t port, uint8_t value) override;
  uint8_t Read(uint16_t port) override;
  void Delay(uint32_t units) override;
};
