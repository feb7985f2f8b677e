#include "app/PlatformSetup.h"

#include <filesystem>
#include <iostream>

#include "app/Globals.h"
#include "link/Communication.h"
#include "platform/Clock.h"
#include "platform/HardwarePort.h"
#include "platform/PortIo.h"
#include "platform/QtFileDialog.h"
#include "platform/QtMessageBox.h"
#include "sim/BoardStore.h"
#include "sim/SimFaults.h"
#include "sim/SimPort.h"

namespace {

// The application directory: the working directory the process started in.
std::filesystem::path ApplicationDirectory() {
  std::error_code error;
  std::filesystem::path directory = std::filesystem::current_path(error);
  return error ? std::filesystem::path(".") : directory;
}

}  // namespace

PlatformSetup::PlatformSetup() {
  previousMessageBox_ = SetMessageBoxHandler(ShowQtMessageBox);
  previousFileDialog_ = SetFileDialogHandler(ShowQtFileDialog);
  if (bSimulate == 1) {
    simPort_ = std::make_unique<SimPort>(base);
    simBoard_ = std::make_unique<BoardStore>(ApplicationDirectory(), std::cerr);
    simPort_->Attach(&simBoard_->Board());
    if (!simFaults.Empty()) {
      faultyBoard_ = std::make_unique<FaultyBoard>(simBoard_->Board(), simFaults);
      simPort_->Attach(faultyBoard_.get());
    }
    previousPort_ = SetPortBackend(simPort_.get());
    previousClock_ = SetCalibrationClock(simPort_.get());
  } else {
    if (!simFaults.Empty()) {
      std::cerr << "Simulated board: the simfault switches work only with simulate; ignored"
                << std::endl;
    }
    hardwarePort_ = std::make_unique<HardwarePort>(base);
    previousPort_ = SetPortBackend(hardwarePort_.get());
    previousClock_ = SetCalibrationClock(nullptr);
  }
}

PlatformSetup::~PlatformSetup() {
  SetPortBackend(previousPort_);
  SetCalibrationClock(previousClock_);
  SetMessageBoxHandler(previousMessageBox_);
  SetFileDialogHandler(previousFileDialog_);
  if (simPort_) simPort_->Attach(nullptr);
  simBoard_.reset();  // saves the simulated board
}
