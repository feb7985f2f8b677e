// A simulated FT232R behind the USB bit-bang seam: the chip model (sim/Ft232rChip) on a simulated
// USB bus, driving a cable device (the simulated board) in virtual time. It shares the simulated
// parallel port's clock, so the board sees one time line whichever cable the tool uses, and a
// board run costs what it would on a real chip: packets, latency timer and buffers included.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/UsbBitBang.h"
#include "sim/Ft232rChip.h"
#include "sim/SimPort.h"

// How the simulated devices sit on the USB bus. Each is a cable to the same board, with the
// serial number SIM1, SIM2, ...
struct SimUsbPlan {
  int devices = 1;           // 0403:6001 devices plugged in; 0 for none
  bool permitted = true;     // false: the device node is not the user's
  bool ft232r = true;        // false: another chip with the same IDs
  bool bitBangWorks = true;  // false: the chip refuses the bit-bang mode
  bool busy = false;         // another program holds the cable
  // Unplugged once this many bytes have been clocked out, for good.
  std::optional<uint64_t> unplugAfterBytes;
  bool operator==(const SimUsbPlan&) const = default;
};

class SimFt232r final : public UsbBitBang {
 public:
  explicit SimFt232r(SimPort& clock, SimUsbPlan plan = {});

  // Plugs `device` into the cable's header (nullptr: nothing). The caller keeps ownership.
  void Attach(CableDevice* device);
  void SetPlan(const SimUsbPlan& plan);

  std::vector<UsbDeviceInfo> List() override;
  UsbOpenResult Open(const std::string& serial) override;
  bool IsFt232r() override { return open_ && plan_.ft232r; }
  bool SetSyncBitBang(uint8_t outputMask) override;
  bool SetBaudRate(int baud) override;
  bool SetLatencyTimer(int milliseconds) override;
  bool Purge() override;
  int WriteData(const uint8_t* data, int size) override;
  int ReadData(uint8_t* data, int packets) override;
  void Close() override { open_ = false; }
  std::string OpenSerial() override { return open_ ? openSerial_ : std::string(); }
  std::string ErrorText() override { return error_; }

  bool IsOpen() const { return open_; }
  // The serial number of the cable opened last.
  const std::string& OpenSerial() const { return openSerial_; }
  const Ft232rChip& Chip() const { return chip_; }
  Ft232rChip& Chip() { return chip_; }

 private:
  bool Control(uint8_t request, uint16_t value, uint16_t index, const char* failure);

  SimUsbPlan plan_;
  Ft232rChip chip_;
  CableDevice* device_ = nullptr;
  bool open_ = false;
  std::string openSerial_;
  std::string error_;
};
