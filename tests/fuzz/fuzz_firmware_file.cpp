// The whole-file check and the record parser on any bytes. Beyond what the sanitizers catch: a
// file the check accepts counts as many lines as its image holds (the upload relies on it), and
// every record of its image parses.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "firmware/FileDecryption.h"
#include "tests/support/QuietPort.h"

namespace {

// The QuietPort reads 0xFF, so only a data byte of another value may fail its read-back.
bool MayFailReadBack(const char* record) {
  return std::strncmp(record + 7, "00", 2) == 0 && std::strncmp(record + 1, "00", 2) != 0;
}

void ParseImage(const std::string& image) {
  std::size_t at = 0;
  for (std::size_t end; (end = image.find('\n', at)) != std::string::npos; at = end + 1) {
    char line[kLineBufferSize];
    if (end - at >= sizeof line) std::abort();
    std::memcpy(line, image.data() + at, end - at);
    line[end - at] = '\0';
    if (parse_line(line) == kParseFailed && !MayFailReadBack(line)) std::abort();
  }
}

void CountLines(const uint8_t* data, std::size_t size, const std::string& image) {
  if (size == 0) return;
  std::string copy(reinterpret_cast<const char*>(data), size);
  std::FILE* file = fmemopen(copy.data(), copy.size(), "r");
  if (file == nullptr) return;
  const auto lines = static_cast<std::size_t>(count_lines(file));
  std::fclose(file);
  if (lines != static_cast<std::size_t>(std::count(image.begin(), image.end(), '\n'))) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  UseQuietPort();
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string image;
  if (CheckFirmwareText(text, image).ok()) {
    ParseImage(image);
    CountLines(data, size, image);
  }
  // The parser on raw bytes, as one line buffer holds them.
  char line[kLineBufferSize];
  const std::size_t n = std::min(size, sizeof line - 1);
  std::memcpy(line, data, n);
  line[n] = '\0';
  const int result = parse_line(line);
  if (result < 0 || result > 2) std::abort();
  return 0;
}
