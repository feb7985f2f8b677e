#include "link/Communication.h"
#include "platform/PortIo.h"

std::optional<ByteMismatch> lastByteMismatch;

int NoteMismatch(bool code, int address, uint8_t written, uint8_t read) {
  lastByteMismatch = ByteMismatch{code, address, written, read};
  return 0;
}

uint8_t InstructionByte1(int address, uint8_t instruction) {
  return static_cast<uint8_t>(((static_cast<unsigned>(address) & 0x1F00u) >> 5) | instruction);
}

uint8_t InstructionByte2(int address) {
  return static_cast<uint8_t>(static_cast<unsigned>(address) & 0xFFu);
}

namespace {

void WriteData(uint8_t lines, uint32_t units) {
  Out32(DataPort(), lines);
  PortDelay(units);
}

void Waits(int count) {
  for (int i = 0; i < count; ++i) wait_3ms();
}

// Programming enable, chip erase and lock bits: three fixed bytes inside a fresh reset.
void ResetFramedInstruction(uint8_t byte1, uint8_t byte2, uint8_t byte3) {
  Out32(ControlPort(), 0x10);
  set_reset();
  Waits(4);
  send_byte(byte1);
  send_byte(byte2);
  send_byte(byte3);
  Waits(3);
}

uint8_t ReadByte(int address, uint8_t instruction) {
  send_byte(InstructionByte1(address, instruction));
  send_byte(InstructionByte2(address));
  // The chip answers a read at once; these waits only matter to the parallel port's timing, so a
  // cable that counts the chip's own time skips them.
  for (int i = 0; i < 2; ++i) PortWait(delay_const, 0);
  return get_byte();
}

int ProgramByte(int address, uint8_t value, uint8_t writeInstruction, uint8_t readInstruction) {
  send_byte(InstructionByte1(address, writeInstruction));
  send_byte(InstructionByte2(address));
  send_byte(value);
  Waits(3);
  if (const uint8_t read = ReadByte(address, readInstruction); read != value) {
    clear_reset();
    return NoteMismatch(readInstruction == kReadCode, address, value, read);
  }
  return 2;
}

}  // namespace

void send_byte(uint8_t value) {
  for (int bit = 0; bit < 8; ++bit) {
    const uint8_t mosi = (value & 0x80) ? kMosi : 0x00;
    WriteData(reset_state | mosi, 2);
    WriteData(reset_state | mosi | kSck, 4);  // the target samples on the rising edge
    WriteData(reset_state | mosi, 1);
    WriteData(reset_state, 3);
    value = static_cast<uint8_t>(value << 1);
  }
}

uint8_t get_byte() {
  // The eight samples are taken in place but collected afterwards: nothing written in between
  // depends on them, so a batching cable answers them all from one transfer.
  for (int bit = 0; bit < 8; ++bit) {
    WriteData(reset_state | kSck, 1);
    PortQueueRead(StatusPort());
    PortDelay(3);
    WriteData(reset_state, 3);
  }
  uint8_t result = 0;
  for (int bit = 0; bit < 8; ++bit) {
    const bool high = (PortTakeRead() & kMiso) != 0;
    result = static_cast<uint8_t>((result << 1) | (high ? 1 : 0));
  }
  return result;
}

void init_prog_mode() {
  ResetFramedInstruction(0xAC, 0x53, 0xFF);
}

void erase_memory() {
  ResetFramedInstruction(0xAC, 0x04, 0xFF);
  clear_reset();
}

void Write_Lock_Bits() {
  ResetFramedInstruction(0xAC, 0xFF, 0xFF);
  clear_reset();
}

uint8_t read_code_byte(int address) {
  return ReadByte(address, kReadCode);
}

uint8_t read_data_byte(int address) {
  return ReadByte(address, kReadData);
}

int program_code_byte(int address, uint8_t value) {
  return ProgramByte(address, value, kWriteCode, kReadCode);
}

int program_data_byte(int address, uint8_t value) {
  return ProgramByte(address, value, kWriteData, kReadData);
}
