// Packing Intel HEX into .ofw files and back, the demo firmware, and orvanta-ofw as a board maker
// runs it.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "firmware/FileDecryption.h"
#include "firmware/OfwTool.h"
#include "tests/support/FirmwareFiles.h"

namespace {

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

TEST(PackHex, UnpacksToTheRecordsSplittingWhatIsTooLongForALine) {
  const std::string end = kEndRecordText;
  struct Case {
    std::string hex;
    std::string image;
  };
  const Case cases[] = {
      {"\r\n:03003000"
       "02337a1e \r\n\r\n:00000001ff",
       Lines({":0300300002337A1E", end})},
      {Lines({":020000040000FA", end, ":0400000300000000F9", DataRecord(0x1FF0, 16, 1)}),
       Lines({":020000040000FA", end, ":0400000300000000F9", DataRecord(0x1FF0, 16, 1)})},
      {Lines({DataRecord(0x0100, 255, 0), end}),
       Lines({DataRecord(0x0100, 120, 0), DataRecord(0x0178, 120, 120), DataRecord(0x01F0, 15, 240),
              end})},
  };
  for (const Case& c : cases) {
    std::string ofw;
    const OfwReport packed = PackHex(c.hex, ofw);
    std::string image;
    const OfwReport checked = CheckFirmwareText(ofw, image);
    EXPECT_TRUE(checked.ok()) << checked.Message();
    EXPECT_EQ(packed.Message(), checked.Message());
    EXPECT_EQ(image, c.image);
  }
}

TEST(PackHex, RefusesWhatTheCheckRefusesWithTheSameReason) {
  const std::string data = DataRecord(0, 4, 1);
  const std::vector<std::string> files[] = {
      {data, ":0300300002337A2E", kEndRecordText},
      {data, DataRecord(0x1FFE, 3, 0), kEndRecordText},
      {data, data},
  };
  for (const std::vector<std::string>& records : files) {
    std::string ofw = "untouched";
    const OfwReport packed = PackHex(Lines(records), ofw);
    EXPECT_FALSE(packed.ok());
    EXPECT_EQ(ofw, "");
    std::string image;
    EXPECT_EQ(packed.Message(), CheckFirmwareText(OfwText(records), image).Message());
  }
}

TEST(DemoFirmware, EachOfwIsPackedFromTheHexBesideIt) {
  for (const std::string name : {"orvanta-2.20", "orvanta-2.05"}) {
    std::string ofw;
    PackHex(ReadText(DemoFirmware(name + ".hex")), ofw);
    EXPECT_EQ(ofw, ReadText(DemoFirmware(name + ".ofw"))) << name;
  }
}

TEST(OfwTool, CommandsExitStatusAndOneLineAnswers) {
  ScratchFile hex(ReadText(DemoFirmware("orvanta-2.20.hex")), "in.hex");
  const std::string ofw = hex.Beside("out.ofw");
  const std::string folder = hex.Beside("folder.hex");
  std::filesystem::create_directory(folder);
  const std::string summary =
      ": 4 records, 17 data bytes at 0x0000-0x1FFF, firmware 2.20 for an Orvanta board\n";
  const std::string usage =
      "usage: orvanta-ofw pack IN.hex OUT.ofw | unpack IN.ofw OUT.hex | check FILE.ofw [--json]\n"
      "       orvanta-ofw flash FILE.ofw|FILE.hex | download OUT.osf | upload IN.osf | cables\n"
      "       [options]\n"
      "       orvanta-ofw help [COMMAND] | --help | --version\n";
  const std::string help =
      "orvanta-ofw makes, reads and checks Orvanta firmware files (.ofw), and flashes\n"
      "and reads boards without the window.\n"
      "\n"
      "  orvanta-ofw pack IN.hex OUT.ofw    scramble Intel HEX into a firmware file\n"
      "  orvanta-ofw unpack IN.ofw OUT.hex  turn a firmware file back into Intel HEX\n"
      "  orvanta-ofw check FILE.ofw         check a firmware file as an update does\n"
      "  orvanta-ofw flash FILE.ofw         check it, then program and verify a board\n"
      "  orvanta-ofw download OUT.osf       write the board's settings to OUT.osf\n"
      "  orvanta-ofw upload IN.osf          put the settings of IN.osf on the board\n"
      "  orvanta-ofw cables                 list the USB cables (FT232R) plugged in\n"
      "  orvanta-ofw help COMMAND           more about one command (or COMMAND --help)\n"
      "  orvanta-ofw --version              the version, for a production log\n"
      "\n"
      "pack reads the Intel HEX an 8051 toolchain writes: records of up to 255 data\n"
      "bytes (longer data records are split so that every line stays within 255\n"
      "characters), record types 00-05, upper- or lower-case digits, LF or CR LF line\n"
      "ends. It refuses what a firmware update would refuse and says which line is\n"
      "wrong and why. flash takes such a file (.hex) as well. An output named - is\n"
      "standard output.\n"
      "\n"
      "flash, download and upload take these options, in any order after the command:\n"
      "  --port PORT       0x378, 0x278, an address in hexadecimal, usb (the first USB\n"
      "                    cable found) or usb:SERIAL (the USB cable with that serial\n"
      "                    number); else the choice kept in ConnSettings.dat in the\n"
      "                    current folder, else 0x378\n"
      "  --simulate DIR    the simulated board kept in DIR/SimulatedBoard.hex\n"
      "  --simfault FAULT  with --simulate: absent, unpowered, flaky, stuck@K, dies@N\n"
      "                    or nousb\n"
      "  --fast            read each written byte back until the chip has taken it\n"
      "  --delaymult X     every calibrated wait times X (above 0, at most 100)\n"
      "  --json            one JSON object on standard output instead of the line\n"
      "On a terminal, a line on standard error shows how far the board is. At the end\n"
      "one line on standard output says what was done or that it failed, and standard\n"
      "error why.\n"
      "\n"
      "Exit status: 0 done; 1 a file or the board said no (a file was refused or could\n"
      "not be read or written, the board did not answer or refused, or a port could\n"
      "not be opened); 2 the arguments were not understood; 130 or 143 stopped by\n"
      "Ctrl-C or SIGTERM.\n";
  const std::string notRegular = "it is not a regular file\n";
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string err;
  };
  const Case cases[] = {
      {{"pack", hex.path(), ofw}, 0, ofw + summary, ""},
      {{"unpack", ofw, hex.Beside("back.hex")}, 0, hex.Beside("back.hex") + summary, ""},
      // "-" is standard output: the file goes there and the summary to standard error.
      {{"unpack", ofw, "-"}, 0, ReadText(DemoFirmware("orvanta-2.20.hex")), "-" + summary},
      {{"check", hex.path()},
       1,
       "",
       hex.path() + ": line 1: the fourth character of the line is not the record mark K\n"},
      {{"check"}, 2, "", usage},
      {{"--help"}, 0, help, ""},
      {{"-h"}, 0, help, ""},
      {{"--help", "flash"}, 2, "", usage},
      {{"--simulate", ".", "flash", "orvanta-2.20.ofw"}, 2, "", usage},
      // What cannot be read is refused for that, not taken as an empty file; nor is anything
      // but a regular file read, which could keep the tool waiting or reading for ever.
      {{"pack", folder, ofw}, 1, "", folder + ": the file cannot be opened: Is a directory\n"},
#ifdef _WIN32
      // Windows' null device; it has no endless one like /dev/zero.
      {{"pack", "NUL", ofw}, 1, "", "NUL: the file cannot be opened: " + notRegular},
#else
      {{"pack", "/dev/null", ofw}, 1, "", "/dev/null: the file cannot be opened: " + notRegular},
      {{"check", "/dev/zero"}, 1, "", "/dev/zero: the file cannot be opened: " + notRegular},
      {{"unpack", "/dev/zero", ofw}, 1, "", "/dev/zero: the file cannot be opened: " + notRegular},
#endif
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunOfwTool(c.args, out, err), c.status) << c.args[0];
    EXPECT_EQ(out.str(), c.out);
    EXPECT_EQ(err.str(), c.err);
  }
  // The help fits a terminal of 80 columns.
  std::istringstream helpLines(help);
  for (std::string line; std::getline(helpLines, line);) EXPECT_LE(line.size(), 79u) << line;
  EXPECT_EQ(ReadText(ofw), ReadText(DemoFirmware("orvanta-2.20.ofw")));
  EXPECT_EQ(ReadText(hex.Beside("back.hex")), ReadText(DemoFirmware("orvanta-2.20.hex")));
}

}  // namespace

