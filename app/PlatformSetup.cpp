#include "app/PlatformSetup.h"

#include <filesystem>
#include <iostream>

#include "app/AppDirectory.h"
#include "app/Globals.h"
#include "link/Communication.h"
#include "platform/CableSwitch.h"
#include "platform/FtdiBitBang.h"
#include "platform/HardwarePort.h"
#include "platform/QtFileDialog.h"
#include "platform/QtMessageBox.h"
#include "platform/QtShellOpen.h"
#include "platform/UsbCable.h"
#include "sim/SimFaults.h"
#include "sim/SimFt232r.h"
#include "sim/SimulatedCable.h"

PlatformSetup::PlatformSetup()
    : messageBox_(MessageBoxSeam().Replace(ShowQtMessageBox)),
      fileDialog_(FileDialogSeam().Replace(ShowQtFileDialog)),
      shellOpen_(ShellOpenSeam().Replace(QtShellOpen)),
      whatsThisMenu_(WhatsThisMenuSeam().Replace(QtWhatsThisMenu)),
      whatsThisPopup_(WhatsThisPopupSeam().Replace(QtWhatsThisPopup)) {
  if (bSimulate == 1) {
    // The same directory the main dialog takes as the application directory a moment later;
    // without one, a factory-fresh board that is never saved.
    if (const std::optional<std::filesystem::path> directory = ReadWorkingDirectory()) {
      cable_ = std::make_unique<SimulatedCable>(base, *directory, std::cerr);
    } else {
      cable_ = std::make_unique<SimulatedCable>(base);
    }
    cable_->SetFaults(simFaults);
    // The simulated FT232R drives the same board, faults included, on the same clock.
    auto chip = std::make_unique<SimFt232r>(cable_->Port());
    chip->Attach(&cable_->OnCable());
    usbDevice_ = std::move(chip);
    UseCables(cable_->Port());
    return;
  }
  if (!simFaults.Empty()) {
    std::cerr << "Simulated board: the simfault switches work only with simulate; ignored"
              << std::endl;
  }
  hardwarePort_ = std::make_unique<HardwarePort>(base);
  monotonicClock_.emplace(CalibrationClockSeam(), nullptr);
  usbDevice_ = std::make_unique<FtdiBitBang>();
  UseCables(*hardwarePort_);
}

void PlatformSetup::UseCables(PortBackend& parallel) {
  usbCable_ = std::make_unique<UsbCable>(base, *usbDevice_);
  cableSwitch_ = std::make_unique<CableSwitch>(bUsbCable, parallel, *usbCable_);
  cableBackend_.emplace(PortBackendSeam(), cableSwitch_.get());
  UsbBitBang* device = usbDevice_.get();
  usbList_.emplace(UsbListSeam(), [device] { return device->List(); });
}

PlatformSetup::~PlatformSetup() {
  usbList_.reset();
  cableBackend_.reset();
  usbCable_.reset();  // closes the USB cable before its chip goes
}
