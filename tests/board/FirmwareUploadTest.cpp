// The firmware update end to end, as the board command runs it: the file check, then the upload
// through the link into the simulated board.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Globals.h"
#include "board/BoardOperations.h"
#include "firmware/FileDecryption.h"
#include "link/Communication.h"
#include "sim/BoardFirmware.h"
#include "sim/BoardHex.h"
#include "sim/SimBoard.h"
#include "sim/SimPort.h"
#include "tests/firmware/FirmwareFiles.h"
#include "tests/support/CableTrace.h"
#include "tests/support/Recorders.h"

namespace {

struct RecordingView final : OperationView {
  int upper = -1;
  std::vector<int> positions;
  std::vector<std::string> texts;
  void SetProgressRange(uint16_t value) override { upper = value; }
  void SetProgressPos(int position) override { positions.push_back(position); }
  void ShowStatusText(const std::string& text) override { texts.push_back(text); }
};

// `lines` data records of 4 bytes, 16 bytes apart, then the end record.
std::vector<std::string> Image(int lines) {
  std::vector<std::string> records;
  for (int i = 0; i < lines; ++i) records.push_back(DataRecord(16 * i, 4, 4 * i + 1));
  records.push_back(kEndRecordText);
  return records;
}

// Erased code memory with `count` bytes from `seed` on at `address`, as DataRecord makes them.
struct Bytes {
  int address;
  int count;
  int seed;
};
std::array<uint8_t, kCodeSize> Code(const std::vector<Bytes>& runs) {
  BoardMemories memories;
  for (const Bytes& run : runs) {
    for (int i = 0; i < run.count; ++i) {
      memories.code[static_cast<std::size_t>(run.address + i)] = static_cast<uint8_t>(run.seed + i);
    }
  }
  return memories.code;
}
// What Image(lines) programs.
std::vector<Bytes> ImageBytes(int lines) {
  std::vector<Bytes> runs;
  for (int i = 0; i < lines; ++i) runs.push_back({16 * i, 4, 4 * i + 1});
  return runs;
}

class FirmwareUpload : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobals();
    board = FactoryBoard();
    sim.Attach(&board);
    recorder.through = &sim;
    recorder.log().clear();
    view = RecordingView();
  }
  void TearDown() override { ResetGlobals(); }

  // What "Update Firmware" does with a file: check it, and only then upload.
  int Update(const std::string& path) {
    if (!Firmware_Validation_Check(path)) return -1;
    return UploadFirmware(view, path);
  }
  std::vector<std::string> InstructionsSent() const {
    return Instructions(CableTrace(recorder.log(), 0x378, delay_const));
  }
  int LockBitInstructions() const {
    int n = 0;
    for (const std::string& i : InstructionsSent()) n += i == "AC FF FF" ? 1 : 0;
    return n;
  }

  SimPort sim{base};
  RecordingPort recorder;
  ScopedCalibrationClock clock{&sim};
  SimBoard board;
  RecordingView view;
};

TEST_F(FirmwareUpload, DemoImagesEndUpInTheBoardWhichStartsThem) {
  struct Case {
    const char* name;
    uint8_t minor;
  };
  for (const Case c : {Case{"orvanta-2.20", 20}, Case{"orvanta-2.05", 5}}) {
    SetUp();
    const std::string path = DemoFirmware(std::string(c.name) + ".ofw").string();
    ASSERT_EQ(Update(path), 1) << c.name;
    const std::string hex = ReadText(DemoFirmware(std::string(c.name) + ".hex"));
    EXPECT_EQ(board.Memories().code, ParseBoardHex(hex).memories.code) << c.name;
    EXPECT_EQ(InstructionsSent().back(), "AC FF FF") << c.name;
    EXPECT_EQ(LockBitInstructions(), 1) << c.name;
    EXPECT_FALSE(board.ResetHeld()) << c.name;
    EXPECT_EQ(board.DataByte(19), 2) << c.name;
    EXPECT_EQ(board.DataByte(20), c.minor) << c.name;
    EXPECT_EQ(board.DataByte(21), 1) << c.name;
    EXPECT_EQ(view.texts, (std::vector<std::string>{kUploadingFirmwareText})) << c.name;
    EXPECT_EQ(view.upper, 4) << c.name;
    EXPECT_EQ(view.positions, (std::vector<int>{0, 0, 1, 2, 3})) << c.name;
  }
}

