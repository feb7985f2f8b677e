#include <gtest/gtest.h>

#include <vector>

#include "sim/SimPort.h"

namespace {

struct Probe final : CableDevice {
  std::vector<std::pair<uint8_t, uint64_t>> lines;
  bool level = false;
  void OnDataLines(uint8_t value, uint64_t nowUs) override { lines.emplace_back(value, nowUs); }
  bool Miso(uint64_t) override { return level; }
};

TEST(SimPort, EveryAccessIsOneMicrosecondOfVirtualTime) {
  uint32_t portBase = 0x378;
  SimPort port(portBase);
  port.Write(0x378, 1);
  port.Read(0x379);
  port.Write(kDelayPort, 0);
  port.Delay(20000);
  EXPECT_EQ(port.NowUs(), 20003u);
  EXPECT_EQ(port.Hundredths(), 2u);
}

TEST(SimPort, KeepsItsRegistersAtTheCurrentBase) {
  uint32_t portBase = 0x378;
  SimPort port(portBase);
  port.Write(0x378, 0x15);
  port.Write(0x379, 0x08);
  port.Write(0x37A, 0x10);
  EXPECT_EQ(port.Read(0x378), 0x15);
  EXPECT_EQ(port.Read(0x379), 0x08);
  EXPECT_EQ(port.Read(0x37A), 0x10);
  EXPECT_EQ(port.Read(0x3BC), 0xFF);
  portBase = 0x278;  // the port follows base
  port.Write(0x278, 0x02);
  EXPECT_EQ(port.DataRegister(), 0x02);
  EXPECT_EQ(port.Read(0x378), 0xFF);
}

TEST(SimPort, ADeviceSeesDataWritesAndDrivesStatusBit5) {
  uint32_t portBase = 0x378;
  SimPort port(portBase);
  Probe probe;
  port.Attach(&probe);
  port.Write(0x379, 0xC8);
  port.Write(0x378, 0x06);
  port.Write(0x37A, 0x10);  // not a cable line the device sees
  EXPECT_EQ(probe.lines, (std::vector<std::pair<uint8_t, uint64_t>>{{0x06, 2}}));
  EXPECT_EQ(port.Read(0x379), 0xC8 & ~0x20);
  probe.level = true;
  EXPECT_EQ(port.Read(0x379), 0xC8 | 0x20);
}

}  // namespace
