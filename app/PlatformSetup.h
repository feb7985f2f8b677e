// The one place that chooses the real implementations behind the seams: the port backend (the
// simulated board with "simulate", the hardware port otherwise, each beside a USB cable on an
// FT232R, simulated or real, as the connection settings choose), the calibration clock and the
// message boxes, file dialogs, shell open and pop-up help. Puts back what was there before when it
// goes. The simulated board is loaded from the application directory and saved there again when it
// goes; without one it starts factory-fresh and is not kept.
#pragma once

#include <memory>

#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/PopupHelp.h"
#include "platform/ShellOpen.h"
#include "platform/UsbBitBang.h"

class BoardStore;
class CableSwitch;
class SimFt232r;
class UsbBitBang;
class UsbCable;
class Clock;
class FaultyBoard;
class HardwarePort;
class PortBackend;
class SimBoard;
class SimPort;

class PlatformSetup {
 public:
  PlatformSetup();
  ~PlatformSetup();
  PlatformSetup(const PlatformSetup&) = delete;
  PlatformSetup& operator=(const PlatformSetup&) = delete;

 private:
  // Makes the cable switch over `parallel` and the USB cable the active port backend.
  void UseCables(PortBackend& parallel);

  std::unique_ptr<BoardStore> simBoard_;
  std::unique_ptr<SimBoard> bareBoard_;
  std::unique_ptr<SimPort> simPort_;
  std::unique_ptr<FaultyBoard> faultyBoard_;
  std::unique_ptr<HardwarePort> hardwarePort_;
  // The USB cable's chip (simulated with "simulate"), the cable on it, and the switch between
  // the parallel port and the USB cable that the connection settings choose.
  std::unique_ptr<UsbBitBang> usbDevice_;
  std::unique_ptr<UsbCable> usbCable_;
  std::unique_ptr<CableSwitch> cableSwitch_;
  UsbListHandler previousUsbList_;
  PortBackend* previousPort_ = nullptr;
  Clock* previousClock_ = nullptr;
  MessageBoxHandler previousMessageBox_;
  FileDialogHandler previousFileDialog_;
  ShellOpenHandler previousShellOpen_;
  WhatsThisMenuHandler previousWhatsThisMenu_;
  WhatsThisPopupHandler previousWhatsThisPopup_;
};
