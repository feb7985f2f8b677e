// The one place that chooses the real implementations behind the seams: the port backend (the
// simulated cable with "simulate", the hardware port otherwise, each beside a USB cable on an
// FT232R, simulated or real, as the connection settings choose), the calibration clock and the
// message boxes, file dialogs, shell open and pop-up help. Each is an override that puts back
// what was there before when the set-up goes. The simulated board is loaded from the application
// directory and saved there again when it goes; without one it starts factory-fresh and is not
// kept.
#pragma once

#include <memory>
#include <optional>

#include "platform/Clock.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/PopupHelp.h"
#include "platform/PortIo.h"
#include "platform/ShellOpen.h"
#include "platform/UsbBitBang.h"

class CableSwitch;
class HardwarePort;
class SimulatedCable;
class UsbCable;

class PlatformSetup {
 public:
  PlatformSetup();
  ~PlatformSetup();
  PlatformSetup(const PlatformSetup&) = delete;
  PlatformSetup& operator=(const PlatformSetup&) = delete;

 private:
  // Makes the switch between `parallel` and the USB cable the active port backend.
  void UseCables(PortBackend& parallel);

  MessageBoxOverride messageBox_;
  FileDialogOverride fileDialog_;
  ShellOpenOverride shellOpen_;
  WhatsThisMenuOverride whatsThisMenu_;
  WhatsThisPopupOverride whatsThisPopup_;
  std::unique_ptr<SimulatedCable> cable_;
  std::unique_ptr<HardwarePort> hardwarePort_;
  std::optional<ClockOverride> monotonicClock_;
  // The USB cable's chip (simulated with "simulate"), the cable on it, and the switch between
  // the parallel port and the USB cable that the connection settings choose.
  std::unique_ptr<UsbBitBang> usbDevice_;
  std::unique_ptr<UsbCable> usbCable_;
  std::unique_ptr<CableSwitch> cableSwitch_;
  std::optional<PortBackendOverride> cableBackend_;
  std::optional<UsbListOverride> usbList_;
};
