// The board's AT89S8252 as the programming cable sees it: 8 KB code flash, 2 KB data EEPROM and
// the lock bits, reached through the serial programming instructions on MOSI/SCK/RST/MISO.
//
// Framing. Bits are counted from the last rise of RST; every 24 rising SCK edges make one
// instruction, most significant bit first (SPI mode 0: MOSI sampled on the rising edge, MISO
// changed after the falling edge). A read instruction latches its answer once byte 2 is in and
// shifts it out during byte 3. While RST is low the chip runs its firmware and ignores SCK.
//
// Mode. A rise of RST leaves programming off; only "AC 53 xx" turns it on, and RST low turns it off
// again. Until then every other instruction is clocked in and ignored.
//
// Addresses. Code addresses use 13 bits (byte 1 bits 7-3 are a12-a8); data addresses use 11 bits
// (a10-a8 in byte 1 bits 5-3). Higher bits are ignored, so data address 0x800 is 0x000 again.
//
// Timing. A byte write completes kWriteTimeUs after the last bit of its third byte, a chip erase
// kEraseTimeUs after. Meanwhile a read of the byte being written returns the written value with
// bit 7 inverted (data polling: never the value itself), a read of any other byte returns what it
// holds, reads during an erase return 0xFF, and further writes and erases are ignored. A pending
// write is completed when RST falls: the firmware starts long after it would have ended. A pending
// erase keeps running on the virtual clock with RST low, and the firmware starts when it ends; RST
// raised again before that finds the chip still erasing, so a wait too short after an erase shows.
//
// Firmware. When RST falls the board runs its firmware (SetFirmware; see sim/BoardFirmware.h).
//
// MISO idles high (the port pin's pull-up) when no answer is being shifted out.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <set>
#include <utility>

#include "sim/SimPort.h"

constexpr uint16_t kCodeSize = 0x2000;
constexpr uint16_t kDataSize = 0x800;

enum class Memory { Code, Data };

// Everything the chip keeps over a power cycle.
struct BoardMemories {
  BoardMemories();  // an erased chip: every byte 0xFF, nothing locked
  std::array<uint8_t, kCodeSize> code;
  std::array<uint8_t, kDataSize> data;
  // Bits 7-5 are LB1-LB3 as the lock-bit instruction sends them; 0 = programmed. The other bits
  // are always 1, so 0xFF locks nothing. Recorded only: the model does not enforce the locks.
  uint8_t lockBits = 0xFF;

  bool operator==(const BoardMemories&) const = default;
};

// How the board sits on the cable.
enum class BoardPower {
  On,
  Absent,     // nothing plugged in: the status line floats high, MISO reads 1
  Unpowered,  // cable plugged into a dead board: MISO is held low
};

class SimBoard final : public CableDevice {
 public:
  static constexpr uint64_t kWriteTimeUs = 2500;
  static constexpr uint64_t kEraseTimeUs = 8000;

  SimBoard() = default;  // an erased chip with reset released

  void OnDataLines(uint8_t lines, uint64_t nowUs) override;
  bool Miso(uint64_t nowUs) override;

  // The memories as stored; a self-timed write shows here only once it has completed.
  const BoardMemories& Memories() const { return memories_; }
  void SetMemories(const BoardMemories& memories);
  uint8_t CodeByte(uint16_t address) const;
  uint8_t DataByte(uint16_t address) const;
  void SetCodeByte(uint16_t address, uint8_t value);
  void SetDataByte(uint16_t address, uint8_t value);
  uint8_t LockBits() const { return memories_.lockBits; }
  void SetLockBits(uint8_t bits);
  // Lock-bit instructions obeyed so far (each one recorded, even one that locks nothing).
  int LockBitWrites() const { return lockBitWrites_; }
  // Goes up whenever a memory byte or the lock bits change, by instruction, firmware or setter.
  uint64_t Changes() const { return changes_; }

