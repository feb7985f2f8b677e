#include "platform/ParallelPorts.h"

// The kernel's list is Linux's; Windows shows each port with its addresses in the Device Manager.
std::string NoParallelPortText() {
  return "Windows lists this computer's parallel ports and their addresses in the Device "
         "Manager, under \"Ports (COM & LPT)\".";
}
