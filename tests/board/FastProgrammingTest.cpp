// fastprogramming: the board ends up the same as without it, and a byte that does not read back
// fails as it does without it, no later.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "app/Globals.h"
#include "board/BoardOperations.h"
#include "firmware/FileDecryption.h"
#include "link/Communication.h"
#include "link/FastProgramming.h"
#include "sim/BoardFirmware.h"
#include "sim/SimPort.h"
#include "sim/SimulatedCable.h"
#include "tests/support/FirmwareFiles.h"
#include "tests/support/NoView.h"
#include "tests/support/Recorders.h"

namespace {

// All 8 KB in 16-byte records (an 0xFF every 256 bytes or so), ending in the identity of 2.20.
std::string FullImage() {
  std::vector<std::string> records;
  for (int r = 0; r < 0x1FF; ++r) records.push_back(DataRecord(16 * r, 16, 17 * r));
  records.push_back(DataRecord(0x1FF0, 13, 0xF9));
  return OfwText(records) + OfwText({":031FFD00021401CA", kEndRecordText});
}

class FastProgramming : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobals();
    board = FactoryBoard();
  }
  void TearDown() override { ResetGlobals(); }

  SimulatedCable cable{base};
  SimPort& sim = cable.Port();
  SimBoard& board = cable.Board();
  NoView view;
};

TEST_F(FastProgramming, TheBoardEndsUpTheSameEitherWay) {
  for (const std::string& text : {ReadText(DemoFirmware("orvanta-2.20.ofw")), FullImage()}) {
    ScratchFile file(text);
    BoardMemories after[2];
    for (const int fast : {0, 1}) {
      SetUp();
      bFastProgramming = fast;
      for (int n = 1; n < kSettingsArraySize; ++n) SettingsArray[n] = uint8_t(n == 20 ? 2 : 3 * n);
      ASSERT_TRUE(Firmware_Validation_Check(file.path()));
      EXPECT_EQ(UploadFirmware(view, file.path()), 1);
      EXPECT_EQ(PushSettingsToBoard(view), 1);
      EXPECT_EQ(board.LockBitWrites(), 1) << "the settings upload's is outside programming mode";
      after[fast] = board.Memories();
    }
    EXPECT_EQ(after[0], after[1]) << "code, data and lock bits";
  }
}

// The bound is counted in delay units: polling gives up even on a port whose delay takes no time.
TEST_F(FastProgramming, GivesUpAfterThreeWaitsWorthOfDelayUnits) {
  for (const auto& [wait, reads] : {std::pair{0u, 1u}, {216u, 3u}, {217u, 4u}}) {
    RecordingPort port;  // reads 0xFF, delays nothing
    delay_const = wait;
    bFastProgramming = 1;
    EXPECT_EQ(write_verified_data_byte(3, 0x5A), 0);
    EXPECT_EQ(port.delayUnits, 3 * 80 + reads * (2 * 80 + 56)) << wait;  // the write, the reads
    EXPECT_EQ(port.log().back(), W(0x378, 0x00)) << "reset released";
  }
}

// On an erased chip in programming mode, as the upload's erase leaves it.
TEST_F(FastProgramming, AByteThatDoesNotReadBackFailsNoLaterThanByDefault) {
  const auto code = [](uint8_t value) { return [=] { return write_erased_code_byte(9, value); }; };
  const std::tuple<const char*, std::function<void()>, std::function<int()>> cases[] = {
      {"code write does not stick", [&] { board.FailWritesAt(Memory::Code, 9); }, code(0x5A)},
      {"data write does not stick", [&] { board.FailWritesAt(Memory::Data, 7); },
       [] { return write_verified_data_byte(7, 0x5A); }},
      {"stops answering", [&] { board.StopAnsweringAfter(0, true); }, code(0x5A)},
      {"unpowered, an 0xFF", [&] { board.SetPower(BoardPower::Unpowered); }, code(0xFF)},
  };
  for (const auto& [name, fault, write] : cases) {
    uint64_t us[2];
    for (const int fast : {0, 1}) {
      board = SimBoard();
      calculate_delay_const();
      set_reset();
      init_prog_mode();
      fault();
      bFastProgramming = fast;
      const uint64_t start = sim.NowUs();
      EXPECT_EQ(write(), 0) << name;
      us[fast] = sim.NowUs() - start;
      EXPECT_EQ(sim.DataRegister(), 0x00) << name << ": reset released";
    }
    EXPECT_LE(us[1], us[0]) << name;
  }
}

}  // namespace
