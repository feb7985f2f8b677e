// Reads a recorded port log back as the target sees it: bytes shifted out ("S AC"), bytes clocked
// in ("G 3F"), calibrated waits ("wait"), reset line changes ("RST+", "RST-") and control writes
// ("C 10").
#pragma once

#include <string>
#include <vector>

#include "tests/support/Recorders.h"

// `waitUnits` is delay_const during the recording: a Delay of exactly that many units is a wait.
// `lines` is the data register before the log begins.
std::vector<std::string> CableTrace(const SeamLog& log, uint16_t dataPort, uint32_t waitUnits,
                                    uint8_t lines = 0x00);

// The instructions of a trace, three bytes each: "06 13 02" for a byte shifted out three times,
// "05 13 <3F" for a read that clocked 0x3F in.
std::vector<std::string> Instructions(const std::vector<std::string>& trace);
