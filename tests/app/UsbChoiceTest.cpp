// The USB cable as the fourth connection choice: its token in ConnSettings.dat, which the address
// rules never take for a port, the choice the dialog saves, and the cables it lists.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <cstdlib>

#include "app/ConnectionSettings.h"
#include "app/Globals.h"
#include "app/SettingsDlg.h"
#include "link/Communication.h"
#include "platform/UsbCable.h"
#include "tests/app/SettingsDlgFixture.h"
#include "tests/support/Files.h"
#include "tests/support/Recorders.h"
#include "tests/support/ShellDoubles.h"

namespace {

TEST(UsbToken, OnlyTheCableTokensChooseTheCableAndNoneIsAnAddress) {
  const struct {
    const char* token;
    bool usb;
    const char* serial;
    std::optional<uint32_t> address;
  } cases[] = {
      {"usb", true, "", std::nullopt},     {"usb:A50285BI", true, "A50285BI", std::nullopt},
      {"USB", false, "", std::nullopt},  // the custom box's capitals
      {"USB:A1", false, "", std::nullopt}, {"usb:", false, "", std::nullopt},
      {"usb0", false, "", std::nullopt},   {"usbd010", false, "", std::nullopt},
      {"us", false, "", std::nullopt},     {"378", false, "", 0x378u},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsUsbToken(c.token), c.usb) << c.token;
    EXPECT_EQ(UsbSerialOf(c.token), c.serial) << c.token;
    EXPECT_EQ(ParseConnectionToken(c.token), c.address) << c.token;
  }
  EXPECT_EQ(ChoiceToSave(kChoiceUsb, "3BC").token, "usb");
  const SavedChoice chosen = ChoiceToSave(kChoiceUsb, "3BC", "A1");
  EXPECT_EQ(chosen.token, "usb:A1");
  EXPECT_TRUE(chosen.usb);
}

using UsbChoiceTest = SettingsDlgFixture;

TEST_F(UsbChoiceTest, SavingTheCableWritesItsTokenAndKeepsThePort) {
  scratch.Write(kConnSettingsFile, "278");
  Open();
  Click(IDC_USB);
  EXPECT_FALSE(dlg->GetDlgItem(IDC_CUSTOM_ADDRESS)->isEnabled());
  Click(IDOK);
  EXPECT_EQ(scratch.Read(kConnSettingsFile), "usb");
  EXPECT_EQ(bUsbCable, 1);
  EXPECT_EQ(base, 0x278u);
  Open();
  EXPECT_EQ(Checked(), IDC_USB);
  Click(IDC_LPT1);
  Click(IDOK);
  EXPECT_EQ(scratch.Read(kConnSettingsFile), "378");
  EXPECT_EQ(bUsbCable, 0);
  EXPECT_EQ(base, 0x378u);
  EXPECT_TRUE(messages.messages.empty());
}

TEST_F(UsbChoiceTest, TheCablesPluggedInAreListed) {
  const struct {
    std::vector<UsbDeviceInfo> devices;
    const char* line;
  } cases[] = {
      {{}, "USB cables (FT232R) plugged in: none"},
      {{{"FT232R USB UART", "A50285BI"}},
       "USB cables (FT232R) plugged in: FT232R USB UART (A50285BI)"},
      {{{"FT232R USB UART", "A1"}, {"", ""}},
       "USB cables (FT232R) plugged in: FT232R USB UART (A1), FT232R"},
  };
  for (const auto& c : cases) {
    Plugged(c.devices);
    Open();
    bool shown = false;
    for (const QLabel* label : dlg->findChildren<QLabel*>()) shown |= label->text() == c.line;
    EXPECT_TRUE(shown) << c.line;
  }
  EXPECT_EQ(dlg->GetDlgItemAs<QAbstractButton>(IDC_USB)->text(), "USB cable (FT232R)");
  // The cables guide's picture (scripts/take-screenshots): one cable plugged in and chosen.
  if (const char* dir = std::getenv("ORVANTA_SCREENSHOT_DIR")) {
    scratch.Write(kConnSettingsFile, "usb");
    Plugged({{"FT232R USB UART", "A50285BI"}});
    Open();
    dlg->grab().save(QString::fromUtf8(dir) + "/connection-settings.png");
  }
}

// The list offers the first found, each cable with a serial number, and a chosen cable that is
// not plugged in now; Save writes the choice and puts it in use.
TEST_F(UsbChoiceTest, ACableIsChosenByItsSerialNumber) {
  const struct {
    const char* file;
    std::vector<UsbDeviceInfo> plugged;
    QStringList items;
    int pick;
    const char* saved;
  } cases[] = {
      {"usb",
       {{"FT232R USB UART", "A1"}, {"", "B2"}, {"No serial", ""}, {"", std::string(61, 'L')}},
       {"The first one found", "FT232R USB UART (A1)", "FT232R (B2)"},
       2,
       "usb:B2"},
      {"usb:C3",
       {{"FT232R USB UART", "A1"}},
       {"The first one found", "FT232R USB UART (A1)", "C3 (not plugged in)"},
       -1,
       "usb:C3"},
      {"usb:A1",
       {{"FT232R USB UART", "A1"}},
       {"The first one found", "FT232R USB UART (A1)"},
       0,
       "usb"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    scratch.Write(kConnSettingsFile, c.file);
    Plugged(c.plugged);
    Open();
    auto* list = dlg->GetDlgItemAs<QComboBox>(IDC_USB_CABLE);
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
    EXPECT_EQ(items, c.items);
    EXPECT_TRUE(list->isEnabled());
    if (c.pick >= 0) list->setCurrentIndex(c.pick);
    Click(IDOK);
    EXPECT_EQ(scratch.Read(kConnSettingsFile), c.saved);
    EXPECT_EQ(usbCableSerial, UsbSerialOf(c.saved));
  }
  Click(IDC_LPT1);
  EXPECT_FALSE(dlg->GetDlgItem(IDC_USB_CABLE)->isEnabled());
}

}  // namespace
