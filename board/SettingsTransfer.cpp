#include <array>

#include "board/BoardOperations.h"
#include "link/Communication.h"
#include "link/FastProgramming.h"
#include "platform/Interrupt.h"
#include "platform/PortIo.h"
#include "settings/SettingsBlock.h"

namespace {

// Every board run starts from quiet lines and a fresh calibration, then holds the target in
// programming mode.
void StartBoardRun(OperationView& view, const char* statusText) {
  view.SetProgressRange(kBlockBytes);
  view.SetProgressPos(0);
  Out32(ControlPort(), 0x00);
  Out32(DataPort(), 0x00);
  Out32(StatusPort(), 0x00);
  calculate_delay_const();
  view.ShowStatusText(statusText);
  Out32(ControlPort(), 0x10);
  set_reset();
  init_prog_mode();
}

// Asked to stop (platform/Interrupt.h): after the byte in hand, the board is let go.
int Stopped() {
  clear_reset();
  return 0;
}

}  // namespace

bool BoardIsReady(uint8_t majorRevision) {
  return majorRevision >= 1 && majorRevision <= 10;
}

int PullSettingsFromBoard(OperationView& view) {
  StartBoardRun(view, kDownloadingText);
  if (!BoardIsReady(read_data_byte(kReadyAddress))) {
    clear_reset();
    return 0;
  }
  view.SetProgressPos(0);
  std::array<uint8_t, kBlockBytes> block{};
  for (int address = 0; address < kBlockBytes; ++address) {
    block[address] = read_data_byte(address);
    view.SetProgressPos(address + 1);
    if (StopRequested()) return Stopped();
  }
  // A board that stopped answering part-way would hand over garbage as if it were settings; the
  // revision byte read again must still be the one the block holds.
  const uint8_t again = read_data_byte(kReadyAddress);
  clear_reset();
  if (again != block[kReadyAddress] || !BoardIsReady(again)) return 0;
  for (int address = 0; address < kBlockBytes; ++address)
    SettingsArray[address + 1] = block[address];
  return 1;
}

int PushSettingsToBoard(OperationView& view) {
  StartBoardRun(view, kUploadingText);
  const uint8_t major = read_data_byte(kReadyAddress);
  if (!BoardIsReady(major)) {
    clear_reset();
    return 0;
  }
  // With no download since start the revision and board type are 0; written back, they would make
  // every later ready check fail until the firmware is replaced. Keep the board's own.
  if (SettingsArray[kReadyAddress + 1] == 0) {
    SettingsArray[kReadyAddress + 1] = major;
    SettingsArray[kReadyAddress + 2] = read_data_byte(kReadyAddress + 1);
    SettingsArray[kReadyAddress + 3] = read_data_byte(kReadyAddress + 2);
  }
  // Address 30 receives element 31, which nothing sets.
  for (int address = 0; address <= kBlockBytes; ++address) {
    view.SetProgressPos(address);
    if (write_verified_data_byte(address, SettingsArray[address + 1]) == 0) {
      clear_reset();
      return 0;
    }
    if (StopRequested()) return Stopped();
  }
  clear_reset();
  Write_Lock_Bits();
  return 1;
}