TEST_F(FirmwareUpload, StepsInOrderQuietLinesEraseReleaseTwoWaitsEnableThenBytes) {
  ScratchFile file(OfwText({":0100000042BD", kEndRecordText}));
  ASSERT_EQ(Update(file.path()), 1);
  const std::vector<std::string> trace = CableTrace(recorder.log(), 0x378, delay_const);
  const std::vector<std::string> start(trace.begin(), trace.begin() + 29);
  // clang-format off
  const std::vector<std::string> expected = {
      "C 00",                                                             // quiet lines
      "C 10", "RST+", "wait", "wait", "wait", "wait",                     // programming enable
      "S AC", "S 53", "S FF", "wait", "wait", "wait",
      "C 10", "wait", "wait", "wait", "wait",                             // chip erase
      "S AC", "S 04", "S FF", "wait", "wait", "wait", "RST-",
      "wait", "wait",                                                     // released, two waits
      "C 10", "RST+"};                                                    // a new enable
  // clang-format on
  EXPECT_EQ(start, expected);
  std::vector<SeamEvent> writes;
  for (const SeamEvent& event : recorder.log()) {
    if (event.kind == SeamEvent::Write && writes.size() < 3) writes.push_back(event);
  }
  EXPECT_EQ(writes, (std::vector<SeamEvent>{W(0x37A, 0), W(0x378, 0), W(0x379, 0)}));
  EXPECT_NE(recorder.log()[0].kind, SeamEvent::Write) << "calibration comes first";
  EXPECT_EQ(InstructionsSent(), (std::vector<std::string>{"AC 53 FF", "AC 04 FF", "AC 53 FF",
                                                          "02 00 42", "01 00 <42", "AC FF FF"}));
  EXPECT_EQ(trace.back(), "RST-");
}

TEST_F(FirmwareUpload, RecordsAfterTheEndRecordAreProgrammedToo) {
  const std::vector<std::string> records = {DataRecord(0, 4, 1), kEndRecordText,
                                            DataRecord(0x40, 4, 9)};
  ScratchFile file(OfwText(records));
  ASSERT_EQ(Update(file.path()), 1);
  EXPECT_EQ(board.Memories().code, Code({{0, 4, 1}, {0x40, 4, 9}}));
  EXPECT_EQ(view.positions.back(), 2);
}

// A file that no longer holds what was checked: nothing reaches the board, not even the erase.
TEST_F(FirmwareUpload, AFileChangedSinceTheCheckNeverTouchesTheBoard) {
  const BoardMemories before = board.Memories();
  struct Case {
    const char* name;
    std::string laterText;  // empty: the file is gone
  };
  const Case cases[] = {
      {"grown", OfwText(Image(4)) + OfwLine(DataRecord(0x100, 1, 0)) + "\n"},
      {"shrunk", OfwText({Image(4)[0], kEndRecordText})},
      {"deleted", ""},
  };
  for (const Case& c : cases) {
    recorder.writes = 0;
    view = RecordingView();
    ScratchFile file(OfwText(Image(4)));
    ASSERT_TRUE(Firmware_Validation_Check(file.path()));
    const std::string image = m_FWArray;
    if (c.laterText.empty()) {
      std::filesystem::remove(file.path());
    } else {
      file.Write(c.laterText);
    }
    EXPECT_EQ(UploadFirmware(view, file.path()), 0) << c.name;
    EXPECT_EQ(recorder.writes, 0u) << c.name;
    EXPECT_EQ(board.Memories(), before) << c.name;
    EXPECT_TRUE(view.texts.empty()) << c.name << ": the connecting text stays";
    EXPECT_EQ(m_FWArray, image) << c.name;
  }
}

TEST_F(FirmwareUpload, AReadBackMismatchOnLine5StopsThereWithoutLockBits) {
  const std::vector<std::string> records = Image(8);
  board.FailWritesAt(Memory::Code, 16 * 5 + 2);  // the third byte of line 5
  ScratchFile file(OfwText(records));
  EXPECT_EQ(Update(file.path()), 0);
  std::vector<Bytes> done = ImageBytes(5);
  done.push_back({16 * 5, 2, 21});  // the two bytes before the mismatch
  EXPECT_EQ(board.Memories().code, Code(done));
  EXPECT_EQ(LockBitInstructions(), 0);
  EXPECT_FALSE(board.ResetHeld());
  EXPECT_EQ(view.positions.back(), 5);
}

TEST_F(FirmwareUpload, TheRetryAfterAFailureProgramsTheWholeImage) {
  const std::vector<std::string> records = Image(8);
  board.FailWritesAt(Memory::Code, 16 * 5 + 2);
  ScratchFile file(OfwText(records));
  ASSERT_TRUE(Firmware_Validation_Check(file.path()));
  const std::string image = m_FWArray;
  EXPECT_EQ(UploadFirmware(view, file.path()), 0);
  board.ClearFaults();
  view = RecordingView();
  EXPECT_EQ(UploadFirmware(view, file.path()), 1);
  EXPECT_EQ(board.Memories().code, Code(ImageBytes(8)));
  EXPECT_EQ(view.positions.front(), 0);
  EXPECT_EQ(view.positions.back(), 8);
  EXPECT_EQ(LockBitInstructions(), 1);
  EXPECT_EQ(m_FWArray, image) << "the image is kept for the next run";
}

