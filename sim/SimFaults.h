// Faults of the simulated board chosen on the command line ("simfault:..."), so that every
// failure path of the tool can be watched in the real window, and the board as they make it
// behave, board run by board run.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "sim/SimBoard.h"

inline constexpr const char* kSimFaultPrefix = "simfault:";

struct SimFaultPlan {
  bool absent = false;     // "absent": no board on the cable (wins over the others)
  bool unpowered = false;  // "unpowered": the cable is on a board without power
  bool flaky = false;      // "flaky": runs 1, 3, 5, ... fail as if the cable were out
  // "stuck@K": the K-th byte programmed in each board run (from 1) is left erased.
  std::set<uint32_t> stuckBytes;
  // "dies@N": after N read answers the board stops answering for good (the last N given wins).
  std::optional<uint32_t> diesAfterReads;
  // "nousb": no FT232R on the USB bus, so the USB cable cannot be opened.
  bool noUsbDevice = false;

  bool Empty() const;
  bool operator==(const SimFaultPlan&) const = default;
};

// Adds the fault named by one whole argument ("simfault:stuck@3") to `plan`. False, with `plan`
// unchanged, when the argument names none.
bool ParseSimFault(const std::string& argument, SimFaultPlan& plan);

// Sits on the cable in front of the board and gives it the plan's faults.
class FaultyBoard final : public CableDevice {
 public:
  FaultyBoard(SimBoard& board, SimFaultPlan plan);

  void OnDataLines(uint8_t lines, uint64_t nowUs) override { board_.OnDataLines(lines, nowUs); }
  bool Miso(uint64_t nowUs) override { return board_.Miso(nowUs); }
  void OnBoardRunStart() override;

 private:
  BoardPower PowerForRun() const;

  SimBoard& board_;
  const SimFaultPlan plan_;
  uint32_t runs_ = 0;
};
