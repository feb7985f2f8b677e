#include "app/PlatformSetup.h"

#include <filesystem>
#include <iostream>

#include "app/AppDirectory.h"
#include "app/Globals.h"
#include "platform/HardwarePort.h"
#include "platform/QtFileDialog.h"
#include "platform/QtMessageBox.h"
#include "platform/QtShellOpen.h"
#include "sim/SimFaults.h"
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
    return;
  }
  if (!simFaults.Empty()) {
    std::cerr << "Simulated board: the simfault switches work only with simulate; ignored"
              << std::endl;
  }
  hardwarePort_ = std::make_unique<HardwarePort>(base);
  hardwareBackend_.emplace(PortBackendSeam(), hardwarePort_.get());
  monotonicClock_.emplace(CalibrationClockSeam(), nullptr);
}

PlatformSetup::~PlatformSetup() = default;
