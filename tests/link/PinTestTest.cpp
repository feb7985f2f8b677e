#include <gtest/gtest.h>

#include "app/Globals.h"
#include "link/Communication.h"
#include "tests/support/Recorders.h"

namespace {

SeamEvent Pin(int n) {
  return Msg("Pin " + std::to_string(n) + " is now high.", "Orvanta Interface Application",
             MsgIcon::Warning);
}

SeamLog ExpectedPinTest(uint16_t b) {
  const uint16_t data = b, status = b + 1, control = b + 2;
  return {W(control, 0x00), W(status, 0x00),  W(data, 0x00),   W(control, 0x01), Pin(1),
          W(control, 0x00), W(data, 0x01),    Pin(2),          W(data, 0x02),    Pin(3),
          W(data, 0x04),    Pin(4),           W(data, 0x08),   Pin(5),           W(data, 0x10),
          Pin(6),           W(data, 0x20),    Pin(7),          W(data, 0x40),    Pin(8),
          W(data, 0x80),    Pin(9),           W(data, 0x00),   W(status, 0x10),  Pin(10),
          W(status, 0x08),  Pin(11),          W(status, 0x04), Pin(12),          W(status, 0x02),
          Pin(13),          W(control, 0x00), W(status, 0x00), W(data, 0x00)};
}

TEST(PinTest, WritesEachPinThenWaitsOnItsMessage) {
  for (const uint32_t portBase : {0x378u, 0x278u}) {
    ResetGlobals();
    base = portBase;
    SeamLog log;
    RecordingPort port(&log);
    MessageRecorder messages(&log);
    Pin_Test();
    EXPECT_EQ(port.runsBegun, 1) << "a port that could not be opened is tried again";
    EXPECT_EQ(log, ExpectedPinTest(static_cast<uint16_t>(portBase))) << std::hex << portBase;
    EXPECT_EQ(reset_state, 0x00) << "the pin test leaves the reset bit alone";
  }
}

TEST(PinTest, OnlyOneDataLineIsHighWhileEachBoxIsOpen) {
  ResetGlobals();
  SeamLog log;
  RecordingPort port(&log);
  MessageRecorder messages(&log);
  uint8_t data = 0;
  std::vector<uint8_t> dataWhileOpen;
  // The data register as the log stands when each box opens.
  messages.onShow = [&](const MessageBoxRequest&) {
    for (const SeamEvent& event : log) {
      if (event.kind == SeamEvent::Write && event.port == 0x378) data = event.value;
    }
    dataWhileOpen.push_back(data);
  };
  Pin_Test();
  EXPECT_EQ(dataWhileOpen, (std::vector<uint8_t>{0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40,
                                                 0x80, 0x00, 0x00, 0x00, 0x00}));
}

}  // namespace
