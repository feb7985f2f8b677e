#include <gtest/gtest.h>
#include <vector>

#include "app/Globals.h"
#include "link/Communication.h"
#include "tests/support/Recorders.h"

namespace {

class PortLines : public ::testing::Test {
 protected:
  void SetUp() override { ResetGlobals(); }
};

TEST_F(PortLines, ResetLinesAndRememberedResetBit) {
  struct Case {
    uint32_t base;
    uint16_t data;
  };
  for (const Case c : {Case{0x378, 0x378}, Case{0x278, 0x278}, Case{0x1D010, 0xD010}}) {
    ResetGlobals();
    base = c.base;
    RecordingPort port;
    EXPECT_EQ(reset_state, 0x00);
    set_reset();
    EXPECT_EQ(reset_state, 0x04);
    clear_reset();
    EXPECT_EQ(reset_state, 0x04) << "nothing sets the reset bit back";
    EXPECT_EQ(port.log(), (SeamLog{W(c.data, 0x04), W(c.data, 0x00)}));
  }
}

TEST_F(PortLines, RegisterAddressesFollowBase) {
  base = 0x278;
  EXPECT_EQ(DataPort(), 0x278);
  EXPECT_EQ(StatusPort(), 0x279);
  EXPECT_EQ(ControlPort(), 0x27A);
  base = 0xFFFF;  // formed in 32 bits, handed over as the low 16
  EXPECT_EQ(StatusPort(), 0x0000);
  EXPECT_EQ(ControlPort(), 0x0001);
}

TEST_F(PortLines, Wait3msPerformsDelayConstUnits) {
  for (const uint32_t units : {0u, 1u, 3000u}) {
    RecordingPort port;
    delay_const = units;
    wait_3ms();
    EXPECT_EQ(port.delayUnits, units);
    EXPECT_EQ(port.writes, 0u);
  }
}

TEST(DelayConstFor, Arithmetic) {
  struct Case {
    uint32_t n;
    uint64_t e;
    float multiplier;
    uint32_t expected;
  };
  const Case cases[] = {
      {1000000, 100, 1.0f, 3000},
      {1000000, 100, 2.0f, 6000},
      {1000, 200, 1.0f, 1},  // 1.5 truncated
      {1000, 200, 3.0f, 3},  // k is truncated before the multiplier: not 4
      {100, 100, 1.0f, 0},   // a short trial that caught a boundary
      {100000, 10, 1.0f, 3000},
      {123456, 0, 1.0f, 0},                  // the clock never moved
      {1410065408, 2, 1.0e9f, 0xFFFFFFFFu},  // clamped, never beyond the type
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DelayConstFor(c.n, c.e, c.multiplier), c.expected)
        << "n=" << c.n << " e=" << c.e << " x" << c.multiplier;
  }
}

// Each trial reads the clock twice; the script gives (t0, t1) pairs. A trial counts once it lasts
// a tenth of a second; a clock that steps backwards counts as no time at all, and a trial of fewer
// than 10 000 units that lasts a tenth of a second was held up, not measured.
TEST_F(PortLines, CalibrationSearchStopsAtTheFirstTrialOfATenthOfASecond) {
  struct Case {
    const char* what;
    std::vector<uint64_t> readings;
    uint64_t delayUnits;
    uint32_t expected;
  };
  const std::vector<Case> cases = {
      {"short trials are not trusted",
       {5, 5, 7, 8, 10, 14, 20, 29, 30, 40},
       100u + 1000u + 10000u + 100000u + 1000000u,
       30000},  // 1 000 000 / 10 * 0.3
      {"a clock stepping back", {50, 40, 40, 60, 60, 80}, 100u + 1000u + 10000u, 150},
      {"a stalled first trial", {0, 300, 0, 0, 0, 100}, 100u + 1000u + 10000u, 30},
      {"a stall in the 1 000-unit trial", {0, 0, 0, 10, 10, 15, 20, 30}, 111100u, 3000},
      {"10 000 units is a measurement", {0, 0, 0, 0, 0, 10}, 11100u, 300},
  };
  for (const Case& c : cases) {
    RecordingPort port;
    ScriptedClock clock(c.readings);
    calculate_delay_const();
    EXPECT_EQ(port.runsBegun, 1) << "a port that could not be opened is tried again";
    EXPECT_EQ(clock.readingsTaken, c.readings.size()) << c.what;
    EXPECT_EQ(port.delayUnits, c.delayUnits) << c.what;
    EXPECT_EQ(delay_const, c.expected) << c.what;
  }
}

TEST_F(PortLines, CalibrationAppliesTheMultiplier) {
  RecordingPort port;
  fDelayOffSet = 2.0f;
  ScriptedClock clock({0, 0, 0, 0, 0, 0, 0, 0, 0, 100});  // the fifth trial sees 1 s
  calculate_delay_const();
  EXPECT_EQ(delay_const, 6000u);  // n = 1 000 000, e = 100
}

TEST_F(PortLines, CalibrationEndsAtTheNinthTrialWhenTheClockStands) {
  RecordingPort port;
  port.recordDelays = true;
  ScriptedClock clock({42});
  calculate_delay_const();
  EXPECT_EQ(clock.readingsTaken, 18u);
  std::vector<uint32_t> trials;
  for (const SeamEvent& event : port.log()) trials.push_back(event.units);
  EXPECT_EQ(trials, (std::vector<uint32_t>{100, 1000, 10000, 100000, 1000000, 10000000, 100000000,
                                           1000000000, 1410065408}));
  EXPECT_EQ(delay_const, 0u);
}

}  // namespace
