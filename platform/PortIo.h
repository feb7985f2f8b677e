// Raw port I/O: the only way the tool touches the hardware. Out32/Inp32 forward to the active
// backend (simulated board, Linux ppdev, direct I/O, or a test's fake).
#pragma once

#include <cstdint>
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
  // Why the port itself could not be opened at the last attempt, in the user's words (what went
  // wrong and what to do); empty when it was opened, or when the backend has no port to open.
  virtual std::string OpenFailure() const { return {}; }
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
// The active backend's OpenFailure: why the last board run could not open the port.
std::string PortOpenFailure();

// The backend in use; the default (and what nullptr stands for) is the absent port. The one who
// replaces it keeps ownership.
Replaceable<PortBackend*>& PortBackendSeam();
using PortBackendOverride = Replaceable<PortBackend*>::Override;
PortBackend& ActivePortBackend();

// A port with nothing behind it: writes vanish, reads give 0xFF, and the delay unit takes about
// a microsecond of real time, like a port access.
class AbsentPort final : public PortBackend {
 public:
  void Write(uint16_t port, uint8_t value) override;
  uint8_t Read(uint16_t port) override;
  void Delay(uint32_t units) override;
};
