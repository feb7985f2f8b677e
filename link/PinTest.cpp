#include <string>

#include "link/Communication.h"
#include "platform/MessageBox.h"
#include "platform/PortIo.h"

namespace {

void ShowPinHigh(int pin) {
  ShowMessageBox("Pin " + std::to_string(pin) + " is now high.", kAppName, MsgIcon::Warning);
}

void AllLow() {
  Out32(ControlPort(), 0x00);
  Out32(StatusPort(), 0x00);
  Out32(DataPort(), 0x00);
}

}  // namespace

void Pin_Test() {
  if (bUsbCable != 0) return Usb_Pin_Test();
  // A port that was busy or missing so far gets its next chance.
  PortBeginRun();
  AllLow();

  // Pin 1 is the control register's strobe line.
  Out32(ControlPort(), 0x01);
  ShowPinHigh(1);
  Out32(ControlPort(), 0x00);

  // Pins 2 to 9 are data bits 0 to 7, one at a time.
  for (int pin = 2; pin <= 9; ++pin) {
    Out32(DataPort(), static_cast<uint16_t>(1u << (pin - 2)));
    ShowPinHigh(pin);
  }
  Out32(DataPort(), 0x00);

  // Pins 10 to 13 walk one bit down through the status register's address.
  uint16_t statusBit = 0x10;
  for (int pin = 10; pin <= 13; ++pin, statusBit >>= 1) {
    Out32(StatusPort(), statusBit);
    ShowPinHigh(pin);
  }

  AllLow();
}
