// The programming cable on an FT232R in synchronous bit-bang mode, as a port backend. The board
// link drives it exactly as the parallel port: data-register writes set MOSI, SCK and RST, a
// status-register read gives MISO in bit 5. Since a USB round trip costs about a millisecond,
// line changes and waits are queued and sent as one transfer; the samples that come back answer
// the queued reads. Only a read answered at once (Read) or TakeRead with its sample not yet
// fetched costs a round trip.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/PortIo.h"
#include "platform/UsbBitBang.h"

// One line of the cable: the FT232R pin it is on and the board's programming header pin.
struct UsbCableLine {
  const char* signal;  // "MOSI", "SCK", "RST", "MISO"
  uint8_t bit;         // bit-bang data bit D0-D7
  int chipPin;         // FT232RL (SSOP-28) pin number
  const char* chipPinName;
  int headerPin;
};

// The one wiring: MOSI, SCK and RST driven, MISO read. Ground to header pin 5; the board keeps
// its own supply.
inline constexpr UsbCableLine kUsbMosi{"MOSI", 0x01, 1, "TXD", 1};
inline constexpr UsbCableLine kUsbMiso{"MISO", 0x02, 5, "RXD", 2};
inline constexpr UsbCableLine kUsbSck{"SCK", 0x04, 3, "RTS", 3};
inline constexpr UsbCableLine kUsbRst{"RST", 0x10, 2, "DTR", 4};
inline constexpr int kUsbGroundHeaderPin = 5;
inline constexpr uint8_t kUsbOutputMask = kUsbMosi.bit | kUsbSck.bit | kUsbRst.bit;

// The FT232R's timing, as the backend and the simulated FT232R both count it.
//
// Synchronous bit-bang (FTDI AN232R-01): each byte written is put on the pins at one tick of the
// baud-rate generator, and the pins are read just before it is put out, so sample k shows the
// lines as byte k - 1 left them. The byte clock is 16 times the chip's baud rate (AN232R-01), and
// libftdi hands the chip four times the rate asked for in bit-bang mode: 7812 gives one byte every
// 2 us. Two bytes cross the bus per tick (one each way), 1 MB/s, inside the 1.2 MB/s that 19
// 64-byte bulk packets per 1 ms full-speed frame carry.
inline constexpr int kUsbBaudRate = 7812;
inline constexpr uint32_t kUsbTickUs = 2;
// The chip sends its samples back when a 64-byte packet is full or its latency timer runs out
// (1 ms at the least, FTDI AN232B-04); with the host's frame, a transfer that waits for its last
// sample costs about a millisecond more than its bytes take to clock out.
inline constexpr int kUsbLatencyTimerMs = 1;
inline constexpr uint32_t kUsbRoundTripUs = 1000;
// Bytes sent in one write: the FT232R holds 128 from the host and 256 for it (datasheet, FIFO
// sizes), so a chunk of 128 is written while the previous one's samples are read.
inline constexpr int kUsbChunkBytes = 128;

// Why a board run over the USB cable cannot work, shown under the board command's failure message.
std::string UsbNotFoundText();
inline constexpr const char* kUsbNoPermissionText =
    "The USB cable (FT232R) was found, but you may not use it. Install the tool's udev rule (see "
    "the README), then unplug the cable and plug it in again.";
inline constexpr const char* kUsbNotFt232rText =
    "The USB device found is not an FT232R, so it cannot drive the programming cable.";
inline constexpr const char* kUsbSetupFailedText = "The USB cable (FT232R) could not be set up: ";
inline constexpr const char* kUsbStoppedText =
    "The USB cable (FT232R) stopped answering: it was unplugged or lost its power.";

class UsbCable final : public PortBackend {
 public:
  // `base` is read at every access, as the parallel port's address; `device` is kept, not owned.
  UsbCable(const uint32_t& base, UsbBitBang& device);
  ~UsbCable() override;
  UsbCable(const UsbCable&) = delete;
  UsbCable& operator=(const UsbCable&) = delete;

  void Write(uint16_t port, uint8_t value) override;
  uint8_t Read(uint16_t port) override;
  void Delay(uint32_t units) override;
  // Opens the cable afresh, so a cable plugged in (or back) since the last run is found.
  void BeginRun() override;
  void Wait(uint32_t units, uint32_t chipMicroseconds) override;
  void QueueRead(uint16_t port) override;
  uint8_t TakeRead() override;
  void Flush() override;
  bool TimesWaitsItself() const override { return true; }
  uint64_t UnitsBeyondDelays() const override { return roundTrips_ * kUsbRoundTripUs; }
  std::string OpenFailure() const override { return reason_; }

  // Round trips so far (each flush that waited for samples).
  uint64_t RoundTrips() const { return roundTrips_; }
  bool Usable() const { return state_ == State::Open; }
  // The cable's pins as last queued (FT232R data bits).
  uint8_t Pins() const { return pins_; }

 private:
  enum class State { Closed, Open, Failed };

  void Open();
  void GiveUp(const std::string& why);
  void Queue(uint8_t pins);
  // Repeats the current pins until they have lasted as long as the parallel port would have
  // held them (holdUs_), counted in whole ticks.
  void Hold();
  // Sends the queue and collects its samples; false when the cable failed.
  bool Transfer();
  bool ReadSamples(uint8_t* into, int count);

  const uint32_t& base_;
  UsbBitBang& device_;
  State state_ = State::Closed;
  std::string reason_;
  uint8_t pins_ = 0;
  // How long the current pins must last, in microseconds of the parallel port's nominal timing,
  // and how many ticks they have been queued for.
  uint64_t holdUs_ = 0;
  uint64_t heldTicks_ = 0;
  std::vector<uint8_t> queue_;
  // Positions in queue_ whose samples answer queued reads, oldest first.
  struct PendingRead {
    bool sampled;  // waits for the sample at `at` of the queue
    std::size_t at;
    uint8_t value;  // the answer, once known
  };
  std::deque<PendingRead> reads_;
  uint64_t roundTrips_ = 0;
};

// "USB cable: FT232R USB UART (A50285BI)", or the words for none, for the ports line.
std::string DescribeUsbDevices(const std::vector<UsbDeviceInfo>& devices);
