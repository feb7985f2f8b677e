#include "platform/UsbCable.h"

std::string UsbNoPermissionText() {
  return "The USB cable (FT232R) was found, but you may not use it. Install the tool's udev rule "
         "(the help's page \"The cables\" says how), then unplug the cable and plug it in again.";
}
