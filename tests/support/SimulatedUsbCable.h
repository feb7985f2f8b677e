// The USB cable on a simulated FT232R in front of a factory-fresh simulated board, installed as
// the active port and calibration clock while the object lives, and put back after.
#pragma once

#include "link/Communication.h"
#include "platform/Clock.h"
#include "platform/PortIo.h"
#include "platform/UsbCable.h"
#include "sim/BoardFirmware.h"
#include "sim/SimBoard.h"
#include "sim/SimFt232r.h"
#include "sim/SimPort.h"

struct SimulatedUsbCable {
  explicit SimulatedUsbCable(SimUsbPlan plan = {}) : chip(clock, plan) { chip.Attach(&board); }
  SimulatedUsbCable(const SimulatedUsbCable&) = delete;
  SimulatedUsbCable& operator=(const SimulatedUsbCable&) = delete;

  // The virtual clock, shared with the simulated parallel port (nothing is attached to it).
  SimPort clock{base};
  SimBoard board = FactoryBoard();
  SimFt232r chip;
  UsbCable cable{base, usbCableSerial, chip};
  PortBackendOverride backend = PortBackendSeam().Replace(&cable);
  ClockOverride calibrationClock = CalibrationClockSeam().Replace(&clock);
};
