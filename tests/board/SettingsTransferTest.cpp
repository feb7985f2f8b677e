// Settings download and upload end to end: the transfer code, the link and the simulated board.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/Globals.h"
#include "board/BoardOperations.h"
#include "link/Communication.h"
#include "sim/BoardFirmware.h"
#include "sim/SimBoard.h"
#include "sim/SimPort.h"
#include "sim/SimulatedCable.h"
#include "tests/support/RecordingView.h"
#include "tests/support/CableTrace.h"
#include "tests/support/Recorders.h"

namespace {

constexpr uint8_t kUntouched = 0xAB;

class SettingsTransfer : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobals();
    recorder.through = &port;
    recorder.log().clear();
    recorder.recordDelays = true;
    board = SimBoard();
    for (uint8_t& element : SettingsArray) element = kUntouched;
  }
  void TearDown() override { ResetGlobals(); }

  // A board whose code memory is blank, so that no firmware step rewrites its data on release.
  void LoadData(const std::vector<uint8_t>& bytes) {
    for (std::size_t a = 0; a < bytes.size(); ++a) board.SetDataByte(a, bytes[a]);
  }
  std::vector<uint8_t> Data(int from, int count) const {
    std::vector<uint8_t> bytes;
    for (int a = from; a < from + count; ++a) bytes.push_back(board.DataByte(a));
    return bytes;
  }
  std::vector<uint8_t> Elements(int from, int count) const {
    return {SettingsArray + from, SettingsArray + from + count};
  }
  std::vector<std::string> Trace() const { return CableTrace(recorder.log(), 0x378, delay_const); }
  // How many instructions on the cable match `pattern` ("06 13 02"; "06" alone for every write).
  int Count(const std::string& pattern) const {
    int n = 0;
    for (const std::string& i : Instructions(CableTrace(recorder.log(), 0x378, delay_const))) {
      n += i.rfind(pattern, 0) == 0 ? 1 : 0;
    }
    return n;
  }
  int DataWrites() const { return Count("06"); }

  SimulatedCable cable{base};  // port backend and clock while the fixture lives
  SimPort& port = cable.Port();
  SimBoard& board = cable.Board();  // a bare chip from SetUp on
  RecordingPort recorder;           // installs itself as the active port and forwards to `port`
  RecordingView view;
};

std::vector<uint8_t> KnownBlock(uint8_t major) {
  std::vector<uint8_t> block(30);
  for (int a = 0; a < 30; ++a) block[a] = static_cast<uint8_t>(0x40 + a);
  block[19] = major;
  return block;
}

TEST_F(SettingsTransfer, DownloadStoresAddresses0To29InElements1To30) {
  LoadData(KnownBlock(3));
  EXPECT_EQ(PullSettingsFromBoard(view), 1);
  EXPECT_EQ(Elements(1, 30), KnownBlock(3));
  EXPECT_EQ(SettingsArray[0], kUntouched);
  EXPECT_EQ(SettingsArray[31], kUntouched);
  EXPECT_EQ(view.upper, 30);
  EXPECT_EQ(view.positions.back(), 30);
  EXPECT_EQ(view.texts, (std::vector<std::string>{kDownloadingText}));
  EXPECT_EQ(DataWrites(), 0);
  EXPECT_FALSE(board.ResetHeld()) << "the board runs its firmware again";
}

