// The simulated board on its cable: what it puts in use while it lives, the faults it is given,
// and the board kept in a folder from one cable to the next.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/Globals.h"
#include "board/BoardOperations.h"
#include "platform/Clock.h"
#include "platform/PortIo.h"
#include "sim/BoardStore.h"
#include "sim/SimulatedCable.h"
#include "tests/support/Files.h"
#include "tests/support/NoView.h"
#include "tests/support/Recorders.h"

namespace {

TEST(SimulatedCable, IsThePortAndTheClockWhileItLives) {
  ResetGlobals();
  PortBackend* const portBefore = &ActivePortBackend();
  Clock* const clockBefore = &CalibrationClock();
  {
    SimulatedCable cable(base);
    EXPECT_EQ(&ActivePortBackend(), &cable.Port());
    EXPECT_EQ(&CalibrationClock(), &cable.Port());
    NoView view;
    EXPECT_EQ(PullSettingsFromBoard(view), 1) << "a factory-fresh board answers";
    EXPECT_EQ(SettingsArray[20], 2);
    EXPECT_EQ(SettingsArray[21], 11);
    EXPECT_GT(cable.Port().NowUs(), 0u) << "the run took virtual time";
  }
  EXPECT_EQ(&ActivePortBackend(), portBefore);
  EXPECT_EQ(&CalibrationClock(), clockBefore);
  ResetGlobals();
}

// Each plan given in turn to the same cable: runs D(ownload) and U(pload), 1 for success.
TEST(SimulatedCable, FaultsCanBeGivenAndTakenAway) {
  struct Case {
    const char* fault;  // nullptr: no faults
    const char* runs;
    const char* results;
  };
  const Case cases[] = {
      {"simfault:absent", "DU", "00"},
      {nullptr, "DU", "11"},
      {"simfault:flaky", "DDD", "010"},
      {nullptr, "D", "1"},
  };
  ResetGlobals();
  SimulatedCable cable(base);
  NoView view;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault == nullptr ? "no faults" : c.fault);
    SimFaultPlan plan;
    ASSERT_TRUE(c.fault == nullptr || ParseSimFault(c.fault, plan));
    cable.SetFaults(plan);
    std::string results;
    for (const char run : std::string(c.runs)) {
      results +=
          std::to_string(run == 'D' ? PullSettingsFromBoard(view) : PushSettingsToBoard(view));
    }
    EXPECT_EQ(results, c.results);
  }
  ResetGlobals();
}

TEST(SimulatedCable, KeepsItsBoardInTheFolderItWasGiven) {
  ResetGlobals();
  ScratchDirectory folder("cable");
  std::ostringstream report;
  NoView view;
  {
    SimulatedCable cable(base, folder.Path(), report);
    ASSERT_EQ(PullSettingsFromBoard(view), 1);
    SettingsArray[3] = 17;
    ASSERT_EQ(PushSettingsToBoard(view), 1);
  }
  EXPECT_FALSE(ReadText(folder.Path() / kBoardFileName).empty());
  SettingsArray[3] = 0;
  {
    SimulatedCable cable(base, folder.Path(), report);
    ASSERT_EQ(PullSettingsFromBoard(view), 1);
    EXPECT_EQ(SettingsArray[3], 17);
  }
  EXPECT_EQ(report.str(), "");
  ResetGlobals();
}

}  // namespace
