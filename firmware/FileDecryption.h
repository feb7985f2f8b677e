// The firmware file reader: checks a whole .ofw file, unscrambles it into the Intel HEX image
// held in m_FWArray (app/Globals.h), counts its lines, and parses single records, programming
// their data bytes into the board's code memory.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "firmware/OfwFormat.h"

// The two line buffers, 256 characters each, kept for the life of the process: the scrambled
// line just read, and its unscrambled record.
constexpr int kLineBufferSize = 256;
extern char* currentline;
extern char* encline;

// True when every line of the file is a sound record and together they make a complete image
// (see OfwFormat.h); m_FWArray then holds the image, one record per line, each ended by a line
// feed. On false, m_FWArray keeps the records before the offending line. Touches no port.
bool Firmware_Validation_Check(std::string path);

// Unscrambles currentline from its fourth character into encline; a non-zero flag leaves
// encline empty.
void Do_Magic(int flag);
// The value of one hex digit ('0'-'9', 'A'-'F'); other characters by the same arithmetic.
int convert_char(char c);
// The byte of the two hex digits at *p; moves *p past them.
int read_byte(char** p);

// parse_line results.
constexpr int kParseFailed = 0;
constexpr int kParseEndRecord = 1;
constexpr int kParseProgrammed = 2;

// Parses one unscrambled, NUL-terminated record. A record that is not sound (see DecodeRecord)
// gives 0 with nothing programmed. A data record's bytes are programmed one by one with
// write_erased_code_byte: 2 when all verified, 0 at the first that did not (reset then released).
// The end record gives 1; the other record types program nothing and give 2. The target must be
// in programming mode, its code memory erased in this board run.
int parse_line(char* line);

// The number of white-space-separated lines in `file`, which is then rewound to its start. A line
// longer than 255 characters is the last one counted.
int count_lines(std::FILE* file);

// The check behind Firmware_Validation_Check, saying which line is wrong and why: the file at
// `path`, or .ofw `text`. `image` receives the unscrambled records up to the first bad line.
OfwReport CheckFirmwareFile(const std::string& path, std::string& image);
OfwReport CheckFirmwareText(std::string_view text, std::string& image);
