// A virtual parallel port on a virtual clock. Every port access, the delay unit included, moves
// virtual time on by one microsecond, so simulated board runs are deterministic and run at CPU
// speed. A device on the cable (the simulated board) sees the data lines and drives status bit 5.
#pragma once

#include <cstdint>

#include "platform/Clock.h"
#include "platform/PortIo.h"

// Something plugged into the programming cable.
class CableDevice {
 public:
  virtual ~CableDevice() = default;
  // The data register now holds `lines` (bit 0 MOSI, bit 1 SCK, bit 2 RST).
  virtual void OnDataLines(uint8_t lines, uint64_t nowUs) = 0;
  // The level the device drives on the status line (MISO).
  virtual bool Miso(uint64_t nowUs) = 0;
  // The tool begins a board run.
  virtual void OnBoardRunStart() {}
};

class SimPort final : public PortBackend, public Clock {
 public:
  // The port answers at whatever address `base` holds at the time of each access.
  explicit SimPort(const uint32_t& base);

  void Write(uint16_t port, uint8_t value) override;
  uint8_t Read(uint16_t port) override;
  void Delay(uint32_t units) override;
  void BeginRun() override;
  uint64_t Hundredths() override { return nowUs_ / 10000; }

  // Plugs `device` into the cable (nullptr unplugs it). The caller keeps ownership.
  void Attach(CableDevice* device) { device_ = device; }

  uint64_t NowUs() const { return nowUs_; }
  // Moves the virtual clock on by `us` without a port access: another cable on the same board
  // (the simulated FT232R) shares this clock.
  void AdvanceUs(uint64_t us) { nowUs_ += us; }
  uint8_t DataRegister() const { return data_; }
  uint8_t StatusRegister() const { return status_; }
  uint8_t ControlRegister() const { return control_; }
  uint64_t PortOperations() const { return operations_; }

 private:
  void Tick(uint64_t units);

  const uint32_t& base_;
  CableDevice* device_ = nullptr;
  uint64_t nowUs_ = 0;
  uint64_t operations_ = 0;
  uint8_t data_ = 0;
  uint8_t status_ = 0;
  uint8_t control_ = 0;
};
