// orvanta-ofw's board commands end to end: the built program on the simulated board kept in a
// scratch folder, as a board maker's script runs it.
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/BoardTool.h"
#include "app/Globals.h"
#include "app/ProgressLine.h"
#include "link/Communication.h"
#include "platform/Sha256.h"
#include "sim/BoardHex.h"
#include "sim/BoardStore.h"
#include "sim/SimFaults.h"
#include "sim/SimulatedCable.h"
#include "tests/support/FirmwareFiles.h"
#ifndef _WIN32
#include "tests/support/ReadOnlyFolder.h"
#endif
#include "tests/support/ToolRun.h"

namespace {

namespace fs = std::filesystem;

const std::string kDemo220 = DemoFirmware("orvanta-2.20.ofw").string();
const std::string kDemo205 = DemoFirmware("orvanta-2.05.ofw").string();
// What a factory-fresh simulated board downloads as.
const std::string kFactoryFile =
    "0:0\r\n1:0\r\n2:2\r\n3:4\r\n4:10\r\n5:1-5\r\n6:0\r\n7:0\r\n8:0\r\n9:05\r\n10:00\r\n"
    "11:0\r\n12:0\r\n13:0\r\n14:1\r\n15:2\r\n16:3\r\n17:5\r\n18:65535\r\n";

class BoardTool : public ::testing::Test {
 protected:
  ToolRun Run(std::vector<std::string> args) const { return RunOrvantaOfw(dir.Path(), args); }
  // A board command on the simulated board in the scratch folder.
  ToolRun OnBoard(std::vector<std::string> args) const {
    args.insert(args.end(), {"--simulate", dir.Path().string()});
    return Run(args);
  }
  std::string Read(const std::string& name) const { return ReadText(dir.Path() / name); }
  void Write(const std::string& name, const std::string& text) const {
    WriteText(dir.Path() / name, text);
  }

  ScratchDirectory dir{"board-tool"};
};

// Line `n` of a settings file replaced by `line`.
std::string WithLine(const std::string& file, int n, const std::string& line) {
  std::string text = file;
  const std::string key = "\n" + std::to_string(n) + ":";
  const std::size_t start = n == 0 ? 0 : text.find(key) + 1;
  const std::size_t end = text.find("\r\n", start);
  return text.replace(start, end - start, line);
}

TEST_F(BoardTool, FlashLeavesTheDemoImageInCodeMemoryOnEveryCable) {
  const std::string hex = DemoFirmware("orvanta-2.20.hex").string();
  const auto image = ParseBoardHex(ReadText(hex)).memories.code;
  // The firmware file first; Intel HEX goes on as the firmware file packed from it.
  const std::vector<std::vector<std::string>> options = {{kDemo220},
                                                         {kDemo220, "--fast"},
                                                         {kDemo220, "--port=usb", "--fast"},
                                                         {kDemo220, "--delaymult", "+2.5"},
                                                         {hex}};
  for (const std::vector<std::string>& extra : options) {
    fs::remove(dir.Path() / kBoardFileName);
    std::vector<std::string> args = {"flash"};
    args.insert(args.end(), extra.begin(), extra.end());
    const ToolRun run = OnBoard(args);
    const std::string shown = extra.back();
    EXPECT_EQ(run.status, 0) << shown << run.err;
    EXPECT_EQ(run.out, extra.front() +
                           ": flashed and verified, 4 records, 17 data bytes at "
                           "0x0000-0x1FFF, firmware 2.20 for an Orvanta board\n")
        << shown;
    EXPECT_EQ(run.err, "") << "no progress line off a terminal";
    EXPECT_EQ(KeptBoard(dir.Path()).code, image) << shown;
  }
}

TEST_F(BoardTool, AnEditedFileUploadedComesBackFromTheBoard) {
  ASSERT_EQ(OnBoard({"flash", kDemo220}).status, 0);
  const ToolRun first = OnBoard({"download", "first.osf"});
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, "first.osf: downloaded, firmware 2.20, Orvanta board\n");
  const BoardMemories before = KeptBoard(dir.Path());

  std::string edited = WithLine(Read("first.osf"), 2, "2:5");  // 24 bps
  edited = WithLine(edited, 5, "5:0-0");                       // bypass the eye
  edited = WithLine(edited, 18, "18:7");
  Write("edited.osf", edited);
  const ToolRun upload = OnBoard({"upload", "edited.osf"});
  ASSERT_EQ(upload.status, 0) << upload.err;
  EXPECT_EQ(upload.out, "edited.osf: uploaded, firmware 2.20, Orvanta board\n");

