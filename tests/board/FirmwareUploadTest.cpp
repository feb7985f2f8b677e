// The firmware update as the board command runs it, the file check and then the upload, through
// the link into the simulated board.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/Globals.h"
#include "board/BoardOperations.h"
#include "firmware/FileDecryption.h"
#include "link/Communication.h"
#include "sim/BoardFirmware.h"
#include "sim/BoardHex.h"
#include "sim/SimPort.h"
#include "sim/SimulatedCable.h"
#include "tests/support/CableTrace.h"
#include "tests/support/FirmwareFiles.h"
#include "tests/support/Recorders.h"
#include "tests/support/RecordingView.h"

namespace {

// Line i of an image: 4 bytes at 16 * i, from 4 * i + 1 on; `lines` of them, then the end record.
std::vector<std::string> Image(int lines) {
  std::vector<std::string> records;
  for (int i = 0; i < lines; ++i) records.push_back(DataRecord(16 * i, 4, 4 * i + 1));
  records.push_back(kEndRecordText);
  return records;
}

// Erased code memory holding the first `lines` lines of an image.
std::array<uint8_t, kCodeSize> ImageCode(int lines) {
  BoardMemories memories;
  for (int i = 0; i < 4 * lines; ++i) memories.code[16u * (i / 4) + i % 4] = uint8_t(i + 1);
  return memories.code;
}

class FirmwareUpload : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobals();
    board = FactoryBoard();
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
  std::vector<std::string> Sent() const {
    return Instructions(CableTrace(recorder.log(), 0x378, delay_const));
  }

  SimulatedCable cable{base};
  SimPort& sim = cable.Port();
  SimBoard& board = cable.Board();
  RecordingPort recorder;
  RecordingView view;
};

TEST_F(FirmwareUpload, DemoImagesEndUpInTheBoardWhichStartsThem) {
  for (const auto& [name, minor] : {std::pair{"orvanta-2.20", 20}, std::pair{"orvanta-2.05", 5}}) {
    SetUp();
    ASSERT_EQ(Update(DemoFirmware(std::string(name) + ".ofw").string()), 1) << name;
    const std::string hex = ReadText(DemoFirmware(std::string(name) + ".hex"));
    EXPECT_EQ(board.Memories().code, ParseBoardHex(hex).memories.code) << name;
    EXPECT_EQ(Sent().back(), "AC FF FF") << name;
    EXPECT_EQ(board.LockBitWrites(), 1) << name;
    EXPECT_FALSE(board.ResetHeld()) << name;
    EXPECT_EQ(board.DataByte(19), 2) << name;
    EXPECT_EQ(board.DataByte(20), minor) << name;
    EXPECT_EQ(board.DataByte(21), 1) << name;
    EXPECT_EQ(view.texts, (std::vector<std::string>{kUploadingFirmwareText})) << name;
    EXPECT_EQ(view.upper, 4) << name;
    EXPECT_EQ(view.positions, (std::vector<int>{0, 0, 1, 2, 3})) << name;
  }
}

// The order of the steps, with a record after the end record, which is programmed too.
TEST_F(FirmwareUpload, QuietLinesEraseReleaseTwoWaitsEnableEveryRecordLockBits) {
  ScratchFile file(OfwText({":0100000042BD", kEndRecordText, ":0100010043BB"}));
  ASSERT_EQ(Update(file.path()), 1);
  const SeamLog& log = recorder.log();
  EXPECT_NE(log[0].kind, SeamEvent::Write) << "calibration comes first";
  const auto firstWrite = std::find_if(
      log.begin(), log.end(), [](const SeamEvent& e) { return e.kind == SeamEvent::Write; });
  const SeamEvent quiet[] = {W(0x37A, 0), W(0x378, 0), W(0x379, 0)};
  EXPECT_TRUE(std::equal(std::begin(quiet), std::end(quiet), firstWrite));
  const std::vector<std::string> trace = CableTrace(log, 0x378, delay_const);
  const std::vector<std::string> erase = {"S 04", "S FF", "wait", "wait", "wait",
                                          "RST-", "wait", "wait", "C 10", "RST+"};
  EXPECT_NE(std::search(trace.begin(), trace.end(), erase.begin(), erase.end()), trace.end());
  EXPECT_EQ(Sent(), (std::vector<std::string>{"AC 53 FF", "AC 04 FF", "AC 53 FF", "02 00 42",
                                              "01 00 <42", "02 01 43", "01 01 <43", "AC FF FF"}));
  EXPECT_EQ(trace.back(), "RST-");
}

// The bar counts every line of a file longer than 16 bits count, however far the board gets.
TEST_F(FirmwareUpload, TheBarCountsEveryLineOfALongFile) {
  std::vector<std::string> records(65536, ":0100000042BD");
  records.push_back(kEndRecordText);
  ScratchFile file(OfwText(records));
  board.SetPower(BoardPower::Absent);
  EXPECT_EQ(Update(file.path()), 0);
  EXPECT_EQ(view.upper, 65537);
}

