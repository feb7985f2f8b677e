#include "app/PlatformSetup.h"

#include <filesystem>
#include <iostream>

#include "app/AppDirectory.h"
#include "app/Globals.h"
#include "link/Communication.h"
#include "platform/CableSwitch.h"
#include "platform/Clock.h"
#include "platform/FtdiBitBang.h"
#include "platform/HardwarePort.h"
#include "platform/PopupHelp.h"
#include "platform/PortIo.h"
#include "platform/QtFileDialog.h"
#include "platform/QtMessageBox.h"
#include "platform/QtShellOpen.h"
#include "platform/UsbCable.h"
#include "sim/BoardFirmware.h"
#include "sim/BoardStore.h"
#include "sim/SimFaults.h"
#include "sim/SimFt232r.h"
#include "sim/SimPort.h"

PlatformSetup::PlatformSetup() {
  previousMessageBox_ = SetMessageBoxHandler(ShowQtMessageBox);
  previousFileDialog_ = SetFileDialogHandler(ShowQtFileDialog);
  previousShellOpen_ = SetShellOpenHandler(QtShellOpen);
  previousWhatsThisMenu_ = SetWhatsThisMenuHandler(QtWhatsThisMenu);
  previousWhatsThisPopup_ = SetWhatsThisPopupHandler(QtWhatsThisPopup);
  if (bSimulate == 1) {
    simPort_ = std::make_unique<SimPort>(base);
    SimBoard* board = nullptr;
    // The same directory the main dialog takes as the application directory a moment later.
    if (const std::optional<std::filesystem::path> directory = ReadWorkingDirectory()) {
      simBoard_ = std::make_unique<BoardStore>(*directory, std::cerr);
      board = &simBoard_->Board();
    } else {
      // No application directory: a factory-fresh board that is never saved.
      bareBoard_ = std::make_unique<SimBoard>();
      bareBoard_->SetMemories(FactoryMemories());
      board = bareBoard_.get();
    }
    simPort_->Attach(board);
    auto simUsb = std::make_unique<SimFt232r>(*simPort_);
    simUsb->Attach(board);
    if (!simFaults.Empty()) {
      faultyBoard_ = std::make_unique<FaultyBoard>(*board, simFaults);
      simPort_->Attach(faultyBoard_.get());
      simUsb->Attach(faultyBoard_.get());
    }
    usbDevice_ = std::move(simUsb);
    UseCables(*simPort_);
    previousClock_ = SetCalibrationClock(simPort_.get());
  } else {
    if (!simFaults.Empty()) {
      std::cerr << "Simulated board: the simfault switches work only with simulate; ignored"
                << std::endl;
    }
    hardwarePort_ = std::make_unique<HardwarePort>(base);
    usbDevice_ = std::make_unique<FtdiBitBang>();
    UseCables(*hardwarePort_);
    previousClock_ = SetCalibrationClock(nullptr);
  }
}

void PlatformSetup::UseCables(PortBackend& parallel) {
  usbCable_ = std::make_unique<UsbCable>(base, *usbDevice_);
  cableSwitch_ = std::make_unique<CableSwitch>(bUsbCable, parallel, *usbCable_);
  previousPort_ = SetPortBackend(cableSwitch_.get());
  UsbBitBang* device = usbDevice_.get();
  previousUsbList_ = SetUsbListHandler([device] { return device->List(); });
}

PlatformSetup::~PlatformSetup() {
  SetPortBackend(previousPort_);
  SetUsbListHandler(previousUsbList_);
  usbCable_.reset();  // closes the USB cable before its chip goes
  SetCalibrationClock(previousClock_);
  SetMessageBoxHandler(previousMessageBox_);
  SetFileDialogHandler(previousFileDialog_);
  SetShellOpenHandler(previousShellOpen_);
  SetWhatsThisMenuHandler(previousWhatsThisMenu_);
  SetWhatsThisPopupHandler(previousWhatsThisPopup_);
  if (simPort_) simPort_->Attach(nullptr);
  simBoard_.reset();  // saves the simulated board
}
