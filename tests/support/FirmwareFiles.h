// Firmware files for tests: records scrambled into .ofw lines and the demo firmware; scratch files
// and whole-file reads come from Files.h.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/Files.h"

// One .ofw line (no line end): `prefix`, then the record scrambled.
std::string OfwLine(const std::string& record, const std::string& prefix = "000");
// The lines of `records`, each ended by a line feed.
std::string OfwText(const std::vector<std::string>& records);
// A data record of `count` bytes at `address`, byte i = seed + i.
std::string DataRecord(int address, int count, int seed);
inline const std::string kEndRecordText = ":00000001FF";

// res/firmware/<name> in the source tree.
std::filesystem::path DemoFirmware(const std::string& name);
