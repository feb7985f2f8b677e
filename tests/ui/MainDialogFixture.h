// A main dialog initialised as at a programming start (no download posted), with typed access to
// its controls by their IDC_* IDs and helpers that load settings blocks. Shared by the ui suites.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <array>
#include <cstdint>
#include <memory>

#include "app/Globals.h"
#include "platform/SpinButton.h"
#include "tests/support/Recorders.h"
#include "ui/OrvantaAppDlg.h"

// Elements 1 to 30 of a settings block (index 0 is element 1).
using Block = std::array<uint8_t, 30>;

// An Orvanta board's block with every dialog-owned element inside its list, and distinct values
// in the elements the dialog carries through.
inline Block TypicalBlock() {
  return {1, 3,  12, 5,  7, 1,  1, 2, 7,    0,    1,    2,    3,    1,    0,
          1, 17, 18, 19, 2, 11, 1, 6, 0x12, 0x80, 0xA6, 0xA7, 0xA8, 0x00, 0x00};
}

inline void LoadBlock(const Block& block) {
  for (std::size_t i = 0; i < block.size(); ++i) SettingsArray[i + 1] = block[i];
}

class MainDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobals();
    bProgramInit = 1;
    dlg = std::make_unique<COrvantaAppDlg>();
    dlg->OnInitDialog();
  }
  void TearDown() override {
    dlg.reset();
    ResetGlobals();
  }

  QComboBox* Combo(int id) const { return Typed<QComboBox>(id); }
  QLineEdit* Edit(int id) const { return Typed<QLineEdit>(id); }
  QAbstractButton* Button(int id) const { return Typed<QAbstractButton>(id); }
  QLabel* Label(int id) const { return Typed<QLabel>(id); }
  CSpinButtonCtrl* Spin(int id) const { return Typed<CSpinButtonCtrl>(id); }
  QTreeWidget* Tree() const { return Typed<QTreeWidget>(IDC_LCD_MENU_TREE); }
  QString Text(int id) const { return dlg->GetDlgItemText(id); }
  bool Checked(int id) const { return Button(id)->isChecked(); }

  // What the download command does with a block: show it, then read the controls back.
  void ShowBlock(const Block& block) {
    LoadBlock(block);
    dlg->PopulateDialog();
    dlg->UpdateData(true);
  }

  std::unique_ptr<COrvantaAppDlg> dlg;

 private:
  template <class T>
  T* Typed(int id) const {
    T* control = dlg->GetDlgItemAs<T>(id);
    EXPECT_NE(control, nullptr) << "control " << id;
    return control;
  }
};
