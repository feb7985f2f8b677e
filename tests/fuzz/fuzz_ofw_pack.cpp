// Packing Intel HEX on any bytes. Whatever pack accepts, the firmware check accepts with the same
// summary, and packing the image the check keeps gives the same file again.
#include <cstdlib>
#include <string>

#include "firmware/FileDecryption.h"
#include "firmware/OfwFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view hex(reinterpret_cast<const char*>(data), size);
  std::string ofw;
  const OfwReport packed = PackHex(hex, ofw);
  if (!packed.ok()) {
    if (!ofw.empty()) std::abort();
    return 0;
  }
  std::string image;
  const OfwReport checked = CheckFirmwareText(ofw, image);
  if (!checked.ok() || checked.Message() != packed.Message()) std::abort();
  std::string again;
  if (!PackHex(image, again).ok() || again != ofw) std::abort();
  return 0;
}
