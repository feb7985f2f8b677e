// The whole-file check of a firmware file (.ofw): reads it line by line through the two line
// buffers, unscrambles each line and applies the record and image rules of OfwFormat.h. Touches
// no port, so the packing tool uses it as it is.
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

// Unscrambles currentline from its fourth character into encline; a non-zero flag leaves
// encline empty.
void Do_Magic(int flag);

// The number of white-space-separated lines in `file`, which is then rewound to its start. A line
// longer than 255 characters is the last one counted.
int count_lines(std::FILE* file);

// Which line of a firmware file is wrong and why: the file at `path`, or .ofw `text`. `image`
// receives the unscrambled records, one a line, each ended by a line feed, up to the first bad
// line.
OfwReport CheckFirmwareFile(const std::string& path, std::string& image);
OfwReport CheckFirmwareText(std::string_view text, std::string& image);