  ASSERT_EQ(OnBoard({"download", "again.osf"}).status, 0);
  EXPECT_EQ(Read("again.osf"), edited);
  const BoardMemories after = KeptBoard(dir.Path());
  for (const int kept : {16, 17, 18, 19, 20, 21, 25, 26, 27}) {
    EXPECT_EQ(after.data[kept], before.data[kept]) << "data byte " << kept;
  }
}

struct Refusal {
  const char* name;
  std::vector<std::string> setUp;  // a command run first, on the same board
  std::vector<std::string> args;
  std::string err;  // the start of standard error
  std::string out;
};

TEST_F(BoardTool, EachRefusalSaysWhyAndExitsWithOne) {
  const std::string kIncomplete =
      "Incomplete Settings: Invalid Settings Found. Please make sure your selections are valid "
      "and complete. (Rate of Fire (ROF))\n";
  const std::string kReadFailed =
      "Board Read Failed: Unable to read settings from board. Make sure the programming cable is "
      "plugged in, and the power is on.";
  const Refusal cases[] = {
      {"bad firmware file",
       {},
       {"flash", "bad.ofw"},
       "bad.ofw: Bad Firmware File: The firmware you have selected does not appear valid. (line 1:",
       "bad.ofw: flash failed: Bad Firmware File\n"},
      {"a setting outside its list",
       {},
       {"upload", "incomplete.osf"},
       "incomplete.osf: Bad Settings File: line 3: 9 is not from 0 to 7\n",
       "incomplete.osf: upload failed: Bad Settings File\n"},
      {"incomplete block on the board",
       {"upload", "odd.osf"},
       {"download", "out.osf"},
       "out.osf: " + kIncomplete,
       "out.osf: download failed: Incomplete Settings\n"},
      {"folder of the settings file missing",
       {},
       {"download", "none/out.osf"},
       "none/out.osf: Save Settings Failed: Unable to create settings file. Your settings can not "
       "be saved. (the file cannot be written: No such file or directory)\n",
       "none/out.osf: download failed: Save Settings Failed\n"},
      {"settings file missing",
       {},
       {"upload", "none.osf"},
       "none.osf: Open Settings Failed: the file cannot be opened: No such file or directory\n",
       "none.osf: upload failed: Open Settings Failed\n"},
      {"firmware too old",
       {"flash", kDemo205},
       {"upload", "good.osf"},
       "good.osf: New Firmware Required: You do not have the minimum required firmware version on "
       "your board to use this software. You currently have 2.05, and 2.11 is required. You must "
       "update your firmware before you can upload new settings to the board.\n",
       "good.osf: upload failed: New Firmware Required\n"},
      {"board not answering",
       {},
       {"download", "out.osf", "--simfault", "absent"},
       "out.osf: " + kReadFailed + "\n",
       "out.osf: download failed: Board Read Failed\n"},
      {"board not answering a flash",
       {},
       {"flash", kDemo220, "--simfault", "unpowered"},
       kDemo220 + ": Firmware Upload Failed: Unable to write firmware to the board. Make sure "
                  "the programming cable is plugged in, and the power is on.\n",
       kDemo220 + ": flash failed: Firmware Upload Failed\n"},
      {"a byte that does not verify",
       {},
       {"flash", kDemo220, "--simfault", "stuck@3"},
       kDemo220 + ": Firmware Upload Failed: Unable to write firmware to the board.",
       kDemo220 + ": flash failed: Firmware Upload Failed\n"},
      {"board dying in an upload",
       {},
       {"upload", "good.osf", "--simfault", "dies@40"},
       "good.osf: Settings Upload Failed: Unable to write settings to the board.",
       "good.osf: upload failed: Settings Upload Failed\n"},
      {"port cannot be opened",
       {},
       {"download", "out.osf", "--port", "usb", "--simfault", "nousb"},
       "out.osf: " + kReadFailed +
           " No USB cable (FT232R) was found. Plug it in, or choose a parallel port with --port.\n",
       "out.osf: download failed: Board Read Failed\n"},
  };
  for (const Refusal& c : cases) {
    fs::remove(dir.Path() / kBoardFileName);
    Write("bad.ofw", "this is no firmware\n");
    Write("good.osf",
          "0:0\r\n1:0\r\n2:2\r\n3:4\r\n4:10\r\n5:1-5\r\n6:0\r\n7:0\r\n8:0\r\n9:05\r\n"
          "10:00\r\n11:0\r\n12:0\r\n13:0\r\n14:1\r\n15:2\r\n16:3\r\n17:5\r\n18:18\r\n");
    Write("incomplete.osf", WithLine(Read("good.osf"), 2, "2:9"));
    // Out of the list on the board, through a file the window would not refuse for it.
    Write("odd.osf", WithLine(Read("good.osf"), 2, "2:7"));
    ChangeKeptBoard(dir.Path(), [](SimBoard&) {});
    if (!c.setUp.empty()) {
      ASSERT_EQ(OnBoard(c.setUp).status, 0) << c.name;
      if (c.setUp[1] == "odd.osf") {
        ChangeKeptBoard(dir.Path(), [](SimBoard& board) { board.SetDataByte(1, 9); });
      }
    }
    const BoardMemories before = KeptBoard(dir.Path());
    const ToolRun run = OnBoard(c.args);
    EXPECT_EQ(run.status, 1) << c.name;
    EXPECT_EQ(run.err.substr(0, c.err.size()), c.err) << c.name;
    EXPECT_EQ(run.out, c.out) << c.name;
    EXPECT_FALSE(fs::exists(dir.Path() / "out.osf")) << c.name;
    if (c.args[0] != "flash") {
      EXPECT_EQ(KeptBoard(dir.Path()).data, before.data) << c.name << ": the board is as it was";
    }
  }
}

