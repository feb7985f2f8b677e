// A simulated FT232R in synchronous bit-bang mode, behind the USB bit-bang seam, driving a cable
// device (the simulated board) in virtual time. It shares the simulated parallel port's clock, so
// the board sees one time line whichever cable the tool uses.
//
// Each byte written is put on the pins one tick (kUsbTickUs) after the last, and the pins are
// sampled just before, so sample k shows the lines as byte k - 1 left them. Unconnected inputs
// read 1 (the chip's pull-ups). A read that empties the chip's buffer has waited for the last,
// partly filled packet: it costs kUsbRoundTripUs.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "platform/UsbBitBang.h"
#include "sim/SimPort.h"

// How the simulated device sits on the USB bus.
struct SimUsbPlan {
  int devices = 1;           // 0403:6001 devices plugged in; 0 for none
  bool permitted = true;     // false: the device node is not the user's
  bool ft232r = true;        // false: another chip with the same IDs
  bool bitBangWorks = true;  // false: the chip refuses the bit-bang mode
  // Unplugged once this many bytes have been clocked out, for good.
  std::optional<uint64_t> unplugAfterBytes;
  bool operator==(const SimUsbPlan&) const = default;
};

class SimFt232r final : public UsbBitBang {
 public:
  explicit SimFt232r(SimPort& clock, SimUsbPlan plan = {});

  // Plugs `device` into the cable's header (nullptr: nothing). The caller keeps ownership.
  void Attach(CableDevice* device) { device_ = device; }
  void SetPlan(const SimUsbPlan& plan) { plan_ = plan; }

  std::vector<UsbDeviceInfo> List() override;
  UsbOpenResult OpenFirst() override;
  bool IsFt232r() override { return open_ && plan_.ft232r; }
  bool SetSyncBitBang(uint8_t outputMask) override;
  bool SetBaudRate(int baud) override;
  bool SetLatencyTimer(int milliseconds) override;
  bool Purge() override;
  int WriteData(const uint8_t* data, int size) override;
  int ReadData(uint8_t* data, int size) override;
  void Close() override { open_ = false; }
  std::string ErrorText() override { return error_; }

  bool IsOpen() const { return open_; }
  bool InSyncBitBang() const { return syncBitBang_; }
  uint8_t Pins() const { return pins_; }
  uint64_t BytesClocked() const { return bytesClocked_; }
  uint64_t RoundTrips() const { return roundTrips_; }
  uint64_t NowUs() const { return clock_.NowUs(); }

 private:
  bool Unplugged() const;
  void PutOnPins(uint8_t byte);

  SimPort& clock_;
  SimUsbPlan plan_;
  CableDevice* device_ = nullptr;
  bool open_ = false;
  bool syncBitBang_ = false;
  uint8_t outputMask_ = 0;
  uint8_t pins_ = 0;
  uint8_t lines_ = 0;
  std::deque<uint8_t> samples_;
  uint64_t bytesClocked_ = 0;
  uint64_t roundTrips_ = 0;
  std::string error_;
};
