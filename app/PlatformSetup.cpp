#include "app/PlatformSetup.h"

#include "app/Globals.h"
#include "link/Communication.h"
#include "platform/Clock.h"
#include "platform/HardwarePort.h"
#include "platform/PortIo.h"
#include "platform/QtMessageBox.h"
#include "sim/SimPort.h"

PlatformSetup::PlatformSetup() {
  previousMessageBox_ = SetMessageBoxHandler(ShowQtMessageBox);
  if (bSimulate == 1) {
    simPort_ = std::make_unique<SimPort>(base);
    previousPort_ = SetPortBackend(simPort_.get());
    previousClock_ = SetCalibrationClock(simPort_.get());
  } else {
    hardwarePort_ = std::make_unique<HardwarePort>(base);
    previousPort_ = SetPortBackend(hardwarePort_.get());
    previousClock_ = SetCalibrationClock(nullptr);
  }
}

PlatformSetup::~PlatformSetup() {
  SetPortBackend(previousPort_);
  SetCalibrationClock(previousClock_);
  SetMessageBoxHandler(previousMessageBox_);
}
