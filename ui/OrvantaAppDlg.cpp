#include "ui/OrvantaAppDlg.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "board/BoardSession.h"
#include "platform/Controls.h"
#include "platform/PostedMessage.h"
#include "platform/RadioGroup.h"
#include "platform/SpinButton.h"
#include "platform/TreeControl.h"
#include "settings/DialogSettings.h"
#include "settings/SettingsBlock.h"
#include "ui_OrvantaAppDlg.h"

// The images live in this static library, where nothing else would pull them into the program.
// Q_INIT_RESOURCE must not be used inside a namespace.
static void InitResources() {
  Q_INIT_RESOURCE(orvanta);
}

namespace {

// The command table: button ID -> handler.
struct Command {
  int id;
  void (COrvantaAppDlg::*handler)();
};

constexpr Command kCommands[] = {
    {IDC_OM_STANDARD, &COrvantaAppDlg::UpdateOMStandardValue},
    {IDC_OM_TEST, &COrvantaAppDlg::UpdateOMTestValue},
    {IDC_KOVAL_A, &COrvantaAppDlg::UpdateKOVALAValue},
    {IDC_KOVAL_B, &COrvantaAppDlg::UpdateKOVALBValue},
    {IDC_ET_DROP, &COrvantaAppDlg::UpdateETModeDropValue},
    {IDC_ET_FIRE, &COrvantaAppDlg::UpdateETModeFireValue},
    {IDC_TIMER_COUNTS_UP, &COrvantaAppDlg::UpdateTimerModeUpValue},
    {IDC_TIMER_COUNTS_DOWN, &COrvantaAppDlg::UpdateTimerModeDownValue},
    {IDC_AE_BYPASS_EYE, &COrvantaAppDlg::UpdateAEDelayBypassValue},
    {IDC_AE_DELAY, &COrvantaAppDlg::UpdateAEDelayDelayValue},
    {IDC_PRESET_CONSERVATIVE, &COrvantaAppDlg::LoadUpConservativeSettings},
    {IDC_PRESET_FAST, &COrvantaAppDlg::LoadUpFastSettings},
    {IDC_PRESET_NORMAL, &COrvantaAppDlg::LoadUpNormalSettings},
    {IDC_PRESET_EXTREME, &COrvantaAppDlg::LoadUpExtremeSettings},
    {IDC_DOWNLOAD, &COrvantaAppDlg::ReadFromBoard},
    {IDC_UPLOAD, &COrvantaAppDlg::WriteToBoard},
    {IDC_SAVE_CONFIG, &COrvantaAppDlg::SaveConfiguration},
    {IDC_OPEN_CONFIG, &COrvantaAppDlg::LoadConfiguration},
    {IDC_UPDATE_FIRMWARE, &COrvantaAppDlg::UpdateFirmware},
    {IDC_CONNECTION, &COrvantaAppDlg::DisplaySettingsDialog},
};

// Radio groups, each listed in its buttons' order.
const std::vector<std::vector<int>> kRadioGroups = {
    {IDC_OM_STANDARD, IDC_OM_TEST},
    {IDC_PRESET_CONSERVATIVE, IDC_PRESET_NORMAL, IDC_PRESET_FAST, IDC_PRESET_EXTREME},
    {IDC_AE_BYPASS_EYE, IDC_AE_DELAY},
    {IDC_KOVAL_A, IDC_KOVAL_B},
    {IDC_ET_DROP, IDC_ET_FIRE},
    {IDC_TIMER_COUNTS_DOWN, IDC_TIMER_COUNTS_UP},
};

// Spin buttons and their buddy edit boxes.
constexpr std::pair<int, int> kSpinBuddies[] = {
    {IDC_DWELL_SPIN, IDC_DWELL_EDIT},
    {IDC_DEBOUNCE_SPIN, IDC_DEBOUNCE_EDIT},
    {IDC_AEDELAY_SPIN, IDC_AEDELAY_EDIT},
    {IDC_TIMER_MINUTES_SPIN, IDC_TIMER_MINUTES_EDIT},
    {IDC_TIMER_SECONDS_SPIN, IDC_TIMER_SECONDS_EDIT},
};

// Room for four digits: a board may hold values beyond the spin ranges (seconds up to 1275).
constexpr const char* kNumericWidthSample = "0000";

QIcon LoadAppIcon() {
  InitResources();
  QIcon icon;
  for (const int size : {16, 32, 48, 64, 128}) {
    icon.addFile(QStringLiteral(":/images/orvanta-icon-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

void SetSpin(CSpinButtonCtrl* spin, int lower, int upper, std::vector<UDACCEL> accels) {
  spin->SetRange32(lower, upper);
  spin->SetAccel(std::move(accels));
}

}  // namespace

COrvantaAppDlg::COrvantaAppDlg(QWidget* parent)
    : CDialog(parent), m_hIcon(LoadAppIcon()), ui_(std::make_unique<Ui::COrvantaAppDlg>()) {
  ui_->setupUi(this);
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  SetControlId(ui_->exitButton, IDCANCEL);
  SetupControls();
  ConnectCommands();
}

COrvantaAppDlg::~COrvantaAppDlg() = default;

void COrvantaAppDlg::SetupControls() {
  FillComboBox(ui_->firingModeCombo, kFiringModeItems);
  FillComboBox(ui_->rofCombo, kRateOfFireItems);
  FillComboBox(ui_->aeBypassRofCombo, kAEBypassROFItems);
  FillComboBox(ui_->timerInitCombo, kTimerInitItems);
  for (QComboBox* section :
       {ui_->section1Combo, ui_->section1BCombo, ui_->section2Combo, ui_->section2BCombo}) {
    FillComboBox(section, kLCDContentItems);
  }
  for (const std::vector<int>& ids : kRadioGroups) {
    std::vector<QAbstractButton*> buttons;
    for (const int id : ids) buttons.push_back(GetDlgItemAs<QAbstractButton>(id));
    QButtonGroup* group = MakeRadioGroup(this, buttons);
    if (ids.front() == IDC_PRESET_CONSERVATIVE) m_PresetGroup = group;
  }
  for (const auto& [spinId, editId] : kSpinBuddies) {
    auto* edit = GetDlgItemAs<QLineEdit>(editId);
    MakeReadOnlyNumeric(edit);
    edit->setAlignment(Qt::AlignRight);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QLatin1String(kNumericWidthSample)) +
                        2 * edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 8);
    GetDlgItemAs<CSpinButtonCtrl>(spinId)->SetBuddy(edit);
  }
  MakeCheckBoxTree(ui_->lcdMenuTree);
  // A box inside another would be named after the outer one's title; each is named by its own.
  for (QGroupBox* box : findChildren<QGroupBox*>()) box->setAccessibleName(box->title());
  // Room for the longest board-information text, so that the dialog keeps its size when it comes.
  for (QLabel* value : {ui_->boardTypeValue, ui_->firmwareRevisionValue}) {
    value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("Empty Board")));
  }
}

