#include "tests/support/FirmwareFiles.h"

#include "firmware/OfwFormat.h"

namespace fs = std::filesystem;

std::string OfwLine(const std::string& record, const std::string& prefix) {
  std::string line = prefix;
  for (const char c : record) line += Scramble(c);
  return line;
}

std::string OfwText(const std::vector<std::string>& records) {
  std::string text;
  for (const std::string& record : records) text += OfwLine(record) + "\n";
  return text;
}

std::string DataRecord(int address, int count, int seed) {
  HexRecord record;
  record.address = static_cast<uint16_t>(address);
  record.count = static_cast<uint8_t>(count);
  for (int i = 0; i < count; ++i) record.data[static_cast<std::size_t>(i)] = uint8_t(seed + i);
  return FormatRecord(record);
}

fs::path DemoFirmware(const std::string& name) {
  return fs::path(ORVANTA_SOURCE_DIR) / "res" / "firmware" / name;
}