TEST_F(BoardTool, ArgumentsItCannotUseExitWithTwoBeforeAnyBoardRun) {
  const std::string usage =
      "usage: orvanta-ofw flash FILE.ofw|FILE.hex | download OUT.osf | upload IN.osf | cables\n"
      "       [--port 0x378|0x278|ADDRESS|usb|usb:SERIAL] [--simulate DIR [--simfault FAULT]]\n"
      "       [--fast] [--delaymult X] [--json]\n";
  const struct {
    std::vector<std::string> args;
    const char* why;
  } cases[] = {
      {{"flash"}, "flash needs a file"},
      {{"download", "a.osf", "b.osf"}, "one file only: b.osf"},
      {{"download", "a.osf", "--port", "zz"},
       "--port \"zz\" names no port (0x378, 0x278, an address, usb, usb:SERIAL)"},
      {{"download", "a.osf", "--port"}, "--port needs a value"},
      {{"download", "a.osf", "--simulate", "no-such-folder"},
       "--simulate \"no-such-folder\" is not a folder"},
      {{"download", "a.osf", "--simfault", "absent"}, "--simfault works only with --simulate"},
      {{"download", "a.osf", "--simulate", ".", "--simfault", "melted"},
       "--simfault \"melted\" names no fault (absent, unpowered, flaky, stuck@K, dies@N, nousb)"},
      {{"download", "a.osf", "--delaymult", "0"},
       "--delaymult \"0\" is not a number above 0 and up to 100"},
      {{"download", "a.osf", "--delaymult=101"},
       "--delaymult \"101\" is not a number above 0 and up to 100"},
      {{"download", "a.osf", "--delaymult", "2x"},
       "--delaymult \"2x\" is not a number above 0 and up to 100"},
      {{"upload", "a.osf", "--verbose"}, "unknown option --verbose"},
      {{"upload", "a.osf", "--fast=1"}, "--fast takes no value"},
      {{"upload", "a.osf", "--json=1"}, "--json takes no value"},
      {{"download", "-", "--json"},
       "--json and the settings file cannot both go to standard output"},
      {{"upload", "a.osf", "--", "--fast"}, "one file only: --fast"},
  };
  for (const auto& c : cases) {
    const ToolRun run = Run(c.args);
    EXPECT_EQ(run.status, 2) << c.why;
    EXPECT_EQ(run.err, std::string("orvanta-ofw: ") + c.why + "\n" + usage);
    EXPECT_EQ(run.out, "") << c.why;
    EXPECT_FALSE(fs::exists(dir.Path() / kBoardFileName)) << c.why;
  }
}

