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

// The FT232R's timing, as the backend counts it.
//
// Synchronous bit-bang (FTDI AN232R-01): each byte written is put on the pins at one tick of the
// baud-rate generator, and the pins are read just before it is put out, so sample k shows the
// lines as byte k - 1 left them. The byte clock is 16 times the chip's baud rate: 31250 baud gives
// one byte every 2 us. Two bytes cross the bus per tick (one each way), about 1 MB/s, inside what
// a full-speed bus carries.
inline constexpr int kUsbChipBaud = 31250;
inline constexpr uint32_t kUsbTickUs = 2;
// The chip sends a packet of samples once 62 are waiting, and a shorter one only when its latency
// timer (1 ms at the least, FTDI AN232B-04) runs out; the backend fills the packets instead.
inline constexpr int kUsbLatencyTimerMs = 1;
// Bytes written but not yet read back: the chip holds 128 from the host and 256 samples for it
// and stops clocking when the samples have no room, so more than both in flight would stall the
// write. One packet is kept spare.
inline constexpr int kUsbMostInFlight = 128 + 256 - 64;
// Packets asked for in one read: the chip keeps clocking what was written ahead meanwhile.
inline constexpr int kUsbPacketsPerRead = 4;

// Why a board run over the USB cable cannot work, shown under the board command's failure
// message; `serial` is the cable asked for (empty: the first found).
std::string UsbNotFoundText(const std::string& serial = {});
std::string UsbBusyText();
// The cable was found but the system would not open it: on Linux the device node is not the
// user's; on Windows another program has it open (WinUSB gives a device to one program at a time).
// UsbCableLinux.cpp and UsbCableWindows.cpp say it in each system's words.
std::string UsbNoPermissionText();
inline constexpr const char* kUsbWrongDriverText =
    "The USB cable (FT232R) is held by the chip maker's own driver, which this tool cannot use. "
    "Give it the WinUSB driver (for example with Zadig), then unplug the cable and plug it in "
    "again.";
inline constexpr const char* kUsbNotFt232rText =
    "The USB device found is not an FT232R, so it cannot drive the programming cable.";
inline constexpr const char* kUsbSetupFailedText = "The USB cable (FT232R) could not be set up: ";
inline constexpr const char* kUsbStoppedText =
    "The USB cable (FT232R) stopped answering: it was unplugged or lost its power.";

class UsbCable final : public PortBackend {
 public:
  // `base` and `serial` (the cable asked for; empty: the first found) are read at every run, as
  // the parallel port's address; `device` is kept, not owned.
  UsbCable(const uint32_t& base, const std::string& serial, UsbBitBang& device);
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
  // The delay units count the chip's own time on this cable: whole ticks, filled packets and
  // accesses included (wrapping arithmetic: a wait that holds nothing takes its units back).
  uint64_t UnitsBeyondDelays() const override { return chipUs_ - askedUnits_; }
  std::string OpenFailure() const override { return reason_; }
  // "usb:SERIAL" of the cable opened ("usb" when it has no serial number); empty when none was.
  std::string CableName() const override { return name_; }

  // Round trips so far: times the tool waited for a sample it needed.
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
  // The stream position after the last byte queued: bytes are counted from the cable's opening.
  uint64_t End() const { return written_ + (queue_.size() - head_); }
  // Writes, reads and fills packets until sample `index` is back; false when the cable failed.
  bool Receive(uint64_t index);
  uint64_t LastSampled() const;
  bool WriteAhead();
  bool ReadPackets(int packets);
  void Answer(const uint8_t* samples, int count);

  const uint32_t& base_;
  const std::string& serial_;
  UsbBitBang& device_;
  State state_ = State::Closed;
  std::string reason_;
  std::string name_;
  uint8_t pins_ = 0;
  // How long the current pins must last, in microseconds of the parallel port's nominal timing,
  // and how many ticks they have been queued for.
  uint64_t holdUs_ = 0;
  uint64_t heldTicks_ = 0;
  // Bytes not yet written start at head_; written_ and received_ count bytes and samples.
  std::vector<uint8_t> queue_;
  std::size_t head_ = 0;
  uint64_t written_ = 0;
  uint64_t received_ = 0;
  // Where the lines were last known to be out on the pins.
  uint64_t settled_ = 0;
  // Queued reads, oldest first; a sampled one waits for the sample at `at` of the stream.
  struct PendingRead {
    bool sampled;
    uint64_t at;
    uint8_t value;  // the answer, once known
  };
  std::deque<PendingRead> reads_;
  uint64_t roundTrips_ = 0;
  // The chip's time queued so far, and the delay units asked for meanwhile.
  uint64_t chipUs_ = 0;
  uint64_t askedUnits_ = 0;
};

// "USB cable: FT232R USB UART (A50285BI)", or the words for none, for the ports line.
std::string DescribeUsbDevices(const std::vector<UsbDeviceInfo>& devices);
