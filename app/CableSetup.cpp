#include "app/CableSetup.h"

#include "app/Globals.h"
#include "platform/CableSwitch.h"
#include "platform/Ft232rDriver.h"
#include "platform/HardwarePort.h"
#include "platform/UsbCable.h"
#include "sim/SimFaults.h"
#include "sim/SimFt232r.h"
#include "sim/SimulatedCable.h"

CableSetup::CableSetup(const std::optional<std::filesystem::path>& boardFolder,
                       std::ostream& report, const char* program) {
  if (bSimulate == 1) {
    cable_ = boardFolder ? std::make_unique<SimulatedCable>(base, *boardFolder, report)
                         : std::make_unique<SimulatedCable>(base);
    cable_->SetFaults(simFaults);
    // The simulated FT232R drives the same board, faults included, on the same clock.
    SimUsbPlan usb;
    if (simFaults.noUsbDevice) usb.devices = 0;
    auto chip = std::make_unique<SimFt232r>(cable_->Port(), usb);
    chip->Attach(&cable_->OnCable());
    usbDevice_ = std::move(chip);
    UseCables(cable_->Port());
    return;
  }
  if (!simFaults.Empty()) {
    report << "Simulated board: the simfault switches work only with simulate; ignored"
           << std::endl;
  }
  HardwarePortOptions options;
  options.report = [&report, program](const std::string& line) {
    report << program << ": " << line << std::endl;
  };
  hardwarePort_ = std::make_unique<HardwarePort>(base, std::move(options));
  monotonicClock_.emplace(CalibrationClockSeam(), nullptr);
  usbDevice_ = std::make_unique<Ft232rDriver>();
  UseCables(*hardwarePort_);
}

void CableSetup::UseCables(PortBackend& parallel) {
  usbCable_ = std::make_unique<UsbCable>(base, usbCableSerial, *usbDevice_);
  cableSwitch_ = std::make_unique<CableSwitch>(bUsbCable, parallel, *usbCable_);
  cableBackend_.emplace(PortBackendSeam(), cableSwitch_.get());
  UsbBitBang* device = usbDevice_.get();
  usbList_.emplace(UsbListSeam(), [device] { return device->List(); });
}

std::string CableSetup::KeepSimulatedBoard() {
  return cable_ ? cable_->KeepBoard() : std::string();
}

CableSetup::~CableSetup() {
  usbList_.reset();
  cableBackend_.reset();
  usbCable_.reset();  // closes the USB cable before its chip goes
}