  // Whether the cable lines last written hold reset, and the chip's mode.
  bool ResetHeld() const;
  bool ProgrammingEnabled() const { return enabled_; }
  bool Busy(uint64_t nowUs) const;
  // Completes a pending write or erase at once, as if its time had passed (and starts the
  // firmware if it was waiting for the erase).
  void Settle();

  // Runs after every fall of RST, once the firmware has started (persistence saves here). Assigning
  // another board over this one replaces the handler too: change a stored board's memories with
  // SetMemories instead.
  void SetOnReleased(std::function<void()> handler) { onReleased_ = std::move(handler); }
  // What the board's firmware does when it starts (RST falls, or an erase it waited for ends);
  // a bare chip runs nothing. FactoryBoard (sim/BoardFirmware.h) fills it in.
  void SetFirmware(std::function<void(SimBoard&)> firmware) { firmware_ = std::move(firmware); }

  // Faults. A board not On ignores everything and drives MISO to its fixed level.
  void SetPower(BoardPower power);
  // Writes to this byte run their cycle (data polling included) but the byte keeps its value.
  void FailWritesAt(Memory memory, uint16_t address);
  // The `number`-th byte write (counted from 1) since the last RestartWriteCount runs its cycle but
  // leaves the byte erased (0xFF): its programming never took.
  void SpoilWrite(uint32_t number);
  void RestartWriteCount() { writesStarted_ = 0; }
  // After `answers` read answers the board hangs: it ignores everything, reset included, and MISO
  // stays at `stuckLevel` until ClearFaults.
  void StopAnsweringAfter(uint32_t answers, bool stuckLevel);
  bool Hung() const { return hung_; }
  // Every MISO sample is inverted with probability flipsPerMillion / 1e6, from a fixed seed.
  void SetMisoNoise(uint32_t flipsPerMillion, uint64_t seed);
  void ClearFaults();

 private:
  enum class Pending { None, Write, Erase };

  bool Alive() const;
  void OnResetRise();
  void OnResetFall();
  void RunFirmware();
  void OnClockRise(bool mosi, uint64_t nowUs);
  void OnClockFall();
  void LatchAnswer(uint64_t nowUs);
  void Execute(uint64_t nowUs);
  void ExecuteFixed(uint64_t nowUs);
  void StartWrite(Memory memory, uint16_t address, uint8_t value, uint64_t nowUs);
  void Advance(uint64_t nowUs);
  void Complete();
  uint8_t ReadForAnswer(Memory memory, uint16_t address, uint64_t nowUs) const;
  void Store(Memory memory, uint16_t address, uint8_t value);
  bool NextNoiseFlip();

  BoardMemories memories_;
  uint64_t changes_ = 0;
  int lockBitWrites_ = 0;

  uint8_t lines_ = 0;
  bool enabled_ = false;
  int bitCount_ = 0;
  std::array<uint8_t, 3> bytes_{};
  bool answering_ = false;
  uint8_t answer_ = 0xFF;
  bool miso_ = true;

  Pending pending_ = Pending::None;
  Memory pendingMemory_ = Memory::Code;
  uint16_t pendingAddress_ = 0;
  uint8_t pendingValue_ = 0;
  uint64_t pendingDoneUs_ = 0;
  bool startAfterErase_ = false;  // RST fell during an erase: the firmware starts when it ends

  std::function<void()> onReleased_;
  std::function<void(SimBoard&)> firmware_;

  BoardPower power_ = BoardPower::On;
  std::set<std::pair<Memory, uint16_t>> failingWrites_;
  std::set<uint32_t> spoiledWrites_;
  uint32_t writesStarted_ = 0;
  bool pendingSpoiled_ = false;
  bool answerLimited_ = false;
  uint32_t answersLeft_ = 0;
  bool hung_ = false;
  bool stuckLevel_ = true;
  uint32_t flipsPerMillion_ = 0;
  uint64_t noiseState_ = 0;
};
