// The few calls of the USB bit-bang chip that the USB cable needs, as a seam: the FT232R over
// libusb on a real cable (Ft232rDriver), a simulated FT232R in front of the simulated board
// (sim/SimFt232r).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Replaceable.h"

// The FT232R's USB identity: FTDI's vendor ID and the FT232R's product ID.
inline constexpr int kFtdiVendorId = 0x0403;
inline constexpr int kFt232rProductId = 0x6001;

// The chip's bulk IN packets: 64 bytes, the first two the modem and line status, then up to 62
// bytes of data (FTDI AN232B-04). A packet shorter than 64 bytes ends a bulk transfer.
inline constexpr int kUsbPacketBytes = 64;
inline constexpr int kUsbStatusBytes = 2;
inline constexpr int kUsbPacketSamples = kUsbPacketBytes - kUsbStatusBytes;

// Copies the data bytes of `length` bytes of bulk IN packets into `samples`, each packet's two
// status bytes left out; returns how many were copied.
int DropStatusBytes(const uint8_t* packets, int length, uint8_t* samples);

// One device with that identity, as the connection settings name it.
struct UsbDeviceInfo {
  std::string description;  // the product string, "FT232R USB UART" on most cables
  std::string serial;       // empty when the device gives none (or may not be asked)
  bool operator==(const UsbDeviceInfo&) const = default;
};

enum class UsbOpenResult {
  Opened,
  NotFound,      // no such device on the bus (or none with the serial number asked for)
  NoPermission,  // the device node is not this user's
  Busy,          // another program, or another copy of the tool, has the cable
  WrongDriver,   // Windows: a driver libusb cannot use (the chip maker's own) holds it
  Failed,
};

class UsbBitBang {
 public:
  virtual ~UsbBitBang() = default;
  // Every 0403:6001 device plugged in, in the order the first-found rule sees them. Listing
  // leaves an open device as it was.
  virtual std::vector<UsbDeviceInfo> List() = 0;
  // Opens the device with serial number `serial`, or the first found when it is empty.
  virtual UsbOpenResult Open(const std::string& serial) = 0;
  // After opening: whether the chip really is an FT232R (other chips share the product ID).
  virtual bool IsFt232r() = 0;
  // Synchronous bit-bang mode with the pins of `outputMask` driven, the others read.
  virtual bool SetSyncBitBang(uint8_t outputMask) = 0;
  // The chip's own baud rate; its byte clock in bit-bang mode is 16 times it.
  virtual bool SetBaudRate(int baud) = 0;
  virtual bool SetLatencyTimer(int milliseconds) = 0;
  // Drops whatever is left in the chip's buffers both ways.
  virtual bool Purge() = 0;
  // One bulk OUT transfer: bytes the chip took (fewer when it stopped taking them before the
  // timeout), or negative on failure (the cable was unplugged).
  virtual int WriteData(const uint8_t* data, int size) = 0;
  // One bulk IN transfer of up to `packets` packets: the samples they carried, status bytes left
  // out (0 when the latency timer sent an empty packet), or negative on failure. `data` has room
  // for `packets` * kUsbPacketSamples.
  virtual int ReadData(uint8_t* data, int packets) = 0;
  virtual void Close() = 0;
  // The serial number of the device open now (empty when it has none).
  virtual std::string OpenSerial() = 0;
  // The words for the last failure.
  virtual std::string ErrorText() = 0;
};

// The cables the connection settings list: CableSetup puts the real listing in, tests a fake;
// without one, none.
using UsbListHandler = std::function<std::vector<UsbDeviceInfo>()>;
Replaceable<UsbListHandler>& UsbListSeam();
using UsbListOverride = Replaceable<UsbListHandler>::Override;
std::vector<UsbDeviceInfo> ListUsbCables();

// The FT232R's baud-rate request (AN232B-05): the divisor of its 3 MHz clock in eighths, coded as
// 14 bits of whole divisor and three bits naming the fraction; bit 16 goes in the index.
struct Ft232rDivisor {
  uint16_t value;
  uint16_t index;
  bool operator==(const Ft232rDivisor&) const = default;
};
Ft232rDivisor EncodeFt232rBaud(int baud);

// How long one bulk transfer may take: far beyond what a few hundred bytes at 2 us need, so only
// a cable that stopped answering runs into it.
inline constexpr unsigned kUsbTransferTimeoutMs = 1000;
