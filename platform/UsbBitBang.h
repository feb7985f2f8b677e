// The few calls of the USB bit-bang chip that the USB cable needs, as a seam: libftdi1 on a real
// FT232R (FtdiBitBang), a simulated FT232R in front of the simulated board (sim/SimFt232r).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Replaceable.h"

// The FT232R's USB identity: FTDI's vendor ID and the FT232R's product ID.
inline constexpr int kFtdiVendorId = 0x0403;
inline constexpr int kFt232rProductId = 0x6001;

// One device with that identity, as the ports line names it.
struct UsbDeviceInfo {
  std::string description;  // the product string, "FT232R USB UART" on most cables
  std::string serial;       // empty when the device gives none
  bool operator==(const UsbDeviceInfo&) const = default;
};

enum class UsbOpenResult { Opened, NotFound, NoPermission, Failed };

class UsbBitBang {
 public:
  virtual ~UsbBitBang() = default;
  // Every 0403:6001 device plugged in, in the order the first-found rule sees them.
  virtual std::vector<UsbDeviceInfo> List() = 0;
  // Opens the first 0403:6001 device found.
  virtual UsbOpenResult OpenFirst() = 0;
  // After opening: whether the chip really is an FT232R (other chips share the product ID).
  virtual bool IsFt232r() = 0;
  // Synchronous bit-bang mode with the pins of `outputMask` driven, the others read.
  virtual bool SetSyncBitBang(uint8_t outputMask) = 0;
  virtual bool SetBaudRate(int baud) = 0;
  virtual bool SetLatencyTimer(int milliseconds) = 0;
  // Drops whatever is left in the chip's buffers both ways.
  virtual bool Purge() = 0;
  // Bytes written, or negative on failure (the cable was unplugged).
  virtual int WriteData(const uint8_t* data, int size) = 0;
  // Samples read (0 when none has arrived yet), or negative on failure.
  virtual int ReadData(uint8_t* data, int size) = 0;
  virtual void Close() = 0;
  // The library's words for the last failure.
  virtual std::string ErrorText() = 0;
};

// The cables the connection settings list: PlatformSetup puts the real listing in, tests a fake;
// without one, none.
using UsbListHandler = std::function<std::vector<UsbDeviceInfo>()>;
Replaceable<UsbListHandler>& UsbListSeam();
using UsbListOverride = Replaceable<UsbListHandler>::Override;
std::vector<UsbDeviceInfo> ListUsbCables();