TEST_F(SettingsTransfer, UploadThenDownloadGivesTheSameBlock) {
  LoadData(KnownBlock(2));
  std::vector<uint8_t> block = KnownBlock(2);
  for (int a = 0; a < 30; ++a) block[a] = static_cast<uint8_t>(block[a] ^ 0x0F);
  block[19] = 7;
  std::copy(block.begin(), block.end(), SettingsArray + 1);
  SettingsArray[31] = 0;
  EXPECT_EQ(PushSettingsToBoard(view), 1);
  EXPECT_EQ(Data(0, 30), block);
  EXPECT_EQ(board.DataByte(30), 0) << "address 30 receives element 31";
  EXPECT_EQ(view.positions.back(), 30);
  EXPECT_EQ(view.texts, (std::vector<std::string>{kUploadingText}));
  EXPECT_EQ(Count("AC FF FF"), 1) << "lock bits sent last";

  std::fill(SettingsArray, SettingsArray + 32, 0);
  EXPECT_EQ(PullSettingsFromBoard(view), 1);
  EXPECT_EQ(Elements(1, 30), block);
}

TEST_F(SettingsTransfer, UploadAfterDownloadWritesTheRevisionAndBoardTypeBack) {
  board = FactoryBoard();
  EXPECT_EQ(PullSettingsFromBoard(view), 1);
  recorder.log().clear();
  EXPECT_EQ(PushSettingsToBoard(view), 1);
  EXPECT_EQ(Count("06 13 02"), 1);
  EXPECT_EQ(Count("06 14 0B"), 1);
  EXPECT_EQ(Count("06 15 01"), 1);
}

// With no download since start (a preset loaded after a failed one, say) elements 20-22 are 0;
// writing those would make the board fail every later ready check. The board's own bytes go back.
TEST_F(SettingsTransfer, UploadWithNoDownloadKeepsTheBoardsRevisionAndType) {
  LoadData(KnownBlock(3));
  for (int e = 1; e <= 30; ++e) SettingsArray[e] = static_cast<uint8_t>(e);
  SettingsArray[20] = SettingsArray[21] = SettingsArray[22] = 0;
  SettingsArray[31] = 0;
  EXPECT_EQ(PushSettingsToBoard(view), 1);
  const std::vector<uint8_t> identity = {3, 0x54, 0x55};
  EXPECT_EQ(Data(19, 3), identity);
  EXPECT_EQ(Elements(20, 3), identity) << "the next upload writes them too";
  EXPECT_EQ(Data(0, 19), Elements(1, 19));
  EXPECT_EQ(Data(22, 8), Elements(23, 8));
  EXPECT_EQ(DataWrites(), 31);
  EXPECT_EQ(Count("AC FF FF"), 1);
}

// Both runs start alike: the bar from 0, quiet lines, a fresh calibration, the status text, and
// only then the control register and the reset line.
TEST_F(SettingsTransfer, EveryRunStartsQuietThenCalibratesThenShowsItsTextThenHoldsReset) {
  const struct {
    int (*run)(OperationView&);
    const char* text;
  } runs[] = {{PullSettingsFromBoard, kDownloadingText}, {PushSettingsToBoard, kUploadingText}};
  for (const auto& r : runs) {
    SetUp();
    board = FactoryBoard();
    view = RecordingView{};
    view.log = &recorder.log();
    EXPECT_EQ(r.run(view), 1) << r.text;
    const SeamLog& log = recorder.log();
    ASSERT_GT(log.size(), 9u);
    EXPECT_EQ(view.rangeAt, 0u) << r.text;
    EXPECT_EQ(SeamLog(log.begin(), log.begin() + 3),
              (SeamLog{W(0x37A, 0x00), W(0x378, 0x00), W(0x379, 0x00)}))
        << r.text;
    std::vector<uint32_t> trials;
    for (std::size_t i = 3; i < 7; ++i) {
      if (log[i].kind == SeamEvent::Delay) trials.push_back(log[i].units);
    }
    EXPECT_EQ(trials, (std::vector<uint32_t>{100, 1000, 10000, 100000})) << r.text;
    EXPECT_EQ(view.texts, std::vector<std::string>{r.text});
    EXPECT_EQ(view.textsAt, std::vector<std::size_t>{7}) << r.text;
    EXPECT_EQ(log[7], W(0x37A, 0x10)) << r.text;
    EXPECT_EQ(log[8], W(0x378, 0x04)) << r.text;
  }
}

