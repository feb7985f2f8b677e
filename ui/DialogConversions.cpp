// The two conversions between the settings block and the main dialog's controls; the rules are
// the settings model's (settings/ShownSettings.h).
#include <QAbstractButton>
#include <QButtonGroup>

#include "platform/Controls.h"
#include "platform/RadioGroup.h"
#include "settings/ShownSettings.h"
#include "ui/OrvantaAppDlg.h"

namespace {

QString ToQString(const std::string& text) {
  return QString::fromStdString(text);
}

// The number of the checked button of the radio group that starts with `firstId`, -1 for none.
int CheckedButton(const COrvantaAppDlg& dlg, int firstId) {
  const auto* first = dlg.GetDlgItemAs<QAbstractButton>(firstId);
  return first != nullptr && first->group() != nullptr ? GetCheckedIndex(*first->group()) : -1;
}

}  // namespace

// The check marks move, the choice members wait until the controls are read back; only a
// bypassed eye sets its member at once.
void COrvantaAppDlg::PopulateDialog() {
  const DialogSettings s = ShownAfterDownload(SettingsArray);
  SetCurSel(m_FiringModeCombo, s.firingModeSel);
  SetCurSel(m_ROFCombo, s.rofSel);

  m_DwellText = ToQString(s.dwellText);
  SetDlgItemText(IDC_DWELL_EDIT, m_DwellText);
  m_DebounceText = ToQString(s.debounceText);
  SetDlgItemText(IDC_DEBOUNCE_EDIT, m_DebounceText);

  if (s.bypassEyeChecked) m_AEDelayMode = kAEDelayModeBypass;
  m_AEDelayText = ToQString(s.aeDelayText);
  CheckRadioButton(IDC_AE_BYPASS_EYE, IDC_AE_DELAY,
                   s.bypassEyeChecked ? IDC_AE_BYPASS_EYE : IDC_AE_DELAY);
  EnableAEDelayControls(!s.bypassEyeChecked);
  SetDlgItemText(IDC_AEDELAY_EDIT, m_AEDelayText);

  CheckRadioButton(IDC_TIMER_COUNTS_DOWN, IDC_TIMER_COUNTS_UP,
                   s.timerMode == kTimerCountsUp ? IDC_TIMER_COUNTS_UP : IDC_TIMER_COUNTS_DOWN);
  SetCurSel(m_TimerInitCombo, s.timerInitSel);

  m_TimerMinutesText = ToQString(s.timerMinutesText);
  SetDlgItemText(IDC_TIMER_MINUTES_EDIT, m_TimerMinutesText);
  m_TimerSecondsText = ToQString(s.timerSecondsText);
  SetDlgItemText(IDC_TIMER_SECONDS_EDIT, m_TimerSecondsText);

  SetCurSel(m_Section1Combo, s.sectionSel[kSection1]);
  SetCurSel(m_Section1BCombo, s.sectionSel[kSection1B]);
  SetCurSel(m_Section2Combo, s.sectionSel[kSection2]);
  SetCurSel(m_Section2BCombo, s.sectionSel[kSection2B]);

  CheckRadioButton(IDC_ET_DROP, IDC_ET_FIRE, s.eyeTimingMode == 0 ? IDC_ET_DROP : IDC_ET_FIRE);
  CheckRadioButton(IDC_OM_STANDARD, IDC_OM_TEST,
                   s.operationMode == 0 ? IDC_OM_STANDARD : IDC_OM_TEST);
  CheckRadioButton(IDC_KOVAL_A, IDC_KOVAL_B, s.kovalMode == 0 ? IDC_KOVAL_A : IDC_KOVAL_B);

  SetCurSel(m_AEBypassROFCombo, s.aeBypassROFSel);

  m_LCDMenuMask = s.lcdMenuMask;
  LoadLCDMenuChoices();
}

// The choices as their buttons show them, whatever the members hold (a preset's "Delay" is 2).
void COrvantaAppDlg::PopulateSettingArrayFromDialog() {
  m_DwellText = GetDlgItemText(IDC_DWELL_EDIT);
  m_DebounceText = GetDlgItemText(IDC_DEBOUNCE_EDIT);
  m_TimerMinutesText = GetDlgItemText(IDC_TIMER_MINUTES_EDIT);
  m_TimerSecondsText = GetDlgItemText(IDC_TIMER_SECONDS_EDIT);
  if (IsDlgButtonChecked(IDC_AE_DELAY)) m_AEDelayText = GetDlgItemText(IDC_AEDELAY_EDIT);
  DetermineSelectLCDMenus();

  DialogSettings shown = ShownSettings();
  shown.operationMode = CheckedButton(*this, IDC_OM_STANDARD);
  shown.aeDelayMode = CheckedButton(*this, IDC_AE_BYPASS_EYE);
  shown.kovalMode = CheckedButton(*this, IDC_KOVAL_A);
  shown.eyeTimingMode = CheckedButton(*this, IDC_ET_DROP);
  shown.timerMode = CheckedButton(*this, IDC_TIMER_COUNTS_DOWN);
  BlockFromShown(shown, SettingsArray);
}
