// An FT232R in synchronous bit-bang mode as the host meets it over USB, in virtual time, following
// the chip's public facts (FT232R datasheet; FTDI AN232R-01, AN232B-04, AN232B-05), not the tool's
// driver:
// - Buffers: 128 bytes from the host, 256 samples for the host. A byte is clocked out only while
//   there is room for its sample, and a bulk OUT packet (64 bytes) is taken only when it fits; so
//   a host that writes further ahead than both buffers hold stalls its write until the timeout.
// - Clock: one byte every 16 cycles of the baud-rate generator (3 MHz over the divisor). The pins
//   are read just before each byte goes out: sample k shows the pins as byte k - 1 left them.
// - Bulk IN: 64-byte packets, two status bytes then up to 62 samples. A full packet goes as soon as
//   the host asks and 62 samples wait; a shorter one only once the latency timer, counted from the
//   last packet, has run out. A short packet ends the host's transfer.
// - Each bulk or control call costs the host `hostCallUs` before it reaches the chip (0 unless a
//   test asks); the chip goes on clocking meanwhile. The bus's own time is not counted: at 2 us a
//   byte both ways stay within a full-speed bus.
#pragma once

#include <cstdint>
#include <deque>

#include "sim/SimPort.h"

class Ft232rChip {
 public:
  enum class Transfer { Done, TimedOut, Overflow, Gone };

  // Shares `clock` with the simulated parallel port, so the board sees one time line.
  explicit Ft232rChip(SimPort& clock) : clock_(clock) {}

  // Plugs `device` into the header (nullptr: nothing). The caller keeps ownership.
  void Attach(CableDevice* device) { device_ = device; }
  void SetHostCallUs(uint32_t us) { hostCallUs_ = us; }
  // The cable is pulled out once this many bytes have been clocked out (0: never).
  void UnplugAfterBytes(uint64_t bytes) { unplugAfter_ = bytes; }
  bool Unplugged() const { return unplugAfter_ != 0 && bytesClocked_ >= unplugAfter_; }

  // A vendor request (type 0x40); false when the chip stalls it.
  bool Control(uint8_t request, uint16_t value, uint16_t index);
  Transfer BulkOut(const uint8_t* data, int size, uint32_t timeoutMs, int& taken);
  Transfer BulkIn(uint8_t* data, int length, uint32_t timeoutMs, int& got);

  bool InSyncBitBang() const { return mode_ == kSyncBitBang; }
  uint8_t Pins() const { return pins_; }
  uint32_t ByteNs() const { return byteNs_; }
  int LatencyMs() const { return latencyMs_; }
  uint64_t NowUs() const { return clock_.NowUs(); }
  uint64_t BytesClocked() const { return bytesClocked_; }
  // Time in bit-bang mode with nothing to clock out, or no room for the sample.
  uint64_t IdleUs() const { return idleUs_; }
  uint64_t ShortPackets() const { return shortPackets_; }
  // The most bytes the chip held at once, both buffers together.
  std::size_t MostHeld() const { return mostHeld_; }

 private:
  static constexpr uint8_t kSyncBitBang = 0x04;

  bool CanClock() const;
  void ClockOne();
  // Lets `us` pass, clocking bytes out when it can.
  void Run(uint64_t us);
  void Idle(uint64_t us);
  void HostCall() { Run(hostCallUs_); }
  bool SetBaud(uint32_t encoded);
  uint8_t Sample();

  SimPort& clock_;
  CableDevice* device_ = nullptr;
  uint32_t hostCallUs_ = 0;
  uint64_t unplugAfter_ = 0;
  uint8_t mode_ = 0;
  uint8_t outputMask_ = 0;
  uint8_t pins_ = 0;
  uint8_t lines_ = 0;
  uint32_t byteNs_ = 0;  // 0 until a baud rate is set
  uint32_t carryNs_ = 0;
  int latencyMs_ = 16;  // the chip's default
  uint64_t lastPacketUs_ = 0;
  std::deque<uint8_t> fromHost_;
  std::deque<uint8_t> toHost_;
  uint64_t bytesClocked_ = 0;
  uint64_t idleUs_ = 0;
  uint64_t shortPackets_ = 0;
  std::size_t mostHeld_ = 0;
};