// What a black-box try on a bench broke, and what the tests let through before, one row each,
// each row naming what it mends.
TEST_F(BoardTool, FaultsFoundOnTheBenchStayMended) {
  const std::string hex = ReadText(DemoFirmware("orvanta-2.20.hex"));
  const std::string summary =
      ": 4 records, 17 data bytes at 0x0000-0x1FFF, firmware 2.20 for an Orvanta board\n";
  // What a row holds while the tool runs: a folder made read-only, a board held by this process.
  using Held = std::shared_ptr<void>;
  const auto nothing = [] { return Held(); };
  const fs::path readOnly = dir.Path() / "ro";
  fs::create_directory(readOnly);
  std::ostringstream report;
  // ./SimulatedBoard.hex, with a backslash on Windows.
  const std::string held = (fs::path(".") / kBoardFileName).string();
  const struct {
    const char* name;
    std::function<Held()> setUp;
    std::vector<std::string> args;
    const char* stdoutTo;  // a file standard output goes to; nullptr: caught
    int status;
    std::string out;  // standard output, or what the file it went to holds
    std::string err;  // the start of standard error
  } cases[] = {
  // Not on Windows: /dev/stdout, /dev/full and a folder's write permission are Linux's.
#ifndef _WIN32
      {"standard output as a file name writes into it, never replaces it",
       nothing,
       {"unpack", kDemo220, "/dev/stdout"},
       "caught.hex",
       0,
       hex,
       "/dev/stdout" + summary},
#endif
      {"a board's settings on standard output",
       nothing,
       {"download", "-", "--simulate", "."},
       nullptr,
       0,
       kFactoryFile,
       "-: downloaded, firmware 2.11, Orvanta board\n"},
#ifndef _WIN32
      {"a summary standard output could not take fails the command",
       nothing,
       {"check", kDemo220},
       "/dev/full",
       1,
       "",
       "orvanta-ofw: standard output cannot be written: No space left on device\n"},
#endif
      {"a settings file cut short is not uploaded",
       [&] {
         Write("cut.osf", kFactoryFile.substr(0, kFactoryFile.find("5:")));
         return Held();
       },
       {"upload", "cut.osf", "--simulate", "."},
       nullptr,
       1,
       "cut.osf: upload failed: Bad Settings File\n",
       "cut.osf: Bad Settings File: line 6: missing (a settings file has 19 lines, 0: to 18:)\n"},
#ifndef _WIN32
      {"a file in a folder that takes no new file is written in place",
       [&] {
         WriteText(readOnly / "kept.osf", "old");
         return std::make_shared<ReadOnlyFolder>(readOnly);
       },
       {"download", "ro/kept.osf", "--simulate", "."},
       nullptr,
       0,
       "ro/kept.osf: downloaded, firmware 2.11, Orvanta board\n",
       ""},
      {"a simulated board that could not be saved fails the command",
       [&] {
         ChangeKeptBoard(readOnly, [](SimBoard&) {});
         return std::make_shared<ReadOnlyFolder>(readOnly);
       },
       {"flash", kDemo220, "--simulate", "ro"},
       nullptr,
       1,
       kDemo220 + ": flash failed: Simulated Board Not Saved\n",
       "Simulated board: could not save ro/SimulatedBoard.hex (Permission denied)\n" + kDemo220 +
           ": Simulated Board Not Saved: could not save ro/SimulatedBoard.hex (Permission "
           "denied)\n"},
#endif
      {"a simulated board another run holds is left alone",
       [&] { return std::make_shared<SimulatedCable>(base, dir.Path(), report); },
       {"download", "out.osf", "--simulate", "."},
       nullptr,
       1,
       "out.osf: download failed: Simulated Board Not Saved\n",
       "Simulated board: " + held +
           " is in use by another run of the tool, so this run never saves it\nout.osf: "
           "Simulated Board Not Saved: " +
           held + " is in use by another run of the tool; nothing was done\n"},
  };
  for (const auto& c : cases) {
    fs::remove(dir.Path() / kBoardFileName);
    const Held held = c.setUp();
    const ToolRun run = RunOrvantaOfw(dir.Path(), c.args, c.stdoutTo ? c.stdoutTo : "");
    EXPECT_EQ(run.status, c.status) << c.name << "\n" << run.err;
    EXPECT_EQ(run.out, c.out) << c.name;
    EXPECT_EQ(run.err.substr(0, c.err.size()), c.err) << c.name;
  }
}

