// The cables behind Out32/Inp32 for one run of the tool, window or command line: the simulated
// board (with "simulate") or the hardware parallel port, each beside a USB cable on an FT232R,
// simulated or real; the switch between them follows `bUsbCable`. Reads `bSimulate`, `simFaults`
// and `base` when made; puts the backend and clock back when it goes.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "platform/Clock.h"
#include "platform/PortIo.h"
#include "platform/UsbBitBang.h"

class CableSwitch;
class HardwarePort;
class SimulatedCable;
class UsbCable;

class CableSetup {
 public:
  // `boardFolder` keeps the simulated board (none: factory-fresh and never saved); problems with
  // its file, with the parallel port and ignored switches go to `report`, each line after
  // `program`'s name.
  CableSetup(const std::optional<std::filesystem::path>& boardFolder, std::ostream& report,
             const char* program);
  ~CableSetup();
  CableSetup(const CableSetup&) = delete;
  CableSetup& operator=(const CableSetup&) = delete;

  // With "simulate": saves the simulated board now if it changed, and says why what happened to
  // it is not kept in its folder; empty when it is, or when there is no simulated board.
  std::string KeepSimulatedBoard();

 private:
  // Makes the switch between `parallel` and the USB cable the active port backend.
  void UseCables(PortBackend& parallel);

  std::unique_ptr<SimulatedCable> cable_;
  std::unique_ptr<HardwarePort> hardwarePort_;
  std::optional<ClockOverride> monotonicClock_;
  std::unique_ptr<UsbBitBang> usbDevice_;
  std::unique_ptr<UsbCable> usbCable_;
  std::unique_ptr<CableSwitch> cableSwitch_;
  std::optional<PortBackendOverride> cableBackend_;
  std::optional<UsbListOverride> usbList_;
};
