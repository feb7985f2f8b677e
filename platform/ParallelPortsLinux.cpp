#include "platform/ParallelPorts.h"

std::string NoParallelPortText() {
  return "No parallel port was found on this computer.";
}