void COrvantaAppDlg::ConnectCommands() {
  for (const Command& command : kCommands) {
    connect(GetDlgItemAs<QAbstractButton>(command.id), &QAbstractButton::clicked, this,
            command.handler);
  }
  connect(ui_->exitButton, &QPushButton::clicked, this, &QDialog::reject);
  for (const auto& [spinId, editId] : kSpinBuddies) {
    connect(GetDlgItemAs<CSpinButtonCtrl>(spinId), &CSpinButtonCtrl::VScroll, this,
            &COrvantaAppDlg::OnVScroll);
  }
}

void COrvantaAppDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Radio(pDX, IDC_OM_STANDARD, m_OperationMode);
  DDX_Control(pDX, IDC_FIRING_MODE_COMBO, m_FiringModeCombo);
  DDX_Control(pDX, IDC_ROF_COMBO, m_ROFCombo);
  DDX_Control(pDX, IDC_AE_BYPASS_ROF_COMBO, m_AEBypassROFCombo);
  DDX_Control(pDX, IDC_DEBOUNCE_SPIN, m_DebounceSpin);
  DDX_Text(pDX, IDC_DEBOUNCE_EDIT, m_DebounceText);
  DDX_Control(pDX, IDC_AEDELAY_UNIT, m_AEDelayUnitLabel);
  DDX_Text(pDX, IDC_DWELL_EDIT, m_DwellText);
  DDX_Radio(pDX, IDC_KOVAL_A, m_KOVALMode);
  DDX_Radio(pDX, IDC_AE_BYPASS_EYE, m_AEDelayMode);
  DDX_Radio(pDX, IDC_ET_DROP, m_EyeTimingMode);
  DDX_Control(pDX, IDC_TIMER_INIT_COMBO, m_TimerInitCombo);
  DDX_Text(pDX, IDC_TIMER_MINUTES_EDIT, m_TimerMinutesText);
  DDX_Text(pDX, IDC_TIMER_SECONDS_EDIT, m_TimerSecondsText);
  DDX_Radio(pDX, IDC_TIMER_COUNTS_DOWN, m_TimerMode);
  DDX_Control(pDX, IDC_SECTION1_COMBO, m_Section1Combo);
  DDX_Control(pDX, IDC_SECTION1B_COMBO, m_Section1BCombo);
  DDX_Control(pDX, IDC_SECTION2_COMBO, m_Section2Combo);
  DDX_Control(pDX, IDC_SECTION2B_COMBO, m_Section2BCombo);
  DDX_Text(pDX, IDC_FIRMWARE_REVISION, m_FirmwareRevision);
  DDX_Text(pDX, IDC_BOARD_TYPE, m_BoardType);
  DDX_Control(pDX, IDC_LCD_MENU_TREE, m_LCDMenuTree);
}

