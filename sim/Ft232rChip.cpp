#include "sim/Ft232rChip.h"

#include <algorithm>

#include "platform/CableLines.h"

namespace {

constexpr std::size_t kFromHostBytes = 128;
constexpr std::size_t kToHostBytes = 256;
constexpr int kPacketBytes = 64;
constexpr int kPacketData = 62;
// Modem status (bit 0 always set), line status (transmitter empty): what an idle chip reports.
constexpr uint8_t kModemStatus = 0x01;
constexpr uint8_t kLineStatus = 0x60;

// The cable's wiring, as the board sees the pins: D0 MOSI, D2 SCK, D4 RST; D1 is MISO.
constexpr uint8_t kPinMosi = 0x01;
constexpr uint8_t kPinMiso = 0x02;
constexpr uint8_t kPinSck = 0x04;
constexpr uint8_t kPinRst = 0x10;

uint8_t LinesFor(uint8_t pins) {
  uint8_t lines = 0;
  if (pins & kPinMosi) lines |= kMosi;
  if (pins & kPinSck) lines |= kSck;
  if (pins & kPinRst) lines |= kReset;
  return lines;
}

uint64_t DeadlineUs(uint64_t nowUs, uint32_t timeoutMs) {
  return nowUs + static_cast<uint64_t>(timeoutMs == 0 ? 60000 : timeoutMs) * 1000;
}

}  // namespace

bool Ft232rChip::Control(uint8_t request, uint16_t value, uint16_t index) {
  if (Unplugged()) return false;
  HostCall();
  switch (request) {
    case 0x00:  // reset: 0 the whole chip's buffers, 1 the host's bytes, 2 the samples
      if (value == 0 || value == 1) fromHost_.clear();
      if (value == 0 || value == 2) toHost_.clear();
      return value <= 2;
    case 0x03:  // baud rate: the divisor, its bit 16 in the index's low byte
      return SetBaud(value | (static_cast<uint32_t>(index & 0x01) << 16));
    case 0x09:  // latency timer, 1 to 255 ms
      if (value < 1 || value > 255) return false;
      latencyMs_ = value;
      return true;
    case 0x0B:  // bit mode: the mode in the high byte, the output pins in the low one
      if ((value >> 8) != 0 && (value >> 8) != kSyncBitBang) return false;
      mode_ = static_cast<uint8_t>(value >> 8);
      outputMask_ = static_cast<uint8_t>(value & 0xFF);
      return true;
    case 0x01:  // modem lines, flow control, data format: nothing the bit-bang pins show
    case 0x02:
    case 0x04:
      return true;
    default:
      return false;
  }
}

bool Ft232rChip::SetBaud(uint32_t encoded) {
  // AN232B-05: 14 bits of whole divisor, then three bits naming the eighths; 0 and 1 stand for
  // the divisors 1 and 1.5.
  static constexpr uint32_t kEighths[8] = {0, 4, 2, 1, 3, 5, 6, 7};
  uint32_t eighths = (encoded & 0x3FFF) * 8 + kEighths[(encoded >> 14) & 0x07];
  if (encoded == 0) eighths = 8;
  if (encoded == 1) eighths = 12;
  // 3 MHz over the divisor is the baud rate; a byte goes out every 16 of its cycles.
  byteNs_ = static_cast<uint32_t>(uint64_t{eighths} * 1000 / 384);
  return true;
}

bool Ft232rChip::CanClock() const {
  return mode_ == kSyncBitBang && byteNs_ != 0 && !fromHost_.empty() &&
         toHost_.size() < kToHostBytes && !Unplugged();
}

uint8_t Ft232rChip::Sample() {
  // Inputs with nothing on them read high (the chip's pull-ups).
  const bool miso = device_ == nullptr || device_->Miso(clock_.NowUs());
  uint8_t sample = static_cast<uint8_t>((pins_ & outputMask_) | (~outputMask_ & ~kPinMiso));
  if (miso) sample |= kPinMiso;
  return sample;
}

void Ft232rChip::ClockOne() {
  toHost_.push_back(Sample());
  pins_ = static_cast<uint8_t>(fromHost_.front() & outputMask_);
  fromHost_.pop_front();
  const uint8_t lines = LinesFor(pins_);
  if (lines != lines_ && device_ != nullptr) device_->OnDataLines(lines, clock_.NowUs());
  lines_ = lines;
  ++bytesClocked_;
  carryNs_ += byteNs_;
  clock_.AdvanceUs(carryNs_ / 1000);
  carryNs_ %= 1000;
}

void Ft232rChip::Idle(uint64_t us) {
  if (mode_ == kSyncBitBang) idleUs_ += us;
  clock_.AdvanceUs(us);
}

void Ft232rChip::Run(uint64_t us) {
  const uint64_t end = clock_.NowUs() + us;
  while (clock_.NowUs() < end) {
    if (!CanClock()) return Idle(end - clock_.NowUs());
    ClockOne();
  }
}

Ft232rChip::Transfer Ft232rChip::BulkOut(const uint8_t* data, int size, uint32_t timeoutMs,
                                         int& taken) {
  taken = 0;
  if (Unplugged()) return Transfer::Gone;
  HostCall();
  const uint64_t deadline = DeadlineUs(clock_.NowUs(), timeoutMs);
  while (taken < size) {
    const int packet = std::min(kPacketBytes, size - taken);
    while (fromHost_.size() + static_cast<std::size_t>(packet) > kFromHostBytes) {
      if (Unplugged()) return Transfer::Gone;
      if (clock_.NowUs() >= deadline) return Transfer::TimedOut;
      // With no room for samples nothing moves until the host reads, and it is waiting here.
      if (!CanClock()) {
        Idle(deadline > clock_.NowUs() ? deadline - clock_.NowUs() : 0);
        return Transfer::TimedOut;
      }
      ClockOne();
    }
    // Outside bit-bang mode the bytes go to the serial line, not to the pins.
    if (mode_ == kSyncBitBang)
      fromHost_.insert(fromHost_.end(), data + taken, data + taken + packet);
    taken += packet;
    mostHeld_ = std::max(mostHeld_, fromHost_.size() + toHost_.size());
  }
  return Transfer::Done;
}

Ft232rChip::Transfer Ft232rChip::BulkIn(uint8_t* data, int length, uint32_t timeoutMs, int& got) {
  got = 0;
  if (Unplugged()) return Transfer::Gone;
  HostCall();
  const uint64_t deadline = DeadlineUs(clock_.NowUs(), timeoutMs);
  const uint64_t latencyUs = static_cast<uint64_t>(latencyMs_) * 1000;
  for (;;) {
    const bool full = toHost_.size() >= kPacketData;
    if (full || clock_.NowUs() >= lastPacketUs_ + latencyUs) {
      const int count = std::min<int>(kPacketData, static_cast<int>(toHost_.size()));
      if (length - got < count + 2) return Transfer::Overflow;
      data[got++] = kModemStatus;
      data[got++] = kLineStatus;
      std::copy_n(toHost_.begin(), count, data + got);
      toHost_.erase(toHost_.begin(), toHost_.begin() + count);
      got += count;
      lastPacketUs_ = clock_.NowUs();
      if (count + 2 < kPacketBytes) ++shortPackets_;
      if (count + 2 < kPacketBytes || got == length) return Transfer::Done;
      continue;
    }
    if (Unplugged()) return Transfer::Gone;
    if (clock_.NowUs() >= deadline) return Transfer::TimedOut;
    if (CanClock()) {
      ClockOne();
    } else {
      Idle(std::min(lastPacketUs_ + latencyUs, deadline) - clock_.NowUs());
    }
  }
}
