#include "sim/BoardHex.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <span>
#include <vector>

namespace {

constexpr std::size_t kRecordBytes = 16;
constexpr uint8_t kDataRecord = 0x00;
constexpr uint8_t kEndRecord = 0x01;
constexpr uint8_t kExtendedLinearAddress = 0x04;

std::string Record(uint8_t type, uint16_t offset, std::span<const uint8_t> payload) {
  std::vector<uint8_t> bytes{static_cast<uint8_t>(payload.size()),
                             static_cast<uint8_t>(offset >> 8), static_cast<uint8_t>(offset), type};
  bytes.insert(bytes.end(), payload.begin(), payload.end());
  uint8_t sum = 0;
  for (const uint8_t byte : bytes) sum = static_cast<uint8_t>(sum + byte);
  bytes.push_back(static_cast<uint8_t>(-sum));
  std::string line = ":";
  for (const uint8_t byte : bytes) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", byte);
    line += hex;
  }
  return line + "\n";
}

std::string UpperAddress(uint32_t address) {
  const uint16_t upper = static_cast<uint16_t>(address >> 16);
  const uint8_t payload[] = {static_cast<uint8_t>(upper >> 8), static_cast<uint8_t>(upper)};
  return Record(kExtendedLinearAddress, 0, payload);
}

// Data records for every 16-byte row of `bytes` that is not all 0xFF.
std::string Rows(std::span<const uint8_t> bytes) {
  std::string text;
  for (std::size_t row = 0; row < bytes.size(); row += kRecordBytes) {
    const auto chunk = bytes.subspan(row, std::min(kRecordBytes, bytes.size() - row));
    if (std::all_of(chunk.begin(), chunk.end(), [](uint8_t b) { return b == 0xFF; })) continue;
    text += Record(kDataRecord, static_cast<uint16_t>(row), chunk);
  }
  return text;
}

std::optional<uint8_t> HexDigit(char c) {
  if (c >= '0' && c <= '9') return static_cast<uint8_t>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<uint8_t>(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return static_cast<uint8_t>(c - 'a' + 10);
  return std::nullopt;
}

// The bytes of one record line (without the colon), or an error text.
std::string DecodeRecord(std::string_view line, std::vector<uint8_t>& bytes) {
  if (line.empty() || line[0] != ':') return "a record must start with ':'";
  const std::string_view digits = line.substr(1);
  if (digits.size() % 2 != 0) return "odd number of hex digits";
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    const auto high = HexDigit(digits[i]);
    const auto low = HexDigit(digits[i + 1]);
    if (!high || !low) return "not a hex digit";
    bytes.push_back(static_cast<uint8_t>(*high << 4 | *low));
  }
  if (bytes.size() < 5 || bytes.size() != bytes[0] + 5u) return "record length does not match";
  uint8_t sum = 0;
  for (const uint8_t byte : bytes) sum = static_cast<uint8_t>(sum + byte);
  if (sum != 0) return "bad checksum";
  return {};
}

class HexReader {
 public:
  // Applies one record line; returns an error text, empty when it was fine.
  std::string Apply(std::string_view line) {
    if (ended_) return "text after the end-of-file record";
    std::vector<uint8_t> bytes;
    if (std::string error = DecodeRecord(line, bytes); !error.empty()) return error;
    const uint16_t offset = static_cast<uint16_t>(bytes[1] << 8 | bytes[2]);
    const std::span<const uint8_t> payload(bytes.data() + 4, bytes[0]);
    switch (bytes[3]) {
      case kDataRecord:
        return Place(upper_ + offset, payload);
      case kEndRecord:
        ended_ = true;
        return payload.empty() ? std::string{} : "end-of-file record with data";
      case kExtendedLinearAddress:
        if (payload.size() != 2) return "extended address record needs two bytes";
        upper_ = static_cast<uint32_t>(payload[0] << 8 | payload[1]) << 16;
        return {};
      default:
        return "unsupported record type " + std::to_string(bytes[3]);
    }
  }

  bool Ended() const { return ended_; }
  const BoardMemories& Memories() const { return memories_; }

 private:
  std::string Place(uint32_t address, std::span<const uint8_t> payload) {
    for (const uint8_t byte : payload) {
      uint8_t* cell = Cell(address);
      if (cell == nullptr) {
        char text[64];
        std::snprintf(text, sizeof text, "address 0x%05X is outside the board's memories",
                      static_cast<unsigned>(address));
        return text;
      }
      *cell = byte;
      ++address;
    }
    return {};
  }

  uint8_t* Cell(uint32_t address) {
    if (address >= kHexCodeBase && address < kHexCodeBase + kCodeSize) {
      return &memories_.code[address - kHexCodeBase];
    }
    if (address >= kHexDataBase && address < kHexDataBase + kDataSize) {
      return &memories_.data[address - kHexDataBase];
    }
    return address == kHexLockBitsAddress ? &memories_.lockBits : nullptr;
  }

  BoardMemories memories_;
  uint32_t upper_ = 0;
  bool ended_ = false;
};

}  // namespace

std::string FormatBoardHex(const BoardMemories& memories) {
  std::string text = UpperAddress(kHexCodeBase) + Rows(memories.code);
  text += UpperAddress(kHexDataBase) + Rows(memories.data);
  if (memories.lockBits != 0xFF) {
    const uint8_t lock[] = {memories.lockBits};
    text += UpperAddress(kHexLockBitsAddress) + Record(kDataRecord, 0, lock);
  }
  return text + Record(kEndRecord, 0, {});
}

BoardHexResult ParseBoardHex(std::string_view text) {
  HexReader reader;
  int lineNumber = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    if (std::string error = reader.Apply(line); !error.empty()) {
      return {BoardMemories{}, "line " + std::to_string(lineNumber) + ": " + error};
    }
  }
  if (!reader.Ended()) return {BoardMemories{}, "no end-of-file record (the file is cut short)"};
  BoardHexResult result{reader.Memories(), {}};
  result.memories.lockBits |= 0x1F;  // only LB1-LB3 exist
  return result;
}
