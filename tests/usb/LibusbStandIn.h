// A USB bus for the FT232R driver's tests: the libusb calls the driver makes, defined in
// LibusbStandIn.cpp and linked in place of the real library, with FT232R chip models
// (sim/Ft232rChip) as the devices. The rules of the bus are libusb's and the operating systems':
// a device node the user may not open, an interface another program claimed, Linux's serial
// driver bound until it is detached, Windows's one open handle per device and its drivers that
// libusb cannot use.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/Ft232rChip.h"

struct StandInDevice {
  std::string product = "FT232R USB UART";
  std::string serial;
  uint16_t vendor = 0x0403;
  uint16_t productId = 0x6001;
  uint16_t release = 0x0600;  // bcdDevice of the R series
  bool permitted = true;      // false: the device node is another user's
  bool claimedElsewhere = false;
  bool serialDriverBound = true;  // Linux binds its serial driver until it is detached
  bool chipMakersDriver = false;  // Windows: the chip maker's driver holds it, not WinUSB
  bool saysNotFound = false;      // Windows' other answer for such a driver
  bool detachRefused = false;
  Ft232rChip* chip = nullptr;  // kept, not owned
};

// The devices plugged in, in bus order; tests fill it and clear it.
std::vector<StandInDevice>& StandInBus();
// Windows allows one open handle per device; Linux any number.
void StandInOneHandlePerDevice(bool oneOnly);
// Handles open now.
int StandInOpenHandles();
