// The main dialog as the user sees it: its words, its groups, its tab order, what assistive
// technology reads, its state after a programming start, and a layout where nothing is clipped or
// overlapping. With ORVANTA_SCREENSHOT_DIR set, the layout test also saves screenshots there.
#include <QAccessible>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <cstdlib>
#include <set>

#include "platform/Controls.h"
#include "settings/SettingsBlock.h"
#include "tests/ui/MainDialogFixture.h"

namespace {

// The titles of the group boxes around `widget`, innermost first.
std::vector<QString> Groups(const QWidget* widget) {
  std::vector<QString> titles;
  for (const QWidget* w = widget->parentWidget(); w != nullptr; w = w->parentWidget()) {
    if (const auto* group = qobject_cast<const QGroupBox*>(w)) titles.push_back(group->title());
  }
  return titles;
}

QRect InDialog(const QWidget* widget, const QWidget* dialog) {
  return QRect(widget->mapTo(dialog, QPoint(0, 0)), widget->size());
}

QGroupBox* GroupTitled(const QWidget* dialog, const QString& title) {
  for (QGroupBox* group : dialog->findChildren<QGroupBox*>()) {
    if (group->title() == title) return group;
  }
  ADD_FAILURE() << "no group " << title.toStdString();
  return nullptr;
}

struct ControlText {
  int id;
  const char* text;
  std::vector<QString> groups;  // innermost first
};

const std::vector<ControlText>& ButtonsAndTheirGroups() {
  static const std::vector<ControlText> controls = {
      {IDC_OM_STANDARD, "Standard", {"Operation Mode:"}},
      {IDC_OM_TEST, "Test Max CPS", {"Operation Mode:"}},
      {IDC_PRESET_CONSERVATIVE, "Conservative", {"Presets:"}},
      {IDC_PRESET_NORMAL, "Normal", {"Presets:"}},
      {IDC_PRESET_FAST, "Fast", {"Presets:"}},
      {IDC_PRESET_EXTREME, "Extreme", {"Presets:"}},
      {IDC_AE_BYPASS_EYE, "Bypass Eye", {"After Eye Delay:", "Eye Options:"}},
      {IDC_AE_DELAY, "Delay", {"After Eye Delay:", "Eye Options:"}},
      {IDC_KOVAL_A, "Mode A", {"KOVAL Mode:", "Eye Options:"}},
      {IDC_KOVAL_B, "Mode B", {"KOVAL Mode:", "Eye Options:"}},
      {IDC_ET_DROP, "Timeout Drop", {"Eye Timing Mode:", "Eye Options:"}},
      {IDC_ET_FIRE, "Timeout Fire", {"Eye Timing Mode:", "Eye Options:"}},
      {IDC_TIMER_COUNTS_DOWN, "Counts Down", {"Timer Mode:", "Timer Options:"}},
      {IDC_TIMER_COUNTS_UP, "Counts Up", {"Timer Mode:", "Timer Options:"}},
      {IDC_SAVE_CONFIG, "Save Configuration", {}},
      {IDC_OPEN_CONFIG, "Open Configuration", {}},
      {IDC_UPLOAD, "Upload Configuration", {}},
      {IDC_DOWNLOAD, "Download Configuration", {}},
      {IDC_UPDATE_FIRMWARE, "Update Firmware", {}},
      {IDC_CONNECTION, "Connection...", {}},
      {IDCANCEL, "Exit ", {}},
  };
  return controls;
}

// Controls named by the box they sit in: accessible name, description and groups.
struct BoxedControl {
  int id;
  const char* name;
  const char* description;
  std::vector<QString> groups;
};

const std::vector<BoxedControl>& BoxedControls() {
  // A combo box is named after its chosen item: none yet.
  static const std::vector<BoxedControl> controls = {
      {IDC_FIRING_MODE_COMBO, "", "", {"Firing Mode:", "Firing Options:"}},
      {IDC_ROF_COMBO, "", "", {"Rate of Fire (ROF):", "Firing Options:"}},
      {IDC_AE_BYPASS_ROF_COMBO, "", "", {"AE Bypass ROF:", "Firing Options:"}},
      {IDC_DWELL_EDIT, "Solenoid Dwell:", "ms", {"Solenoid Dwell:", "Firing Options:"}},
      {IDC_DWELL_SPIN, "Solenoid Dwell:", "ms", {"Solenoid Dwell:", "Firing Options:"}},
      {IDC_DEBOUNCE_EDIT, "Trigger Debounce:", "Multiplier", {"Trigger Debounce:"}},
      {IDC_DEBOUNCE_SPIN, "Trigger Debounce:", "Multiplier", {"Trigger Debounce:"}},
      {IDC_AEDELAY_EDIT, "After Eye Delay:", "ms", {"After Eye Delay:", "Eye Options:"}},
      {IDC_AEDELAY_SPIN, "After Eye Delay:", "ms", {"After Eye Delay:", "Eye Options:"}},
      {IDC_TIMER_INIT_COMBO, "", "", {"Timer Init:", "Timer Options:"}},
      {IDC_TIMER_MINUTES_EDIT, "Timer Time:", "minutes", {"Timer Time:", "Timer Options:"}},
      {IDC_TIMER_MINUTES_SPIN, "Timer Time:", "minutes", {"Timer Time:", "Timer Options:"}},
      {IDC_TIMER_SECONDS_EDIT, "Timer Time:", "seconds", {"Timer Time:", "Timer Options:"}},
      {IDC_TIMER_SECONDS_SPIN, "Timer Time:", "seconds", {"Timer Time:", "Timer Options:"}},
      {IDC_SECTION1_COMBO, "", "", {"Section 1 Display:", "LCD Display:"}},
      {IDC_SECTION1B_COMBO, "", "", {"Section 1-B Display:", "LCD Display:"}},
      {IDC_SECTION2_COMBO, "", "", {"Section 2 Display:", "LCD Display:"}},
      {IDC_SECTION2B_COMBO, "", "", {"Section 2-B Display:", "LCD Display:"}},
      {IDC_LCD_MENU_TREE, "LCD Menus:", "", {"LCD Menus:"}},
      {IDC_AEDELAY_UNIT, "ms", "", {"After Eye Delay:", "Eye Options:"}},
      {IDC_BOARD_TYPE, "Unknown", "Board Type:", {"Board Information:"}},
      {IDC_FIRMWARE_REVISION, "Unknown", "Firmware Revision:", {"Board Information:"}},
      {IDC_BANNER, "Orvanta", "Product banner", {}},
  };
  return controls;
}

class MainDialogWords : public ::testing::Test {
 protected:
  void SetUp() override { ResetGlobals(); }
  void TearDown() override { ResetGlobals(); }
  COrvantaAppDlg dlg;  // as the template builds it, before initialisation
};

TEST_F(MainDialogWords, CaptionAndButtonTextsAndTheirGroups) {
  EXPECT_EQ(dlg.windowTitle(), "Orvanta Interface Application V1.2");
  for (const ControlText& control : ButtonsAndTheirGroups()) {
    auto* button = dlg.GetDlgItemAs<QAbstractButton>(control.id);
    ASSERT_NE(button, nullptr) << control.id;
    EXPECT_EQ(button->text(), control.text) << control.id;
    EXPECT_EQ(Groups(button), control.groups) << control.id;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), control.text) << control.id;
  }
}

