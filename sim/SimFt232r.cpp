#include "sim/SimFt232r.h"

#include <vector>

SimFt232r::SimFt232r(SimPort& clock, SimUsbPlan plan) : plan_(plan), chip_(clock) {
  SetPlan(plan);
}

void SimFt232r::Attach(CableDevice* device) {
  device_ = device;
  chip_.Attach(device);
}

void SimFt232r::SetPlan(const SimUsbPlan& plan) {
  plan_ = plan;
  chip_.UnplugAfterBytes(plan.unplugAfterBytes ? std::max<uint64_t>(*plan.unplugAfterBytes, 1) : 0);
}

std::vector<UsbDeviceInfo> SimFt232r::List() {
  std::vector<UsbDeviceInfo> devices;
  if (chip_.Unplugged()) return devices;
  for (int i = 0; i < plan_.devices; ++i) {
    devices.push_back({"FT232R USB UART (simulated)", "SIM" + std::to_string(i + 1)});
  }
  return devices;
}

UsbOpenResult SimFt232r::Open(const std::string& serial) {
  open_ = false;
  std::string found;
  for (const UsbDeviceInfo& device : List()) {
    if (serial.empty() || device.serial == serial) {
      found = device.serial;
      break;
    }
  }
  if (found.empty()) {
    error_ = "no such device";
    return UsbOpenResult::NotFound;
  }
  if (!plan_.permitted) {
    error_ = "access denied";
    return UsbOpenResult::NoPermission;
  }
  if (plan_.busy) {
    error_ = "resource busy";
    return UsbOpenResult::Busy;
  }
  open_ = true;
  openSerial_ = found;
  // A board run opens the cable afresh: the board's injected faults go run by run.
  if (device_ != nullptr) device_->OnBoardRunStart();
  return UsbOpenResult::Opened;
}

bool SimFt232r::Control(uint8_t request, uint16_t value, uint16_t index, const char* failure) {
  if (open_ && chip_.Control(request, value, index)) return true;
  error_ = failure;
  return false;
}

bool SimFt232r::SetSyncBitBang(uint8_t outputMask) {
  if (!plan_.bitBangWorks) {
    error_ = "unable to configure bitbang mode";
    return false;
  }
  return Control(0x0B, static_cast<uint16_t>(0x0400 | outputMask), 1, "the bit mode was refused");
}

bool SimFt232r::SetBaudRate(int baud) {
  const Ft232rDivisor divisor = EncodeFt232rBaud(baud);
  return Control(0x03, divisor.value, divisor.index, "the baud rate was refused");
}

bool SimFt232r::SetLatencyTimer(int milliseconds) {
  return Control(0x09, static_cast<uint16_t>(milliseconds), 1, "the latency timer was refused");
}

bool SimFt232r::Purge() {
  return Control(0x00, 1, 1, "the purge was refused") &&
         Control(0x00, 2, 1, "the purge was refused");
}

int SimFt232r::WriteData(const uint8_t* data, int size) {
  int taken = 0;
  if (!open_ ||
      chip_.BulkOut(data, size, kUsbTransferTimeoutMs, taken) == Ft232rChip::Transfer::Gone) {
    error_ = "no such device (it may have been disconnected)";
    return -1;
  }
  if (taken < size) error_ = "operation timed out";
  return taken;
}

int SimFt232r::ReadData(uint8_t* data, int packets) {
  std::vector<uint8_t> raw(static_cast<std::size_t>(packets) * kUsbPacketBytes);
  int got = 0;
  const Ft232rChip::Transfer result =
      open_ ? chip_.BulkIn(raw.data(), static_cast<int>(raw.size()), kUsbTransferTimeoutMs, got)
            : Ft232rChip::Transfer::Gone;
  if (result != Ft232rChip::Transfer::Done) {
    error_ = result == Ft232rChip::Transfer::Gone ? "no such device (it may have been disconnected)"
                                                  : "operation timed out";
    return -1;
  }
  return DropStatusBytes(raw.data(), got, data);
}
