// The words of the USB cable's pin test.
#pragma once

#include <string>

#include "platform/UsbCable.h"

// "FT232R pin 1 (TXD) is now high: programming header pin 1 (MOSI)."
std::string UsbPinMessage(const UsbCableLine& line, bool high);
// "FT232R pin 5 (RXD) reads high: programming header pin 2 (MISO)."
std::string UsbMisoMessage(bool high);
