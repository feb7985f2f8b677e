#include "sim/BoardFirmware.h"

#include <algorithm>

namespace {

bool SettingsBlockBlank(const SimBoard& board) {
  const auto& data = board.Memories().data;
  return std::all_of(data.begin(), data.begin() + kSettingsBlockBytes,
                     [](uint8_t byte) { return byte == 0xFF; });
}

}  // namespace

std::optional<FirmwareIdentity> ImageIdentity(const SimBoard& board) {
  const FirmwareIdentity identity{board.CodeByte(kImageMajorAddress),
                                  board.CodeByte(kImageMinorAddress),
                                  board.CodeByte(kImageBoardTypeAddress)};
  const bool majorValid = identity.major >= 1 && identity.major <= 10;
  if (!majorValid || identity.minor == 0xFF || identity.boardType == 0xFF) return std::nullopt;
  return identity;
}

std::array<uint8_t, kSettingsBlockBytes> DefaultSettings(const FirmwareIdentity& identity) {
  return {
      0,   // firing mode: semi auto
      2,   // rate of fire: 16 bps
      10,  // solenoid dwell, ms
      4,   // trigger debounce
      6,   // after-eye delay: 5 ms
      1,   // timer counts down
      2,   // timer starts on button 1 only
      3,   // timer minutes: 5
      0,   // timer seconds
      0,   // LCD section 1: timer
      1,   // LCD section 1-B: shot count
      2,   // LCD section 2: ROF setting
      3,   // LCD section 2-B: ROF achieved
      0,   // eye timing: timeout drop
      0,   // operation mode: standard
      0,   // KOVAL mode A
      0,
      0,
      0,
      identity.major,
      identity.minor,
      identity.boardType,
      5,     // AE-bypass rate of fire: 12 bps
      0xFF,  // every LCD menu shown
      0xFF,
      0,
      0,
      0,
      0xFF,  // fixed bytes
      0xFF,
  };
}

void StartFirmware(SimBoard& board) {
  const std::optional<FirmwareIdentity> identity = ImageIdentity(board);
  if (!identity) return;
  if (SettingsBlockBlank(board)) {
    const auto defaults = DefaultSettings(*identity);
    for (uint16_t address = 0; address < kSettingsBlockBytes; ++address) {
      board.SetDataByte(address, defaults[address]);
    }
  }
  // SetDataByte leaves a byte that already holds the value alone, as the firmware spares its
  // EEPROM.
  board.SetDataByte(kMajorDataAddress, identity->major);
  board.SetDataByte(kMinorDataAddress, identity->minor);
  board.SetDataByte(kBoardTypeDataAddress, identity->boardType);
}

void InstallStandInImage(SimBoard& board, const FirmwareIdentity& identity) {
  BoardMemories memories = board.Memories();
  memories.code.fill(0xFF);
  memories.code[0] = 0x80;  // SJMP $: the stand-in firmware just idles
  memories.code[1] = 0xFE;
  memories.code[kImageMajorAddress] = identity.major;
  memories.code[kImageMinorAddress] = identity.minor;
  memories.code[kImageBoardTypeAddress] = identity.boardType;
  board.SetMemories(memories);
}

BoardMemories FactoryMemories() {
  return FactoryBoard().Memories();
}

SimBoard FactoryBoard() {
  SimBoard board;
  board.SetFirmware(StartFirmware);
  InstallStandInImage(board, kFactoryIdentity);
  StartFirmware(board);
  return board;
}
