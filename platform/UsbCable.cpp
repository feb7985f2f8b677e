#include "platform/UsbCable.h"

#include <algorithm>

#include "platform/CableLines.h"
#include "platform/Clock.h"

namespace {

// A parallel-port access lasts about a microsecond, and so does a delay unit.
constexpr uint64_t kAccessUs = 1;
// However long a transfer's samples take, a cable that answers nothing for this long is gone.
constexpr uint64_t kAnswerTimeoutUs = 1000000;
constexpr std::size_t kCompactAfterBytes = 4096;

uint8_t PinsFor(uint8_t data) {
  uint8_t pins = 0;
  if (data & kMosi) pins |= kUsbMosi.bit;
  if (data & kSck) pins |= kUsbSck.bit;
  if (data & kReset) pins |= kUsbRst.bit;
  return pins;
}

}  // namespace

UsbCable::UsbCable(const uint32_t& base, const std::string& serial, UsbBitBang& device)
    : base_(base), serial_(serial), device_(device) {}

UsbCable::~UsbCable() {
  if (state_ == State::Open) device_.Close();
}

void UsbCable::Open() {
  device_.Close();
  state_ = State::Closed;
  reason_.clear();
  name_.clear();
  switch (device_.Open(serial_)) {
    case UsbOpenResult::Opened:
      break;
    case UsbOpenResult::NotFound:
      return GiveUp(UsbNotFoundText(serial_));
    case UsbOpenResult::NoPermission:
      return GiveUp(UsbNoPermissionText());
    case UsbOpenResult::Busy:
      return GiveUp(UsbBusyText());
    case UsbOpenResult::WrongDriver:
      return GiveUp(kUsbWrongDriverText);
    case UsbOpenResult::Failed:
      return GiveUp(kUsbSetupFailedText + device_.ErrorText() + ".");
  }
  if (!device_.IsFt232r()) return GiveUp(kUsbNotFt232rText);
  // The bit-bang mode first: the chip takes the baud rate as its byte clock only then.
  if (!device_.SetSyncBitBang(kUsbOutputMask) || !device_.SetBaudRate(kUsbChipBaud) ||
      !device_.SetLatencyTimer(kUsbLatencyTimerMs) || !device_.Purge()) {
    return GiveUp(kUsbSetupFailedText + device_.ErrorText() + ".");
  }
  state_ = State::Open;
  const std::string serial = device_.OpenSerial();
  name_ = serial.empty() ? "usb" : "usb:" + serial;
  written_ = received_ = settled_ = 0;
  // The lines start low, as the parallel port's after a run: the first byte sets them.
  pins_ = 0;
  holdUs_ = 0;
  heldTicks_ = 0;
  Queue(0);
}

std::string UsbNotFoundText(const std::string& serial) {
  if (serial.empty()) {
    return "No USB cable (FT232R) was found. Plug it in, or choose a parallel port " +
           PortChoiceSeam().Get().choose + ".";
  }
  return "The USB cable (FT232R) with serial number " + serial +
         " was not found. Plug it in, or choose another cable " + PortChoiceSeam().Get().choose +
         ".";
}

std::string UsbBusyText() {
  return "The USB cable (FT232R) is in use by another program, or by another copy of this tool. "
         "Close it, or choose another cable " +
         PortChoiceSeam().Get().choose + ".";
}

void UsbCable::GiveUp(const std::string& why) {
  state_ = State::Failed;
  reason_ = why;
  device_.Close();
  queue_.clear();
  head_ = 0;
  for (PendingRead& read : reads_) {
    if (read.sampled) read = {false, 0, 0xFF};  // what an open line reads
  }
}

void UsbCable::BeginRun() {
  queue_.clear();
  head_ = 0;
  reads_.clear();
  Open();
}

void UsbCable::Queue(uint8_t pins) {
  pins_ = pins;
  ++heldTicks_;
  chipUs_ += kUsbTickUs;
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
  askedUnits_ += units;
}

void UsbCable::Wait(uint32_t units, uint32_t chipMicroseconds) {
  holdUs_ += chipMicroseconds;
  askedUnits_ += units;
}

void UsbCable::QueueRead(uint16_t port) {
  if (port != static_cast<uint16_t>(base_ + 1) || state_ != State::Open) {
    reads_.push_back({false, 0, 0xFF});
    holdUs_ += kAccessUs;
    return;
  }
  Hold();
  // The chip reads its pins just before it puts out the next byte.
  reads_.push_back({true, End(), 0});
  holdUs_ += kAccessUs;
}

