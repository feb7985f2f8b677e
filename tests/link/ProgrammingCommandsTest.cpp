#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/Communication.h"
#include "tests/support/CableTrace.h"
#include "tests/support/Recorders.h"

namespace {

using Trace = std::vector<std::string>;

// A wait length no bit timing uses, so the trace can tell waits apart.
constexpr uint32_t kWait = 777;

class ProgrammingCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobals();
    delay_const = kWait;
  }
};

SeamEvent D(uint32_t units) {
  SeamEvent event(SeamEvent::Delay);
  event.units = units;
  return event;
}

TEST_F(ProgrammingCommands, SendByteBitTimingWithResetHeld) {
  reset_state = 0x04;
  RecordingPort port;
  send_byte(0x80);
  SeamLog expected = {W(0x378, 0x05), D(2), W(0x378, 0x07), D(4),
                      W(0x378, 0x05), D(1), W(0x378, 0x04), D(3)};
  for (int bit = 1; bit < 8; ++bit) {
    for (const SeamEvent& e : SeamLog{W(0x378, 0x04), D(2), W(0x378, 0x06), D(4), W(0x378, 0x04),
                                      D(1), W(0x378, 0x04), D(3)}) {
      expected.push_back(e);
    }
  }
  EXPECT_EQ(port.log(), expected);
  EXPECT_EQ(port.writes, 32u);
  EXPECT_EQ(port.delayUnits, 80u);
}

TEST_F(ProgrammingCommands, GetByteSamplesStatusBit5WhileTheClockIsHigh) {
  reset_state = 0x04;
  RecordingPort port;
  const uint8_t answer = 0xA5;
  int bit = 7;
  port.reader = [&](uint16_t) {  // Only bit 5 counts: the other status bits are noise.
    return static_cast<uint8_t>((answer >> bit--) & 1 ? 0x3F : 0xDF);
  };
  EXPECT_EQ(get_byte(), answer);
  const SeamLog& log = port.log();
  ASSERT_EQ(log.size(), 8u * 6u);
  for (int i = 0; i < 8; ++i) {
    const SeamEvent* step = &log[i * 6];
    EXPECT_EQ(step[0], W(0x378, 0x06));  // clock rises, data line 0
    EXPECT_EQ(step[1], D(1));
    EXPECT_EQ(step[2].kind, SeamEvent::Read);
    EXPECT_EQ(step[2].port, 0x379);
    EXPECT_EQ(step[3], D(3));
    EXPECT_EQ(step[4], W(0x378, 0x04));
    EXPECT_EQ(step[5], D(3));
  }
}

TEST_F(ProgrammingCommands, StatusLineStuckGivesFFOrZero) {
  for (const uint8_t level : {uint8_t{0xFF}, uint8_t{0x00}}) {
    RecordingPort port;
    port.reader = [&](uint16_t) { return level; };
    EXPECT_EQ(read_data_byte(3), level);
    EXPECT_EQ(program_data_byte(3, level), 2) << "writing what the stuck line reads verifies";
    EXPECT_EQ(program_data_byte(3, 0x5A), 0);
  }
}

TEST_F(ProgrammingCommands, InstructionSequences) {
  struct Case {
    const char* name;
    void (*run)();
    Trace expected;
    bool framed = false;  // raises reset itself; starts from a released line
  };
  const Case cases[] = {
      {"read_data_byte 0x13",
       [] { read_data_byte(0x13); },
       {"S 05", "S 13", "wait", "wait", "G FF"}},
      {"read_code_byte 0x1234",
       [] { read_code_byte(0x1234); },
       {"S 91", "S 34", "wait", "wait", "G FF"}},
      {"read_code_byte 0x2000 wraps to 0",
       [] { read_code_byte(0x2000); },
       {"S 01", "S 00", "wait", "wait", "G FF"}},
      {"read_data_byte 0x7FF",
       [] { read_data_byte(0x7FF); },
       {"S 3D", "S FF", "wait", "wait", "G FF"}},
      {"program_data_byte 5 0x2A",
       [] { program_data_byte(5, 0x2A); },
       {"S 06", "S 05", "S 2A", "wait", "wait", "wait", "S 05", "S 05", "wait", "wait", "G FF",
        "RST-"}},
      {"program_code_byte 0x1FFF 0xFF",
       [] { program_code_byte(0x1FFF, 0xFF); },
       {"S FA", "S FF", "S FF", "wait", "wait", "wait", "S F9", "S FF", "wait", "wait", "G FF"}},
      {"init_prog_mode",
       init_prog_mode,
       {"C 10", "RST+", "wait", "wait", "wait", "wait", "S AC", "S 53", "S FF", "wait", "wait",
        "wait"},
       true},
      {"erase_memory",
       erase_memory,
       {"C 10", "RST+", "wait", "wait", "wait", "wait", "S AC", "S 04", "S FF", "wait", "wait",
        "wait", "RST-"},
       true},
      {"Write_Lock_Bits",
       Write_Lock_Bits,
       {"C 10", "RST+", "wait", "wait", "wait", "wait", "S AC", "S FF", "S FF", "wait", "wait",
        "wait", "RST-"},
       true},
  };
  for (const Case& c : cases) {
    ResetGlobals();
    delay_const = kWait;
    reset_state = 0x04;
    RecordingPort port;
    c.run();
    // Memory instructions run with reset already held, as inside a board run.
    const Trace trace = CableTrace(port.log(), 0x378, kWait, c.framed ? 0x00 : 0x04);
    EXPECT_EQ(trace, c.expected) << c.name;
  }
}

TEST_F(ProgrammingCommands, VerifiedWriteKeepsResetAndReturns2) {
  reset_state = 0x04;
  RecordingPort port;
  // Answer 0x2A to the read-back: bits clocked in MSB first.
  int bit = 7;
  port.reader = [&](uint16_t) {
    const int b = bit--;
    return static_cast<uint8_t>(b >= 0 && ((0x2A >> b) & 1) ? 0x20 : 0x00);
  };
  EXPECT_EQ(program_data_byte(5, 0x2A), 2);
  EXPECT_EQ(port.log().back(), D(3)) << "no release after a verified write";
  EXPECT_EQ(reset_state, 0x04);
}

TEST_F(ProgrammingCommands, ReadAfterReleaseRaisesResetAgainWithItsFirstWrite) {
  RecordingPort port;
  set_reset();
  clear_reset();
  port.log().clear();
  read_data_byte(0);
  EXPECT_EQ(port.log().front(), W(0x378, 0x04));
}

}  // namespace
