// The simulated board's memories as Intel HEX text, for a file a person can read and edit.
//
// Layout (32-bit linear addresses, set with extended linear address records, type 04):
//   0x00000-0x01FFF  code flash
//   0x10000-0x107FF  data EEPROM
//   0x20000          lock bits (see BoardMemories::lockBits)
// Every byte that no record mentions is 0xFF, as on an erased chip, so runs of 0xFF are left out.
// Records carry at most 16 bytes; the file ends with the end-of-file record (type 01).
#pragma once

#include <string>
#include <string_view>

#include "sim/SimBoard.h"

constexpr uint32_t kHexCodeBase = 0x00000;
constexpr uint32_t kHexDataBase = 0x10000;
constexpr uint32_t kHexLockBitsAddress = 0x20000;

std::string FormatBoardHex(const BoardMemories& memories);

struct BoardHexResult {
  BoardMemories memories;
  std::string error;  // empty for sound text; otherwise "line N: what is wrong"
  bool ok() const { return error.empty(); }
};

// Reads text written by FormatBoardHex, or edited by hand. Accepts record types 00, 01 and 04,
// CR-LF line ends and empty lines; anything else, a bad checksum, an address outside the layout
// above, text after the end record or a missing end record makes the text damaged.
BoardHexResult ParseBoardHex(std::string_view text);