// A file that no longer holds what was checked: nothing reaches the board, not even the erase.
TEST_F(FirmwareUpload, AFileChangedSinceTheCheckNeverTouchesTheBoard) {
  const BoardMemories before = board.Memories();
  for (const std::string& later : {OfwText(Image(5)), OfwText(Image(3)), std::string()}) {
    ScratchFile file(OfwText(Image(4)));
    ASSERT_TRUE(Firmware_Validation_Check(file.path()));
    const std::string image = m_FWArray;
    if (later.empty()) {
      std::filesystem::remove(file.path());
    } else {
      file.Write(later);
    }
    EXPECT_EQ(UploadFirmware(view, file.path()), 0);
    EXPECT_EQ(recorder.writes, 0u);
    EXPECT_EQ(board.Memories(), before);
    EXPECT_TRUE(view.texts.empty()) << "the connecting text stays";
    EXPECT_EQ(m_FWArray, image);
  }
  // Replaced by a named pipe: refused before the first port write, without waiting for a writer
  // (in a child process that an alarm ends, should it wait). Windows keeps no named pipes among
  // its files.
#ifndef _WIN32
  ScratchFile file(OfwText(Image(4)));
  ASSERT_TRUE(Firmware_Validation_Check(file.path()));
  std::filesystem::remove(file.path());
  ASSERT_EQ(mkfifo(file.path().c_str(), 0600), 0);
  EXPECT_EXIT(
      {
        alarm(5);
        std::_Exit(UploadFirmware(view, file.path()) == 0 && recorder.writes == 0 ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
#endif
}

// A read-back mismatch on line 5 stops there; the retry programs the whole image again.
TEST_F(FirmwareUpload, AFailureOnLine5StopsThereAndTheRetryProgramsEverything) {
  board.FailWritesAt(Memory::Code, 16 * 5 + 2);  // the third byte of line 5
  ScratchFile file(OfwText(Image(8)));
  EXPECT_EQ(Update(file.path()), 0);
  std::array<uint8_t, kCodeSize> partial = ImageCode(5);
  partial[16 * 5] = 21;
  partial[16 * 5 + 1] = 22;
  EXPECT_EQ(board.Memories().code, partial);
  EXPECT_EQ(board.LockBitWrites(), 0);
  EXPECT_FALSE(board.ResetHeld());
  EXPECT_EQ(view.positions.back(), 5);

  board.ClearFaults();
  view = RecordingView();
  EXPECT_EQ(UploadFirmware(view, file.path()), 1);
  EXPECT_EQ(board.Memories().code, ImageCode(8));
  EXPECT_EQ(view.positions, (std::vector<int>{0, 0, 1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(board.LockBitWrites(), 1);
}

// Every rule of the whole-file check: the file is refused with its line and reason, and not one
// port write is made for it.
TEST_F(FirmwareUpload, ARefusedFileNeverReachesTheBoard) {
  const std::string data = OfwLine(DataRecord(0, 4, 1)) + "\n";
  const std::string end = OfwLine(kEndRecordText) + "\n";
  const auto bad = [&](const std::string& record) { return data + OfwLine(record) + "\n" + end; };
  const std::pair<std::string, const char*> cases[] = {
      {" \r\n\t", "line 1: the file holds no records"},
      {end, "line 2: the file holds no data bytes"},
      {data + data, "line 3: the file ends without an end record (type 01): it may be cut short"},
      {data + "abc\n" + end, "line 2: the fourth character of the line is not the record mark K"},
      {data + std::string(256, 'K') + "\n" + end, "line 2: the line is longer than 255 characters"},
      {data + "000K" + std::string(1, '\0') + "\n" + end, "line 2: the line holds a NUL character"},
      {bad(":0400000000010203f6"),
       "line 2: character 18 of the record is not an upper-case hex digit"},
      {bad(":04000000000102F6"), "line 2: the byte count says 4 data bytes, the record holds 3"},
      {bad(":040000"),
       "line 2: the record has 6 digits, not a whole record (at least 10, an even number)"},
      {bad(":0400000000010203F7"), "line 2: the checksum is F7, the record's bytes need F6"},
      {bad(":00000006FA"), "line 2: record type 06 is not an Intel HEX record type"},
      {bad(":00000004FC"), "line 2: a type 04 record holds 2 bytes, this one 0"},
      {bad(":020000021000EC"),
       "line 2: a type 02 record must hold 0000: the 8 KB code space needs no address extension"},
      {bad(DataRecord(0x1FFF, 2, 0)),
       "line 2: data at 0x1FFF-0x2000 lies beyond 0x1FFF, the end of the 8 KB code space"},
      {OfwText(std::vector<std::string>(48, DataRecord(0, 4, 1))) + bad(":0400000000010203F7"),
       "line 50: the checksum is F7, the record's bytes need F6"},
  };
  const BoardMemories before = board.Memories();
  for (const auto& [text, message] : cases) {
    ScratchFile file(text);
    EXPECT_EQ(Update(file.path()), -1) << message;
    std::string image;
    EXPECT_EQ(CheckFirmwareFile(file.path(), image).Message(), message);
  }
  EXPECT_EQ(recorder.writes, 0u);
  EXPECT_EQ(board.Memories(), before);
}

}  // namespace