uint8_t UsbCable::TakeRead() {
  if (reads_.empty()) return 0xFF;
  // Every read queued so far is answered by the same round trip.
  if (reads_.front().sampled && !Receive(LastSampled())) GiveUp(kUsbStoppedText);
  const uint8_t value = reads_.front().sampled ? 0xFF : reads_.front().value;
  reads_.pop_front();
  return value;
}

uint8_t UsbCable::Read(uint16_t port) {
  // Answered at once: whatever was queued goes out with it.
  QueueRead(port);
  const PendingRead last = reads_.back();
  if (last.sampled && !Receive(last.at)) GiveUp(kUsbStoppedText);
  const uint8_t value = reads_.back().sampled ? 0xFF : reads_.back().value;
  reads_.pop_back();
  return value;
}

void UsbCable::Flush() {
  if (state_ != State::Open) return;
  Hold();
  if (End() == settled_) return;
  // Once the sample after the last byte is back, that byte is out on the pins.
  if (!Receive(End())) return GiveUp(kUsbStoppedText);
  settled_ = End();
}

bool UsbCable::Receive(uint64_t index) {
  if (state_ != State::Open) return false;
  if (received_ > index) return true;
  ++roundTrips_;
  while (received_ <= index) {
    // The chip holds back a packet that is not full until its latency timer runs out: the lines
    // are held a little longer instead, until the packet with this sample is full.
    const uint64_t packets = (index - received_) / kUsbPacketSamples + 1;
    const uint64_t through = received_ + packets * kUsbPacketSamples;
    while (End() < through) Queue(pins_);
    if (!WriteAhead()) return false;
    const uint64_t waiting = (written_ - received_) / kUsbPacketSamples;
    if (!ReadPackets(static_cast<int>(std::min<uint64_t>(kUsbPacketsPerRead, waiting)))) {
      return false;
    }
  }
  return true;
}

bool UsbCable::WriteAhead() {
  const uint64_t inFlight = written_ - received_;
  const std::size_t queued = queue_.size() - head_;
  const std::size_t room = inFlight < kUsbMostInFlight ? kUsbMostInFlight - inFlight : 0;
  const int size = static_cast<int>(std::min(room, queued));
  if (size == 0) return true;
  if (device_.WriteData(queue_.data() + head_, size) != size) return false;
  head_ += static_cast<std::size_t>(size);
  written_ += static_cast<uint64_t>(size);
  // What was written goes, so that a long run never keeps its whole stream.
  if (head_ == queue_.size() || head_ >= kCompactAfterBytes) {
    queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(head_));
    head_ = 0;
  }
  return true;
}

bool UsbCable::ReadPackets(int packets) {
  uint8_t samples[kUsbPacketsPerRead * kUsbPacketSamples];
  const uint64_t deadline = MonotonicMicroseconds() + kAnswerTimeoutUs;
  for (;;) {
    const int count = device_.ReadData(samples, std::max(packets, 1));
    if (count < 0) return false;
    Answer(samples, count);
    received_ += static_cast<uint64_t>(count);
    // A packet that came short waited for the latency timer.
    if (count < packets * kUsbPacketSamples) chipUs_ += kUsbLatencyTimerMs * 1000;
    if (count > 0) return true;
    if (MonotonicMicroseconds() > deadline) return false;
  }
}

uint64_t UsbCable::LastSampled() const {
  uint64_t last = 0;
  for (const PendingRead& read : reads_) {
    if (read.sampled) last = std::max(last, read.at);
  }
  return last;
}

void UsbCable::Answer(const uint8_t* samples, int count) {
  const uint64_t end = received_ + static_cast<uint64_t>(count);
  for (PendingRead& read : reads_) {
    if (!read.sampled || read.at < received_ || read.at >= end) continue;
    const uint8_t sample = samples[read.at - received_];
    read = {false, 0, (sample & kUsbMiso.bit) ? kMiso : uint8_t{0}};
  }
}

std::string DescribeUsbDevices(const std::vector<UsbDeviceInfo>& devices) {
  if (devices.empty()) return "USB cables (FT232R) plugged in: none";
  std::string text = "USB cables (FT232R) plugged in: ";
  for (std::size_t i = 0; i < devices.size(); ++i) {
    if (i > 0) text += ", ";
    text += devices[i].description.empty() ? std::string("FT232R") : devices[i].description;
    if (!devices[i].serial.empty()) text += " (" + devices[i].serial + ")";
  }
  return text;
}
