// Packing Intel HEX into .ofw files and back, the demo firmware, and orvanta-ofw as a board maker
// runs it.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "firmware/FileDecryption.h"
#include "firmware/OfwFormat.h"
#include "firmware/OfwTool.h"
#include "sim/BoardFirmware.h"
#include "tests/firmware/FirmwareFiles.h"

namespace {

std::string Lines(const std::vector<std::string>& lines, const char* end = "\n") {
  std::string text;
  for (const std::string& line : lines) text += line + end;
  return text;
}

// Packs `hex`, checks the result as an update would and returns the image the check kept.
std::string PackedImage(const std::string& hex) {
  std::string ofw;
  const OfwReport packed = PackHex(hex, ofw);
  EXPECT_TRUE(packed.ok()) << packed.Message();
  std::string image;
  const OfwReport checked = CheckFirmwareText(ofw, image);
  EXPECT_TRUE(checked.ok()) << checked.Message();
  EXPECT_EQ(packed.Message(), checked.Message()) << "the same summary";
  for (std::size_t at = 0, end; (end = ofw.find('\n', at)) != std::string::npos; at = end + 1) {
    EXPECT_LE(end - at, 255u);
  }
  return image;
}

TEST(PackHex, RoundTripsWhatAToolchainWrites) {
  const std::string data = DataRecord(0x0030, 16, 0x80);
  struct Case {
    const char* name;
    std::string hex;
    std::string image;
  };
  const Case cases[] = {
      {"upper case, LF", Lines({data, kEndRecordText}), Lines({data, kEndRecordText})},
      {"lower case, CR LF, blank lines and trailing blanks",
       "\r\n:03003000"
       "02337a1e \r\n\r\n:00000001ff\r\n",
       Lines({":0300300002337A1E", kEndRecordText})},
      {"every record type, records after the end, no final line end",
       Lines({":020000040000FA", ":020000020000FC", data, ":0400000300000000F9",
              ":0400000500000000F7", kEndRecordText}) +
           DataRecord(0x1FF0, 16, 1),
       Lines({":020000040000FA", ":020000020000FC", data, ":0400000300000000F9",
              ":0400000500000000F7", kEndRecordText, DataRecord(0x1FF0, 16, 1)})},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PackedImage(c.hex), c.image) << c.name;
  }
}

TEST(PackHex, SplitsA255ByteRecordSoEveryLineFits) {
  const std::string image = PackedImage(Lines({DataRecord(0x0100, 255, 0), kEndRecordText}));
  EXPECT_EQ(image, Lines({DataRecord(0x0100, 120, 0), DataRecord(0x0178, 120, 120),
                          DataRecord(0x01F0, 15, 240), kEndRecordText}));
}

// What pack refuses, the check refuses with the same words; both name the line.
TEST(PackHex, RefusesWhatTheCheckRefusesWithTheSameReason) {
  const std::string data = DataRecord(0, 4, 1);
  struct Case {
    std::vector<std::string> records;
    const char* message;
  };
  const Case cases[] = {
      {{data, ":0300300002337A2E", kEndRecordText},
       "line 2: the checksum is 2E, the record's bytes need 1E"},
      {{":020000040001F9", data, kEndRecordText},
       "line 1: a type 04 record moves the addresses beyond the 8 KB code space"},
      {{data, DataRecord(0x1FFE, 3, 0), kEndRecordText},
       "line 2: data at 0x1FFE-0x2000 lies beyond 0x1FFF, the end of the 8 KB code space"},
      {{data, ":00000006FA", kEndRecordText},
       "line 2: record type 06 is not an Intel HEX record type"},
      {{data, data}, "line 3: the file ends without an end record (type 01): it may be cut short"},
      {{kEndRecordText}, "line 2: the file holds no data bytes"},
      {{}, "line 1: the file holds no records"},
  };
  for (const Case& c : cases) {
    std::string ofw = "untouched";
    const OfwReport packed = PackHex(Lines(c.records), ofw);
    EXPECT_EQ(packed.Message(), c.message);
    EXPECT_EQ(ofw, "");
    std::string image;
    EXPECT_EQ(CheckFirmwareText(OfwText(c.records), image).Message(), c.message);
  }
}