// The board is released before the lock bits are written in a reset of their own.
TEST_F(SettingsTransfer, UploadEndsWithReleaseThenFramedLockBits) {
  board = FactoryBoard();
  EXPECT_EQ(PushSettingsToBoard(view), 1);
  const std::vector<std::string> trace = Trace();
  std::size_t lastRead = 0;
  for (std::size_t i = 0; i < trace.size(); ++i) {
    if (trace[i].rfind("G ", 0) == 0) lastRead = i;
  }
  const std::vector<std::string> tail(trace.begin() + static_cast<long>(lastRead) + 1, trace.end());
  EXPECT_EQ(tail,
            (std::vector<std::string>{"RST-", "C 10", "RST+", "wait", "wait", "wait", "wait",
                                      "S AC", "S FF", "S FF", "wait", "wait", "wait", "RST-"}));
}

TEST_F(SettingsTransfer, ReadyCheckOnAddress19) {
  struct Case {
    uint8_t major;
    bool ready;
  };
  for (const Case c :
       {Case{0, false}, Case{1, true}, Case{10, true}, Case{11, false}, Case{0xFF, false}}) {
    for (const bool upload : {false, true}) {
      SetUp();
      board = SimBoard();
      LoadData(KnownBlock(c.major));
      const std::vector<uint8_t> before = Data(0, 31);
      for (int e = 1; e <= 31; ++e) SettingsArray[e] = 0x11;
      const int result = upload ? PushSettingsToBoard(view) : PullSettingsFromBoard(view);
      const std::string what = std::to_string(c.major) + (upload ? " upload" : " download");
      EXPECT_EQ(result, c.ready ? 1 : 0) << what;
      if (!c.ready) {
        EXPECT_EQ(DataWrites(), 0) << what;
        EXPECT_EQ(Data(0, 31), before) << what;
        EXPECT_EQ(Elements(1, 31), std::vector<uint8_t>(31, 0x11)) << what;
        EXPECT_FALSE(board.ResetHeld()) << what;
      }
    }
  }
}

TEST_F(SettingsTransfer, ReadBackMismatchStopsTheUploadWithoutLockBits) {
  LoadData(KnownBlock(2));
  board.FailWritesAt(Memory::Data, 7);
  for (int e = 1; e <= 31; ++e) SettingsArray[e] = static_cast<uint8_t>(e);
  SettingsArray[20] = 2;
  EXPECT_EQ(PushSettingsToBoard(view), 0);
  EXPECT_EQ(Data(0, 7), Elements(1, 7)) << "addresses 0-6 written and verified";
  const std::vector<uint8_t> old = KnownBlock(2);
  EXPECT_EQ(Data(7, 23), std::vector<uint8_t>(old.begin() + 7, old.end()));
  EXPECT_EQ(DataWrites(), 8);
  EXPECT_EQ(Count("AC FF FF"), 0);
  EXPECT_FALSE(board.ResetHeld());
}

TEST_F(SettingsTransfer, AbsentOrUnpoweredBoardFailsBothWays) {
  for (const BoardPower power : {BoardPower::Absent, BoardPower::Unpowered}) {
    for (const bool upload : {false, true}) {
      SetUp();
      board = FactoryBoard();
      board.SetPower(power);
      EXPECT_EQ(upload ? PushSettingsToBoard(view) : PullSettingsFromBoard(view), 0);
      EXPECT_EQ(SettingsArray[1], kUntouched);
    }
  }
}

// The board answers the ready check and a few bytes, then hangs with its line high or low.
TEST_F(SettingsTransfer, BoardThatStopsAnsweringMidDownloadFailsAndLeavesTheBlock) {
  for (const bool stuckLevel : {true, false}) {
    SetUp();
    board = FactoryBoard();
    board.StopAnsweringAfter(12, stuckLevel);
    EXPECT_EQ(PullSettingsFromBoard(view), 0);
    EXPECT_EQ(Elements(0, 32), std::vector<uint8_t>(32, kUntouched));
    EXPECT_EQ(view.positions.back(), 30) << "the bar still ran to the end";
  }
}

