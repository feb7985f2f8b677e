#include "platform/UsbCable.h"

#include <algorithm>

#include "platform/CableLines.h"
#include "platform/Clock.h"

namespace {

// A parallel-port access lasts about a microsecond, and so does a delay unit.
constexpr uint64_t kAccessUs = 1;
// However long a transfer's samples take, a cable that answers nothing for this long is gone.
constexpr uint64_t kAnswerTimeoutUs = 1000000;

uint8_t PinsFor(uint8_t data) {
  uint8_t pins = 0;
  if (data & kMosi) pins |= kUsbMosi.bit;
  if (data & kSck) pins |= kUsbSck.bit;
  if (data & kReset) pins |= kUsbRst.bit;
  return pins;
}

}  // namespace

UsbCable::UsbCable(const uint32_t& base, UsbBitBang& device) : base_(base), device_(device) {}

UsbCable::~UsbCable() {
  if (state_ == State::Open) device_.Close();
}

void UsbCable::Open() {
  device_.Close();
  state_ = State::Closed;
  reason_.clear();
  switch (device_.OpenFirst()) {
    case UsbOpenResult::Opened:
      break;
    case UsbOpenResult::NotFound:
      return GiveUp(UsbNotFoundText());
    case UsbOpenResult::NoPermission:
      return GiveUp(kUsbNoPermissionText);
    case UsbOpenResult::Failed:
      return GiveUp(kUsbSetupFailedText + device_.ErrorText() + ".");
  }
  if (!device_.IsFt232r()) return GiveUp(kUsbNotFt232rText);
  // The bit-bang mode first: the baud rate is scaled for it only once it is on.
  if (!device_.SetSyncBitBang(kUsbOutputMask) || !device_.SetBaudRate(kUsbBaudRate) ||
      !device_.SetLatencyTimer(kUsbLatencyTimerMs) || !device_.Purge()) {
    return GiveUp(kUsbSetupFailedText + device_.ErrorText() + ".");
  }
  state_ = State::Open;
  // The lines start low, as the parallel port's after a run: the first byte sets them.
  pins_ = 0;
  holdUs_ = 0;
  heldTicks_ = 0;
  Queue(0);
}

std::string UsbNotFoundText() {
  return "No USB cable (FT232R) was found. Plug it in, or choose a parallel port " +
         PortChoiceSeam().Get().choose + ".";
}

void UsbCable::GiveUp(const std::string& why) {
  state_ = State::Failed;
  reason_ = why;
  device_.Close();
  queue_.clear();
  for (PendingRead& read : reads_) {
    if (read.sampled) read = {false, 0, 0xFF};  // what an open line reads
  }
}

void UsbCable::BeginRun() {
  queue_.clear();
  reads_.clear();
  Open();
}

void UsbCable::Queue(uint8_t pins) {
  pins_ = pins;
  ++heldTicks_;
  if (state_ == State::Open) queue_.push_back(pins);
}

void UsbCable::Hold() {
  while (heldTicks_ * kUsbTickUs < holdUs_) Queue(pins_);
}

void UsbCable::Write(uint16_t port, uint8_t value) {
  if (port == kDelayPort) return Delay(1);
  if (port != static_cast<uint16_t>(base_)) {
    holdUs_ += kAccessUs;  // the control and status registers drive no line of this cable
    return;
  }
  Hold();
  heldTicks_ = 0;
  holdUs_ = kAccessUs;
  Queue(PinsFor(value));
}

void UsbCable::Delay(uint32_t units) {
  holdUs_ += units * kAccessUs;
}

void UsbCable::Wait(uint32_t /*units*/, uint32_t chipMicroseconds) {
  holdUs_ += chipMicroseconds;
}

void UsbCable::QueueRead(uint16_t port) {
  if (port != static_cast<uint16_t>(base_ + 1) || state_ != State::Open) {
    reads_.push_back({false, 0, 0xFF});
    holdUs_ += kAccessUs;
    return;
  }
  Hold();
  // The chip reads its pins just before it puts out the next byte.
  reads_.push_back({true, queue_.size(), 0});
  holdUs_ += kAccessUs;
}

uint8_t UsbCable::TakeRead() {
  if (reads_.empty()) return 0xFF;
  if (reads_.front().sampled) Flush();
  const uint8_t value = reads_.front().sampled ? 0xFF : reads_.front().value;
  reads_.pop_front();
  return value;
}

uint8_t UsbCable::Read(uint16_t port) {
  // Answered at once: whatever was queued goes out with it.
  QueueRead(port);
  Flush();
  const uint8_t value = reads_.back().sampled ? 0xFF : reads_.back().value;
  reads_.pop_back();
  return value;
}

void UsbCable::Flush() {
  if (state_ != State::Open) return;
  Hold();
  // A read at the very end needs one more byte to carry its sample.
  const bool sampleAtEnd = std::any_of(reads_.begin(), reads_.end(), [&](const PendingRead& r) {
    return r.sampled && r.at == queue_.size();
  });
  if (sampleAtEnd) Queue(pins_);
  if (!Transfer()) GiveUp(kUsbStoppedText);
}

bool UsbCable::Transfer() {
  if (queue_.empty()) return true;
  const int total = static_cast<int>(queue_.size());
  std::vector<uint8_t> samples(queue_.size(), 0xFF);
  int written = 0;
  int read = 0;
  // Two chunks in flight: the next one is written while the chip clocks out the last.
  while (read < total) {
    while (written < total && written - read < 2 * kUsbChunkBytes) {
      const int size = std::min(kUsbChunkBytes, total - written);
      if (device_.WriteData(queue_.data() + written, size) != size) return false;
      written += size;
    }
    const int size = std::min(kUsbChunkBytes, written - read);
    if (!ReadSamples(samples.data() + read, size)) return false;
    read += size;
  }
  ++roundTrips_;
  for (PendingRead& pending : reads_) {
    if (!pending.sampled) continue;
    pending = {false, 0, (samples[pending.at] & kUsbMiso.bit) ? kMiso : uint8_t{0}};
  }
  queue_.clear();
  return true;
}

bool UsbCable::ReadSamples(uint8_t* into, int count) {
  const uint64_t deadline = MonotonicMicroseconds() + kAnswerTimeoutUs + count * kUsbTickUs;
  int got = 0;
  while (got < count) {
    const int result = device_.ReadData(into + got, count - got);
    if (result < 0) return false;
    got += result;
    if (result == 0 && MonotonicMicroseconds() > deadline) return false;
  }
  return true;
}

std::string DescribeUsbDevices(const std::vector<UsbDeviceInfo>& devices) {
  if (devices.empty()) return "USB cables (FT232R) plugged in: none";
  std::string text = "USB cables (FT232R) plugged in: ";
  for (std::size_t i = 0; i < devices.size(); ++i) {
    if (i > 0) text += ", ";
    text += devices[i].description.empty() ? std::string("FT232R") : devices[i].description;
    if (!devices[i].serial.empty()) text += " (" + devices[i].serial + ")";
  }
  if (devices.size() > 1) text += "; the first is used";
  return text;
}

namespace {

std::vector<UsbDeviceInfo> NoCables() {
  return {};
}

}  // namespace

Replaceable<UsbListHandler>& UsbListSeam() {
  static Replaceable<UsbListHandler> seam{UsbListHandler(NoCables)};
  return seam;
}

std::vector<UsbDeviceInfo> ListUsbCables() {
  return UsbListSeam().Get()();
}
