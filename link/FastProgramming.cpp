#include "link/FastProgramming.h"

#include "link/Communication.h"
#include "platform/PortIo.h"

namespace {

struct Instructions {
  uint8_t write;
  uint8_t read;
};
constexpr Instructions kCode{kWriteCode, kReadCode};
constexpr Instructions kData{kWriteData, kReadData};

// A read with no wait before the answer: reading never has to wait for the chip, only a write does.
uint8_t ReadAtOnce(int address, uint8_t instruction) {
  send_byte(InstructionByte1(address, instruction));
  send_byte(InstructionByte2(address));
  return get_byte();
}

// Reset released, and the byte noted for the failure's details.
int Failed(bool code, int address, uint8_t written, uint8_t read) {
  clear_reset();
  return NoteMismatch(code, address, written, read);
}

// Reads the byte until it answers with `value`. The reads are counted in the delay units they
// spend, so the bound (three waits' worth) is the same on every port and every machine. At least
// one read is made, as the default's read-back is.
int PollUntil(int address, uint8_t value, uint8_t readInstruction) {
  const uint64_t allowed = 3ull * delay_const;
  const uint64_t start = PortDelayUnitsSoFar();
  for (;;) {
    const uint8_t read = ReadAtOnce(address, readInstruction);
    if (read == value) return 2;
    if (PortDelayUnitsSoFar() - start >= allowed) {
      return Failed(readInstruction == kReadCode, address, value, read);
    }
  }
}

int PollProgramByte(int address, uint8_t value, Instructions instructions) {
  send_byte(InstructionByte1(address, instructions.write));
  send_byte(InstructionByte2(address));
  send_byte(value);
  return PollUntil(address, value, instructions.read);
}

}  // namespace

int write_erased_code_byte(int address, uint8_t value) {
  if (bFastProgramming == 0) return program_code_byte(address, value);
  if (value == 0xFF) {
    const uint8_t read = ReadAtOnce(address, kReadCode);
    return read == 0xFF ? 2 : Failed(true, address, value, read);
  }
  return PollProgramByte(address, value, kCode);
}

int write_verified_data_byte(int address, uint8_t value) {
  if (bFastProgramming == 0) return program_data_byte(address, value);
  return PollProgramByte(address, value, kData);
}