bool COrvantaAppDlg::OnInitDialog() {
  GetAppDirectory();
  SetSpin(GetDlgItemAs<CSpinButtonCtrl>(IDC_DEBOUNCE_SPIN), 0, 7, DefaultSpinAccel());
  // Holding the dwell or minutes arrows never speeds up; seconds go in steps of 5.
  SetSpin(GetDlgItemAs<CSpinButtonCtrl>(IDC_DWELL_SPIN), 2, 30, {{0, 1}});
  SetSpin(GetDlgItemAs<CSpinButtonCtrl>(IDC_AEDELAY_SPIN), 0, 13, DefaultSpinAccel());
  SetSpin(GetDlgItemAs<CSpinButtonCtrl>(IDC_TIMER_MINUTES_SPIN), 1, 15, {{0, 1}});
  SetSpin(GetDlgItemAs<CSpinButtonCtrl>(IDC_TIMER_SECONDS_SPIN), 0, 59, {{0, 5}});

  CDialog::OnInitDialog();

  ReadConnectionSettings();
  AddAboutEntry();
  setWindowIcon(m_hIcon);

  if (m_AEDelayMode != kAEDelayModeDelay) EnableAEDelayControls(false);

  if (bProgramInit == 1) {
    UpdateData(true);
    m_FirmwareRevision = "None";
    m_BoardType = "Empty Board";
    UpdateData(false);
  } else {
    PostMessage(this, WM_USER_READ_BOARD);
  }

  SetCheckedIndex(*m_PresetGroup, -1);
  PopulateLCDMenuTree();
  return true;
}

void COrvantaAppDlg::EnableAEDelayControls(bool enable) {
  for (const int id : {IDC_AEDELAY_EDIT, IDC_AEDELAY_SPIN, IDC_AEDELAY_UNIT}) {
    EnableDlgItem(id, enable);
  }
}

bool COrvantaAppDlg::event(QEvent* event) {
  if (event->type() == MessageEventType(WM_USER_READ_BOARD)) {
    ReadFromBoard();
    return true;
  }
  return CDialog::event(event);
}
