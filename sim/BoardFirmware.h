// What the board's firmware does with the chip's memories each time it starts (RST falls): it
// keeps its identity in data memory and gives a blank settings block its own defaults.
//
// Where a simulated firmware image keeps its identity: the LAST THREE BYTES OF CODE MEMORY,
//   0x1FFD  firmware major revision (1-10)
//   0x1FFE  firmware minor revision (hundredths: 11 for x.11)
//   0x1FFF  board type (0 Kalix, 1 Orvanta)
// These places are fixed; the firmware packing tool puts them there.
//
// Code memory holds an image when the major revision there is 1 to 10 and neither the minor
// revision nor the board type is 0xFF. An erased chip (0xFF everywhere) therefore holds none, and
// its firmware step does nothing.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "sim/SimBoard.h"

struct FirmwareIdentity {
  uint8_t major = 0;
  uint8_t minor = 0;
  uint8_t boardType = 0;
  bool operator==(const FirmwareIdentity&) const = default;
};

constexpr uint16_t kImageMajorAddress = 0x1FFD;
constexpr uint16_t kImageMinorAddress = 0x1FFE;
constexpr uint16_t kImageBoardTypeAddress = 0x1FFF;

// Where the firmware keeps the same three bytes in data memory, inside the settings block.
constexpr uint16_t kMajorDataAddress = 19;
constexpr uint16_t kMinorDataAddress = 20;
constexpr uint16_t kBoardTypeDataAddress = 21;
constexpr uint16_t kSettingsBlockBytes = 30;  // data addresses 0-29

// What a factory-fresh board runs: firmware 2.11 for an Orvanta.
constexpr FirmwareIdentity kFactoryIdentity{2, 11, 1};

// The identity of the image in code memory, or nothing when code memory holds no image.
std::optional<FirmwareIdentity> ImageIdentity(const SimBoard& board);

// The complete, valid settings block the firmware writes into a blank one.
std::array<uint8_t, kSettingsBlockBytes> DefaultSettings(const FirmwareIdentity& identity);

// The firmware's start-up: fills data addresses 0-29 with the defaults when they are all 0xFF,
// then writes the identity bytes to data addresses 19-21 where they differ. The firmware's own
// EEPROM writes are done at once: they end long before a tool could look.
void StartFirmware(SimBoard& board);

// Erases code memory and puts a stand-in image there: an idle loop at 0x0000 and `identity` in the
// last three bytes.
void InstallStandInImage(SimBoard& board, const FirmwareIdentity& identity);

// The memories of a board as it leaves the factory: the stand-in image of kFactoryIdentity, the
// default settings block, the rest of data memory 0xFF, nothing locked.
BoardMemories FactoryMemories();
SimBoard FactoryBoard();
