// The fastprogramming switch: the board ends up the same as without it, and a byte that does not
// read back fails no later than it would without it.
#include <gtest/gtest.h>

#include <algorithm>
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
#include "tests/firmware/FirmwareFiles.h"
#include "tests/support/CableTrace.h"
#include "tests/support/Recorders.h"

namespace {

struct NoView final : OperationView {
  void SetProgressRange(uint16_t) override {}
  void SetProgressPos(int) override {}
  void ShowStatusText(const std::string&) override {}
};

// All 8 KB in 16-byte records, an 0xFF every 256 bytes or so, and the identity of 2.20 at the end.
std::string FullImage() {
  std::vector<std::string> records;
  for (int r = 0; r < 0x1FF; ++r) records.push_back(DataRecord(16 * r, 16, 17 * r));
  records.push_back(DataRecord(0x1FF0, 13, 0xF9));
  records.push_back(":031FFD00021401CA");
  records.push_back(kEndRecordText);
  return OfwText(records);
}

struct Timing {
  int result;
  uint64_t us;  // virtual board time
};

class FastProgramming : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobals();
    board = FactoryBoard();
    sim.Attach(&board);
  }
  void TearDown() override {
    SetPortBackend(previous);
    ResetGlobals();
  }

  Timing Timed(int fast, const std::function<int()>& step) {
    bFastProgramming = fast;
    const uint64_t start = sim.NowUs();
    const int result = step();
    return {result, sim.NowUs() - start};
  }
  // An erased chip in programming mode, as after the upload's erase, with `fault` given.
  void Ready(const std::function<void(SimBoard&)>& fault) {
    board = SimBoard();
    calculate_delay_const();
    set_reset();
    init_prog_mode();
    fault(board);
  }

  SimPort sim{base};
  ScopedCalibrationClock clock{&sim};
  PortBackend* previous = SetPortBackend(&sim);
  SimBoard board;
  NoView view;
};

TEST_F(FastProgramming, TheBoardEndsUpTheSameEitherWay) {
  for (const std::string& text : {ReadText(DemoFirmware("orvanta-2.20.ofw")), FullImage()}) {
    ScratchFile file(text);
    BoardMemories after[2];
    for (int fast : {0, 1}) {
      SetUp();
      for (int n = 1; n < kSettingsArraySize; ++n) SettingsArray[n] = uint8_t(n == 20 ? 2 : 3 * n);
      ASSERT_TRUE(Firmware_Validation_Check(file.path()));
      EXPECT_EQ(Timed(fast, [&] { return UploadFirmware(view, file.path()); }).result, 1);
      EXPECT_EQ(Timed(fast, [&] { return PushSettingsToBoard(view); }).result, 1);
      EXPECT_EQ(board.LockBitWrites(), 1) << "the settings upload's comes outside programming mode";
      after[fast] = board.Memories();
    }
    EXPECT_EQ(after[0], after[1]) << "code, data and lock bits";
  }
}

// The instructions are the default's, bar the polls and the 0xFF left alone; no wait in between.
TEST_F(FastProgramming, PollsWithTheSameInstructionsAndNoWaits) {
  ScratchFile file(OfwText({":021FFE00FF42A0", kEndRecordText}));
  RecordingPort recorder;
  recorder.through = &sim;
  bFastProgramming = 1;
  ASSERT_TRUE(Firmware_Validation_Check(file.path()));
  ASSERT_EQ(UploadFirmware(view, file.path()), 1);
  const std::vector<std::string> trace = CableTrace(recorder.log(), 0x378, delay_const);
  std::vector<std::string> sent = Instructions(trace);
  const auto polls = std::count(sent.begin(), sent.end(), "F9 FF <C2");
  EXPECT_GE(polls, 5) << "2.5 ms of writing";
  sent.erase(std::remove(sent.begin(), sent.end(), "F9 FF <C2"), sent.end());
  EXPECT_EQ(sent, (std::vector<std::string>{"AC 53 FF", "AC 04 FF", "AC 53 FF", "F9 FE <FF",
                                            "FA FF 42", "F9 FF <42", "AC FF FF"}));
  EXPECT_EQ(std::count(trace.begin(), trace.end(), "wait"), 4 * 7 + 2)
      << "only those around the instructions";
}

