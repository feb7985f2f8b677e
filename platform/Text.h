// Character classes as the C library's "C" locale has them, whatever locale Qt has set: the
// tool's own files and switches read the same everywhere.
#pragma once

// White space as the C library's formatted input skips it.
constexpr bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

constexpr bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
