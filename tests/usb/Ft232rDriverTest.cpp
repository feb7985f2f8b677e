// The FT232R driver over libusb, run against FT232R chip models on a stand-in USB bus
// (LibusbStandIn): the board operations through the real driver, what the user is told when a
// cable cannot be used, listing while a cable is open, and the chip's own rules that make these
// tests mean something.
#include <gtest/gtest.h>

#include <functional>

#include "app/Globals.h"
#include "board/BoardOperations.h"
#include "firmware/FileDecryption.h"
#include "link/Communication.h"
#include "platform/Ft232rDriver.h"
#include "platform/UsbCable.h"
#include "sim/BoardFirmware.h"
#include "sim/SimulatedCable.h"
#include "tests/support/Files.h"
#include "tests/support/FirmwareFiles.h"
#include "tests/support/NoView.h"
#include "tests/usb/LibusbStandIn.h"

namespace {

// Two cables on the bus, A1 on the board under test, B2 on a board of its own.
class Ft232rDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobals();
    chipA.Attach(&board);
    chipB.Attach(&otherBoard);
    StandInBus() = {Cable("A1", &chipA), Cable("B2", &chipB)};
    StandInOneHandlePerDevice(false);
  }
  void TearDown() override {
    StandInBus().clear();
    ResetGlobals();
  }
  static StandInDevice Cable(const std::string& serial, Ft232rChip* chip) {
    StandInDevice device;
    device.serial = serial;
    device.chip = chip;
    return device;
  }

  SimPort clock{base};
  SimBoard board = FactoryBoard();
  SimBoard otherBoard = FactoryBoard();
  Ft232rChip chipA{clock};
  Ft232rChip chipB{clock};
  Ft232rDriver driver;
  UsbCable cable{base, usbCableSerial, driver};
  PortBackendOverride backend = PortBackendSeam().Replace(&cable);
  ClockOverride calibration = CalibrationClockSeam().Replace(&clock);
  NoView view;
};

TEST_F(Ft232rDriverTest, BoardOperationsKeepTheChipBusyWithinItsBuffers) {
  const ScratchFile demo{ReadText(DemoFirmware("orvanta-2.20.ofw"))};
  ASSERT_TRUE(Firmware_Validation_Check(demo.path()));
  BoardMemories parallel;
  {
    SimulatedCable reference(base);
    ASSERT_EQ(UploadFirmware(view, demo.path()), 1);
    parallel = reference.Board().Memories();
  }
  const std::function<int()> operations[] = {
      [&] { return PullSettingsFromBoard(view); },
      [&] { return UploadFirmware(view, demo.path()); },
      [&] {
        bFastProgramming = 1;
        return UploadFirmware(view, demo.path());
      },
      [&] { return PushSettingsToBoard(view); },
  };
  for (const auto& operation : operations) {
    EXPECT_EQ(operation(), 1);
    EXPECT_EQ(cable.OpenFailure(), "");
  }
  EXPECT_TRUE(board.Memories().code == parallel.code) << "the image, as the parallel port put it";
  EXPECT_FALSE(board.ResetHeld());
  // Set up as the tool means it: synchronous bit-bang at 2 us a byte, the shortest latency.
  EXPECT_TRUE(chipA.InSyncBitBang());
  EXPECT_EQ(chipA.ByteNs(), 2000u);
  EXPECT_EQ(chipA.LatencyMs(), 1);
  // Never more written ahead than both buffers hold (or a write would stall into its timeout),
  // and no read left waiting for the latency timer.
  EXPECT_LE(chipA.MostHeld(), 128u + 256u);
  EXPECT_EQ(chipA.ShortPackets(), 0u);
  EXPECT_EQ(chipB.BytesClocked(), 0u) << "the other cable is left alone";
}

