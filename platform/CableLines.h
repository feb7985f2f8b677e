// The programming cable's lines as the board link drives them: data register bits and the status
// bit that carries the chip's answer. A cable on other pins (the USB cable) maps from these.
#pragma once

#include <cstdint>

constexpr uint8_t kMosi = 0x01;   // pin 2, serial data to the target
constexpr uint8_t kSck = 0x02;    // pin 3, serial clock
constexpr uint8_t kReset = 0x04;  // pin 4, 1 holds the target in reset
constexpr uint8_t kMiso = 0x20;   // status bit 5, pin 12, serial data from the target
