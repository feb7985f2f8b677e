// The USB cable on the simulated FT232R: the board operations leave the board as the parallel
// port does, each fault of the cable fails them with its reason, reads answer from the right
// sample, and the real-device path on a machine without an FT232R.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/Globals.h"
#include "board/BoardOperations.h"
#include "firmware/FileDecryption.h"
#include "link/Communication.h"
#include "platform/Ft232rDriver.h"
#include "sim/SimulatedCable.h"
#include "tests/support/Files.h"
#include "tests/support/FirmwareFiles.h"
#include "tests/support/NoView.h"
#include "tests/support/Recorders.h"
#include "tests/support/SimulatedUsbCable.h"

namespace {

struct Operation {
  const char* name;
  std::function<int(NoView&, const std::string& firmware)> run;
};

// Settings in the window, with the board's own revision and type, as after a download.
void FillSettings() {
  for (int n = 1; n < kSettingsArraySize; ++n) SettingsArray[n] = uint8_t(3 * n);
  SettingsArray[20] = 2;
  SettingsArray[21] = 11;
  SettingsArray[22] = 1;
  SettingsArray[31] = 0;
}

const Operation kOperations[] = {
    {"download", [](NoView& view, const std::string&) { return PullSettingsFromBoard(view); }},
    {"upload",
     [](NoView& view, const std::string&) {
       FillSettings();
       return PushSettingsToBoard(view);
     }},
    // As "Update Firmware" does it: the image, then the window's settings back on the board.
    {"firmware",
     [](NoView& view, const std::string& firmware) {
       FillSettings();
       if (!Firmware_Validation_Check(firmware)) return -1;
       const int programmed = UploadFirmware(view, firmware);
       return programmed == 1 ? PushSettingsToBoard(view) : programmed;
     }},
};

SimUsbPlan Plan(int devices, bool permitted, bool ft232r, std::optional<uint64_t> unplugAfter) {
  SimUsbPlan plan;
  plan.devices = devices;
  plan.permitted = permitted;
  plan.ft232r = ft232r;
  plan.unplugAfterBytes = unplugAfter;
  return plan;
}

SimUsbPlan NoBitBang() {
  SimUsbPlan plan;
  plan.bitBangWorks = false;
  return plan;
}

class UsbCableTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetGlobals(); }
  void TearDown() override { ResetGlobals(); }

  ScratchFile demo{ReadText(DemoFirmware("orvanta-2.20.ofw"))};
  NoView view;
};

struct Outcome {
  int result;
  BoardMemories memories;
  std::vector<uint8_t> settings;
};

Outcome OnParallelPort(const Operation& operation, const std::string& firmware) {
  SimulatedCable parallel(base);
  NoView view;
  const int result = operation.run(view, firmware);
  return {result, parallel.Board().Memories(), {SettingsArray, SettingsArray + kSettingsArraySize}};
}

TEST_F(UsbCableTest, EachOperationLeavesTheBoardAsTheParallelPortDoes) {
  for (const Operation& operation : kOperations) {
    for (const int fast : {0, 1}) {
      SCOPED_TRACE(std::string(operation.name) + (fast ? " fastprogramming" : ""));
      ResetGlobals();
      bFastProgramming = fast;
      const Outcome parallel = OnParallelPort(operation, demo.path());
      ResetGlobals();
      bFastProgramming = fast;
      SimulatedUsbCable usb;
      const int result = operation.run(view, demo.path());
      EXPECT_EQ(parallel.result, 1);
      EXPECT_EQ(result, 1);
      EXPECT_TRUE(usb.board.Memories() == parallel.memories) << "code, data and lock bits";
      EXPECT_EQ(std::vector<uint8_t>(SettingsArray, SettingsArray + kSettingsArraySize),
                parallel.settings);
      EXPECT_FALSE(usb.board.ResetHeld()) << "the board runs its firmware again";
      EXPECT_EQ(usb.cable.OpenFailure(), "");
    }
  }
}

TEST_F(UsbCableTest, EachFaultFailsEveryOperationWithItsReason) {
  const struct {
    const char* fault;
    SimUsbPlan plan;
    std::string reason;
  } faults[] = {
      {"no device", Plan(0, true, true, {}), UsbNotFoundText()},
      {"no permission", Plan(1, false, true, {}), UsbNoPermissionText()},
      {"not an FT232R", Plan(1, true, false, {}), kUsbNotFt232rText},
      {"unplugged at the start", Plan(1, true, true, 10), kUsbStoppedText},
      {"unplugged half-way", Plan(1, true, true, 15000), kUsbStoppedText},
      {"no bit-bang mode", NoBitBang(),
       "The USB cable (FT232R) could not be set up: unable to configure bitbang mode."},
  };
  for (const auto& fault : faults) {
    for (const Operation& operation : kOperations) {
      SCOPED_TRACE(std::string(fault.fault) + ", " + operation.name);
      ResetGlobals();
      SimulatedUsbCable usb(fault.plan);
      const BoardMemories before = usb.board.Memories();
      EXPECT_EQ(operation.run(view, demo.path()), 0);
      EXPECT_EQ(usb.cable.OpenFailure(), fault.reason);
      if (!fault.plan.unplugAfterBytes) {
        EXPECT_TRUE(usb.board.Memories() == before);
      }
      // The next run opens the cable again: plugged back in, it works.
      usb.chip.SetPlan({});
      ResetGlobals();
      EXPECT_EQ(operation.run(view, demo.path()), 1);
      EXPECT_EQ(usb.cable.OpenFailure(), "");
    }
  }
}