TEST(DemoFirmware, EachOfwIsPackedFromTheHexBesideIt) {
  struct Case {
    const char* name;
    FirmwareIdentity identity;
  };
  for (const Case& c : {Case{"orvanta-2.20", {2, 20, 1}}, Case{"orvanta-2.05", {2, 5, 1}}}) {
    std::string ofw;
    const OfwReport report = PackHex(ReadText(DemoFirmware(std::string(c.name) + ".hex")), ofw);
    EXPECT_EQ(ofw, ReadText(DemoFirmware(std::string(c.name) + ".ofw"))) << c.name;
    ASSERT_TRUE(report.summary.identity) << c.name;
    // The places the simulated board's firmware reads its identity from.
    EXPECT_EQ(kIdentityAddress, kImageMajorAddress);
    EXPECT_EQ(report.summary.identity->major, c.identity.major) << c.name;
    EXPECT_EQ(report.summary.identity->minor, c.identity.minor) << c.name;
    EXPECT_EQ(report.summary.identity->boardType, c.identity.boardType) << c.name;
  }
}

struct ToolRun {
  int status;
  std::string out;
  std::string err;
};

ToolRun RunTool(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunOfwTool(args, out, err);
  return {status, out.str(), err.str()};
}

TEST(OfwTool, CommandsStatusAndOneLineAnswers) {
  ScratchFile hex(ReadText(DemoFirmware("orvanta-2.20.hex")), "in.hex");
  const std::string ofw = hex.Beside("out.ofw").string();
  const std::string back = hex.Beside("back.hex").string();
  const std::string bad = hex.Beside("bad.hex").string();
  const std::string usage =
      "usage: orvanta-ofw pack IN.hex OUT.ofw | unpack IN.ofw OUT.hex | check FILE.ofw | --help\n";
  const std::string summary =
      ": 4 records, 17 data bytes at 0x0000-0x1FFF, firmware 2.20 for an Orvanta board\n";
  struct Case {
    std::vector<std::string> args;
    ToolRun expected;
  };
  const Case cases[] = {
      {{"pack", hex.path(), ofw}, {0, ofw + summary, ""}},
      {{"check", ofw}, {0, ofw + summary, ""}},
      {{"unpack", ofw, back}, {0, back + summary, ""}},
      {{"check", hex.path()},
       {1, "",
        hex.path() + ": line 1: the fourth character of the line is not the record mark K\n"}},
      {{"pack", back + "x", bad},
       {1, "", back + "x: the file cannot be opened: No such file or directory\n"}},
      {{"check"}, {2, "", usage}},
      {{"pack", hex.path()}, {2, "", usage}},
      {{"PACK", hex.path(), ofw}, {2, "", usage}},
      {{}, {2, "", usage}},
  };
  for (const Case& c : cases) {
    const ToolRun run = RunTool(c.args);
    const std::string what = c.args.empty() ? "no arguments" : c.args[0];
    EXPECT_EQ(run.status, c.expected.status) << what;
    EXPECT_EQ(run.out, c.expected.out) << what;
    EXPECT_EQ(run.err, c.expected.err) << what;
  }
  EXPECT_EQ(ReadText(ofw), ReadText(DemoFirmware("orvanta-2.20.ofw")));
  EXPECT_EQ(ReadText(back), ReadText(DemoFirmware("orvanta-2.20.hex")));
  EXPECT_FALSE(std::filesystem::exists(bad)) << "a refused pack writes nothing";

  const ToolRun help = RunTool({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("orvanta-ofw makes, reads and checks Orvanta firmware files", 0), 0u);
}

}  // namespace
