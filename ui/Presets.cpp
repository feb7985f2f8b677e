// The preset buttons and the blank settings shown when no block could be read; the values are
// the settings model's (settings/Presets.h).
#include <QComboBox>

#include "platform/Controls.h"
#include "settings/DialogSettings.h"
#include "settings/Presets.h"
#include "ui/OrvantaAppDlg.h"
#include "ui/SettingsText.h"

void COrvantaAppDlg::LoadUpConservativeSettings() {
  LoadUpPreset(PresetFor(Preset::Conservative));
}
void COrvantaAppDlg::LoadUpNormalSettings() {
  LoadUpPreset(PresetFor(Preset::Normal));
}
void COrvantaAppDlg::LoadUpFastSettings() {
  LoadUpPreset(PresetFor(Preset::Fast));
}
void COrvantaAppDlg::LoadUpExtremeSettings() {
  LoadUpPreset(PresetFor(Preset::Extreme));
}

void COrvantaAppDlg::LoadUpPreset(const PresetValues& preset) {
  SetCurSel(m_FiringModeCombo, kPresetFiringModeSel);
  SetCurSel(m_ROFCombo, preset.rateOfFireSel);
  SetCurSel(m_AEBypassROFCombo, kPresetAEBypassROFSel);

  m_DebounceText = ToDialogText(preset.debounceText);
  m_DwellText = ToDialogText(preset.dwellText);
  m_AEDelayText = ToDialogText(preset.aeDelayText);
  SetDlgItemText(IDC_DEBOUNCE_EDIT, m_DebounceText);
  SetDlgItemText(IDC_DWELL_EDIT, m_DwellText);
  SetDlgItemText(IDC_AEDELAY_EDIT, m_AEDelayText);

  // The other choice members must reflect the radio buttons before the write-back below.
  UpdateData(true);
  m_OperationMode = kPresetOperationMode;
  m_AEDelayMode = kAEDelayModeDelay;
  m_EyeTimingMode = kPresetEyeTimingMode;
  UpdateData(false);

  // Writing 2 cleared the after-eye group; "Delay" is checked by hand.
  EnableAEDelayControls(true);
  CheckRadioButton(IDC_AE_BYPASS_EYE, IDC_AE_DELAY, IDC_AE_DELAY);
}

void COrvantaAppDlg::LoadUpBlankSettings() {
  m_OperationMode = -1;
  ClearComboSelection(m_FiringModeCombo);
  ClearComboSelection(m_ROFCombo);
  ClearComboSelection(m_AEBypassROFCombo);
  m_DebounceText.clear();
  m_DwellText.clear();
  m_AEDelayText.clear();
  m_AEDelayMode = -1;
  m_KOVALMode = -1;
  m_EyeTimingMode = -1;
  m_TimerMinutesText = ToDialogText(kBlankTimerText);
  m_TimerSecondsText = ToDialogText(kBlankTimerText);
  ClearComboSelection(m_TimerInitCombo);
  m_TimerMode = -1;
  ClearComboSelection(m_Section1Combo);
  ClearComboSelection(m_Section1BCombo);
  ClearComboSelection(m_Section2Combo);
  ClearComboSelection(m_Section2BCombo);
  SetDlgItemText(IDC_AEDELAY_EDIT, m_AEDelayText);
  SetDlgItemText(IDC_DEBOUNCE_EDIT, m_DebounceText);
  SetDlgItemText(IDC_DWELL_EDIT, m_DwellText);
  SetDlgItemText(IDC_TIMER_MINUTES_EDIT, m_TimerMinutesText);
  SetDlgItemText(IDC_TIMER_SECONDS_EDIT, m_TimerSecondsText);
}