TEST_F(MainDialogWords, BoxedControlsSitInTheirGroupsAndAreNamedByThem) {
  for (const BoxedControl& control : BoxedControls()) {
    QWidget* widget = dlg.GetDlgItem(control.id);
    ASSERT_NE(widget, nullptr) << control.id;
    EXPECT_EQ(Groups(widget), control.groups) << control.id;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), control.name) << control.id;
    EXPECT_EQ(accessible->text(QAccessible::Description), control.description) << control.id;
  }
}

TEST_F(MainDialogWords, FixedLabels) {
  std::multiset<QString> texts;
  for (const QLabel* label : dlg.findChildren<QLabel*>()) {
    if (label->pixmap().isNull()) texts.insert(label->text());
  }
  EXPECT_EQ(texts,
            (std::multiset<QString>{"ms", "Multiplier", "ms", ":", "Tarvelcorp",
                                    "Board Type:", "Firmware Revision:", "Unknown", "Unknown"}));
  for (const QLabel* label : dlg.findChildren<QLabel*>()) {
    EXPECT_EQ(label->isEnabled(), label->text() != "Tarvelcorp") << label->text().toStdString();
  }
  const QLabel* banner = dlg.GetDlgItemAs<QLabel>(IDC_BANNER);
  ASSERT_NE(banner, nullptr);
  EXPECT_FALSE(banner->pixmap().isNull());
}

