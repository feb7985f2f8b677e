// How a board run writes one byte and makes sure it took. By default: the write instruction,
// three waits, and a read-back two waits later. With the `fastprogramming` switch the chip is
// polled instead: while it is still writing, a read of that byte answers with bit 7 inverted, so
// the byte is read back to back until it answers with the value, for no longer than the three
// waits would have lasted.
#pragma once

#include <cstdint>

// The one place that decides how a verified byte is written. Both return 2 for a byte that reads
// back and 0 for one that does not, with reset released, exactly as program_code_byte does.
//
// A code byte of a chip erased in this board run: in fast mode an 0xFF, which the erase has
// already left there, is not written but read once, and must read 0xFF.
int write_erased_code_byte(int address, uint8_t value);
// A data byte, written in either mode.
int write_verified_data_byte(int address, uint8_t value);
// Each board run learns afresh when to start polling (calculate_delay_const calls it).
void ForgetPollLead();
