// A factory-fresh simulated board on a simulated port, which is the active port and the
// calibration clock while the object lives: a benchmark leaves both as it found them.
#pragma once

#include "link/Communication.h"
#include "platform/Clock.h"
#include "platform/PortIo.h"
#include "sim/BoardFirmware.h"
#include "sim/SimBoard.h"
#include "sim/SimPort.h"

struct SimulatedCable {
  SimulatedCable() { port.Attach(&board); }
  ~SimulatedCable() {
    SetCalibrationClock(previousClock);
    SetPortBackend(previousPort);
  }
  SimulatedCable(const SimulatedCable&) = delete;
  SimulatedCable& operator=(const SimulatedCable&) = delete;

  SimPort port{base};
  SimBoard board = FactoryBoard();
  PortBackend* const previousPort = SetPortBackend(&port);
  Clock* const previousClock = SetCalibrationClock(&port);
};
