// The completeness check over what the dialog shows (the rules are the settings model's,
// settings/Validation.h), its message, and the snapshot a settings file is written from.
#include <QComboBox>

#include "platform/Controls.h"
#include "platform/MessageBox.h"
#include "settings/SettingsBlock.h"
#include "settings/Validation.h"
#include "ui/OrvantaAppDlg.h"
#include "ui/SettingsText.h"

namespace {

// The control the user is sent to for each item; a radio group's first button stands for it.
int ReportedControl(SettingsItem item) {
  static constexpr int kControls[kSettingsItemCount] = {
      IDC_OM_STANDARD,
      IDC_AE_BYPASS_EYE,
      IDC_KOVAL_A,
      IDC_ET_DROP,
      IDC_TIMER_COUNTS_DOWN,
      IDC_FIRING_MODE_COMBO,
      IDC_ROF_COMBO,
      IDC_AE_BYPASS_ROF_COMBO,
      IDC_TIMER_INIT_COMBO,
      IDC_TIMER_MINUTES_EDIT,
      IDC_TIMER_SECONDS_EDIT,
      IDC_SECTION1_COMBO,
      IDC_SECTION1B_COMBO,
      IDC_SECTION2_COMBO,
      IDC_SECTION2B_COMBO,
      IDC_DEBOUNCE_EDIT,
      IDC_DWELL_EDIT,
      IDC_AEDELAY_EDIT,
  };
  return kControls[static_cast<int>(item)];
}

}  // namespace

// Radio choices come from their members, which the radio handlers keep current; selections and
// texts from the controls as they stand; the LCD menu mask as last determined.
DialogSettings COrvantaAppDlg::ShownSettings() const {
  DialogSettings s;
  s.operationMode = m_OperationMode;
  s.aeDelayMode = m_AEDelayMode;
  s.kovalMode = m_KOVALMode;
  s.eyeTimingMode = m_EyeTimingMode;
  s.timerMode = m_TimerMode;
  s.firingModeSel = GetCurSel(m_FiringModeCombo);
  s.rofSel = GetCurSel(m_ROFCombo);
  s.aeBypassROFSel = GetCurSel(m_AEBypassROFCombo);
  s.timerInitSel = GetCurSel(m_TimerInitCombo);
  const QComboBox* sections[kLCDSectionCount] = {m_Section1Combo, m_Section1BCombo, m_Section2Combo,
                                                 m_Section2BCombo};
  for (std::size_t i = 0; i < kLCDSectionCount; ++i) {
    s.sectionSel[i] = GetCurSel(sections[i]);
    s.sectionEnabled[i] = sections[i]->isEnabledTo(this);
  }
  s.boardType = SettingsArray[kElemBoardType];
  s.timerMinutesText = ToModelText(GetDlgItemText(IDC_TIMER_MINUTES_EDIT));
  s.timerSecondsText = ToModelText(GetDlgItemText(IDC_TIMER_SECONDS_EDIT));
  s.debounceText = ToModelText(GetDlgItemText(IDC_DEBOUNCE_EDIT));
  s.dwellText = ToModelText(GetDlgItemText(IDC_DWELL_EDIT));
  s.aeDelayText = ToModelText(GetDlgItemText(IDC_AEDELAY_EDIT));
  s.lcdMenuMask = m_LCDMenuMask;
  s.bypassEyeChecked = IsDlgButtonChecked(IDC_AE_BYPASS_EYE);
  return s;
}

bool COrvantaAppDlg::PerformValidationCheck(int& offendingControl) const {
  const std::optional<SettingsItem> missing = FirstIncompleteItem(ShownSettings());
  if (!missing) return true;
  offendingControl = ReportedControl(*missing);
  return false;
}

void COrvantaAppDlg::ShowIncompleteSettings(int offendingControl) {
  ShowMessageBox(kIncompleteSettingsText, kIncompleteSettingsTitle, MsgIcon::Stop);
  GotoDlgCtrl(GetDlgItem(offendingControl));
}

void COrvantaAppDlg::ReadCurrentSettings() {
  m_FiringModeSel = GetCurSel(m_FiringModeCombo);
  m_ROFSel = GetCurSel(m_ROFCombo);
  m_AEBypassROFSel = GetCurSel(m_AEBypassROFCombo);
  m_TimerInitSel = GetCurSel(m_TimerInitCombo);
  m_Section1Sel = GetCurSel(m_Section1Combo);
  m_Section1BSel = GetCurSel(m_Section1BCombo);
  m_Section2Sel = GetCurSel(m_Section2Combo);
  m_Section2BSel = GetCurSel(m_Section2BCombo);
  m_DebounceText = GetDlgItemText(IDC_DEBOUNCE_EDIT);
  m_DwellText = GetDlgItemText(IDC_DWELL_EDIT);
  m_AEDelayText = GetDlgItemText(IDC_AEDELAY_EDIT);
  m_TimerMinutesText = GetDlgItemText(IDC_TIMER_MINUTES_EDIT);
  m_TimerSecondsText = GetDlgItemText(IDC_TIMER_SECONDS_EDIT);
  DetermineSelectLCDMenus();
}
