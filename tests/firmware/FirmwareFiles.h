// Firmware files for tests: records scrambled into .ofw lines, scratch files, the demo firmware.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// One .ofw line (no line end): `prefix`, then the record scrambled.
std::string OfwLine(const std::string& record, const std::string& prefix = "000");
// The lines of `records`, each ended by a line feed.
std::string OfwText(const std::vector<std::string>& records);
// A data record of `count` bytes at `address`, byte i = seed + i.
std::string DataRecord(int address, int count, int seed);
inline const std::string kEndRecordText = ":00000001FF";

std::string ReadText(const std::filesystem::path& path);
// res/firmware/<name> in the source tree.
std::filesystem::path DemoFirmware(const std::string& name);

// A file in a directory of its own, removed with the object.
class ScratchFile {
 public:
  explicit ScratchFile(const std::string& text, const std::string& name = "firmware.ofw");
  ~ScratchFile() { std::filesystem::remove_all(directory_); }
  void Write(const std::string& text) const;
  std::string path() const { return (directory_ / name_).string(); }
  std::string Beside(const std::string& name) const { return (directory_ / name).string(); }

 private:
  std::filesystem::path directory_;
  std::string name_;
};
