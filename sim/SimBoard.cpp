#include "sim/SimBoard.h"

namespace {

constexpr uint8_t kMosiLine = 0x01;
constexpr uint8_t kSckLine = 0x02;
constexpr uint8_t kRstLine = 0x04;

constexpr int kInstructionBits = 24;
constexpr int kAnswerStartBit = 16;

constexpr uint8_t kFixedInstruction = 0xAC;
constexpr uint8_t kEnableByte2 = 0x53;
constexpr uint8_t kEraseCode = 0x04;     // byte 2, bits 2-0
constexpr uint8_t kLockBitsCode = 0x07;  // byte 2, bits 2-0
constexpr uint8_t kLockBitsMask = 0xE0;  // LB1-LB3

// Byte 1, bits 2-0, of the memory instructions.
constexpr uint8_t kReadCode = 0x01;
constexpr uint8_t kWriteCode = 0x02;
constexpr uint8_t kReadData = 0x05;
constexpr uint8_t kWriteData = 0x06;

uint16_t CodeAddress(uint8_t byte1, uint8_t byte2) {
  return static_cast<uint16_t>(((byte1 >> 3) & 0x1F) << 8 | byte2);
}

uint16_t DataAddress(uint8_t byte1, uint8_t byte2) {
  return static_cast<uint16_t>(((byte1 >> 3) & 0x07) << 8 | byte2);
}

uint16_t Wrap(Memory memory, uint16_t address) {
  return static_cast<uint16_t>(address & (memory == Memory::Code ? kCodeSize - 1 : kDataSize - 1));
}

}  // namespace

BoardMemories::BoardMemories() {
  code.fill(0xFF);
  data.fill(0xFF);
}

void SimBoard::SetMemories(const BoardMemories& memories) {
  if (memories_ == memories) return;
  memories_ = memories;
  ++changes_;
}

uint8_t SimBoard::CodeByte(uint16_t address) const {
  return memories_.code[Wrap(Memory::Code, address)];
}

uint8_t SimBoard::DataByte(uint16_t address) const {
  return memories_.data[Wrap(Memory::Data, address)];
}

void SimBoard::SetCodeByte(uint16_t address, uint8_t value) {
  Store(Memory::Code, address, value);
}

void SimBoard::SetDataByte(uint16_t address, uint8_t value) {
  Store(Memory::Data, address, value);
}

void SimBoard::SetLockBits(uint8_t bits) {
  const uint8_t stored = static_cast<uint8_t>(bits | ~kLockBitsMask);
  if (stored == memories_.lockBits) return;
  memories_.lockBits = stored;
  ++changes_;
}

bool SimBoard::ResetHeld() const {
  return (lines_ & kRstLine) != 0;
}

bool SimBoard::Busy(uint64_t nowUs) const {
  return pending_ != Pending::None && nowUs < pendingDoneUs_;
}

void SimBoard::Settle() {
  if (pending_ != Pending::None) Complete();
  if (startAfterErase_) RunFirmware();
}

void SimBoard::SetPower(BoardPower power) {
  // A chip that comes to life starts outside programming mode, at the start of an instruction.
  if (power == BoardPower::On && power_ != BoardPower::On) OnResetRise();
  power_ = power;
}

void SimBoard::FailWritesAt(Memory memory, uint16_t address) {
  failingWrites_.emplace(memory, Wrap(memory, address));
}

void SimBoard::SpoilWrite(uint32_t number) {
  spoiledWrites_.insert(number);
}

void SimBoard::StopAnsweringAfter(uint32_t answers, bool stuckLevel) {
  answerLimited_ = true;
  answersLeft_ = answers;
  stuckLevel_ = stuckLevel;
  hung_ = answers == 0;
}

void SimBoard::SetMisoNoise(uint32_t flipsPerMillion, uint64_t seed) {
  flipsPerMillion_ = flipsPerMillion;
  noiseState_ = seed;
}

void SimBoard::ClearFaults() {
  power_ = BoardPower::On;
  failingWrites_.clear();
  spoiledWrites_.clear();
  answerLimited_ = false;
  hung_ = false;
  flipsPerMillion_ = 0;
}

bool SimBoard::Alive() const {
  return power_ == BoardPower::On && !hung_;
}

void SimBoard::OnDataLines(uint8_t lines, uint64_t nowUs) {
  const uint8_t previous = lines_;
  lines_ = lines;
  // The last answer's last bit has been sampled by now.
  if (answerLimited_ && answersLeft_ == 0) hung_ = true;
  if (!Alive()) return;
  Advance(nowUs);
  const bool resetWas = (previous & kRstLine) != 0;
  const bool resetNow = (lines & kRstLine) != 0;
  if (resetWas && !resetNow) {
    OnResetFall();
    return;
  }
  if (!resetNow) return;  // the chip runs its firmware; SCK means nothing to it
  if (!resetWas) OnResetRise();
  const bool clockWas = (previous & kSckLine) != 0;
  const bool clockNow = (lines & kSckLine) != 0;
  if (!clockWas && clockNow) OnClockRise((lines & kMosiLine) != 0, nowUs);
  if (clockWas && !clockNow) OnClockFall();
}

bool SimBoard::Miso(uint64_t /*nowUs*/) {
  if (power_ == BoardPower::Absent) return true;
  if (power_ == BoardPower::Unpowered) return false;
  if (hung_) return stuckLevel_;
  const bool flip = flipsPerMillion_ != 0 && NextNoiseFlip();
  return flip ? !miso_ : miso_;
}