// Every rule of the whole-file check: the file is refused with the line and the reason, and not
// a single port write is made for it.
TEST_F(FirmwareUpload, ARefusedFileNeverReachesTheBoard) {
  const std::string data = DataRecord(0, 4, 1);
  const std::string end = OfwLine(kEndRecordText) + "\n";
  const std::string first = OfwLine(data) + "\n";
  struct Case {
    std::string text;
    const char* message;
  };
  const Case cases[] = {
      {"", "line 1: the file holds no records"},
      {" \r\n\t\n", "line 1: the file holds no records"},
      {end, "line 2: the file holds no data bytes"},
      {first + first, "line 3: the file ends without an end record (type 01): it may be cut short"},
      {first + "abc\n" + end, "line 2: the fourth character of the line is not the record mark K"},
      {first + "000" + data + "\n" + end,
       "line 2: the fourth character of the line is not the record mark K"},
      {first + std::string(256, 'K') + "\n" + end,
       "line 2: the line is longer than 255 characters"},
      {first + "000K" + std::string(1, '\0') + "Z\n" + end,
       "line 2: the line holds a NUL character"},
      {OfwLine(":0400000000010203f6") + "\n" + end,
       "line 1: character 18 of the record is not an upper-case hex digit"},
      {OfwLine(":04000000000102S3F6") + "\n" + end,
       "line 1: character 16 of the record is not an upper-case hex digit"},
      {OfwLine(":04000000000102F6") + "\n" + end,
       "line 1: the byte count says 4 data bytes, the record holds 3"},
      {OfwLine(":0400000000010203F") + "\n" + end,
       "line 1: the record has 17 digits, not a whole record (at least 10, an even number)"},
      {OfwLine(":040000") + "\n" + end,
       "line 1: the record has 6 digits, not a whole record (at least 10, an even number)"},
      {OfwLine(":0400000000010203F7") + "\n" + end,
       "line 1: the checksum is F7, the record's bytes need F6"},
      {first + OfwLine(":00000006FA") + "\n" + end,
       "line 2: record type 06 is not an Intel HEX record type"},
      {first + OfwLine(":0100000100FE") + "\n",
       "line 2: a type 01 record holds 0 bytes, this one 1"},
      {first + OfwLine(":00000004FC") + "\n" + end,
       "line 2: a type 04 record holds 2 bytes, this one 0"},
      {OfwLine(":020000040001F9") + "\n" + first + end,
       "line 1: a type 04 record moves the addresses beyond the 8 KB code space"},
      {OfwLine(":020000021000EC") + "\n" + first + end,
       "line 1: a type 02 record moves the addresses beyond the 8 KB code space"},
      {first + OfwLine(DataRecord(0x1FFF, 2, 0)) + "\n" + end,
       "line 2: data at 0x1FFF-0x2000 lies beyond 0x1FFF, the end of the 8 KB code space"},
      {first + OfwLine(DataRecord(0xFFF0, 16, 0)) + "\n" + end,
       "line 2: data at 0xFFF0-0xFFFF lies beyond 0x1FFF, the end of the 8 KB code space"},
  };
  const BoardMemories before = board.Memories();
  for (const Case& c : cases) {
    ScratchFile file(c.text);
    EXPECT_EQ(Update(file.path()), -1) << c.message;
    std::string image;
    EXPECT_EQ(CheckFirmwareFile(file.path(), image).Message(), c.message);
  }
  EXPECT_EQ(recorder.writes, 0u);
  EXPECT_EQ(board.Memories(), before);
}

TEST_F(FirmwareUpload, ABadChecksumOnLine50IsFoundBeforeAnyErase) {
  std::vector<std::string> records = Image(59);
  records[49].back() = records[49].back() == '0' ? '1' : '0';
  ScratchFile file(OfwText(records));
  std::string image;
  EXPECT_EQ(CheckFirmwareFile(file.path(), image).Message().rfind("line 50: the checksum is", 0),
            0u);
  const BoardMemories before = board.Memories();
  EXPECT_EQ(Update(file.path()), -1);
  EXPECT_EQ(recorder.writes, 0u);
  EXPECT_EQ(board.Memories(), before);
}

}  // namespace
