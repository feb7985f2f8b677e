#include "sim/SimPort.h"

namespace {

constexpr uint8_t kMisoBit = 0x20;

}  // namespace

SimPort::SimPort(const uint32_t& base) : base_(base) {}

void SimPort::Tick(uint64_t units) {
  nowUs_ += units;
  operations_ += units;
}

void SimPort::Write(uint16_t port, uint8_t value) {
  Tick(1);
  if (port == kDelayPort) return;
  if (port == static_cast<uint16_t>(base_)) {
    data_ = value;
    if (device_ != nullptr) device_->OnDataLines(value, nowUs_);
  } else if (port == static_cast<uint16_t>(base_ + 1)) {
    status_ = value;
  } else if (port == static_cast<uint16_t>(base_ + 2)) {
    control_ = value;
  }
}

uint8_t SimPort::Read(uint16_t port) {
  Tick(1);
  if (port == static_cast<uint16_t>(base_)) return data_;
  if (port == static_cast<uint16_t>(base_ + 1)) {
    if (device_ == nullptr) return status_;
    const uint8_t others = static_cast<uint8_t>(status_ & ~kMisoBit);
    return device_->Miso(nowUs_) ? static_cast<uint8_t>(others | kMisoBit) : others;
  }
  if (port == static_cast<uint16_t>(base_ + 2)) return control_;
  return 0xFF;
}

void SimPort::Delay(uint32_t units) {
  Tick(units);
}

void SimPort::BeginRun() {
  if (device_ != nullptr) device_->OnBoardRunStart();
}