// What a board maker asked for: the version, each command's help, --json for a production log,
// the details of a failure, and the option boundaries a script may lean on.
TEST_F(BoardTool, WhatABoardMakerAskedFor) {
  const std::string version = std::string("orvanta-ofw ") + ORVANTA_VERSION + "\n";
  const std::string fileTail =
      "\nExit status: 0 done; 1 the file was refused or could not be read or written;\n"
      "2 the arguments were not understood.\n";
  const std::string boardTail =
      "\nOptions, in any order after the command (see orvanta-ofw --help):\n"
      "  --port PORT  --simulate DIR  --simfault FAULT  --fast  --delaymult X  --json\n"
      "Exit status: 0 done; 1 a file or the board said no; 2 the arguments were not\n"
      "understood; 130 or 143 stopped by Ctrl-C or SIGTERM.\n";
  // The file's name as JSON writes it: a Windows path's backslashes doubled.
  const std::string demoInJson = std::regex_replace(kDemo220, std::regex(R"(\\)"), R"(\\)");
  const std::string json =
      "{\"command\":\"flash\",\"file\":\"" + demoInJson + "\",\"sha256\":\"" +
      Sha256Hex(ReadText(kDemo220)) +
      "\",\"firmware\":\"2.20\",\"boardType\":\"Orvanta\",\"cable\":\"0x378\",";
  const std::string notVerified = "code byte 0x0002 did not verify: wrote 0x30, read back 0xFF";
  const struct {
    std::vector<std::string> args;
    int status;
    std::string out;  // the duration in a JSON object as S
    std::string err;
  } cases[] = {
      {{"--version"}, 0, version, ""},
      {{"version"}, 0, version, ""},
      {{"help", "pack"},
       0,
       "usage: orvanta-ofw pack IN.hex OUT.ofw\n"
       "Scrambles the Intel HEX an 8051 toolchain writes into a firmware file, refusing\n"
       "what a firmware update would refuse, with the line and why. OUT.ofw - is\n"
       "standard output, and the summary then goes to standard error.\n" +
           fileTail,
       ""},
      {{"unpack", "--help"},
       0,
       "usage: orvanta-ofw unpack IN.ofw OUT.hex\n"
       "Checks a firmware file as check does and turns it back into Intel HEX, one\n"
       "record a line. OUT.hex - is standard output, and the summary then goes to\n"
       "standard error.\n" +
           fileTail,
       ""},
      {{"check", "-h"},
       0,
       "usage: orvanta-ofw check FILE.ofw [--json]\n"
       "Checks a firmware file exactly as \"Update Firmware\" does and says what it\n"
       "holds, or which line is wrong and why. With --json, one JSON object on\n"
       "standard output instead of the line.\n" +
           fileTail,
       ""},
      {{"flash", "--port", "usb", "--help"},
       0,
       "usage: orvanta-ofw flash FILE.ofw|FILE.hex [options]\n"
       "Checks the whole firmware file as check does (Intel HEX as pack would pack\n"
       "it), then erases the board, programs and verifies it byte by byte and writes\n"
       "the lock bits, once more from the first line if the first try fails. No\n"
       "settings are put back.\n" +
           boardTail,
       ""},
      {{"download", "--help"},
       0,
       "usage: orvanta-ofw download OUT.osf [options]\n"
       "Downloads the board's settings and writes the file \"Save Configuration\"\n"
       "writes. OUT.osf - is standard output, and the summary then goes to standard\n"
       "error.\n" +
           boardTail,
       ""},
      {{"help", "upload"},
       0,
       "usage: orvanta-ofw upload IN.osf [options]\n"
       "Takes a complete settings file (19 lines, 0: to 18:, each value in its\n"
       "line's range), downloads the board first, then uploads the settings as\n"
       "\"Upload Configuration\" does.\n" +
           boardTail,
       ""},
      {{"download", "--simulate", ".", "--", "--help"},
       0,
       "--help: downloaded, firmware 2.11, Orvanta board\n",
       ""},
      {{"download", "out.osf", "--simulate", ".", "--delaymult", "100"},
       0,
       "out.osf: downloaded, firmware 2.11, Orvanta board\n",
       ""},
      {{"check", kDemo220, "--json"},
       0,
       "{\"command\":\"check\",\"file\":\"" + demoInJson + "\",\"sha256\":\"" +
           Sha256Hex(ReadText(kDemo220)) +
           "\",\"firmware\":\"2.20\",\"boardType\":\"Orvanta\",\"cable\":null,"
           "\"result\":\"done\",\"tries\":null,\"seconds\":S,\"title\":null,\"message\":null,"
           "\"details\":null}\n",
       ""},
      {{"flash", kDemo220, "--simulate", ".", "--json", "--simfault", "flaky"},
       0,
       json + "\"result\":\"done\",\"tries\":2,\"seconds\":S,\"title\":null,\"message\":null,"
              "\"details\":\"flash try 1: code byte 0x0000 did not verify: wrote 0x02, read back "
              "0xFF\"}\n",
       kDemo220 + ": flash try 1: code byte 0x0000 did not verify: wrote 0x02, read back 0xFF\n"},
      {{"flash", kDemo220, "--simulate", ".", "--json", "--simfault", "stuck@3"},
       1,
       json +
           "\"result\":\"failed\",\"tries\":2,\"seconds\":S,"
           "\"title\":\"Firmware Upload Failed\",\"message\":\"Unable to write firmware to the "
           "board. Make sure the programming cable is plugged in, and the power is on.\","
           "\"details\":\"flash try 1: " +
           notVerified + "; flash try 2: " + notVerified + "\"}\n",
       kDemo220 +
           ": Firmware Upload Failed: Unable to write firmware to the board. Make sure the "
           "programming cable is plugged in, and the power is on.\n" +
           kDemo220 + ": flash try 1: " + notVerified + "; flash try 2: " + notVerified + "\n"},
      // The cables plugged in, listed for --port, and a cable chosen by its serial number.
      {{"cables", "--simulate", "."}, 0, "usb:SIM1\tFT232R USB UART (simulated)\n", ""},
      {{"cables", "--simulate", ".", "--simfault", "nousb"},
       1,
       "",
       "orvanta-ofw: no USB cable (FT232R) was found\n"},
      {{"download", "a.osf", "--port", "usb:SIM1", "--simulate", "."},
       0,
       "a.osf: downloaded, firmware 2.11, Orvanta board\n",
       ""},
      {{"download", "a.osf", "--port", "usb:SIM7", "--simulate", "."},
       1,
       "a.osf: download failed: Board Read Failed\n",
       "a.osf: Board Read Failed: Unable to read settings from board. Make sure the programming "
       "cable is plugged in, and the power is on. The USB cable (FT232R) with serial number SIM7 "
       "was not found. Plug it in, or choose another cable with --port.\n"},
  };
  const std::regex duration("\"seconds\":[0-9.]+");
  for (const auto& c : cases) {
    fs::remove(dir.Path() / kBoardFileName);
    const ToolRun run = Run(c.args);
    const std::string shown = c.args[0] + " " + c.args.back();
    EXPECT_EQ(run.status, c.status) << shown;
    EXPECT_EQ(std::regex_replace(run.out, duration, "\"seconds\":S"), c.out) << shown;
    EXPECT_EQ(run.err, c.err) << shown;
  }
  // A production log names the cable that was used, even when the first found was asked for.
  const ToolRun used = OnBoard({"download", "a.osf", "--port", "usb", "--json"});
  EXPECT_NE(used.out.find("\"cable\":\"usb:SIM1\""), std::string::npos) << used.out;
}