TEST_F(Ft232rDriverTest, ACableThatCannotBeUsedIsNamedWithWhatToDo) {
  const struct {
    const char* why;
    std::function<void(std::vector<StandInDevice>&)> plug;
    std::string serial;
    std::string reason;
    std::string opened;
  } cases[] = {
      {"none plugged in", [](auto& bus) { bus.clear(); }, "", UsbNotFoundText(), ""},
      {"another user's", [](auto& bus) { bus[0].permitted = false; }, "", UsbNoPermissionText(),
       ""},
      {"another copy has it", [](auto& bus) { bus[0].claimedElsewhere = true; }, "", UsbBusyText(),
       ""},
      {"the chip maker's driver", [](auto& bus) { bus[0].chipMakersDriver = true; }, "",
       kUsbWrongDriverText, ""},
      {"the chip maker's driver, said as not found",
       [](auto& bus) { bus[0].chipMakersDriver = bus[0].saysNotFound = true; }, "",
       kUsbWrongDriverText, ""},
      {"the chosen one has the chip maker's driver",
       [](auto& bus) { bus[0].chipMakersDriver = true; }, "A1", kUsbWrongDriverText, ""},
      {"its serial driver stays", [](auto& bus) { bus[0].detachRefused = true; }, "",
       std::string(kUsbSetupFailedText) + "stand-in error.", ""},
      {"an older chip", [](auto& bus) { bus[0].release = 0x0400; }, "", kUsbNotFt232rText, ""},
      {"no such serial", [](auto&) {}, "C3", UsbNotFoundText("C3"), ""},
      {"the second by serial", [](auto& bus) { bus[0].claimedElsewhere = true; }, "B2", "", "B2"},
      {"the first by serial", [](auto&) {}, "A1", "", "A1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    SetUp();
    c.plug(StandInBus());
    usbCableSerial = c.serial;
    cable.BeginRun();
    EXPECT_EQ(cable.OpenFailure(), c.reason);
    const Ft232rChip& used = c.opened == "B2" ? chipB : chipA;
    EXPECT_EQ(used.InSyncBitBang(), !c.opened.empty());
    if (c.opened == "B2") {
      EXPECT_TRUE(StandInBus()[0].serialDriverBound) << "A1 stays a serial port";
    }
  }
}

// On Windows a device takes one handle at a time: listing must not open the cable in use again.
TEST_F(Ft232rDriverTest, ListingCablesLeavesTheOpenOneWorking) {
  StandInOneHandlePerDevice(true);
  cable.BeginRun();
  ASSERT_EQ(cable.OpenFailure(), "");
  EXPECT_EQ(driver.List(),
            (std::vector<UsbDeviceInfo>{{"FT232R USB UART", "A1"}, {"FT232R USB UART", "B2"}}));
  EXPECT_EQ(StandInOpenHandles(), 1);
  EXPECT_EQ(PullSettingsFromBoard(view), 1);
}

// The baud-rate divisor's coding (AN232B-05), and the byte clock the chip makes of it.
TEST(Ft232rBaudRate, DivisorsAsTheChipDecodesThem) {
  const struct {
    int baud;
    Ft232rDivisor divisor;
    uint32_t byteNs;
  } cases[] = {
      {31250, {0x0060, 0}, 2000},      // the cable's: 96, one byte every 2 us
      {9600, {0x4138, 0}, 6510},       // 312.5
      {115200, {0x001A, 0}, 541},      // 26: 115384 baud, the nearest the chip has
      {3000000, {0x0000, 0}, 20},      // divisor 1
      {2000000, {0x0001, 0}, 31},      // divisor 1.5
      {183, {0x3FFF | 0xC000, 1}, 0},  // the largest divisor, 16383.875
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.baud);
    EXPECT_EQ(EncodeFt232rBaud(c.baud), c.divisor);
    if (c.byteNs == 0) continue;
    SimPort clock{base};
    Ft232rChip chip{clock};
    ASSERT_TRUE(chip.Control(0x03, c.divisor.value, c.divisor.index));
    EXPECT_EQ(chip.ByteNs(), c.byteNs);
  }
}

// The chip's rules, each of which a driver meets: the stall, packets and the latency timer, and
// pins sampled one byte behind.
TEST(Ft232rChipRules, BuffersPacketsAndSamples) {
  SimPort clock{base};
  Ft232rChip chip{clock};
  ASSERT_TRUE(chip.Control(0x0B, 0x0415, 1) && chip.Control(0x03, 0x0060, 0) &&
              chip.Control(0x09, 1, 1));
  std::vector<uint8_t> bytes(400, kUsbMosi.bit);
  bytes[0] = 0;
  int taken = 0;
  EXPECT_EQ(chip.BulkOut(bytes.data(), 400, 1000, taken), Ft232rChip::Transfer::TimedOut);
  EXPECT_EQ(taken, 384) << "both buffers full, the rest stalls";
  uint8_t packets[5 * 64];
  int got = 0;
  EXPECT_EQ(chip.BulkIn(packets, sizeof packets, 1000, got), Ft232rChip::Transfer::Done);
  EXPECT_EQ(got, 5 * 64) << "full packets go at once";
  EXPECT_EQ(packets[0], 0x01);
  EXPECT_EQ(packets[1], 0x60);
  EXPECT_EQ(packets[2] & kUsbMosi.bit, 0) << "the first sample, before any byte went out";
  EXPECT_EQ(packets[3] & kUsbMosi.bit, 0) << "byte 0 left MOSI low";
  EXPECT_NE(packets[4] & kUsbMosi.bit, 0);
  const uint64_t before = clock.NowUs();
  EXPECT_EQ(chip.BulkIn(packets, sizeof packets, 1000, got), Ft232rChip::Transfer::Done);
  EXPECT_EQ(got, 64 + 2 + 384 - 6 * 62) << "a full packet, then the rest in a short one";
  EXPECT_GE(clock.NowUs() - before, 1000u) << "sent only once the latency timer ran out";
}

}  // namespace
