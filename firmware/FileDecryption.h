// The firmware file reader: checks a whole .ofw file (OfwCheck.h), unscrambles it into the Intel
// HEX image held in m_FWArray, and parses single records, programming their data bytes into the
// board's code memory.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "firmware/OfwCheck.h"
#include "firmware/OfwFormat.h"

// The unscrambled firmware image of the last file checked, one record a line.
extern std::string m_FWArray;
// Empties m_FWArray, as at process start.
void ResetFirmwareImage();

// True when every line of the file is a sound record and together they make a complete image
// (see OfwFormat.h); m_FWArray then holds the image, one record per line, each ended by a line
// feed. On false, m_FWArray keeps the records before the offending line. Touches no port.
bool Firmware_Validation_Check(std::string path);

// parse_line results.
constexpr int kParseFailed = 0;
constexpr int kParseEndRecord = 1;
constexpr int kParseProgrammed = 2;

// Parses one unscrambled, NUL-terminated record. A record that is not sound (see DecodeRecord)
// gives 0 with nothing programmed. A data record's bytes are programmed one by one with
// write_erased_code_byte: 2 when all verified, 0 at the first that did not (reset then released)
// or after the byte in hand once a stop is requested (platform/Interrupt.h; reset still held).
// The end record gives 1; the other record types program nothing and give 2. The target must be
// in programming mode, its code memory erased in this board run.
int parse_line(char* line);
