#include "firmware/FileDecryption.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "link/FastProgramming.h"
#include "platform/Interrupt.h"

std::string m_FWArray;

void ResetFirmwareImage() {
  m_FWArray.clear();
}

bool Firmware_Validation_Check(std::string path) {
  return CheckFirmwareFile(path, m_FWArray).ok();
}

int parse_line(char* line) {
  const std::size_t length = strnlen(line, kLineBufferSize);
  HexRecord record;
  // A record is checked whole before its first byte is programmed, so a damaged one never
  // reaches the board.
  if (length == kLineBufferSize || !DecodeRecord({line, length}, record).empty()) {
    return kParseFailed;
  }
  if (record.type == kEndRecord) return kParseEndRecord;
  if (record.type != kDataRecord) return kParseProgrammed;  // address records program nothing
  for (int i = 0; i < record.count; ++i) {
    // The one place a firmware byte is written to the chip, which the upload has just erased.
    if (write_erased_code_byte(record.address + i, record.data[static_cast<std::size_t>(i)]) == 0) {
      return kParseFailed;
    }
    // Asked to stop: the byte in hand is done, the rest waits for the next update.
    if (StopRequested()) return kParseFailed;
  }
  return kParseProgrammed;
}
