// The command line's faults on the simulated board, board run by board run, through the real
// settings transfer. (The board commands' tests show each fault's message.)
#include <gtest/gtest.h>

#include <string>

#include "app/Globals.h"
#include "board/BoardOperations.h"
#include "link/Communication.h"
#include "sim/BoardFirmware.h"
#include "sim/SimFaults.h"
#include "sim/SimulatedCable.h"
#include "tests/support/NoView.h"
#include "tests/support/Recorders.h"

namespace {

// Downloads (D) and uploads (U) of a new dwell, one board run each; "1" for each that succeeds.
TEST(SimFaults, CountRunsWritesAndReads) {
  const struct {
    const char* fault;
    std::string runs, results;
  } cases[] = {
      {"simfault:flaky", "DDUUD", "01010"},
      {"simfault:stuck@3", "DUUD", "1001"},
      {"simfault:stuck@40", "UU", "11"},     // 31 bytes a run: the count starts again each run
      {"simfault:dies@70", "DUDD", "1100"},  // 32 answers a download, 32 an upload
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fault);
    ResetGlobals();
    SimulatedCable cable(base);
    SimBoard& board = cable.Board();
    SimFaultPlan plan;
    ASSERT_TRUE(ParseSimFault(c.fault, plan));
    cable.SetFaults(plan);
    for (int n = 1; n <= 30; ++n) SettingsArray[n] = board.DataByte(static_cast<uint16_t>(n - 1));
    SettingsArray[3] = 17;
    std::string results;
    NoView view;
    for (const char run : c.runs) {
      results +=
          std::to_string(run == 'D' ? PullSettingsFromBoard(view) : PushSettingsToBoard(view));
    }
    EXPECT_EQ(results, c.results);
    if (plan.stuckBytes.count(3) != 0) {
      EXPECT_EQ(board.DataByte(1), SettingsArray[2]);
      EXPECT_EQ(board.DataByte(2), 0xFF) << "the third byte written is left erased";
    }
  }
  ResetGlobals();
}

}  // namespace
