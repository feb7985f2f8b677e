// The simulated chip driven through the real board-link functions over the simulated port.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/Globals.h"
#include "link/Communication.h"
#include "platform/Clock.h"
#include "platform/PortIo.h"
#include "sim/BoardFirmware.h"
#include "sim/SimBoard.h"
#include "sim/SimPort.h"
#include "sim/SimulatedCable.h"
#include "tests/support/Recorders.h"

namespace {

class SimBoardLink : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobals();
    // An erased chip that runs the firmware step when reset is released.
    board_ = SimBoard();
    board_.SetFirmware(StartFirmware);
    calculate_delay_const();
  }

  void EnterProgramming() {
    set_reset();
    init_prog_mode();
  }

  SimulatedCable cable_{base};
  SimPort& port_ = cable_.Port();
  SimBoard& board_ = cable_.Board();
};

struct ByteCase {
  Memory memory;
  int address;        // as handed to the link
  uint16_t storedAt;  // where the chip keeps it
  uint8_t value;
};

int Program(const ByteCase& c) {
  return c.memory == Memory::Code ? program_code_byte(c.address, c.value)
                                  : program_data_byte(c.address, c.value);
}

uint8_t ReadBack(Memory memory, int address) {
  return memory == Memory::Code ? read_code_byte(address) : read_data_byte(address);
}

// A write instruction on its own, without the link's waits and read-back.
void SendWrite(Memory memory, int address, uint8_t value) {
  const uint8_t instruction = memory == Memory::Code ? 0x02 : 0x06;
  send_byte(static_cast<uint8_t>(((address & 0x1F00) >> 5) | instruction));
  send_byte(static_cast<uint8_t>(address & 0xFF));
  send_byte(value);
}

uint8_t Stored(const SimBoard& board, Memory memory, uint16_t address) {
  return memory == Memory::Code ? board.CodeByte(address) : board.DataByte(address);
}

TEST_F(SimBoardLink, ProgramsAndReadsBackEitherMemory) {
  const ByteCase cases[] = {
      {Memory::Code, 0x0000, 0x0000, 0x02}, {Memory::Code, 0x1234, 0x1234, 0xA5},
      {Memory::Code, 0x1FFF, 0x1FFF, 0x00}, {Memory::Data, 0x000, 0x000, 0x7E},
      {Memory::Data, 0x013, 0x013, 0x80},   {Memory::Data, 0x7FF, 0x7FF, 0x3C},
      {Memory::Data, 0x805, 0x005, 0x11},  // the chip ignores data address bits above 10
  };
  EnterProgramming();
  for (const ByteCase& c : cases) {
    SCOPED_TRACE(c.address);
    EXPECT_EQ(Program(c), 2);
    EXPECT_EQ(ReadBack(c.memory, c.address), c.value);
    EXPECT_EQ(Stored(board_, c.memory, c.storedAt), c.value);
  }
  EXPECT_EQ(board_.Memories().code[0x0805], 0xFF) << "data writes stay out of code memory";
}

TEST_F(SimBoardLink, ChipEraseBlanksBothMemoriesAndTheLockBits) {
  board_.SetCodeByte(0x100, 0x12);
  board_.SetDataByte(0x10, 0x34);
  board_.SetLockBits(0x1F);
  init_prog_mode();
  erase_memory();
  EXPECT_EQ(board_.Memories(), BoardMemories{});
  // The firmware upload's order: a fresh programming enable, then code bytes.
  wait_3ms();
  wait_3ms();
  init_prog_mode();
  EXPECT_EQ(program_code_byte(0x100, 0x55), 2);
}

TEST_F(SimBoardLink, TheChipIsBusyDuringAnEraseOrAWrite) {
  board_.SetDataByte(3, 0x00);
  EnterProgramming();
  delay_const = 0;  // no waits: everything below happens inside the self-timed operations
  for (const uint8_t byte : {0xAC, 0x04, 0xFF}) send_byte(byte);
  EXPECT_TRUE(board_.Busy(port_.NowUs()));
  EXPECT_EQ(read_data_byte(3), 0xFF) << "erasing";
  EXPECT_EQ(board_.DataByte(3), 0x00);
  port_.Delay(SimBoard::kEraseTimeUs);

  SendWrite(Memory::Data, 5, 0x11);
  SendWrite(Memory::Data, 6, 0x22);  // ignored: the first is still being written
  port_.Delay(SimBoard::kWriteTimeUs);
  EXPECT_FALSE(board_.Busy(port_.NowUs()));
  EXPECT_EQ(read_data_byte(5), 0x11);
  EXPECT_EQ(read_data_byte(6), 0xFF);
}

