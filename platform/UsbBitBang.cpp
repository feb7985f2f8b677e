#include "platform/UsbBitBang.h"

#include <algorithm>
#include <cmath>

int DropStatusBytes(const uint8_t* packets, int length, uint8_t* samples) {
  int count = 0;
  for (int start = 0; start < length; start += kUsbPacketBytes) {
    const int end = std::min(length, start + kUsbPacketBytes);
    for (int i = start + kUsbStatusBytes; i < end; ++i) samples[count++] = packets[i];
  }
  return count;
}

Ft232rDivisor EncodeFt232rBaud(int baud) {
  static constexpr uint32_t kFractionCode[8] = {0, 3, 2, 4, 1, 5, 6, 7};
  constexpr double kClockEighths = 3000000.0 * 8;
  long eighths = std::lround(kClockEighths / std::max(baud, 1));
  eighths = std::clamp(eighths, 8L, 0x3FFFL * 8 + 7);
  uint32_t encoded = 0;
  if (eighths < 16) {
    // Below 2 only the divisors 1 and 1.5 exist, coded 0 and 1.
    encoded = eighths < 10 ? 0 : (eighths < 14 ? 1 : 2);
  } else {
    encoded = static_cast<uint32_t>(eighths >> 3) | (kFractionCode[eighths & 7] << 14);
  }
  return {static_cast<uint16_t>(encoded & 0xFFFF), static_cast<uint16_t>(encoded >> 16)};
}

namespace {

std::vector<UsbDeviceInfo> NoCables() {
  return {};
}

}  // namespace

Replaceable<UsbListHandler>& UsbListSeam() {
  static Replaceable<UsbListHandler> seam{UsbListHandler(NoCables)};
  return seam;
}

std::vector<UsbDeviceInfo> ListUsbCables() {
  return UsbListSeam().Get()();
}
