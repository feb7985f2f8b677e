// The .ofw firmware file format: its substitution table, the record rules every firmware image
// must keep, and the conversion from the Intel HEX an 8051 toolchain writes.
//
// An .ofw file is a sequence of lines separated by white space. Each line is three characters the
// reader ignores, then one Intel HEX record scrambled character by character through kOfwTable.
// orvanta-ofw writes the line number (000, 001, ... 999, 000, ...) as the three characters, so a
// person can find a line; nothing depends on them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The .ofw format's substitution table: scrambled character -> record character. Every other
// character stands for itself. Files in the field were written with exactly this table: never
// change it.
struct OfwPair {
  char scrambled;
  char plain;
};
inline constexpr std::array<OfwPair, 17> kOfwTable{{
    {'K', ':'},
    {'Z', '0'},
    {'X', '1'},
    {'M', '2'},
    {'Q', '3'},
    {'W', '4'},
    {'R', '5'},
    {'T', '6'},
    {'Y', '7'},
    {'U', '8'},
    {'P', '9'},
    {'G', 'A'},
    {'H', 'B'},
    {'J', 'C'},
    {'L', 'D'},
    {'N', 'E'},
    {'V', 'F'},
}};
inline constexpr char kScrambledMark = 'K';

// The value of one hex digit ('0'-'9', 'A'-'F'); other characters by the same arithmetic.
int convert_char(char c);
// The byte of the two hex digits at *p; moves *p past them.
int read_byte(char** p);

char Unscramble(char c);
char Scramble(char c);

// A line holds at most this many characters; the first kOfwPrefix of them are ignored.
constexpr int kMaxOfwLine = 255;
constexpr int kOfwPrefix = 3;
// The most data bytes one record may carry and still fit a line: 3 + 11 + 2 * 120 = 254.
constexpr int kMaxOfwRecordBytes = 120;

// The chip's code memory; no data byte may lie beyond it.
constexpr uint32_t kCodeSpaceSize = 0x2000;
// Where an image keeps its identity, the last three code bytes: major revision (1-10), minor
// revision (hundredths), board type (0 Kalix, 1 Orvanta). The board's firmware reads them there.
constexpr uint16_t kIdentityAddress = 0x1FFD;

// Intel HEX record types.
constexpr uint8_t kDataRecord = 0x00;
constexpr uint8_t kEndRecord = 0x01;

struct HexRecord {
  uint8_t count = 0;
  uint16_t address = 0;
  uint8_t type = 0;
  std::array<uint8_t, 255> data{};
};

// Empty when `text` is one sound record: ":" then upper-case hex digits only, a byte count that
// matches the digits, a correct checksum, a known type with its proper length. Otherwise why not,
// in words for the person who made the file. Never reads beyond `text`.
std::string DecodeRecord(std::string_view text, HexRecord& record);
// ":" and the record in upper-case hex, its checksum computed.
std::string FormatRecord(const HexRecord& record);

struct OfwIdentity {
  uint8_t major = 0;
  uint8_t minor = 0;
  uint8_t boardType = 0;
};

// What a firmware image holds.
struct ImageSummary {
  int records = 0;
  int dataBytes = 0;
  uint16_t low = 0;  // lowest and highest data address; valid when dataBytes > 0
  uint16_t high = 0;
  std::optional<OfwIdentity> identity;
};

// "5 records, 18 data bytes at 0x0000-0x1FFF, firmware 2.20 for an Orvanta board"
std::string FormatSummary(const ImageSummary& summary);

// The rules for a whole image, applied record by record in file order: data only inside the code
// space, address records only with a zero value, at least one data byte and an end record.
// Records after the end record count like any other (they are programmed).
class ImageCheck {
 public:
  // Empty when `record` may stand in an image; otherwise why not.
  std::string Add(const HexRecord& record);
  // Empty when the records added make a complete image; otherwise why not.
  std::string Finish() const;
  ImageSummary Summary() const;

 private:
  ImageSummary summary_;
  bool endSeen_ = false;
  std::array<std::optional<uint8_t>, 3> identity_;
};

// Where a firmware text is wrong: "line N: why". Lines count from 1, as an editor shows them.
struct OfwReport {
  int line = 0;
  std::string reason;  // empty: the text is a sound image
  ImageSummary summary;

  bool ok() const { return reason.empty(); }
  std::string Message() const;
};

// Turns Intel HEX (upper- or lower-case digits, LF or CR LF, any record length up to 255 data
// bytes, types 00-05) into .ofw text. Data records too long for one .ofw line are split. Refuses
// what the firmware check would refuse, with the same reasons; `ofw` is then left empty.
OfwReport PackHex(std::string_view hex, std::string& ofw);
