// The board link: the programming cable's lines on the parallel port, the calibrated waits, the
// chip's serial programming instructions and the pin test. Every access goes through Out32/Inp32.
#pragma once

#include <cstdint>
#include <string>
#include <optional>

#include "platform/CableLines.h"  // kMosi, kSck, kReset, kMiso

// Port registers: data at `base`, status at `base` + 1, control at `base` + 2.
extern uint32_t base;
// 1 when the connection settings chose the USB cable (FT232R) instead of a parallel port.
extern int bUsbCable;
// The serial number of the USB cable chosen ("usb:SERIAL"); empty for the first one found.
extern std::string usbCableSerial;
// The reset bit OR-ed into every bit-level data write; 0x04 from the first set_reset on.
extern uint8_t reset_state;
// Delay units in one wait_3ms; recalibrated at the start of every board run.
extern uint32_t delay_const;
// "delaymultX": scales every calibrated wait; always > 0.
extern float fDelayOffSet;
// "fastprogramming": verified byte writes poll the chip instead of waiting the fixed time.
extern int32_t bFastProgramming;
// Puts the port-line and timing globals above back to their values at process start.
void ResetPortLineGlobals();

uint16_t DataPort();
uint16_t StatusPort();
uint16_t ControlPort();

// The length of one wait_3ms in the chip's time; a cable that times its own waits is given this
// (times the delaymult multiplier, rounded up) instead of the calibrated delay units.
constexpr uint32_t kWaitMicroseconds = 3000;
uint32_t WaitMicroseconds(float multiplier);

// Port lines and timing.
void set_reset();
void clear_reset();
void wait_3ms();
void calculate_delay_const();
// The calibration's result for a last trial of `n` delay units that took `e` hundredths.
uint32_t DelayConstFor(uint32_t n, uint64_t e, float multiplier);

// Byte 1 of the memory instructions: address bits 12-8 in bits 7-3, the instruction in bits 2-0.
// Higher address bits are dropped, so addresses wrap every 0x2000.
constexpr uint8_t kReadCode = 0x01;
constexpr uint8_t kWriteCode = 0x02;
constexpr uint8_t kReadData = 0x05;
constexpr uint8_t kWriteData = 0x06;
uint8_t InstructionByte1(int address, uint8_t instruction);
// Byte 2: the address's low eight bits.
uint8_t InstructionByte2(int address);

// The last byte a verified write found wrong: in code or data memory, where, what was written and
// what was read back last. Kept for a failure's details; nothing clears it but a reset.
struct ByteMismatch {
  bool code = false;
  int address = 0;
  uint8_t written = 0;
  uint8_t read = 0;
};
extern std::optional<ByteMismatch> lastByteMismatch;
// Notes a byte that read back `read` where `written` was written, and returns 0 for the caller to
// give back.
int NoteMismatch(bool code, int address, uint8_t written, uint8_t read);

// Serial programming instructions.
void send_byte(uint8_t value);
uint8_t get_byte();
void init_prog_mode();
void erase_memory();
void Write_Lock_Bits();
uint8_t read_code_byte(int address);
int program_code_byte(int address, uint8_t value);
uint8_t read_data_byte(int address);
int program_data_byte(int address, uint8_t value);

// Raises the cable's lines one at a time, with a message per pin; on the USB cable, Usb_Pin_Test.
void Pin_Test();
// The USB cable's lines one at a time, high then low, and what MISO reads.
void Usb_Pin_Test();