// The port kept by the window's connection settings in the folder, unless --port says otherwise.
TEST_F(BoardTool, TheConnectionSettingsOfTheFolderChooseTheCable) {
  const struct {
    const char* kept;  // ConnSettings.dat, nullptr for none
    std::vector<std::string> port;
    int status;
  } cases[] = {
      {"usb", {}, 1},
      {"usb", {"--port", "0x378"}, 0},
      {"378", {"--port", "usb"}, 1},
      {"278", {}, 0},
      {nullptr, {}, 0},
  };
  for (const auto& c : cases) {
    fs::remove(dir.Path() / "ConnSettings.dat");
    if (c.kept != nullptr) Write("ConnSettings.dat", c.kept);
    std::vector<std::string> args = {"download", "out.osf", "--simfault", "nousb"};
    args.insert(args.end(), c.port.begin(), c.port.end());
    const ToolRun run = OnBoard(args);
    const std::string shown = c.kept == nullptr ? "none" : c.kept;
    EXPECT_EQ(run.status, c.status) << shown;
    EXPECT_EQ(run.err.find("No USB cable") != std::string::npos, c.status == 1) << shown;
  }
}

// On a terminal the line rewrites itself, never shows the last run's stage for the next one, and
// is wiped at the end; elsewhere it is silent.
TEST(ProgressLine, RewritesOneLineOnlyOnATerminal) {
  const std::string download = "Downloading settings from your board";
  const std::string upload = "Uploading settings to your board";
  for (const bool terminal : {true, false}) {
    std::ostringstream err;
    double now = 0.0;
    {
      ProgressLine line(err, terminal, [&now] { return now; });
      for (const std::string& stage : {download, upload}) {
        line.SetProgressRange(2);
        line.SetProgressPos(0);
        line.ShowStatusText(stage + ", please wait...");
        now += 1.0;
        line.SetProgressPos(1);
        line.SetProgressPos(1);
        line.SetProgressPos(2);
      }
    }
    const std::string expected =
        "\r" + download + "  0%" + "\r" + download + "  50%  about 1 s left" + "\r" + download +
        "  100%" + std::string(15, ' ') + "\r" + upload + "  0%" + std::string(21, ' ') + "\r" +
        upload + "  50%  about 1 s left" + std::string(4, ' ') + "\r" + upload + "  100%" +
        std::string(19, ' ') + "\r" + std::string(57, ' ') + "\r";
    EXPECT_EQ(err.str(), terminal ? expected : "") << terminal;
  }
}

