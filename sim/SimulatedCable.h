// The simulated board on its cable, the one way the tool, its tests and benchmarks plug it in: a
// virtual port with a board behind it (the one kept in a folder, or a factory-fresh one), the
// faults it was given, and the port backend and calibration clock it puts in use while it lives.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>

#include "platform/Clock.h"
#include "platform/PortIo.h"
#include "sim/SimBoard.h"
#include "sim/SimFaults.h"
#include "sim/SimPort.h"

class BoardStore;

class SimulatedCable {
 public:
  // A factory-fresh board that is never saved, at the port address `base` holds.
  explicit SimulatedCable(const uint32_t& base);
  // The board kept in `directory` (sim/BoardStore.h), saved again when it changes and when the
  // cable goes; problems with its file go to `report`.
  SimulatedCable(const uint32_t& base, const std::filesystem::path& directory,
                 std::ostream& report);
  ~SimulatedCable();
  SimulatedCable(const SimulatedCable&) = delete;
  SimulatedCable& operator=(const SimulatedCable&) = delete;

  SimBoard& Board() { return *board_; }
  SimPort& Port() { return port_; }
  // Puts `faults` between port and board, run by run (sim/SimFaults.h), in place of any given
  // before; an empty plan plugs the board in directly.
  void SetFaults(const SimFaultPlan& faults);
  // What is plugged into the cable: the board, or the faults in front of it. Another cable on the
  // same board (the simulated FT232R) plugs in here too.
  CableDevice& OnCable();
  // Saves the board kept in a folder now, if it changed; why what happened to it is not kept
  // there (BoardStore::NotKept), or empty. Always empty for a board that is never saved.
  std::string KeepBoard();

 private:
  SimPort port_;
  std::unique_ptr<BoardStore> store_;
  std::unique_ptr<SimBoard> bare_;
  SimBoard* board_;
  std::unique_ptr<FaultyBoard> faulty_;
  PortBackendOverride backend_;
  ClockOverride clock_;
};
