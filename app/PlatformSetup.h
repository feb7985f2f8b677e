// The one place that chooses the real implementations behind the seams: the port backend (the
// simulated board with "simulate", the hardware port otherwise), the calibration clock and the
// message boxes, file dialogs, shell open and pop-up help. Puts back what was there before when it
// goes. The simulated board is loaded from the application directory and saved there again when it
// goes; without one it starts factory-fresh and is not kept.
#pragma once

#include <memory>

#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/PopupHelp.h"
#include "platform/ShellOpen.h"

class BoardStore;
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
  std::unique_ptr<BoardStore> simBoard_;
  std::unique_ptr<SimBoard> bareBoard_;
  std::unique_ptr<SimPort> simPort_;
  std::unique_ptr<FaultyBoard> faultyBoard_;
  std::unique_ptr<HardwarePort> hardwarePort_;
  PortBackend* previousPort_ = nullptr;
  Clock* previousClock_ = nullptr;
  MessageBoxHandler previousMessageBox_;
  FileDialogHandler previousFileDialog_;
  ShellOpenHandler previousShellOpen_;
  WhatsThisMenuHandler previousWhatsThisMenu_;
  WhatsThisPopupHandler previousWhatsThisPopup_;
};