// Polling stops once it has spent what the three waits would have: counted in delay units, so
// even a port whose delay takes no time gives up.
TEST_F(FastProgramming, GivesUpAfterThreeWaitsWorthOfDelayUnits) {
  constexpr uint64_t kWrite = 3 * 80, kRead = 2 * 80 + 56;
  for (const uint32_t wait : {0u, 216u, 217u, 3000u}) {
    RecordingPort port;  // reads 0xFF, delays nothing
    delay_const = wait;
    bFastProgramming = 1;
    EXPECT_EQ(write_verified_data_byte(3, 0x5A), 0);
    const uint64_t reads = std::max<uint64_t>(1, (3 * wait + kRead - 1) / kRead);
    EXPECT_EQ(port.delayUnits, kWrite + reads * kRead) << wait;
    EXPECT_EQ(port.log().back(), W(0x378, 0x00)) << "reset released";
  }
}

// A byte that does not read back fails as it does by default, no later.
TEST_F(FastProgramming, AByteThatDoesNotReadBackFailsNoLaterThanByDefault) {
  struct Case {
    const char* name;
    std::function<void(SimBoard&)> fault;
    std::function<int()> write;
  };
  const auto code = [](uint8_t value) {
    return [=] { return write_erased_code_byte(0x123, value); };
  };
  const Case cases[] = {
      {"code write does not stick", [](SimBoard& b) { b.FailWritesAt(Memory::Code, 0x123); },
       code(0x5A)},
      {"data write does not stick", [](SimBoard& b) { b.FailWritesAt(Memory::Data, 7); },
       [] { return write_verified_data_byte(7, 0x5A); }},
      {"stops answering, line high", [](SimBoard& b) { b.StopAnsweringAfter(0, true); },
       code(0x5A)},
      {"stops answering, line low", [](SimBoard& b) { b.StopAnsweringAfter(0, false); },
       code(0xFF)},
      {"unpowered", [](SimBoard& b) { b.SetPower(BoardPower::Unpowered); }, code(0x5A)},
      {"unpowered, an 0xFF", [](SimBoard& b) { b.SetPower(BoardPower::Unpowered); }, code(0xFF)},
  };
  for (const Case& c : cases) {
    Ready(c.fault);
    const Timing byDefault = Timed(0, c.write);
    Ready(c.fault);
    const Timing fast = Timed(1, c.write);
    EXPECT_EQ(byDefault.result, 0) << c.name;
    EXPECT_EQ(fast.result, 0) << c.name;
    EXPECT_LE(fast.us, byDefault.us) << c.name;
    EXPECT_EQ(sim.DataRegister(), 0x00) << c.name << ": reset released";
  }
}

// Whole board runs with a fault in this mode: they fail, release reset and lock nothing.
TEST_F(FastProgramming, FaultyBoardRunsFail) {
  ScratchFile file(FullImage());
  const auto firmware = [&] { return UploadFirmware(view, file.path()); };
  const auto settings = [&] { return PushSettingsToBoard(view); };
  const std::tuple<const char*, std::function<void(SimBoard&)>, std::function<int()>> cases[] = {
      {"byte 1000 does not stick", [](SimBoard& b) { b.FailWritesAt(Memory::Code, 1000); },
       firmware},
      {"the 700th write is spoiled", [](SimBoard& b) { b.SpoilWrite(700); }, firmware},
      {"dies half-way", [](SimBoard& b) { b.StopAnsweringAfter(20000, true); }, firmware},
      {"unpowered", [](SimBoard& b) { b.SetPower(BoardPower::Unpowered); }, firmware},
      {"settings byte 7 does not stick", [](SimBoard& b) { b.FailWritesAt(Memory::Data, 7); },
       settings},
  };
  for (const auto& [name, fault, operation] : cases) {
    SetUp();
    SettingsArray[20] = 2;
    ASSERT_TRUE(Firmware_Validation_Check(file.path()));
    fault(board);
    EXPECT_EQ(Timed(1, operation).result, 0) << name;
    EXPECT_EQ(board.LockBitWrites(), 0) << name;
    EXPECT_EQ(sim.DataRegister(), 0x00) << name << ": reset released";
  }
}

}  // namespace
