// The FT232R on a real USB cable, through libusb-1.0 on Linux and Windows alike: the device found
// by its vendor and product ID (and serial number), its interface claimed, and the few vendor
// requests and bulk transfers that synchronous bit-bang needs (FTDI AN232R-01, AN232B-04,
// AN232B-05).
#pragma once

#include <string>

#include "platform/UsbBitBang.h"

struct libusb_context;
struct libusb_device;
struct libusb_device_handle;

class Ft232rDriver final : public UsbBitBang {
 public:
  Ft232rDriver();
  ~Ft232rDriver() override;
  Ft232rDriver(const Ft232rDriver&) = delete;
  Ft232rDriver& operator=(const Ft232rDriver&) = delete;

  std::vector<UsbDeviceInfo> List() override;
  UsbOpenResult Open(const std::string& serial) override;
  bool IsFt232r() override;
  bool SetSyncBitBang(uint8_t outputMask) override;
  bool SetBaudRate(int baud) override;
  bool SetLatencyTimer(int milliseconds) override;
  bool Purge() override;
  int WriteData(const uint8_t* data, int size) override;
  int ReadData(uint8_t* data, int packets) override;
  void Close() override;
  std::string OpenSerial() override { return openInfo_.serial; }
  std::string ErrorText() override { return error_; }

 private:
  // Claims the open device's interface; false with `result` set when it cannot be had.
  bool Claim(libusb_device_handle* handle, UsbOpenResult& result);
  bool Control(uint8_t request, uint16_t value, uint16_t index);
  bool Fail(int code);

  libusb_context* context_ = nullptr;
  libusb_device_handle* handle_ = nullptr;
  // What the open device said of itself when it was opened: listing never opens it again.
  UsbDeviceInfo openInfo_;
  uint16_t release_ = 0;  // bcdDevice
  std::string error_;
};