// Round trips: one per read whose answer is needed before going on, not one per port access.
TEST_F(UsbCableTest, ReadsShareTransfersAndOnlyDecidingReadsCostARoundTrip) {
  const struct {
    int operation;
    int fast;
    uint64_t most;
  } cases[] = {
      {0, 0, 34},  // the ready check, 30 bytes, the revision again, the release
      {1, 0, 36},  // the ready check, 31 verified bytes, the release, the lock bits
      // Polled: once the first bytes showed how long the chip writes, most bytes' first poll
      // finds them done.
      {1, 1, 60},
  };
  for (const auto& c : cases) {
    ResetGlobals();
    bFastProgramming = c.fast;
    SimulatedUsbCable usb;
    EXPECT_EQ(kOperations[c.operation].run(view, demo.path()), 1);
    EXPECT_LE(usb.cable.RoundTrips(), c.most) << kOperations[c.operation].name;
    EXPECT_GE(usb.cable.RoundTrips(), 32u) << "every byte read is its own answer";
  }
}

// The pins echo back: a device that drives MISO as MOSI shows which sample answers a read.
class EchoDevice final : public CableDevice {
 public:
  void OnDataLines(uint8_t lines, uint64_t) override { mosi_ = (lines & kMosi) != 0; }
  bool Miso(uint64_t) override { return mosi_; }

 private:
  bool mosi_ = false;
};

TEST_F(UsbCableTest, AQueuedReadSeesTheLinesAsTheWritesBeforeItLeftThem) {
  const struct {
    std::vector<uint8_t> mosiBeforeEachRead;
  } cases[] = {{{1}}, {{0}}, {{1, 0, 1, 1}}, {{0, 1, 0, 0, 1}}};
  for (const auto& c : cases) {
    SimulatedUsbCable usb;
    EchoDevice echo;
    usb.chip.Attach(&echo);
    PortBeginRun();
    for (const uint8_t mosi : c.mosiBeforeEachRead) {
      Out32(DataPort(), mosi);
      PortQueueRead(StatusPort());
      Out32(DataPort(), mosi ^ 1);  // changed at once after the read: must not be seen
    }
    for (const uint8_t mosi : c.mosiBeforeEachRead) EXPECT_EQ(PortTakeRead(), mosi ? kMiso : 0);
    EXPECT_EQ(usb.cable.RoundTrips(), 1u);
  }
}

// Why a cable cannot be used, as the failure message says it below its text, word for word (the
// guide "When something goes wrong" quotes them).
TEST(UsbCableReasons, AreSaidWordForWord) {
  const std::pair<std::string, const char*> reasons[] = {
      {UsbNotFoundText("A50285BI"),
       "The USB cable (FT232R) with serial number A50285BI was not found. Plug it in, or choose "
       "another cable under \"Connection...\"."},
      {UsbBusyText(),
       "The USB cable (FT232R) is in use by another program, or by another copy of this tool. "
       "Close it, or choose another cable under \"Connection...\"."},
#if defined(_WIN32)
      {UsbNoPermissionText(),
       "The USB cable (FT232R) was found, but Windows would not let the tool open it: another "
       "program has it open. Close that program, or choose another cable under "
       "\"Connection...\"."},
#else
      {UsbNoPermissionText(),
       "The USB cable (FT232R) was found, but you may not use it. Install the tool's udev rule "
       "(the help's page \"The cables\" says how), then unplug the cable and plug it in again."},
#endif
      {kUsbWrongDriverText,
       "The USB cable (FT232R) is held by the chip maker's own driver, which this tool cannot use. "
       "Give it the WinUSB driver (for example with Zadig), then unplug the cable and plug it in "
       "again."},
      {kUsbNotFt232rText,
       "The USB device found is not an FT232R, so it cannot drive the programming cable."},
      {kUsbStoppedText,
       "The USB cable (FT232R) stopped answering: it was unplugged or lost its power."},
  };
  for (const auto& [said, words] : reasons) EXPECT_EQ(said, words);
}

// This machine has no FT232R: the real path says so, and a board run fails at once.
TEST(UsbCableOnThisMachine, WithoutAnFt232rADownloadFailsSayingNoneWasFound) {
  ResetGlobals();
  Ft232rDriver chip;
  if (!chip.List().empty()) GTEST_SKIP() << "an FT232R is plugged in: not driven by a test";
  UsbCable cable(base, usbCableSerial, chip);
  {
    PortBackendOverride installed = PortBackendSeam().Replace(&cable);
    NoView view;
    EXPECT_EQ(PullSettingsFromBoard(view), 0);
    EXPECT_EQ(cable.OpenFailure(),
              "No USB cable (FT232R) was found. Plug it in, or choose a parallel port under "
              "\"Connection...\".");
  }
  ResetGlobals();
}

}  // namespace
