// The one place that chooses the real implementations behind the seams: the port backend (the
// simulated cable with "simulate", the hardware port otherwise), the calibration clock and the
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

class HardwarePort;
class SimulatedCable;

class PlatformSetup {
 public:
  PlatformSetup();
  ~PlatformSetup();
  PlatformSetup(const PlatformSetup&) = delete;
  PlatformSetup& operator=(const PlatformSetup&) = delete;

 private:
  MessageBoxOverride messageBox_;
  FileDialogOverride fileDialog_;
  ShellOpenOverride shellOpen_;
  WhatsThisMenuOverride whatsThisMenu_;
  WhatsThisPopupOverride whatsThisPopup_;
  std::unique_ptr<SimulatedCable> cable_;
  std::unique_ptr<HardwarePort> hardwarePort_;
  std::optional<PortBackendOverride> hardwareBackend_;
  std::optional<ClockOverride> monotonicClock_;
};