// Released during an erase, the chip goes on erasing on the virtual clock; its firmware starts
// when the erase ends, and programming begun before then does not stick.
TEST_F(SimBoardLink, AnEraseKeepsRunningAfterResetFalls) {
  int starts = 0;
  board_ = FactoryBoard();
  board_.SetOnReleased([&starts] { ++starts; });
  delay_const = 300;  // waits of 0.3 ms: the release comes long before the erase ends
  init_prog_mode();
  erase_memory();
  EXPECT_TRUE(board_.Busy(port_.NowUs()));
  EXPECT_EQ(starts, 0) << "the firmware waits for the erase";
  init_prog_mode();
  EXPECT_EQ(program_code_byte(0x100, 0x55), 0) << "ignored while erasing";
  EXPECT_EQ(starts, 0) << "reset rose again before the erase ended";

  init_prog_mode();
  erase_memory();
  port_.Delay(SimBoard::kEraseTimeUs);
  clear_reset();
  EXPECT_EQ(starts, 1);
  EXPECT_EQ(board_.Memories(), BoardMemories{});
}

TEST_F(SimBoardLink, InstructionsNeedAProgrammingEnableSinceTheLastResetRise) {
  struct Case {
    const char* name;
    void (*enter)();
  };
  const Case cases[] = {
      {"reset held, no enable", [] { set_reset(); }},
      {"enable, then a new reset rise",
       [] {
         set_reset();
         init_prog_mode();
         clear_reset();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    board_.SetDataByte(9, 0x42);
    c.enter();
    EXPECT_EQ(read_data_byte(9), 0xFF);
    EXPECT_EQ(program_data_byte(10, 0x33), 0);
    EXPECT_FALSE(board_.ProgrammingEnabled());
    EXPECT_EQ(board_.DataByte(10), 0xFF);
    clear_reset();
  }
}

TEST_F(SimBoardLink, LockBitsAreObeyedOnlyInsideProgrammingMode) {
  // The settings upload releases reset before its lock-bit write: the chip never sees it.
  EnterProgramming();
  EXPECT_EQ(program_data_byte(0, 0x01), 2);
  clear_reset();
  Write_Lock_Bits();
  EXPECT_EQ(board_.LockBitWrites(), 0);

  // The firmware upload sends it while still in programming mode.
  init_prog_mode();
  Write_Lock_Bits();
  EXPECT_EQ(board_.LockBitWrites(), 1);
  EXPECT_EQ(board_.LockBits(), 0xFF) << "0xFF locks nothing";

  EnterProgramming();
  for (const uint8_t byte : {0xAC, 0x5F, 0x00}) send_byte(byte);  // LB1 and LB3 programmed
  EXPECT_EQ(board_.LockBits(), 0x5F);
}

TEST_F(SimBoardLink, WritesTakeTwoAndAHalfMillisecondsWithDataPolling) {
  for (const Memory memory : {Memory::Code, Memory::Data}) {
    SCOPED_TRACE(memory == Memory::Code ? "code" : "data");
    EnterProgramming();
    const uint32_t calibrated = delay_const;
    delay_const = 0;
    SendWrite(memory, 0x20, 0x3C);
    EXPECT_EQ(ReadBack(memory, 0x20), 0x3C ^ 0x80) << "bit 7 inverted while writing";
    EXPECT_EQ(Stored(board_, memory, 0x20), 0xFF);
    port_.Delay(SimBoard::kWriteTimeUs);
    EXPECT_EQ(ReadBack(memory, 0x20), 0x3C);

    fDelayOffSet = 0.1f;  // reads back about 1.7 ms after the write
    calculate_delay_const();
    EXPECT_EQ(Program({memory, 0x21, 0x21, 0x0F}), 0);
    fDelayOffSet = 1.0f;
    calculate_delay_const();
    EXPECT_EQ(delay_const, calibrated);
    EnterProgramming();
    EXPECT_EQ(Program({memory, 0x22, 0x22, 0x0F}), 2);
  }
}

TEST_F(SimBoardLink, AbsentOrUnpoweredBoardShowsOnlyInTheValuesRead) {
  struct Case {
    BoardPower power;
    uint8_t reads;
  };
  for (const Case c : {Case{BoardPower::Absent, 0xFF}, Case{BoardPower::Unpowered, 0x00}}) {
    board_.SetPower(c.power);
    EnterProgramming();
    EXPECT_EQ(read_data_byte(19), c.reads);
    EXPECT_EQ(program_data_byte(0, 0x55), 0);
    EnterProgramming();
    EXPECT_EQ(program_data_byte(0, c.reads), 2);
    EXPECT_EQ(board_.DataByte(0), 0xFF) << "nothing reached the chip";
  }
}

TEST_F(SimBoardLink, AWriteThatDoesNotStick) {
  for (const ByteCase& c :
       {ByteCase{Memory::Code, 0x0123, 0x0123, 0x44}, ByteCase{Memory::Data, 7, 7, 0x44}}) {
    board_.FailWritesAt(c.memory, c.storedAt);
    EnterProgramming();
    EXPECT_EQ(Program({c.memory, c.address - 1, 0, 0x44}), 2);
    EXPECT_EQ(Program(c), 0);
    EXPECT_EQ(Stored(board_, c.memory, c.storedAt), 0xFF);
  }
}

TEST_F(SimBoardLink, ABoardThatStopsAnswering) {
  for (const bool level : {false, true}) {
    board_.ClearFaults();
    for (uint16_t a = 0; a < 6; ++a) board_.SetDataByte(a, static_cast<uint8_t>(0x10 + a));
    board_.StopAnsweringAfter(3, level);
    EnterProgramming();
    for (int a = 0; a < 6; ++a) {
      EXPECT_EQ(read_data_byte(a), a < 3 ? 0x10 + a : (level ? 0xFF : 0x00)) << a;
    }
    clear_reset();
    EnterProgramming();
    EXPECT_EQ(read_data_byte(0), level ? 0xFF : 0x00) << "a reset does not revive it";
    EXPECT_TRUE(board_.Hung());
  }
}

TEST_F(SimBoardLink, NoiseOnMisoIsDeterministicForASeed) {
  board_.SetDataByte(0, 0x5A);
  auto readMany = [this](uint32_t flipsPerMillion, uint64_t seed) {
    board_.SetMisoNoise(flipsPerMillion, seed);
    EnterProgramming();
    std::vector<uint8_t> values;
    for (int i = 0; i < 40; ++i) values.push_back(read_data_byte(0));
    return values;
  };
  EXPECT_EQ(readMany(0, 1), std::vector<uint8_t>(40, 0x5A));
  EXPECT_EQ(readMany(1000000, 1), std::vector<uint8_t>(40, 0xA5)) << "every bit flipped";
  const std::vector<uint8_t> noisy = readMany(50000, 7);
  EXPECT_EQ(readMany(50000, 7), noisy);
  const auto clean = std::count(noisy.begin(), noisy.end(), 0x5A);
  EXPECT_GT(clean, 5);
  EXPECT_LT(clean, 40);
}

TEST_F(SimBoardLink, FirmwareKeepsItsIdentityWhenResetIsReleased) {
  const FirmwareIdentity identity{3, 5, 0};
  struct Case {
    const char* name;
    bool image;
    bool blankSettings;
  };
  for (const Case c : {Case{"blank settings get defaults", true, true},
                       Case{"identity rewritten, settings kept", true, false},
                       Case{"no image: nothing happens", false, true}}) {
    SCOPED_TRACE(c.name);
    board_.SetMemories(BoardMemories{});
    if (c.image) InstallStandInImage(board_, identity);
    if (!c.blankSettings) {
      for (uint16_t a = 0; a < kSettingsBlockBytes; ++a) board_.SetDataByte(a, 1);
    }
    const BoardMemories before = board_.Memories();
    set_reset();
    clear_reset();
    BoardMemories expected = before;
    if (c.image && c.blankSettings) {
      const auto defaults = DefaultSettings(identity);
      std::copy(defaults.begin(), defaults.end(), expected.data.begin());
    } else if (c.image) {
      expected.data[19] = 3;
      expected.data[20] = 5;
      expected.data[21] = 0;
    }
    EXPECT_EQ(board_.Memories(), expected);
    const uint64_t changes = board_.Changes();
    set_reset();
    clear_reset();
    EXPECT_EQ(board_.Changes(), changes) << "a second start finds nothing to write";
  }
}

TEST_F(SimBoardLink, FirmwareUploadSequenceEndsWithAStartedBoard) {
  board_ = FactoryBoard();
  init_prog_mode();
  erase_memory();
  clear_reset();
  wait_3ms();
  wait_3ms();
  init_prog_mode();
  const uint8_t image[] = {0x02, 0x00, 0x30};
  for (int a = 0; a < 3; ++a) ASSERT_EQ(program_code_byte(a, image[a]), 2);
  ASSERT_EQ(program_code_byte(kImageMajorAddress, 2), 2);
  ASSERT_EQ(program_code_byte(kImageMinorAddress, 12), 2);
  ASSERT_EQ(program_code_byte(kImageBoardTypeAddress, 1), 2);
  Write_Lock_Bits();
  clear_reset();
  EXPECT_EQ(board_.LockBitWrites(), 1);
  const auto defaults = DefaultSettings({2, 12, 1});
  EXPECT_TRUE(std::equal(defaults.begin(), defaults.end(), board_.Memories().data.begin()));
  EnterProgramming();
  EXPECT_EQ(read_data_byte(20), 12);
}

TEST(SimBoardFactory, HoldsFirmware211AndACompleteDefaultBlock) {
  const SimBoard board = FactoryBoard();
  EXPECT_EQ(ImageIdentity(board), kFactoryIdentity);
  const uint8_t expected[kSettingsBlockBytes] = {0,  2, 10, 4,    6,    1, 2, 3, 0,    0,
                                                 1,  2, 3,  0,    0,    0, 0, 0, 0,    2,
                                                 11, 1, 5,  0xFF, 0xFF, 0, 0, 0, 0xFF, 0xFF};
  EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), board.Memories().data.begin()));
  EXPECT_EQ(board.DataByte(kSettingsBlockBytes), 0xFF);
  EXPECT_EQ(board.LockBits(), 0xFF);
}

}  // namespace
