// The command line's faults on the simulated board, board run by board run, through the real
// settings transfer.
#include <gtest/gtest.h>

#include <vector>

#include "app/Globals.h"
#include "board/BoardOperations.h"
#include "link/Communication.h"
#include "sim/BoardFirmware.h"
#include "sim/SimFaults.h"
#include "tests/support/Recorders.h"

namespace {

struct NoView final : OperationView {
  void SetProgressRange(uint16_t) override {}
  void SetProgressPos(int) override {}
  void ShowStatusText(const std::string&) override {}
};

enum Op { Down, Up };

SimFaultPlan Plan(const std::string& argument) {
  SimFaultPlan plan;
  EXPECT_TRUE(ParseSimFault(argument, plan)) << argument;
  return plan;
}

TEST(SimFaults, EachFaultFailsItsRunsAndNoOthers) {
  struct Case {
    std::string name;
    std::vector<Op> runs;
    std::vector<int> results;
  };
  const Case cases[] = {
      {"simfault:absent", {Down, Up}, {0, 0}},
      {"simfault:unpowered", {Down, Up}, {0, 0}},
      {"simfault:flaky", {Down, Down, Up, Up, Down}, {0, 1, 0, 1, 0}},
      {"simfault:stuck@3", {Down, Up, Up, Down}, {1, 0, 0, 1}},
      // An upload writes 31 bytes: counted from each run's start, byte 40 never comes.
      {"simfault:stuck@40", {Up, Up}, {1, 1}},
      // A download takes 32 answers and an upload 32; then the board stays silent.
      {"simfault:dies@70", {Down, Up, Down, Down}, {1, 1, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetGlobals();
    SimBoard board = FactoryBoard();
    SimPort port(base);
    const SimFaultPlan plan = Plan(c.name);
    FaultyBoard faulty(board, plan);
    port.Attach(&faulty);
    PortBackend* previous = SetPortBackend(&port);
    ScopedCalibrationClock clock(&port);
    for (int n = 1; n <= 30; ++n) SettingsArray[n] = board.DataByte(static_cast<uint16_t>(n - 1));
    SettingsArray[3] = 17;  // a new dwell, so that a byte left erased shows
    std::vector<int> results;
    NoView view;
    for (const Op op : c.runs) {
      BeginBoardRun();
      results.push_back(op == Down ? PullSettingsFromBoard(view) : PushSettingsToBoard(view));
    }
    EXPECT_EQ(results, c.results);
    EXPECT_EQ(faulty.Runs(), c.runs.size());
    if (plan.stuckBytes.count(3) != 0) {
      EXPECT_EQ(board.DataByte(0), SettingsArray[1]);
      EXPECT_EQ(board.DataByte(2), 0xFF) << "the third byte written is left erased";
    }
    SetPortBackend(previous);
  }
  ResetGlobals();
}

}  // namespace
