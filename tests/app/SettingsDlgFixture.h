// The connection settings dialog as DoModal shows it, in a scratch application directory, with
// the USB cables that are plugged in chosen by the test. Shared by the app suites.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "app/AppDirectory.h"
#include "app/Globals.h"
#include "app/SettingsDlg.h"
#include "platform/UsbBitBang.h"
#include "tests/support/Files.h"
#include "tests/support/Recorders.h"

class SettingsDlgFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobals();
    DetermineAppDirectory();
  }
  void TearDown() override {
    plugged_.reset();
    ResetGlobals();
  }

  // The dialog as DoModal shows it, without the modal run.
  void Open() {
    dlg = std::make_unique<CSettingsDlg>();
    dlg->m_ParportDir = (scratch.Root() / "proc").string();
    dlg->OnInitDialog();
    dlg->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
  }
  // On the button's own text, as a user clicks: a radio button stretched by its layout takes no
  // click on the empty rest, where its middle may fall with narrower fonts.
  void Click(int id) {
    QAbstractButton* button = dlg->GetDlgItemAs<QAbstractButton>(id);
    const int width = std::min(button->width(), button->sizeHint().width());
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(width / 2, button->height() / 2));
  }
  QLineEdit* Address() { return dlg->GetDlgItemAs<QLineEdit>(IDC_CUSTOM_ADDRESS); }
  // Key by key into the address box; a character with no key of its own comes as its text.
  void Type(const QString& text) {
    for (const QChar c : text) {
      if (c.unicode() < 0x80) {
        QTest::keyClick(Address(), c.toLatin1());
      } else {
        QTest::sendKeyEvent(QTest::Click, Address(), Qt::Key_unknown, QString(c), Qt::NoModifier);
      }
    }
  }
  int Checked() {
    for (const int id : {IDC_LPT1, IDC_LPT2, IDC_CUSTOM, IDC_USB}) {
      if (dlg->IsDlgButtonChecked(id)) return id;
    }
    return 0;
  }
  // The cables the dialog finds until the next call or the end of the test.
  void Plugged(std::vector<UsbDeviceInfo> devices) {
    plugged_.reset();
    plugged_.emplace(UsbListSeam(), [devices] { return devices; });
  }

  ScratchAppDirectory scratch;
  MessageRecorder messages;
  std::unique_ptr<CSettingsDlg> dlg;

 private:
  std::optional<UsbListOverride> plugged_;
};
