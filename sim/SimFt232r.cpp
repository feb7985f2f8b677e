#include "sim/SimFt232r.h"

#include <algorithm>

#include "platform/CableLines.h"
#include "platform/UsbCable.h"

namespace {

uint8_t LinesFor(uint8_t pins) {
  uint8_t lines = 0;
  if (pins & kUsbMosi.bit) lines |= kMosi;
  if (pins & kUsbSck.bit) lines |= kSck;
  if (pins & kUsbRst.bit) lines |= kReset;
  return lines;
}

}  // namespace

SimFt232r::SimFt232r(SimPort& clock, SimUsbPlan plan) : clock_(clock), plan_(plan) {}

bool SimFt232r::Unplugged() const {
  return plan_.unplugAfterBytes && bytesClocked_ >= *plan_.unplugAfterBytes;
}

std::vector<UsbDeviceInfo> SimFt232r::List() {
  std::vector<UsbDeviceInfo> devices;
  if (Unplugged()) return devices;
  for (int i = 0; i < plan_.devices; ++i) {
    devices.push_back({"FT232R USB UART (simulated)", "SIM" + std::to_string(i + 1)});
  }
  return devices;
}

UsbOpenResult SimFt232r::OpenFirst() {
  open_ = false;
  syncBitBang_ = false;
  samples_.clear();
  if (plan_.devices <= 0 || Unplugged()) {
    error_ = "usb device not found";
    return UsbOpenResult::NotFound;
  }
  if (!plan_.permitted) {
    error_ = "usb_open() failed";
    return UsbOpenResult::NoPermission;
  }
  open_ = true;
  // A board run opens the cable afresh: the board's injected faults go run by run.
  if (device_ != nullptr) device_->OnBoardRunStart();
  return UsbOpenResult::Opened;
}

bool SimFt232r::SetSyncBitBang(uint8_t outputMask) {
  if (!open_ || Unplugged()) return false;
  if (!plan_.bitBangWorks) {
    error_ = "unable to configure bitbang mode";
    return false;
  }
  syncBitBang_ = true;
  outputMask_ = outputMask;
  return true;
}

bool SimFt232r::SetBaudRate(int baud) {
  return open_ && !Unplugged() && baud == kUsbBaudRate;
}

bool SimFt232r::SetLatencyTimer(int milliseconds) {
  return open_ && !Unplugged() && milliseconds >= 1 && milliseconds <= 255;
}

bool SimFt232r::Purge() {
  if (!open_ || Unplugged()) return false;
  samples_.clear();
  return true;
}

void SimFt232r::PutOnPins(uint8_t byte) {
  // Read before write: the sample shows the pins as the last byte left them.
  const bool miso = device_ == nullptr || device_->Miso(clock_.NowUs());
  const uint8_t inputs = static_cast<uint8_t>(~outputMask_ & ~kUsbMiso.bit);
  uint8_t sample = static_cast<uint8_t>((pins_ & outputMask_) | inputs);
  if (miso) sample |= kUsbMiso.bit;
  samples_.push_back(sample);
  pins_ = static_cast<uint8_t>(byte & outputMask_);
  const uint8_t lines = LinesFor(pins_);
  if (lines != lines_ && device_ != nullptr) device_->OnDataLines(lines, clock_.NowUs());
  lines_ = lines;
  clock_.AdvanceUs(kUsbTickUs);
  ++bytesClocked_;
}

int SimFt232r::WriteData(const uint8_t* data, int size) {
  if (!open_ || Unplugged()) {
    error_ = "usb bulk write failed";
    return -1;
  }
  if (!syncBitBang_) return size;  // a serial port: nothing reaches the pins
  for (int i = 0; i < size; ++i) {
    if (Unplugged()) return i;
    PutOnPins(data[i]);
  }
  return size;
}

int SimFt232r::ReadData(uint8_t* data, int size) {
  if (!open_ || Unplugged()) {
    error_ = "usb bulk read failed";
    return -1;
  }
  const int count = std::min(size, static_cast<int>(samples_.size()));
  std::copy_n(samples_.begin(), count, data);
  samples_.erase(samples_.begin(), samples_.begin() + count);
  if (count > 0 && samples_.empty()) {
    clock_.AdvanceUs(kUsbRoundTripUs);
    ++roundTrips_;
  }
  return count;
}
