#include "firmware/OfwFormat.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

bool IsUpperHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

std::string Hex2(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X", value & 0xFFu);
  return text;
}

std::string Hex4(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", value & 0xFFFFu);
  return text;
}

// The byte count each record type other than data must carry.
int ProperCount(uint8_t type) {
  switch (type) {
    case kEndRecord:
      return 0;
    case 0x02:  // extended segment address
    case 0x04:  // extended linear address
      return 2;
    case 0x03:  // start segment address
    case 0x05:  // start linear address
      return 4;
    default:
      return -1;
  }
}

uint8_t Checksum(const HexRecord& record) {
  unsigned sum = record.count + (record.address >> 8) + (record.address & 0xFFu) + record.type;
  for (int i = 0; i < record.count; ++i) sum += record.data[static_cast<std::size_t>(i)];
  return static_cast<uint8_t>(0x100u - (sum & 0xFFu));
}

std::string CharacterReason(std::string_view text) {
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (!IsUpperHexDigit(text[i])) {
      return "character " + std::to_string(i + 1) + " of the record is not an upper-case hex digit";
    }
  }
  return {};
}

std::string Counted(int n, const char* what) {
  return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

}  // namespace

int convert_char(char c) {
  const auto code = static_cast<signed char>(c);
  return code < 0x3A ? code - 0x30 : code - 0x37;
}

int read_byte(char** p) {
  const int value = 16 * convert_char((*p)[0]) + convert_char((*p)[1]);
  *p += 2;
  return value;
}

char Unscramble(char c) {
  for (const OfwPair& pair : kOfwTable) {
    if (pair.scrambled == c) return pair.plain;
  }
  return c;
}

char Scramble(char c) {
  for (const OfwPair& pair : kOfwTable) {
    if (pair.plain == c) return pair.scrambled;
  }
  return c;
}

std::string DecodeRecord(std::string_view text, HexRecord& record) {
  if (text.empty() || text[0] != ':') return "the record does not start with the record mark";
  if (std::string reason = CharacterReason(text); !reason.empty()) return reason;
  const std::size_t digits = text.size() - 1;
  if (digits < 10 || digits % 2 != 0) {
    return "the record has " + std::to_string(digits) +
           " digits, not a whole record (at least 10, an even number)";
  }
  // Digits are checked above, so the two-digit reader cannot meet anything else, and the length
  // is checked against the byte count before any data byte is read.
  std::string copy(text);
  char* p = copy.data() + 1;
  record.count = static_cast<uint8_t>(read_byte(&p));
  const std::size_t bytes = digits / 2;
  if (bytes != static_cast<std::size_t>(record.count) + 5) {
    return "the byte count says " + Counted(record.count, "data byte") + ", the record holds " +
           std::to_string(bytes - 5);
  }
  const int high = read_byte(&p);
  record.address = static_cast<uint16_t>(high << 8 | read_byte(&p));
  record.type = static_cast<uint8_t>(read_byte(&p));
  for (int i = 0; i < record.count; ++i) {
    record.data[static_cast<std::size_t>(i)] = static_cast<uint8_t>(read_byte(&p));
  }
  const auto checksum = static_cast<uint8_t>(read_byte(&p));
  if (checksum != Checksum(record)) {
    return "the checksum is " + Hex2(checksum) + ", the record's bytes need " +
           Hex2(Checksum(record));
  }
  if (record.type == kDataRecord) return {};
  const int proper = ProperCount(record.type);
  if (proper < 0) return "record type " + Hex2(record.type) + " is not an Intel HEX record type";
  if (record.count != proper) {
    return "a type " + Hex2(record.type) + " record holds " + std::to_string(proper) +
           " bytes, this one " + std::to_string(record.count);
  }
  return {};
}

std::string FormatRecord(const HexRecord& record) {
  std::string text = ":" + Hex2(record.count) + Hex2(record.address >> 8) +
                     Hex2(record.address & 0xFFu) + Hex2(record.type);
  for (int i = 0; i < record.count; ++i) text += Hex2(record.data[static_cast<std::size_t>(i)]);
  return text + Hex2(Checksum(record));
}

