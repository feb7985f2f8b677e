#include "platform/PortIo.h"

#include "platform/Clock.h"

namespace {

AbsentPort gAbsentPort;
Replaceable<PortBackend*> gActive{&gAbsentPort};
uint64_t gDelayUnits = 0;

}  // namespace

void PortBackend::Delay(uint32_t units) {
  for (uint32_t i = 0; i < units; ++i) Write(kDelayPort, 0x00);
}

void Out32(uint16_t port, uint16_t value) {
  gActive.Get()->Write(port, static_cast<uint8_t>(value & 0xFF));
}

uint16_t Inp32(uint16_t port) {
  return gActive.Get()->Read(port);
}

void PortDelay(uint32_t units) {
  gDelayUnits += units;
  gActive.Get()->Delay(units);
}

uint64_t PortDelayUnitsSoFar() {
  return gDelayUnits + gActive.Get()->UnitsBeyondDelays();
}

void PortWait(uint32_t units, uint32_t chipMicroseconds) {
  gDelayUnits += units;
  gActive.Get()->Wait(units, chipMicroseconds);
}

void PortQueueRead(uint16_t port) {
  gActive.Get()->QueueRead(port);
}

uint8_t PortTakeRead() {
  return gActive.Get()->TakeRead();
}

void PortFlush() {
  gActive.Get()->Flush();
}

uint8_t PortBackend::TakeRead() {
  if (queuedReads_.empty()) return 0xFF;  // nothing was queued: what an open line reads
  const uint8_t value = queuedReads_.front();
  queuedReads_.pop_front();
  return value;
}

void PortBeginRun() {
  gActive.Get()->BeginRun();
}

std::string PortOpenFailure() {
  return gActive.Get()->OpenFailure();
}

std::string PortCableName() {
  return gActive.Get()->CableName();
}

Replaceable<PortChoiceWords>& PortChoiceSeam() {
  static Replaceable<PortChoiceWords> seam{PortChoiceWords{}};
  return seam;
}

Replaceable<PortBackend*>& PortBackendSeam() {
  return gActive;
}

PortBackend& ActivePortBackend() {
  return *gActive.Get();
}

void AbsentPort::Write(uint16_t port, uint8_t /*value*/) {
  if (port == kDelayPort) Delay(1);
}

uint8_t AbsentPort::Read(uint16_t /*port*/) {
  return 0xFF;
}

void AbsentPort::Delay(uint32_t units) {
  // Busy-wait so that calibration still measures a sensible unit without a port.
  const uint64_t end = MonotonicMicroseconds() + units;
  while (MonotonicMicroseconds() < end) {
  }
}
