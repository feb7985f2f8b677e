// A port with nothing behind it and waits of no length, so the board link costs next to nothing
// while a target runs.
#pragma once

#include "link/Communication.h"
#include "platform/PortIo.h"

class QuietPort final : public PortBackend {
 public:
  void Write(uint16_t, uint8_t) override {}
  uint8_t Read(uint16_t) override { return 0xFF; }
  void Delay(uint32_t) override {}
};

// Makes a QuietPort the active port, once per process.
inline void UseQuietPort() {
  static QuietPort port;
  static const PortBackendOverride inUse(PortBackendSeam(), &port);
  static const bool quiet = (delay_const = 0, true);
  (void)quiet;
}