std::string ImageCheck::Add(const HexRecord& record) {
  ++summary_.records;
  if (record.type == kEndRecord) {
    endSeen_ = true;
    return {};
  }
  if (record.type == 0x02 || record.type == 0x04) {
    if (record.data[0] != 0 || record.data[1] != 0) {
      return "a type " + Hex2(record.type) +
             " record must hold 0000: the 8 KB code space needs no address extension";
    }
    return {};
  }
  if (record.type != kDataRecord || record.count == 0) return {};
  const uint32_t last = static_cast<uint32_t>(record.address) + record.count - 1;
  if (last >= kCodeSpaceSize) {
    return "data at " + Hex4(record.address) + "-" + Hex4(last) +
           " lies beyond 0x1FFF, the end of the 8 KB code space";
  }
  if (summary_.dataBytes == 0 || record.address < summary_.low) summary_.low = record.address;
  if (summary_.dataBytes == 0 || last > summary_.high) summary_.high = static_cast<uint16_t>(last);
  summary_.dataBytes += record.count;
  for (uint32_t a = record.address; a <= last; ++a) {
    if (a >= kIdentityAddress) identity_[a - kIdentityAddress] = record.data[a - record.address];
  }
  return {};
}

std::string ImageCheck::Finish() const {
  if (summary_.records == 0) return "the file holds no records";
  if (summary_.dataBytes == 0) return "the file holds no data bytes";
  if (!endSeen_) return "the file ends without an end record (type 01): it may be cut short";
  return {};
}

ImageSummary ImageCheck::Summary() const {
  ImageSummary summary = summary_;
  const auto& [major, minor, boardType] = identity_;
  if (major && minor && boardType && *major >= 1 && *major <= 10 && *minor != 0xFF &&
      *boardType != 0xFF) {
    summary.identity = OfwIdentity{*major, *minor, *boardType};
  }
  return summary;
}

std::string FormatSummary(const ImageSummary& summary) {
  std::string text =
      Counted(summary.records, "record") + ", " + Counted(summary.dataBytes, "data byte");
  if (summary.dataBytes > 0) text += " at " + Hex4(summary.low) + "-" + Hex4(summary.high);
  if (summary.identity) {
    const OfwIdentity& id = *summary.identity;
    char revision[16];
    std::snprintf(revision, sizeof revision, "%u.%02u", id.major, id.minor);
    text += std::string(", firmware ") + revision + " for ";
    if (id.boardType == 0) {
      text += "a Kalix board";
    } else if (id.boardType == 1) {
      text += "an Orvanta board";
    } else {
      text += "board type " + std::to_string(id.boardType);
    }
  }
  return text;
}

std::string OfwReport::Message() const {
  if (ok()) return FormatSummary(summary);
  if (line == 0) return reason;  // about the file as a whole
  return "line " + std::to_string(line) + ": " + reason;
}

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trimmed(std::string_view line) {
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
  return line;
}

std::string UpperCase(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

// One .ofw line: the line number as the three ignored characters, then the scrambled record.
std::string OfwLine(int index, const std::string& record) {
  char prefix[8];
  std::snprintf(prefix, sizeof prefix, "%03d", index % 1000);
  std::string line = prefix;
  for (const char c : record) line += Scramble(c);
  return line + "\n";
}

// Data records too long for one line become several, each as long as a line allows.
std::vector<HexRecord> Pieces(const HexRecord& record) {
  if (record.type != kDataRecord || record.count <= kMaxOfwRecordBytes) return {record};
  std::vector<HexRecord> pieces;
  for (int from = 0; from < record.count; from += kMaxOfwRecordBytes) {
    HexRecord piece;
    piece.type = kDataRecord;
    piece.address = static_cast<uint16_t>(record.address + from);
    piece.count = static_cast<uint8_t>(std::min(kMaxOfwRecordBytes, record.count - from));
    std::copy_n(record.data.begin() + from, piece.count, piece.data.begin());
    pieces.push_back(piece);
  }
  return pieces;
}

}  // namespace

OfwReport PackHex(std::string_view hex, std::string& ofw) {
  ofw.clear();
  OfwReport report;
  ImageCheck input;
  ImageCheck packed;
  std::string text;
  int lineNumber = 0;
  int lastRecordLine = 0;
  int written = 0;
  while (!hex.empty()) {
    const std::size_t end = std::min(hex.find('\n'), hex.size());
    const std::string_view line = Trimmed(hex.substr(0, end));
    hex.remove_prefix(std::min(end + 1, hex.size()));
    ++lineNumber;
    if (line.empty()) continue;
    lastRecordLine = lineNumber;
    HexRecord record;
    report.reason = DecodeRecord(UpperCase(line), record);
    if (report.reason.empty()) report.reason = input.Add(record);
    if (!report.ok()) {
      report.line = lineNumber;
      return report;
    }
    for (const HexRecord& piece : Pieces(record)) {
      packed.Add(piece);
      text += OfwLine(written++, FormatRecord(piece));
    }
  }
  report.reason = input.Finish();
  if (!report.ok()) {
    report.line = lastRecordLine + 1;
    return report;
  }
  report.summary = packed.Summary();
  ofw = std::move(text);
  return report;
}