TEST_F(MainDialogWords, ComboBoxItemLists) {
  const std::pair<int, std::vector<QString>> lists[] = {
      {IDC_FIRING_MODE_COMBO, {"Semi Auto", "Turbo", "Autoresponse", "Full Auto"}},
      {IDC_ROF_COMBO,
       {"20/Unlimited", "18 bps", "16 bps", "14 bps", "13 bps", "12 bps", "10 bps", "09 bps"}},
      {IDC_AE_BYPASS_ROF_COMBO,
       {"20 bps", "18 bps", "16 bps", "14 bps", "13 bps", "12 bps", "10 bps", "09 bps"}},
      {IDC_TIMER_INIT_COMBO, {"Button 1 Only", "Button 1 or Fire Only", "Turnon, B1, or Fire"}},
  };
  const std::vector<QString> sections = {"Timer",        "Shot Count",  "ROF Setting",
                                         "ROF Achieved", "Firing Mode", "Dwell",
                                         "Eye Status",   "Version",     "Blank (Empty)"};
  auto items = [this](int id) {
    std::vector<QString> texts;
    const auto* combo = dlg.GetDlgItemAs<QComboBox>(id);
    for (int i = 0; i < combo->count(); ++i) texts.push_back(combo->itemText(i));
    EXPECT_EQ(combo->currentIndex(), -1) << id;
    EXPECT_FALSE(combo->isEditable()) << id;
    return texts;
  };
  for (const auto& [id, list] : lists) EXPECT_EQ(items(id), list) << id;
  for (const int id :
       {IDC_SECTION1_COMBO, IDC_SECTION1B_COMBO, IDC_SECTION2_COMBO, IDC_SECTION2B_COMBO}) {
    EXPECT_EQ(items(id), sections) << id;
  }
}

TEST_F(MainDialogWords, TabOrderFollowsTheGroups) {
  const std::vector<int> expected = {IDC_OM_STANDARD,
                                     IDC_OM_TEST,
                                     IDC_PRESET_CONSERVATIVE,
                                     IDC_PRESET_NORMAL,
                                     IDC_PRESET_FAST,
                                     IDC_PRESET_EXTREME,
                                     IDC_FIRING_MODE_COMBO,
                                     IDC_ROF_COMBO,
                                     IDC_AE_BYPASS_ROF_COMBO,
                                     IDC_DWELL_EDIT,
                                     IDC_DEBOUNCE_EDIT,
                                     IDC_AE_BYPASS_EYE,
                                     IDC_AE_DELAY,
                                     IDC_AEDELAY_EDIT,
                                     IDC_KOVAL_A,
                                     IDC_KOVAL_B,
                                     IDC_ET_DROP,
                                     IDC_ET_FIRE,
                                     IDC_TIMER_INIT_COMBO,
                                     IDC_TIMER_MINUTES_EDIT,
                                     IDC_TIMER_SECONDS_EDIT,
                                     IDC_TIMER_COUNTS_DOWN,
                                     IDC_TIMER_COUNTS_UP,
                                     IDC_SECTION1_COMBO,
                                     IDC_SECTION1B_COMBO,
                                     IDC_SECTION2_COMBO,
                                     IDC_SECTION2B_COMBO,
                                     IDC_LCD_MENU_TREE,
                                     IDC_SAVE_CONFIG,
                                     IDC_OPEN_CONFIG,
                                     IDC_UPLOAD,
                                     IDC_DOWNLOAD,
                                     IDC_UPDATE_FIRMWARE,
                                     IDC_CONNECTION,
                                     IDCANCEL};
  std::vector<int> order;
  QWidget* first = dlg.GetDlgItem(IDC_OM_STANDARD);
  QWidget* w = first;
  do {
    if ((w->focusPolicy() & Qt::TabFocus) && ControlId(w) != 0) order.push_back(ControlId(w));
    w = w->nextInFocusChain();
  } while (w != first && order.size() < 100);
  EXPECT_EQ(order, expected);
}

