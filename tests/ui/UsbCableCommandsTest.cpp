// The board commands over the USB cable (FT232R) on the simulated chip: a working cable does what
// the parallel port does, and each fault of the cable ends in the command's own failure message,
// with the cable's reason under it, after the usual retry.
#include <QCoreApplication>

#include "link/Communication.h"
#include "sim/BoardFirmware.h"
#include "tests/support/FirmwareFiles.h"
#include "tests/support/SimulatedUsbCable.h"
#include "tests/ui/MainDialogFixture.h"

namespace {

constexpr const char* kReadFailedTitle = "Board Read Failed";
constexpr const char* kUploadFailedTitle = "Settings Upload Failed";
constexpr const char* kFirmwareFailedTitle = "Firmware Upload Failed";

class UsbCableCommands : public MainDialogTest {
 protected:
  void SetUp() override {
    MainDialogTest::SetUp();
    bProgramInit = 0;
    bUsbCable = 1;
  }
  void TearDown() override {
    usb.reset();
    MainDialogTest::TearDown();
  }
  void Plug(const SimUsbPlan& plan) {
    usb.reset();
    usb = std::make_unique<SimulatedUsbCable>(plan);
    messages.messages.clear();
  }
  // Runs one board command: 0 download, 1 upload, 2 firmware update.
  void Run(int command) {
    messages.onShow = [](const MessageBoxRequest&) { QCoreApplication::sendPostedEvents(); };
    if (command == 0) dlg->ReadFromBoard();
    if (command == 1) Button(IDC_UPLOAD)->click();
    if (command == 2) {
      FileDialogScript files({DemoFirmware("orvanta-2.20.ofw").string()});
      Button(IDC_UPDATE_FIRMWARE)->click();
    }
    QCoreApplication::sendPostedEvents();
  }

  std::unique_ptr<SimulatedUsbCable> usb;
  MessageRecorder messages;
};

TEST_F(UsbCableCommands, AWorkingCableDownloadsUploadsAndUpdates) {
  Plug({});
  Run(0);
  EXPECT_TRUE(messages.messages.empty());
  EXPECT_EQ(Text(IDC_FIRMWARE_REVISION), "v2.11");
  dlg->SetDlgItemText(IDC_DWELL_EDIT, "17");
  Run(1);
  EXPECT_TRUE(messages.messages.empty());
  EXPECT_EQ(usb->board.DataByte(2), 17);
  Run(2);
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].title, "Firmware Upload Complete");
  EXPECT_EQ(Text(IDC_FIRMWARE_REVISION), "v2.20");
  EXPECT_EQ(usb->board.DataByte(2), 17) << "the settings restored";
}

TEST_F(UsbCableCommands, EachFaultEndsInTheCommandsFailureMessageWithItsReason) {
  const struct {
    const char* fault;
    int devices;
    bool permitted, ft232r;
    std::optional<uint64_t> unplugAfter;
    std::string reason;  // after the retry
  } faults[] = {
      {"no device", 0, true, true, {}, UsbNotFoundText()},
      {"no permission", 1, false, true, {}, UsbNoPermissionText()},
      {"not an FT232R", 1, true, false, {}, kUsbNotFt232rText},
      // Gone for good: the retry finds no cable.
      {"unplugged during the run", 1, true, true, 12000, UsbNotFoundText()},
  };
  const char* titles[] = {kReadFailedTitle, kUploadFailedTitle, kFirmwareFailedTitle};
  for (const auto& f : faults) {
    for (const int command : {0, 1, 2}) {
      SCOPED_TRACE(std::string(f.fault) + ", " + titles[command]);
      Plug({});
      Run(0);  // a complete dialog to upload
      SimUsbPlan plan;
      plan.devices = f.devices;
      plan.permitted = f.permitted;
      plan.ft232r = f.ft232r;
      if (f.unplugAfter) plan.unplugAfterBytes = usb->chip.Chip().BytesClocked() + *f.unplugAfter;
      usb->chip.SetPlan(plan);
      messages.messages.clear();
      Run(command);
      ASSERT_EQ(messages.messages.size(), 1u) << "nothing but the failure";
      EXPECT_EQ(messages.messages[0].title, titles[command]);
      EXPECT_EQ(messages.messages[0].icon, MsgIcon::Warning);
      EXPECT_EQ(messages.messages[0].informative, f.reason);
    }
  }
}

}  // namespace