// Standard error as a terminal, where the progress line reaching `figure` stands for the user
// pressing Ctrl-C (or a SIGTERM), once.
class SignalAtFigure : public std::stringbuf {
 public:
  SignalAtFigure(std::string figure, int signal) : figure_(std::move(figure)), signal_(signal) {}

 protected:
  int sync() override {
    if (signal_ != 0 && str().find(figure_) != std::string::npos)
      std::raise(std::exchange(signal_, 0));
    return 0;
  }

 private:
  std::string figure_;
  int signal_;
};

// An interrupted flash finishes the byte in hand, lets go of reset, leaves no temporary file
// behind, says what state the board is in and exits with 128 + the signal.
TEST(BoardToolInterrupted, StopsAfterTheByteInHandAndSaysTheBoardIsErased) {
  for (const int signal : {SIGINT, SIGTERM}) {
    ResetGlobals();
    const ScratchDirectory dir("interrupted");
    SignalAtFigure terminal("  25%", signal);
    std::ostream err(&terminal);
    std::ostringstream out;
    EXPECT_EQ(RunBoardTool({"flash", kDemo220, "--simulate", dir.Path().string()}, out, err, true),
              128 + signal);
    EXPECT_EQ(out.str(), kDemo220 + ": flash interrupted\n");
    const std::string shown = terminal.str();
    EXPECT_EQ(shown.substr(shown.rfind('\r') + 1),
              kDemo220 + ": interrupted: the board is erased, flash it again\n");
    const BoardMemories kept = KeptBoard(dir.Path());
    EXPECT_EQ(kept.code[0x0030], 0x75) << "the first byte of line 2, in hand, was finished";
    EXPECT_EQ(kept.code[0x0031], 0xFF) << "the next was not begun";
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1)
        << "the board's file alone";
  }
  ResetGlobals();
}

// The line never runs past the terminal's last column but one, so it never wraps, and keeps its
// numbers longest; a file of more lines than 16 bits count is counted whole.
TEST(ProgressLine, FitsTheTerminalAndCountsEveryLine) {
  const struct {
    int columns;
    int upper;
    int position;
    std::string shown;
  } cases[] = {
      {0, 4, 1, "Uploading firmware to your board  25%  about 3 s left"},
      {80, 4, 1, "Uploading firmware to your board  25%  about 3 s left"},
      {40, 4, 1, "Uploading firmware  25%  about 3 s left"},
      {20, 4, 1, "Uploading firm  25%"},
      {5, 4, 1, "Uplo"},
      {0, 65537, 32769, "Uploading firmware to your board  50%  about 1 s left"},
  };
  for (const auto& c : cases) {
    std::ostringstream err;
    double now = 0.0;
    ProgressLine line(
        err, true, [&now] { return now; }, [&c] { return c.columns; });
    line.SetProgressRange(c.upper);
    line.ShowStatusText(kUploadingFirmwareText);
    now = 1.0;
    line.SetProgressPos(c.position);
    const std::string text = err.str();
    EXPECT_EQ(text.substr(text.rfind('\r') + 1), c.shown) << c.columns << " " << c.upper;
  }
}

}  // namespace
