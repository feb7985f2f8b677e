// The port backend of the cable the connection settings name: the parallel port or the USB
// cable, chosen again at every call, so a new choice takes effect at the next board run.
#pragma once

#include "platform/PortIo.h"

class CableSwitch final : public PortBackend {
 public:
  // `useUsb` is read at every call; both backends are kept, not owned.
  CableSwitch(const int& useUsb, PortBackend& parallel, PortBackend& usb)
      : useUsb_(useUsb), parallel_(parallel), usb_(usb) {}

  void Write(uint16_t port, uint8_t value) override { Active().Write(port, value); }
  uint8_t Read(uint16_t port) override { return Active().Read(port); }
  void Delay(uint32_t units) override { Active().Delay(units); }
  void BeginRun() override { Active().BeginRun(); }
  void Wait(uint32_t units, uint32_t chipMicroseconds) override {
    Active().Wait(units, chipMicroseconds);
  }
  void QueueRead(uint16_t port) override { Active().QueueRead(port); }
  uint8_t TakeRead() override { return Active().TakeRead(); }
  void Flush() override { Active().Flush(); }
  bool TimesWaitsItself() const override { return Active().TimesWaitsItself(); }
  uint64_t UnitsBeyondDelays() const override { return Active().UnitsBeyondDelays(); }
  std::string OpenFailure() const override { return Active().OpenFailure(); }
  std::string CableName() const override { return Active().CableName(); }

 private:
  PortBackend& Active() const { return useUsb_ != 0 ? usb_ : parallel_; }

  const int& useUsb_;
  PortBackend& parallel_;
  PortBackend& usb_;
};