using MainDialogStartState = MainDialogTest;

TEST_F(MainDialogStartState, ProgrammingStartShowsAnEmptyDialog) {
  for (const QAbstractButton* button : dlg->findChildren<QRadioButton*>()) {
    EXPECT_FALSE(button->isChecked()) << button->text().toStdString();
  }
  for (const QComboBox* combo : dlg->findChildren<QComboBox*>()) {
    EXPECT_EQ(combo->currentIndex(), -1) << ControlId(combo);
  }
  for (const QLineEdit* edit : dlg->findChildren<QLineEdit*>()) {
    EXPECT_TRUE(edit->text().isEmpty()) << ControlId(edit);
    EXPECT_TRUE(edit->isReadOnly()) << ControlId(edit);
  }
  for (const int id : {IDC_AEDELAY_EDIT, IDC_AEDELAY_SPIN, IDC_AEDELAY_UNIT}) {
    EXPECT_FALSE(dlg->GetDlgItem(id)->isEnabled()) << id;
  }
  EXPECT_EQ(Text(IDC_FIRMWARE_REVISION), "None");
  EXPECT_EQ(Text(IDC_BOARD_TYPE), "Empty Board");
  for (const int choice : {dlg->m_OperationMode, dlg->m_AEDelayMode, dlg->m_KOVALMode,
                           dlg->m_EyeTimingMode, dlg->m_TimerMode}) {
    EXPECT_EQ(choice, -1);
  }
  EXPECT_EQ(Tree()->topLevelItemCount(), kLCDMenuCount);
  EXPECT_FALSE(dlg->windowIcon().isNull());
}

TEST(MainDialogInit, PresetChecksAreClearedAndLabelsFollowTheGlobals) {
  ResetGlobals();
  bProgramInit = 1;
  COrvantaAppDlg dlg;
  dlg.GetDlgItemAs<QAbstractButton>(IDC_PRESET_FAST)->setChecked(true);
  dlg.OnInitDialog();
  EXPECT_FALSE(dlg.GetDlgItemAs<QAbstractButton>(IDC_PRESET_FAST)->isChecked());
  dlg.UpdateData(true);
  m_BoardType = "Orvanta";
  m_FirmwareRevision = "v2.11";
  dlg.UpdateData(false);
  EXPECT_EQ(dlg.GetDlgItemText(IDC_BOARD_TYPE), "Orvanta");
  EXPECT_EQ(dlg.GetDlgItemText(IDC_FIRMWARE_REVISION), "v2.11");
  ResetGlobals();
}

class MainDialogLayout : public MainDialogTest {
 protected:
  void SetUp() override {
    MainDialogTest::SetUp();
    dlg->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
  }
  void Save(const char* name) const {
    const char* dir = std::getenv("ORVANTA_SCREENSHOT_DIR");
    if (dir == nullptr) return;
    QCoreApplication::processEvents();
    EXPECT_TRUE(dlg->grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(name)));
  }
  QRect Group(const char* title) const {
    const QGroupBox* group = GroupTitled(dlg.get(), title);
    return group != nullptr ? InDialog(group, dlg.get()) : QRect();
  }
  void ExpectNothingClipped() const {
    for (const QWidget* w : dlg->findChildren<QWidget*>()) {
      if (!w->isVisible()) continue;
      // Controls that show words; the spin buttons' arrows are meant to be small.
      const auto* button = qobject_cast<const QAbstractButton*>(w);
      const bool hasText = qobject_cast<const QLabel*>(w) || qobject_cast<const QComboBox*>(w) ||
                           qobject_cast<const QGroupBox*>(w) ||
                           (button != nullptr && !button->text().isEmpty());
      if (!hasText) continue;
      EXPECT_GE(w->width(), w->minimumSizeHint().width()) << w->objectName().toStdString();
      EXPECT_GE(w->height(), w->minimumSizeHint().height()) << w->objectName().toStdString();
      EXPECT_TRUE(dlg->rect().contains(InDialog(w, dlg.get()))) << w->objectName().toStdString();
    }
    EXPECT_FALSE(Tree()->verticalScrollBar()->isVisible()) << "all sixteen menus in sight";
    EXPECT_FALSE(Tree()->horizontalScrollBar()->isVisible());
    const int indicator = Tree()->style()->pixelMetric(QStyle::PM_IndicatorWidth);
    for (int row = 0; row < Tree()->topLevelItemCount(); ++row) {
      const QString text = Tree()->topLevelItem(row)->text(0);
      EXPECT_GE(Tree()->header()->sectionSize(0),
                indicator + Tree()->fontMetrics().horizontalAdvance(text))
          << text.toStdString() << " elided";
    }
  }
};

