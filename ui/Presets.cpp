// The four presets of the firing settings, and the blank settings shown when no block could be
// read.
#include <QComboBox>

#include "platform/Controls.h"
#include "ui/OrvantaAppDlg.h"

struct COrvantaAppDlg::PresetValues {
  int rateOfFire;
  const char* debounce;
  const char* dwell;
  const char* afterEyeDelay;
};

namespace {

constexpr int kPresetFiringMode = 0;   // "Semi Auto"
constexpr int kPresetAEBypassROF = 5;  // "12 bps"
constexpr int kAEDelayModeDelay = 2;

}  // namespace

void COrvantaAppDlg::LoadUpConservativeSettings() {
  LoadUpPreset({4, "4", "10", "6"});
}
void COrvantaAppDlg::LoadUpNormalSettings() {
  LoadUpPreset({2, "4", "10", "5"});
}
void COrvantaAppDlg::LoadUpFastSettings() {
  LoadUpPreset({1, "3", "8", "3"});
}
void COrvantaAppDlg::LoadUpExtremeSettings() {
  LoadUpPreset({0, "3", "6", "2"});
}

void COrvantaAppDlg::LoadUpPreset(const PresetValues& preset) {
  SetCurSel(m_FiringModeCombo, kPresetFiringMode);
  SetCurSel(m_ROFCombo, preset.rateOfFire);
  SetCurSel(m_AEBypassROFCombo, kPresetAEBypassROF);

  m_DebounceText = QString::fromLatin1(preset.debounce);
  m_DwellText = QString::fromLatin1(preset.dwell);
  m_AEDelayText = QString::fromLatin1(preset.afterEyeDelay);
  SetDlgItemText(IDC_DEBOUNCE_EDIT, m_DebounceText);
  SetDlgItemText(IDC_DWELL_EDIT, m_DwellText);
  SetDlgItemText(IDC_AEDELAY_EDIT, m_AEDelayText);

  // The other choice members must reflect the radio buttons before the write-back below.
  UpdateData(true);
  m_OperationMode = 0;
  m_AEDelayMode = kAEDelayModeDelay;
  m_EyeTimingMode = 0;
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
  // Two blanks: present for the check, read as no number.
  m_TimerMinutesText = QStringLiteral("  ");
  m_TimerSecondsText = QStringLiteral("  ");
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
