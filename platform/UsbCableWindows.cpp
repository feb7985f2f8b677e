#include "platform/UsbCable.h"

std::string UsbNoPermissionText() {
  return "The USB cable (FT232R) was found, but Windows would not let the tool open it: another "
         "program has it open. Close that program, or choose another cable " +
         PortChoiceSeam().Get().choose + ".";
}