void SimBoard::OnResetRise() {
  startAfterErase_ = false;
  enabled_ = false;
  bitCount_ = 0;
  answering_ = false;
  miso_ = true;
}

void SimBoard::OnResetFall() {
  OnResetRise();
  if (pending_ == Pending::Erase) {
    // An erase runs to its end with reset low; the firmware starts after it.
    startAfterErase_ = true;
    return;
  }
  Settle();
  RunFirmware();
}

void SimBoard::RunFirmware() {
  startAfterErase_ = false;
  if (firmware_) firmware_(*this);
  if (onReleased_) onReleased_();
}

void SimBoard::OnClockRise(bool mosi, uint64_t nowUs) {
  uint8_t& current = bytes_[static_cast<std::size_t>(bitCount_ / 8)];
  current = static_cast<uint8_t>((current << 1) | (mosi ? 1 : 0));
  ++bitCount_;
  if (bitCount_ == kAnswerStartBit) LatchAnswer(nowUs);
  if (bitCount_ == kInstructionBits) {
    Execute(nowUs);
    bitCount_ = 0;
    answering_ = false;
  }
}

void SimBoard::OnClockFall() {
  if (answering_ && bitCount_ >= kAnswerStartBit) {
    const int shift = 7 - (bitCount_ - kAnswerStartBit);
    miso_ = ((answer_ >> shift) & 1) != 0;
  } else {
    miso_ = true;
  }
}

void SimBoard::LatchAnswer(uint64_t nowUs) {
  if (!enabled_ || bytes_[0] == kFixedInstruction) return;
  const uint8_t code = bytes_[0] & 0x07;
  if (code == kReadCode) {
    answer_ = ReadForAnswer(Memory::Code, CodeAddress(bytes_[0], bytes_[1]), nowUs);
    answering_ = true;
  } else if (code == kReadData) {
    answer_ = ReadForAnswer(Memory::Data, DataAddress(bytes_[0], bytes_[1]), nowUs);
    answering_ = true;
  }
}

void SimBoard::Execute(uint64_t nowUs) {
  if (answering_) {
    if (answerLimited_ && answersLeft_ > 0) --answersLeft_;
    return;
  }
  if (!enabled_) {
    enabled_ = bytes_[0] == kFixedInstruction && bytes_[1] == kEnableByte2;
    return;
  }
  if (bytes_[0] == kFixedInstruction) {
    ExecuteFixed(nowUs);
    return;
  }
  const uint8_t code = bytes_[0] & 0x07;
  if (code == kWriteCode) {
    StartWrite(Memory::Code, CodeAddress(bytes_[0], bytes_[1]), bytes_[2], nowUs);
  } else if (code == kWriteData) {
    StartWrite(Memory::Data, DataAddress(bytes_[0], bytes_[1]), bytes_[2], nowUs);
  }
}

void SimBoard::ExecuteFixed(uint64_t nowUs) {
  const uint8_t code = bytes_[1] & 0x07;
  if (bytes_[1] == kEnableByte2) return;
  if (code == kEraseCode && !Busy(nowUs)) {
    pending_ = Pending::Erase;
    pendingDoneUs_ = nowUs + kEraseTimeUs;
  } else if (code == kLockBitsCode) {
    ++lockBitWrites_;
    // Programming a lock bit writes 0; only a chip erase sets it back to 1.
    SetLockBits(memories_.lockBits & bytes_[1]);
  }
}

void SimBoard::StartWrite(Memory memory, uint16_t address, uint8_t value, uint64_t nowUs) {
  if (Busy(nowUs)) return;
  pending_ = Pending::Write;
  pendingMemory_ = memory;
  pendingAddress_ = address;
  pendingValue_ = value;
  pendingDoneUs_ = nowUs + kWriteTimeUs;
  pendingSpoiled_ = spoiledWrites_.count(++writesStarted_) != 0;
}

void SimBoard::Advance(uint64_t nowUs) {
  // Settle also starts the firmware when reset stayed low until an erase ended.
  if (pending_ != Pending::None && nowUs >= pendingDoneUs_) Settle();
}

void SimBoard::Complete() {
  if (pending_ == Pending::Erase) {
    BoardMemories erased;
    SetMemories(erased);
  } else if (pending_ == Pending::Write && pendingSpoiled_) {
    Store(pendingMemory_, pendingAddress_, 0xFF);
  } else if (pending_ == Pending::Write &&
             failingWrites_.count({pendingMemory_, pendingAddress_}) == 0) {
    Store(pendingMemory_, pendingAddress_, pendingValue_);
  }
  pending_ = Pending::None;
}

uint8_t SimBoard::ReadForAnswer(Memory memory, uint16_t address, uint64_t nowUs) const {
  if (Busy(nowUs) && pending_ == Pending::Erase) return 0xFF;
  if (Busy(nowUs) && pendingMemory_ == memory && pendingAddress_ == address) {
    return static_cast<uint8_t>(pendingValue_ ^ 0x80);
  }
  return memory == Memory::Code ? memories_.code[address] : memories_.data[address];
}

void SimBoard::Store(Memory memory, uint16_t address, uint8_t value) {
  uint8_t* bytes = memory == Memory::Code ? memories_.code.data() : memories_.data.data();
  uint8_t& byte = bytes[Wrap(memory, address)];
  if (byte == value) return;
  byte = value;
  ++changes_;
}

bool SimBoard::NextNoiseFlip() {
  // splitmix64: a fixed, portable sequence from the seed.
  noiseState_ += 0x9E3779B97F4A7C15ull;
  uint64_t z = noiseState_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return z % 1000000u < flipsPerMillion_;
}
