// The firmware file reader: unscrambling, the records it parses and programs, the files it
// accepts and what it holds afterwards. What it refuses is in tests/board/FirmwareUploadTest.cpp,
// next to the board that must stay untouched.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/Globals.h"
#include "firmware/FileDecryption.h"
#include "link/Communication.h"
#include "sim/SimBoard.h"
#include "sim/SimPort.h"
#include "tests/firmware/FirmwareFiles.h"
#include "tests/support/CableTrace.h"
#include "tests/support/Recorders.h"

namespace {

TEST(OfwTable, UnscramblesTheSeventeenPairsAndLeavesEverythingElse) {
  const std::string scrambled = "KZXMQWRTYUPGHJLNV";
  const std::string plain = ":0123456789ABCDEF";
  for (std::size_t i = 0; i < plain.size(); ++i) {
    EXPECT_EQ(Unscramble(scrambled[i]), plain[i]) << scrambled[i];
    EXPECT_EQ(Scramble(plain[i]), scrambled[i]) << plain[i];
  }
  for (const char c : std::string("aksIOS:-+7")) EXPECT_EQ(Unscramble(c), c) << c;

  std::strcpy(currentline, "K:zKZQZZQZZZZMQQYGXN");
  Do_Magic(0);
  EXPECT_STREQ(encline, ":0300300002337A1E") << "the first three characters are dropped";
  Do_Magic(1);
  EXPECT_STREQ(encline, "");
  std::strcpy(currentline, "abc");
  Do_Magic(0);
  EXPECT_STREQ(encline, "");
}

TEST(OfwDigits, ConvertCharAndReadByte) {
  EXPECT_EQ(convert_char('7'), 7);
  EXPECT_EQ(convert_char('C'), 12);
  char text[] = "7C0F";
  char* p = text;
  EXPECT_EQ(read_byte(&p), 0x7C);
  EXPECT_EQ(p, text + 2);
  EXPECT_EQ(read_byte(&p), 0x0F);
}

class ParseLine : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobals();
    recorder.through = &sim;
    sim.Attach(&board);
    calculate_delay_const();
    set_reset();
    init_prog_mode();
    recorder.log().clear();
  }
  void TearDown() override { ResetGlobals(); }
  // The code-write instructions on the cable since SetUp.
  int CodeWrites() const {
    int n = 0;
    for (const std::string& i : Instructions(CableTrace(recorder.log(), 0x378, delay_const))) {
      n += (std::stoi(i.substr(0, 2), nullptr, 16) & 0x07) == 0x02 ? 1 : 0;
    }
    return n;
  }
  SimPort sim{base};
  RecordingPort recorder;
  ScopedCalibrationClock clock{&sim};
  SimBoard board;  // erased
};

TEST_F(ParseLine, ProgramsOnlyWholeSoundDataRecords) {
  struct Case {
    const char* record;
    int result;
    std::vector<std::pair<uint16_t, uint8_t>> programmed;
  };
  const Case cases[] = {
      {":00000001FF", 1, {}},
      {":0300300002337A1E", 2, {{0x30, 0x02}, {0x31, 0x33}, {0x32, 0x7A}}},
      {":0300300002337A2E", 0, {}},  // bad checksum: checked before any byte is written
      {"X0300300002337A1E", 0, {}},
      {":0300300002337a1e", 0, {}},
      {":030030", 0, {}},  // cut short: nothing is read past the end
      {":03003000023", 0, {}},
      {":", 0, {}},
      {"", 0, {}},
      {":020000040000FA", 2, {}},  // address and start records program nothing
      {":0400000300000000F9", 2, {}},
      {":00000001FF", 1, {}},
  };
  for (const Case& c : cases) {
    board = SimBoard();
    SetUp();
    char line[kLineBufferSize];
    std::strcpy(line, c.record);
    EXPECT_EQ(parse_line(line), c.result) << c.record;
    BoardMemories expected;
    for (const auto& [address, value] : c.programmed) expected.code[address] = value;
    EXPECT_EQ(board.Memories().code, expected.code) << c.record;
    EXPECT_EQ(CodeWrites(), static_cast<int>(c.programmed.size())) << c.record;
  }
}

