#include "link/FastProgramming.h"

#include <optional>

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

// On a cable that counts the chip's own time (the USB cable) each poll is a round trip, and a
// poll that starts just too early costs a whole poll more. So the first poll of a byte waits
// `units`, learnt from the bytes before it in this run: just after the last poll that found the
// chip still writing, a step later whenever the first poll still does, a step earlier after
// kTriesBeforeEarlier bytes whose first poll found the byte done.
struct PollLead {
  uint64_t units = 0;
  int done = 0;
};
PollLead gLead;
constexpr uint64_t kLeadStep = 8;
constexpr int kTriesBeforeEarlier = 16;

void Learn(std::optional<uint64_t> lastBusy, bool firstWasBusy) {
  if (!firstWasBusy) {
    if (++gLead.done < kTriesBeforeEarlier) return;
    gLead.units = gLead.units > kLeadStep ? gLead.units - kLeadStep : 0;
  } else {
    gLead.units = gLead.units == 0 ? *lastBusy + kLeadStep : gLead.units + kLeadStep;
  }
  gLead.done = 0;
}

// Reads the byte until it answers with `value`. The reads are counted in the delay units they
// spend, so the bound (three waits' worth) is the same on every port and every machine. At least
// one read is made, as the default's read-back is.
int PollUntil(int address, uint8_t value, uint8_t readInstruction) {
  const uint64_t allowed = 3ull * delay_const;
  const uint64_t start = PortDelayUnitsSoFar();
  const bool lead = ActivePortBackend().TimesWaitsItself();
  // Such a cable counts a delay unit as a microsecond of the chip's time.
  if (lead && gLead.units > 0)
    PortWait(static_cast<uint32_t>(gLead.units), static_cast<uint32_t>(gLead.units));
  std::optional<uint64_t> lastBusy;
  for (;;) {
    const uint64_t at = PortDelayUnitsSoFar() - start;
    const uint8_t read = ReadAtOnce(address, readInstruction);
    if (read == value) {
      if (lead) Learn(lastBusy, lastBusy.has_value());
      return 2;
    }
    if (PortDelayUnitsSoFar() - start >= allowed) {
      return Failed(readInstruction == kReadCode, address, value, read);
    }
    lastBusy = at;
  }
}

int PollProgramByte(int address, uint8_t value, Instructions instructions) {
  send_byte(InstructionByte1(address, instructions.write));
  send_byte(InstructionByte2(address));
  send_byte(value);
  return PollUntil(address, value, instructions.read);
}

}  // namespace

void ForgetPollLead() {
  gLead = {};
}

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