TEST_F(MainDialogLayout, GroupsAreArrangedAsTheTemplateArrangesThem) {
  const QRect operation = Group("Operation Mode:"), presets = Group("Presets:"),
              firing = Group("Firing Options:"), debounce = Group("Trigger Debounce:"),
              eye = Group("Eye Options:"), timer = Group("Timer Options:"),
              lcd = Group("LCD Display:"), menus = Group("LCD Menus:"),
              board = Group("Board Information:");
  const QRect banner = InDialog(dlg->GetDlgItem(IDC_BANNER), dlg.get());
  // Top row: operation mode, presets, banner.
  EXPECT_LT(operation.right(), presets.left());
  EXPECT_LT(presets.right(), banner.left());
  EXPECT_EQ(presets.right(), timer.right());
  EXPECT_LT(operation.bottom(), firing.top());
  EXPECT_LT(banner.bottom(), lcd.top());
  // Middle row, left to right; trigger debounce above eye options.
  for (const auto& [left, right] : {std::pair{firing, debounce}, std::pair{debounce, timer},
                                    std::pair{timer, lcd}, std::pair{lcd, menus}}) {
    EXPECT_LT(left.right(), right.left());
  }
  EXPECT_EQ(firing.left(), operation.left());
  EXPECT_LT(debounce.bottom(), eye.top());
  EXPECT_EQ(debounce.left(), eye.left());
  for (const QRect& column : {debounce, timer, lcd, menus}) EXPECT_EQ(column.top(), firing.top());
  for (const QRect& column : {eye, timer, lcd, menus}) EXPECT_EQ(column.bottom(), firing.bottom());
  // Bottom row: board information under the firing options, buttons beside it.
  EXPECT_LT(firing.bottom(), board.top());
  EXPECT_EQ(board.left(), firing.left());
  const int bottomButtons[] = {IDC_SAVE_CONFIG, IDC_UPDATE_FIRMWARE, IDCANCEL};
  for (const int id : bottomButtons) {
    const QRect button = InDialog(dlg->GetDlgItem(id), dlg.get());
    EXPECT_LT(board.right(), button.left()) << id;
    EXPECT_LT(firing.bottom(), button.top()) << id;
  }
  EXPECT_LE(dlg->width(), 1280);
  EXPECT_LE(dlg->height(), 1024);
}

TEST_F(MainDialogLayout, NothingClippedOrOverlappingEmptyAfterAPresetAndWithAFullBlock) {
  ExpectNothingClipped();
  Save("main-dialog-empty.png");
  Button(IDC_PRESET_NORMAL)->click();
  ExpectNothingClipped();
  Save("main-dialog-preset.png");
  Block block = TypicalBlock();
  block[kElemTimerStart - 1] = 1;  // "Button 1 or Fire Only", the widest timer start
  ShowBlock(block);
  m_FirmwareRevision = "v2.11";
  m_BoardType = "Orvanta";
  dlg->UpdateData(false);
  ExpectNothingClipped();
  Save("main-dialog-full.png");

  std::vector<std::pair<int, QRect>> controls;
  for (const QWidget* w : dlg->findChildren<QWidget*>()) {
    if (ControlId(w) != 0) controls.emplace_back(ControlId(w), InDialog(w, dlg.get()));
  }
  for (std::size_t i = 0; i < controls.size(); ++i) {
    for (std::size_t j = i + 1; j < controls.size(); ++j) {
      EXPECT_FALSE(controls[i].second.intersects(controls[j].second))
          << controls[i].first << " overlaps " << controls[j].first;
    }
  }
}

}  // namespace