TEST_F(ParseLine, AFailedReadBackStopsAtThatByteAndReleasesReset) {
  board.FailWritesAt(Memory::Code, 0x31);
  char line[] = ":0300300002337A1E";
  EXPECT_EQ(parse_line(line), 0);
  EXPECT_EQ(board.CodeByte(0x30), 0x02);
  EXPECT_EQ(board.CodeByte(0x32), 0xFF);
  EXPECT_EQ(CodeWrites(), 2);
  EXPECT_FALSE(board.ResetHeld());
}

// Files the reader takes, and the image it keeps: each record unscrambled, one a line.
TEST(FirmwareCheck, AcceptsWhatRealFilesHold) {
  const std::string data = ":0300300002337A1E";
  struct Case {
    const char* name;
    std::string text;
    std::vector<std::string> image;
  };
  const Case cases[] = {
      {"any three leading characters",
       OfwLine(data, "K:\x7f") + "\n" + OfwLine(kEndRecordText, "%$#") + "\n",
       {data, kEndRecordText}},
      {"records after the end record",
       OfwText({data, kEndRecordText, DataRecord(0x100, 2, 9)}),
       {data, kEndRecordText, DataRecord(0x100, 2, 9)}},
      {"address records with a zero value and start records",
       OfwText({":020000020000FC", ":020000040000FA", ":0400000300000000F9", ":0400000500000000F7",
                data, kEndRecordText}),
       {":020000020000FC", ":020000040000FA", ":0400000300000000F9", ":0400000500000000F7", data,
        kEndRecordText}},
      {"two records on one text line, CR LF, tabs and blank lines",
       "\r\n" + OfwLine(data) + " \t" + OfwLine(kEndRecordText) + "\r\n\r\n",
       {data, kEndRecordText}},
      {"a 120-byte record: a 254-character line",
       OfwText({DataRecord(0x1F00, 120, 1), kEndRecordText}),
       {DataRecord(0x1F00, 120, 1), kEndRecordText}},
      {"data up to the last code byte",
       OfwText({DataRecord(0x1FFD, 3, 2), kEndRecordText}),
       {DataRecord(0x1FFD, 3, 2), kEndRecordText}},
  };
  for (const Case& c : cases) {
    ScratchFile file(c.text);
    m_FWArray = "old";
    EXPECT_TRUE(Firmware_Validation_Check(file.path())) << c.name;
    std::string expected;
    for (const std::string& record : c.image) expected += record + "\n";
    EXPECT_EQ(m_FWArray, expected) << c.name;
  }
}

TEST(FirmwareCheck, KeepsTheRecordsBeforeTheFirstBadLine) {
  std::vector<std::string> records;
  for (int i = 0; i < 6; ++i) records.push_back(DataRecord(16 * i, 4, i));
  std::string text;
  for (int i = 0; i < 6; ++i) {
    std::string line = OfwLine(records[i]);
    if (i == 4) line[3] = ':';  // the fifth line lacks the scrambled mark
    text += line + "\n";
  }
  ScratchFile file(text);
  EXPECT_FALSE(Firmware_Validation_Check(file.path()));
  EXPECT_EQ(m_FWArray,
            records[0] + "\n" + records[1] + "\n" + records[2] + "\n" + records[3] + "\n");
  file.Write("00:" + records[0].substr(1) + "\n");
  EXPECT_FALSE(Firmware_Validation_Check(file.path()));
  EXPECT_EQ(m_FWArray, "");
  m_FWArray.clear();
}

TEST(FirmwareCheck, CountLinesCountsWhiteSpaceSeparatedLinesAndRewinds) {
  ScratchFile file("a b\n\n  c\t" + std::string(1000, 'd') + "\r\ne");
  std::FILE* f = std::fopen(file.path().c_str(), "r");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(count_lines(f), 5);
  EXPECT_EQ(std::ftell(f), 0);
  std::fclose(f);
}

}  // namespace
