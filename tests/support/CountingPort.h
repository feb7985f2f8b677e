// Counts what a run puts on the cable, in front of the port that does it: port accesses, delay
// units outside the calibrated waits, and the waits themselves (delays of delay_const units).
#pragma once

#include <cstdint>

#include "link/Communication.h"
#include "platform/PortIo.h"

struct CountingPort final : PortBackend {
  explicit CountingPort(PortBackend& inner) : inner(inner) {}
  void Write(uint16_t port, uint8_t value) override {
    ++accesses;
    inner.Write(port, value);
  }
  uint8_t Read(uint16_t port) override {
    ++accesses;
    return inner.Read(port);
  }
  void Delay(uint32_t units) override {
    if (units == delay_const) {
      ++waits;
    } else {
      delayUnits += units;
    }
    inner.Delay(units);
  }
  void BeginRun() override { inner.BeginRun(); }
  PortBackend& inner;
  uint64_t accesses = 0;
  uint64_t delayUnits = 0;
  uint64_t waits = 0;
};
