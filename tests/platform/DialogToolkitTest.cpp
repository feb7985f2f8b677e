// Our dialog toolkit layer: data exchange, radio groups that may have no check, combo boxes that
// may have no selection.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QVBoxLayout>
#include <array>

#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "platform/RadioGroup.h"

namespace {

// A dialog with a three-button radio group (IDs 10-12), an edit box (20), a label (21) and a
// combo box (30), exchanged with its members.
class TestDialog : public CDialog {
 public:
  explicit TestDialog(QWidget* parent = nullptr) : CDialog(parent) {
    auto* layout = new QVBoxLayout(this);
    std::vector<QAbstractButton*> buttons;
    for (int i = 0; i < 3; ++i) {
      auto* radio = new QRadioButton(QStringLiteral("choice %1").arg(i), this);
      SetControlId(radio, 10 + i);
      layout->addWidget(radio);
      buttons.push_back(radio);
    }
    group = MakeRadioGroup(this, buttons);
    auto* edit = new QLineEdit(this);
    SetControlId(edit, 20);
    auto* label = new QLabel(QStringLiteral("template"), this);
    SetControlId(label, 21);
    auto* comboBox = new QComboBox(this);
    SetControlId(comboBox, 30);
    for (QWidget* w : std::initializer_list<QWidget*>{edit, label, comboBox}) layout->addWidget(w);
  }
  int choice = -1;
  QString text;
  std::string labelText;
  QComboBox* combo = nullptr;
  QButtonGroup* group = nullptr;
  QAbstractButton* Radio(int i) const { return GetDlgItemAs<QAbstractButton>(10 + i); }

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Radio(pDX, 10, choice);
    DDX_Text(pDX, 20, text);
    DDX_Text(pDX, 21, labelText);
    DDX_Control(pDX, 30, combo);
  }
};

std::array<bool, 3> Checks(const TestDialog& d) {
  return {d.Radio(0)->isChecked(), d.Radio(1)->isChecked(), d.Radio(2)->isChecked()};
}

TEST(DataExchange, RadioGroupExchangesTheCheckedNumberAndClearsOnAnyOtherValue) {
  TestDialog d;
  const struct {
    int written;
    std::array<bool, 3> checks;
    int readBack;
  } cases[] = {{1, {false, true, false}, 1},
               {2, {false, false, true}, 2},
               {-1, {false, false, false}, -1},
               {0, {true, false, false}, 0},
               {3, {false, false, false}, -1}};
  for (const auto& c : cases) {
    d.choice = c.written;
    d.UpdateData(false);
    EXPECT_EQ(Checks(d), c.checks) << c.written;
    d.choice = 99;
    d.UpdateData(true);
    EXPECT_EQ(d.choice, c.readBack) << c.written;
  }
}

TEST(DataExchange, TextsGoBothWaysAndControlsAreAttached) {
  TestDialog d;
  EXPECT_EQ(d.combo, nullptr);
  d.UpdateData(true);
  EXPECT_EQ(d.labelText, "template");
  EXPECT_EQ(d.combo, d.GetDlgItem(30));
  d.text = QStringLiteral("12");
  d.labelText = "v2.11";
  d.UpdateData(false);
  EXPECT_EQ(d.GetDlgItemText(20), "12");
  EXPECT_EQ(d.GetDlgItemText(21), "v2.11");
  EXPECT_EQ(d.GetDlgItem(0), nullptr);
  EXPECT_EQ(d.GetDlgItem(99), nullptr);
  // A dialog opened over this one has controls of its own, which are not this one's.
  TestDialog over(&d);
  SetControlId(over.GetDlgItem(30), 99);
  EXPECT_EQ(d.GetDlgItem(99), nullptr);
  EXPECT_NE(over.GetDlgItem(99), nullptr);
}

TEST(RadioGroup, AutomaticButtonsCheckOneAtATimeAndCanAllBeCleared) {
  TestDialog d;
  EXPECT_EQ(GetCheckedIndex(*d.group), -1);
  QTest::mouseClick(d.Radio(0), Qt::LeftButton);
  QTest::mouseClick(d.Radio(2), Qt::LeftButton);
  EXPECT_EQ(Checks(d), (std::array<bool, 3>{false, false, true}));
  QTest::mouseClick(d.Radio(2), Qt::LeftButton);
  EXPECT_TRUE(d.Radio(2)->isChecked()) << "clicking the checked button keeps it";
  SetCheckedIndex(*d.group, -1);
  EXPECT_EQ(Checks(d), (std::array<bool, 3>{false, false, false}));
  EXPECT_TRUE(d.group->exclusive());
  QTest::mouseClick(d.Radio(1), Qt::LeftButton);
  EXPECT_EQ(GetCheckedIndex(*d.group), 1);
}

TEST(RadioGroup, CheckRadioButtonChecksOneAndClearsTheRange) {
  TestDialog d;
  d.CheckRadioButton(10, 12, 11);
  EXPECT_EQ(Checks(d), (std::array<bool, 3>{false, true, false}));
  d.CheckRadioButton(10, 12, 10);
  EXPECT_EQ(Checks(d), (std::array<bool, 3>{true, false, false}));
  EXPECT_TRUE(d.IsDlgButtonChecked(10));
  d.CheckRadioButton(10, 12, 0);
  EXPECT_EQ(Checks(d), (std::array<bool, 3>{false, false, false}));
}

TEST(RadioGroup, CheckRadioButtonOverPartOfAGroupLeavesTheRestOfItAlone) {
  const struct {
    bool exclusive;
    std::array<bool, 3> before;
    int checkId;
    std::array<bool, 3> after;
  } cases[] = {
      {true, {true, false, false}, 0, {false, false, false}},
      {true, {false, false, true}, 0, {false, false, true}},
      {false, {true, false, true}, 11, {false, true, true}},
      {false, {true, true, true}, 0, {false, false, true}},
  };
  for (const auto& c : cases) {
    TestDialog d;
    d.group->setExclusive(false);
    for (int i = 0; i < 3; ++i) d.Radio(i)->setChecked(c.before[static_cast<std::size_t>(i)]);
    d.group->setExclusive(c.exclusive);
    d.CheckRadioButton(10, 11, c.checkId);
    EXPECT_EQ(Checks(d), c.after) << c.exclusive << " " << c.checkId;
    EXPECT_EQ(d.group->exclusive(), c.exclusive) << c.checkId;
  }
}

TEST(ComboBox, FilledWithoutSelectionAndAnIndexOutsideTheListSelectsNothing) {
  QComboBox combo;
  FillComboBox(&combo, std::array<std::string_view, 3>{"a", "b", "c"});
  EXPECT_EQ(combo.count(), 3);
  EXPECT_EQ(GetCurSel(&combo), -1);
  const std::pair<int, int> cases[] = {{1, 1}, {3, -1}, {2, 2}, {-1, -1}, {255, -1}, {0, 0}};
  for (const auto& [index, selected] : cases) {
    SetCurSel(&combo, index);
    EXPECT_EQ(GetCurSel(&combo), selected) << index;
    EXPECT_EQ(combo.currentText().isEmpty(), selected == -1);
  }
}

}  // namespace
