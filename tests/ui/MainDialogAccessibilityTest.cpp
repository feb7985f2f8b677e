// The main dialog as a screen reader meets it, in process: names, roles, states, label relations
// and the actions an assistive tool invokes.
#include <QAccessible>
#include <QGroupBox>
#include <QSignalSpy>

#include "platform/TreeControl.h"
#include "settings/SettingsBlock.h"
#include "tests/ui/MainDialogFixture.h"

namespace {

using Action = const QString& (*)();

QAccessibleInterface* Accessible(QObject* object) {
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(object);
  EXPECT_NE(accessible, nullptr);
  return accessible;
}

QString Name(QObject* object) {
  return Accessible(object)->text(QAccessible::Name);
}

// The names of the interfaces that label `object`.
QStringList Labels(QObject* object) {
  QStringList names;
  for (const auto& [label, relation] : Accessible(object)->relations(QAccessible::Label)) {
    names << label->text(QAccessible::Name);
  }
  return names;
}

class MainDialogAccessibility : public MainDialogTest {};

// An assistive tool's Toggle or Press must do what a click does, once: also on a button that is
// already checked, where a click on a preset applies it again.
TEST_F(MainDialogAccessibility, ActivatingARadioButtonDoesWhatAClickDoes) {
  const struct {
    int id;
    std::function<bool()> done;
    std::function<void()> undo;
  } buttons[] = {
      {IDC_PRESET_NORMAL,
       [this] { return Combo(IDC_ROF_COMBO)->currentIndex() == 2 && Text(IDC_DWELL_EDIT) == "10"; },
       [this] { Combo(IDC_ROF_COMBO)->setCurrentIndex(-1); }},
      {IDC_AE_DELAY, [this] { return dlg->GetDlgItem(IDC_AEDELAY_EDIT)->isEnabled(); },
       [this] { dlg->GetDlgItem(IDC_AEDELAY_EDIT)->setEnabled(false); }},
      {IDC_TIMER_COUNTS_UP, [this] { return dlg->m_TimerMode == 1; },
       [this] { dlg->m_TimerMode = -1; }},
  };
  for (const Action action :
       {&QAccessibleActionInterface::toggleAction, &QAccessibleActionInterface::pressAction}) {
    SetUp();
    for (const auto& b : buttons) {
      QSignalSpy clicks(Button(b.id), &QAbstractButton::clicked);
      QAccessibleActionInterface* actions = Accessible(Button(b.id))->actionInterface();
      ASSERT_NE(actions, nullptr);
      for (const char* when : {"unchecked", "already checked"}) {
        b.undo();
        actions->doAction(action());
        EXPECT_TRUE(Checked(b.id)) << b.id << " " << when;
        EXPECT_TRUE(b.done()) << b.id << " " << when << " " << action().toStdString();
      }
      EXPECT_EQ(clicks.count(), 2) << b.id << ": one click per activation";
    }
  }
}

// Each inner box is named by its own title and labels the controls inside it. A combo box is
// named after its chosen item, as Linux screen readers expect, and nothing when none is chosen:
// its label reaches the reader through the relation.
TEST_F(MainDialogAccessibility, ControlsAreNamedAndLabelledByTheirOwnBox) {
  const std::pair<int, const char*> controls[] = {
      {IDC_FIRING_MODE_COMBO, "Firing Mode:"},
      {IDC_DWELL_EDIT, "Solenoid Dwell:"},
      {IDC_DWELL_SPIN, "Solenoid Dwell:"},
      {IDC_AE_DELAY, "After Eye Delay:"},
      {IDC_KOVAL_A, "KOVAL Mode:"},
      {IDC_ET_FIRE, "Eye Timing Mode:"},
      {IDC_TIMER_INIT_COMBO, "Timer Init:"},
      {IDC_TIMER_MINUTES_EDIT, "Timer Time:"},
      {IDC_TIMER_COUNTS_UP, "Timer Mode:"},
      {IDC_SECTION2B_COMBO, "Section 2-B Display:"},
  };
  for (const auto& [id, box] : controls) {
    QWidget* control = dlg->GetDlgItem(id);
    EXPECT_EQ(Name(control->parentWidget()), box) << id;
    EXPECT_EQ(Labels(control), QStringList{box}) << id;
  }
  for (const int id : {IDC_FIRING_MODE_COMBO, IDC_SECTION2B_COMBO}) {
    for (const int index : {1, -1, 0}) {
      Combo(id)->setCurrentIndex(index);
      const QString item = index < 0 ? QString() : Combo(id)->itemText(index);
      EXPECT_EQ(Name(Combo(id)), item) << id << " item " << index;
      EXPECT_EQ(Accessible(Combo(id))->text(QAccessible::Value), item) << id << " item " << index;
    }
    EXPECT_EQ(Accessible(Combo(id))->role(), QAccessible::ComboBox) << id;
  }
}

// Widgets of the toolkit's own windows (a file dialog's type list) keep Qt's interfaces: with no
// item chosen, Qt names a combo box after its label, where ours would be silent.
TEST_F(MainDialogAccessibility, ComboBoxesOutsideOurDialogsKeepQtsInterface) {
  QWidget window;
  auto* label = new QLabel(QStringLiteral("Files of type:"), &window);
  auto* combo = new QComboBox(&window);
  label->setBuddy(combo);
  combo->addItem(QStringLiteral("Orvanta Config Files (*.osf)"));
#ifdef _WIN32
  // Windows' own rule, which Qt follows there: a combo box is named after its label always.
  EXPECT_EQ(Name(combo), "Files of type:");
#else
  EXPECT_EQ(Name(combo), "Orvanta Config Files (*.osf)");
#endif
  combo->setCurrentIndex(-1);
  EXPECT_EQ(Name(combo), "Files of type:");
  Combo(IDC_FIRING_MODE_COMBO)->setCurrentIndex(-1);
  EXPECT_EQ(Name(Combo(IDC_FIRING_MODE_COMBO)), "");
}

// An empty value is not announced as the name of its group.
TEST_F(MainDialogAccessibility, BoardInformationValuesAreLabelledByTheirCaptions) {
  const std::pair<int, const char*> values[] = {{IDC_BOARD_TYPE, "Board Type:"},
                                                {IDC_FIRMWARE_REVISION, "Firmware Revision:"}};
  for (const std::string text : {"", "Orvanta"}) {
    m_BoardType = m_FirmwareRevision = text;
    dlg->UpdateData(false);
    for (const auto& [id, caption] : values) {
      QLabel* value = Label(id);
      EXPECT_NE(Name(value), "Board Information:") << id;
      EXPECT_EQ(Name(value), text.empty() ? QString::fromLatin1(caption) : "Orvanta") << id;
      EXPECT_TRUE(Labels(value).contains(caption)) << id;
    }
  }
}

// The sixteen menus are check boxes: checkable, checked as the tree shows, and toggled by the
// assistive tool's action as by a click.
TEST_F(MainDialogAccessibility, LCDMenuItemsAreCheckBoxes) {
  QAccessibleInterface* tree = Accessible(Tree());
  std::vector<QAccessibleInterface*> items;
  for (int i = 0; i < tree->childCount(); ++i) {
    QAccessibleInterface* child = tree->child(i);
    if (child != nullptr && child->role() == QAccessible::CheckBox) items.push_back(child);
  }
  ASSERT_EQ(items.size(), static_cast<std::size_t>(kLCDMenuCount));
  SetCheck(Tree()->topLevelItem(3), true);
  for (int bit = 0; bit < kLCDMenuCount; ++bit) {
    QAccessibleInterface* item = items[static_cast<std::size_t>(bit)];
    EXPECT_EQ(item->text(QAccessible::Name), Tree()->topLevelItem(bit)->text(0)) << bit;
    EXPECT_TRUE(item->state().checkable) << bit;
    EXPECT_EQ(item->state().checked, bit == 3) << bit;
    EXPECT_EQ(tree->indexOfChild(item), tree->indexOfChild(items.front()) + bit);
    EXPECT_EQ(item->parent(), tree);
  }
  for (const int bit : {3, 5}) {
    ASSERT_NE(items[bit]->actionInterface(), nullptr);
    items[bit]->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  }
  dlg->DetermineSelectLCDMenus();
  EXPECT_EQ(dlg->m_LCDMenuMask, 1 << 5);
  EXPECT_TRUE(items[5]->state().checked);
}

// Spin buttons are spin boxes with the number their edit box shows; their actions step them as
// the arrows do, the minutes' substitution included.
TEST_F(MainDialogAccessibility, SpinButtonsAreSpinBoxesWithAValue) {
  ShowBlock(TypicalBlock());
  const struct {
    int id;
    int value, lower, upper;
    const char* afterDecrease;
    const char* atLower;
  } spins[] = {{IDC_DWELL_SPIN, 12, 2, 30, "11", "2"},
               {IDC_TIMER_MINUTES_SPIN, 3, 1, 15, "02", "01"},
               {IDC_TIMER_SECONDS_SPIN, 35, 0, 59, "30", "00"}};
  for (const auto& s : spins) {
    QAccessibleInterface* spin = Accessible(Spin(s.id));
    EXPECT_EQ(spin->role(), QAccessible::SpinBox) << s.id;
    QAccessibleValueInterface* value = spin->valueInterface();
    ASSERT_NE(value, nullptr) << s.id;
    EXPECT_EQ(value->currentValue().toInt(), s.value) << s.id;
    EXPECT_EQ(value->minimumValue().toInt(), s.lower) << s.id;
    EXPECT_EQ(value->maximumValue().toInt(), s.upper) << s.id;
    ASSERT_NE(spin->actionInterface(), nullptr) << s.id;
    spin->actionInterface()->doAction(QAccessibleActionInterface::decreaseAction());
    EXPECT_EQ(Spin(s.id)->GetBuddy()->text(), s.afterDecrease) << s.id;
    EXPECT_EQ(spin->text(QAccessible::Value), s.afterDecrease) << s.id;
    value->setCurrentValue(s.lower);
    EXPECT_EQ(spin->text(QAccessible::Value), s.atLower) << s.id;
  }
}

}  // namespace