TEST_F(SettingsTransfer, WaitsFarTooShortFailVerificationTheCalibratedOnesSucceed) {
  struct Case {
    float multiplier;
    int result;
  };
  for (const Case c : {Case{0.1f, 0}, Case{1.0f, 1}, Case{2.5f, 1}}) {
    SetUp();
    board = FactoryBoard();
    EXPECT_EQ(PullSettingsFromBoard(view), 1);
    fDelayOffSet = c.multiplier;
    SettingsArray[3] = 25;  // dwell
    EXPECT_EQ(PushSettingsToBoard(view), c.result) << "x" << c.multiplier;
  }
}

// Per-operation costs of the link, from its bit timing: writes, reads, delay units, waits.
struct Cost {
  uint64_t writes = 0, reads = 0, units = 0, waits = 0;
  Cost operator+(const Cost& o) const {
    return {writes + o.writes, reads + o.reads, units + o.units, waits + o.waits};
  }
  Cost operator*(uint64_t n) const { return {writes * n, reads * n, units * n, waits * n}; }
};
constexpr Cost kWrite{1, 0, 0, 0};
constexpr Cost kSendByte{32, 0, 80, 0};
constexpr Cost kGetByte{16, 8, 56, 0};
constexpr Cost kWait3ms{0, 0, 0, 1};
const Cost kFramed = kWrite * 2 + kWait3ms * 4 + kSendByte * 3 + kWait3ms * 3;  // + clear_reset
const Cost kReadByte = kSendByte * 2 + kWait3ms * 2 + kGetByte;
const Cost kProgramByte = kSendByte * 3 + kWait3ms * 3 + kReadByte;
const Cost kRunStart = kWrite * 3 + kWrite /*control 0x10*/ + kWrite /*set_reset*/ + kFramed;
// Calibration on the simulated clock ends with the 100 000-unit trial: 3 000 units a wait.
constexpr uint64_t kCalibrationUnits = 100 + 1000 + 10000 + 100000;

TEST_F(SettingsTransfer, PortTrafficOfOneDownloadAndOneUpload) {
  board = FactoryBoard();
  recorder.recordDelays = false;
  struct Case {
    const char* name;
    int (*run)(OperationView&);
    Cost cost;
    uint64_t writes, reads, units;
  };
  // Download: ready check, 30 bytes and the ready byte again, then release.
  const Cost download = kRunStart + kReadByte * 32 + kWrite;
  // Upload: ready check, 31 verified bytes, release, lock bits (framed, released).
  const Cost upload = kRunStart + kReadByte + kProgramByte * 31 + kWrite + kFramed + kWrite;
  const Case cases[] = {
      {"download", PullSettingsFromBoard, download, 2664, 256, 331252},
      {"upload", PushSettingsToBoard, upload, 5739, 256, 638932},
  };
  for (const Case& c : cases) {
    recorder.writes = recorder.reads = recorder.delayUnits = 0;
    EXPECT_EQ(c.run(view), 1) << c.name;
    EXPECT_EQ(delay_const, 3000u);
    EXPECT_EQ(recorder.writes, c.cost.writes) << c.name;
    EXPECT_EQ(recorder.reads, c.cost.reads) << c.name;
    EXPECT_EQ(recorder.delayUnits, kCalibrationUnits + c.cost.units + c.cost.waits * 3000)
        << c.name;
    // The same figures as plain numbers.
    EXPECT_EQ(recorder.writes, c.writes) << c.name;
    EXPECT_EQ(recorder.reads, c.reads) << c.name;
    EXPECT_EQ(recorder.delayUnits, c.units) << c.name;
  }
}

}  // namespace
