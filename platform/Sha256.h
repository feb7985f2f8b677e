// SHA-256 of a file's bytes, for a production log that must show which file went onto a board.
#pragma once

#include <string>
#include <string_view>

// The digest of `bytes` as 64 lower-case hex digits.
std::string Sha256Hex(std::string_view bytes);
