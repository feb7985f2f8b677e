// The pin test on the USB cable: its own three output lines one at a time, high then low, each
// with a message naming the FT232R pin and the programming header pin, then what MISO reads.
#include <string>

#include "link/Communication.h"
#include "link/UsbPinTest.h"
#include "platform/MessageBox.h"
#include "platform/PortIo.h"
#include "platform/UsbCable.h"

namespace {

struct DrivenLine {
  const UsbCableLine& line;
  uint8_t dataBit;  // the data-register bit the board link drives it with
};

std::string Where(const UsbCableLine& line) {
  return "FT232R pin " + std::to_string(line.chipPin) + " (" + line.chipPinName + ")";
}

std::string HeaderPin(const UsbCableLine& line) {
  return "programming header pin " + std::to_string(line.headerPin) + " (" + line.signal + ")";
}

void SetLines(uint8_t data) {
  Out32(DataPort(), data);
  PortFlush();  // the lines must be there while the message is on the screen
}

// Each box says underneath why, when the cable could not be used: the lines are not moving then.
void Show(const std::string& text) {
  ShowMessageBox(text, kAppName, MsgIcon::Warning, PortOpenFailure());
}

}  // namespace

std::string UsbPinMessage(const UsbCableLine& line, bool high) {
  return Where(line) + " is now " + (high ? "high" : "low") + ": " + HeaderPin(line) + ".";
}

std::string UsbMisoMessage(bool high) {
  return Where(kUsbMiso) + " reads " + (high ? "high" : "low") + ": " + HeaderPin(kUsbMiso) + ".";
}

void Usb_Pin_Test() {
  PortBeginRun();
  SetLines(0x00);
  const DrivenLine lines[] = {{kUsbMosi, kMosi}, {kUsbSck, kSck}, {kUsbRst, kReset}};
  for (const DrivenLine& driven : lines) {
    SetLines(driven.dataBit);
    Show(UsbPinMessage(driven.line, true));
    SetLines(0x00);
    Show(UsbPinMessage(driven.line, false));
  }
  Show(UsbMisoMessage((Inp32(StatusPort()) & kMiso) != 0));
  SetLines(0x00);
}
