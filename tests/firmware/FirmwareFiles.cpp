#include "tests/firmware/FirmwareFiles.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

std::string OfwLine(const std::string& record, const std::string& prefix) {
  // The table written out by hand, so that a change to the production table shows.
  const std::string plain = ":0123456789ABCDEF";
  const std::string scrambled = "KZXMQWRTYUPGHJLNV";
  std::string line = prefix;
  for (const char c : record) {
    const std::size_t at = plain.find(c);
    line += at == std::string::npos ? c : scrambled[at];
  }
  return line;
}

std::string OfwText(const std::vector<std::string>& records) {
  std::string text;
  for (const std::string& record : records) text += OfwLine(record) + "\n";
  return text;
}

std::string DataRecord(int address, int count, int seed) {
  unsigned sum = static_cast<unsigned>(count + (address >> 8) + (address & 0xFF));
  char digits[24];
  std::snprintf(digits, sizeof digits, ":%02X%04X00", count, address);
  std::string record = digits;
  for (int i = 0; i < count; ++i) {
    const unsigned byte = static_cast<unsigned>(seed + i) & 0xFFu;
    std::snprintf(digits, sizeof digits, "%02X", byte);
    record += digits;
    sum += byte;
  }
  std::snprintf(digits, sizeof digits, "%02X", (0x100u - (sum & 0xFFu)) & 0xFFu);
  return record + digits;
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

ScratchFile::ScratchFile(const std::string& text, const std::string& name) {
  static std::atomic<int> next{0};
  directory_ = fs::temp_directory_path() /
               ("orvanta-fw-" + std::to_string(::getpid()) + "-" + std::to_string(next++));
  fs::create_directories(directory_);
  path_ = (directory_ / name).string();
  Write(text);
}

ScratchFile::~ScratchFile() {
  std::error_code ignored;
  fs::remove_all(directory_, ignored);
}

void ScratchFile::Write(const std::string& text) const {
  std::ofstream(path_, std::ios::binary | std::ios::trunc) << text;
}

fs::path DemoFirmware(const std::string& name) {
  return fs::path(ORVANTA_SOURCE_DIR) / "res" / "firmware" / name;
}
