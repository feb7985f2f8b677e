// The firmware file reader: unscrambling, the records it programs, the files it takes. What it
// refuses is tested in tests/board/FirmwareUploadTest.cpp, beside the board that must stay as it
// is.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/Globals.h"
#include "firmware/FileDecryption.h"
#include "link/Communication.h"
#include "sim/SimBoard.h"
#include "sim/SimPort.h"
#include "sim/SimulatedCable.h"
#include "tests/support/FirmwareFiles.h"
#include "tests/support/Recorders.h"

namespace {

TEST(OfwTable, TheSeventeenPairsTheDigitsAndDoMagic) {
  const std::string scrambled = "KZXMQWRTYUPGHJLNV";
  const std::string plain = ":0123456789ABCDEF";
  for (std::size_t i = 0; i < plain.size(); ++i) {
    EXPECT_EQ(Unscramble(scrambled[i]), plain[i]);
    EXPECT_EQ(Scramble(plain[i]), scrambled[i]);
  }
  for (const char c : std::string("akIOS-7")) EXPECT_EQ(Unscramble(c), c);
  EXPECT_EQ(convert_char('7'), 7);
  EXPECT_EQ(convert_char('C'), 12);

  std::strcpy(currentline, "K:zKZQZZQZZZZMQQYGXN");
  Do_Magic(0);
  EXPECT_STREQ(encline, ":0300300002337A1E") << "the first three characters are dropped";
  Do_Magic(1);
  EXPECT_STREQ(encline, "");
}

TEST(ParseLine, ProgramsOnlyWholeSoundDataRecords) {
  struct Case {
    const char* record;
    int result;
    int bytesProgrammed;
  };
  const Case cases[] = {
      {":00000001FF", 1, 0},
      {":0300300002337A1E", 2, 3},
      {":0300300002337A2E", 0, 0},  // bad checksum: found before any byte is written
      {"X0300300002337A1E", 0, 0},
      {":0300300002337a1e", 0, 0},
      {":03003000023", 0, 0},        // cut short: nothing is read past its end
      {":0300300002337A1E0", 0, 0},  // an odd digit left over
      {"", 0, 0},
      {":020000040000FA", 2, 0},  // address and start records program nothing
      {":0400000300000000F9", 2, 0},
  };
  ResetGlobals();
  SimulatedCable cable(base);
  RecordingPort port;  // installs itself and forwards to the simulated board
  port.through = &cable.Port();
  calculate_delay_const();
  for (const Case& c : cases) {
    SimBoard& board = cable.Board();
    board = SimBoard();  // an erased chip for each record
    init_prog_mode();
    char line[kLineBufferSize];
    std::strcpy(line, c.record);
    EXPECT_EQ(parse_line(line), c.result) << c.record;
    BoardMemories expected;
    const uint8_t bytes[] = {0x02, 0x33, 0x7A};
    std::copy_n(bytes, c.bytesProgrammed, expected.code.begin() + 0x30);
    EXPECT_EQ(board.Memories(), expected) << c.record;
  }
  ResetGlobals();
}

// Any three leading characters, any white space between lines; a refused file leaves the records
// before its bad line.
TEST(FirmwareCheck, TakesWhatRealFilesHoldAndKeepsTheImage) {
  const std::string data = ":0300300002337A1E";
  const std::string end = kEndRecordText;
  ScratchFile file("");
  // Every white-space character of the C library separates lines.
  for (const char* space : {" ", "\t", "\n", "\v", "\f", "\r", "\r\n\r\n"}) {
    file.Write(space + OfwLine(data, "K:\x7f") + space + OfwLine(end, "%$#") + space);
    EXPECT_TRUE(Firmware_Validation_Check(file.path())) << int(space[0]);
    EXPECT_EQ(m_FWArray, data + "\n" + end + "\n") << int(space[0]);
  }
  file.Write(OfwText({data, data, data, data}) + "000" + data + "\n" + OfwLine(end));
  EXPECT_FALSE(Firmware_Validation_Check(file.path()));
  EXPECT_EQ(m_FWArray, data + "\n" + data + "\n" + data + "\n" + data + "\n");
  m_FWArray.clear();
}

// Only a regular file is read: a named pipe would wait for a writer forever and a device may never
// end. Each case runs in a child process that an alarm ends, so that a regression fails instead of
// hanging the suite. Not on Windows: named pipes among the files, /dev/zero and alarm are Linux's.
#ifndef _WIN32
TEST(FirmwareCheckDeathTest, WhatIsNotARegularFileIsRefusedAtOnce) {
  const ScratchFile file(OfwText({kEndRecordText}));
  const std::string pipe = file.Beside("pipe.ofw");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const std::string notRegular = "the file cannot be opened: it is not a regular file";
  const struct {
    std::string path;
    std::string reason;
  } cases[] = {
      {pipe, notRegular},
      {"/dev/zero", notRegular},
      {file.Beside("."), "the file cannot be opened: Is a directory"},
  };
  for (const auto& c : cases) {
    EXPECT_EXIT(
        {
          alarm(5);
          std::string image;
          const OfwReport report = CheckFirmwareFile(c.path, image);
          std::fputs(report.Message().c_str(), stderr);
          std::_Exit(report.Message() == c.reason && !Firmware_Validation_Check(c.path) ? 0 : 1);
        },
        testing::ExitedWithCode(0), "")
        << c.path;
  }
}

// Reading stops at the first line longer than 255 characters: /dev/zero is one endless line.
TEST(FirmwareCheckDeathTest, ReadingStopsAtTheFirstLineTooLong) {
  EXPECT_EXIT(
      {
        alarm(5);
        std::FILE* zero = std::fopen("/dev/zero", "r");
        std::_Exit(zero != nullptr && count_lines(zero) == 1 ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}
#endif

}  // namespace
