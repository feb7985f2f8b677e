// The pin test on the USB cable: its messages, in order, and the FT232R's pins while each box is
// open, on the simulated FT232R.
#include <gtest/gtest.h>

#include "app/Globals.h"
#include "link/Communication.h"
#include "tests/support/Recorders.h"
#include "tests/support/SimulatedUsbCable.h"

namespace {

TEST(UsbPinTest, WalksTheCableLinesHighThenLowThenReadsMiso) {
  const struct {
    BoardPower power;
    const char* misoReads;
    uint8_t misoPin;
  } cases[] = {
      {BoardPower::On, "high", kUsbMiso.bit},  // a board in its firmware lets MISO float high
      {BoardPower::Unpowered, "low", 0},
  };
  for (const auto& c : cases) {
    ResetGlobals();
    bUsbCable = 1;
    SimulatedUsbCable usb;
    usb.board.SetPower(c.power);
    MessageRecorder messages;
    std::vector<uint8_t> pinsWhileOpen;
    messages.onShow = [&](const MessageBoxRequest&) {
      pinsWhileOpen.push_back(usb.chip.Chip().Pins());
    };
    Pin_Test();
    std::vector<std::string> texts;
    for (const MessageBoxRequest& m : messages.messages) {
      texts.push_back(m.text);
      EXPECT_EQ(m.title, "Orvanta Interface Application");
      EXPECT_EQ(m.icon, MsgIcon::Warning);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "FT232R pin 1 (TXD) is now high: programming header pin 1 (MOSI).",
                         "FT232R pin 1 (TXD) is now low: programming header pin 1 (MOSI).",
                         "FT232R pin 3 (RTS) is now high: programming header pin 3 (SCK).",
                         "FT232R pin 3 (RTS) is now low: programming header pin 3 (SCK).",
                         "FT232R pin 2 (DTR) is now high: programming header pin 4 (RST).",
                         "FT232R pin 2 (DTR) is now low: programming header pin 4 (RST).",
                         std::string("FT232R pin 5 (RXD) reads ") + c.misoReads +
                             ": programming header pin 2 (MISO).",
                     }));
    EXPECT_EQ(pinsWhileOpen,
              (std::vector<uint8_t>{kUsbMosi.bit, 0, kUsbSck.bit, 0, kUsbRst.bit, 0, 0}));
    EXPECT_EQ(usb.chip.Chip().Pins(), 0) << "every line low at the end";
    EXPECT_FALSE(usb.board.ResetHeld());
  }
}

TEST(UsbPinTest, WithoutACableEachStepSaysWhy) {
  ResetGlobals();
  bUsbCable = 1;
  SimUsbPlan none;
  none.devices = 0;
  SimulatedUsbCable usb(none);
  MessageRecorder messages;
  Pin_Test();
  ASSERT_EQ(messages.messages.size(), 7u);
  for (const MessageBoxRequest& m : messages.messages) EXPECT_EQ(m.informative, UsbNotFoundText());
}

}  // namespace