// A production log parses each line as JSON, whatever bytes a file's name holds.
TEST(OfwTool, JsonTextsStayJsonWhateverTheirBytes) {
  const struct {
    std::string file;
    std::string json;
  } cases[] = {
      {"a\"b\\c\x01.ofw", R"(a\"b\\c\u0001.ofw)"},
      {"Zo\xC3\xAB \xE6\x9D\xB1.ofw", "Zo\xC3\xAB \xE6\x9D\xB1.ofw"},
      {"M\xFCller.ofw", R"(M\ufffdller.ofw)"},                        // Latin-1
      {"cut\xE6\x9D", R"(cut\ufffd\ufffd)"},                          // a sequence cut short
      {"\xC0\xAF\xED\xA0\x80", R"(\ufffd\ufffd\ufffd\ufffd\ufffd)"},  // overlong, surrogate
      {"\xF0\x9F\x98\x80\xF4\x90\x80\x80", "\xF0\x9F\x98\x80\\ufffd\\ufffd\\ufffd\\ufffd"},
  };
  for (const auto& c : cases) {
    ToolRecord record;
    record.command = "check";
    record.file = c.file;
    const std::string json = ToolRecordJson(record);
    EXPECT_EQ(json.substr(0, json.find("\",\"sha256\"")),
              "{\"command\":\"check\",\"file\":\"" + c.json)
        << c.json;
  }
}
