// The two conversions between the settings block and the main dialog's controls.
#include <QComboBox>

#include "platform/Controls.h"
#include "settings/SettingsBlock.h"
#include "settings/Validation.h"
#include "ui/OrvantaAppDlg.h"

namespace {

QString ToQString(const std::string& text) {
  return QString::fromStdString(text);
}

int ReadNumber(const QString& text) {
  return ReadDecimal(text.toStdString());
}

// A Kalix board's disabled section box without a selection sends the board's own byte back. Only
// the box's own state counts, not that of the window around it.
void SetSectionElement(int element, const QComboBox* combo) {
  const int selection = GetCurSel(combo);
  if (IsLockedKalixSection(SettingsArray[kElemBoardType], combo->isEnabledTo(combo->window()),
                           selection))
    return;
  SettingsArray[element] = SelectionElement(selection);
}

}  // namespace

void COrvantaAppDlg::PopulateDialog() {
  SetCurSel(m_FiringModeCombo, SettingsArray[kElemFiringMode]);
  SetCurSel(m_ROFCombo, SettingsArray[kElemRateOfFire]);

  m_DwellText = ToQString(DecimalText(SettingsArray[kElemSolenoidDwell]));
  SetDlgItemText(IDC_DWELL_EDIT, m_DwellText);
  m_DebounceText = ToQString(DecimalText(SettingsArray[kElemTriggerDebounce]));
  SetDlgItemText(IDC_DEBOUNCE_EDIT, m_DebounceText);

  const uint8_t afterEye = SettingsArray[kElemAfterEyeDelay];
  if (afterEye == kAfterEyeBypass) m_AEDelayMode = 0;
  m_AEDelayText = ToQString(AfterEyeDelayText(afterEye));
  CheckRadioButton(IDC_AE_BYPASS_EYE, IDC_AE_DELAY,
                   afterEye == kAfterEyeBypass ? IDC_AE_BYPASS_EYE : IDC_AE_DELAY);
  EnableAEDelayControls(afterEye != kAfterEyeBypass);
  SetDlgItemText(IDC_AEDELAY_EDIT, m_AEDelayText);

  CheckRadioButton(
      IDC_TIMER_COUNTS_DOWN, IDC_TIMER_COUNTS_UP,
      SettingsArray[kElemTimerMode] == 0 ? IDC_TIMER_COUNTS_UP : IDC_TIMER_COUNTS_DOWN);

  // A trigger value the board should not hold shows no selection, like every other list: the
  // previous board's choice would pass the check and be uploaded.
  SetCurSel(m_TimerInitCombo, TimerInitIndex(SettingsArray[kElemTimerStart]).value_or(-1));

  m_TimerMinutesText = ToQString(TimerMinutesText(SettingsArray[kElemTimerMinutes]));
  SetDlgItemText(IDC_TIMER_MINUTES_EDIT, m_TimerMinutesText);
  m_TimerSecondsText = ToQString(TimerSecondsText(SettingsArray[kElemTimerSeconds]));
  SetDlgItemText(IDC_TIMER_SECONDS_EDIT, m_TimerSecondsText);

  SetCurSel(m_Section1Combo, SettingsArray[kElemSection1]);
  SetCurSel(m_Section1BCombo, SettingsArray[kElemSection1B]);
  SetCurSel(m_Section2Combo, SettingsArray[kElemSection2]);
  SetCurSel(m_Section2BCombo, SettingsArray[kElemSection2B]);

  CheckRadioButton(IDC_ET_DROP, IDC_ET_FIRE,
                   SettingsArray[kElemEyeTimingMode] == 0 ? IDC_ET_DROP : IDC_ET_FIRE);
  CheckRadioButton(IDC_OM_STANDARD, IDC_OM_TEST,
                   SettingsArray[kElemOperationMode] == 0 ? IDC_OM_STANDARD : IDC_OM_TEST);
  CheckRadioButton(IDC_KOVAL_A, IDC_KOVAL_B,
                   SettingsArray[kElemKOVALMode] == 0 ? IDC_KOVAL_A : IDC_KOVAL_B);

  SetCurSel(m_AEBypassROFCombo, SettingsArray[kElemAEBypassROF]);

  m_LCDMenuMask =
      LCDMenuMaskFromBlock(SettingsArray[kElemBoardType], SettingsArray[kElemLCDMaskLow],
                           SettingsArray[kElemLCDMaskHigh]);
  LoadLCDMenuChoices();
}

void COrvantaAppDlg::PopulateSettingArrayFromDialog() {
  SettingsArray[kElemFiringMode] = SelectionElement(GetCurSel(m_FiringModeCombo));
  SettingsArray[kElemRateOfFire] = SelectionElement(GetCurSel(m_ROFCombo));

  m_DwellText = GetDlgItemText(IDC_DWELL_EDIT);
  SettingsArray[kElemSolenoidDwell] = LowByte(ReadNumber(m_DwellText));
  m_DebounceText = GetDlgItemText(IDC_DEBOUNCE_EDIT);
  SettingsArray[kElemTriggerDebounce] = LowByte(ReadNumber(m_DebounceText));

  // With neither after-eye button checked the element keeps its value.
  if (IsDlgButtonChecked(IDC_AE_BYPASS_EYE)) SettingsArray[kElemAfterEyeDelay] = kAfterEyeBypass;
  if (IsDlgButtonChecked(IDC_AE_DELAY)) {
    m_AEDelayText = GetDlgItemText(IDC_AEDELAY_EDIT);
    SettingsArray[kElemAfterEyeDelay] = AfterEyeDelayElement(ReadNumber(m_AEDelayText));
  }

  SettingsArray[kElemTimerMode] = IsDlgButtonChecked(IDC_TIMER_COUNTS_DOWN) ? 1 : 0;

  if (const std::optional<uint8_t> trigger = TimerInitElement(GetCurSel(m_TimerInitCombo))) {
    SettingsArray[kElemTimerStart] = *trigger;
  }

  m_TimerMinutesText = GetDlgItemText(IDC_TIMER_MINUTES_EDIT);
  SettingsArray[kElemTimerMinutes] = TimerMinutesElement(ReadNumber(m_TimerMinutesText));
  m_TimerSecondsText = GetDlgItemText(IDC_TIMER_SECONDS_EDIT);
  SettingsArray[kElemTimerSeconds] = TimerSecondsElement(ReadNumber(m_TimerSecondsText));

  SetSectionElement(kElemSection1, m_Section1Combo);
  SetSectionElement(kElemSection1B, m_Section1BCombo);
  SetSectionElement(kElemSection2, m_Section2Combo);
  SetSectionElement(kElemSection2B, m_Section2BCombo);

  SettingsArray[kElemEyeTimingMode] = IsDlgButtonChecked(IDC_ET_DROP) ? 0 : 1;
  SettingsArray[kElemOperationMode] = IsDlgButtonChecked(IDC_OM_STANDARD) ? 0 : 1;
  SettingsArray[kElemKOVALMode] = IsDlgButtonChecked(IDC_KOVAL_A) ? 0 : 1;

  SettingsArray[kElemAEBypassROF] = SelectionElement(GetCurSel(m_AEBypassROFCombo));

  DetermineSelectLCDMenus();
  SettingsArray[kElemLCDMaskLow] = LCDMenuMaskLow(m_LCDMenuMask);
  SettingsArray[kElemLCDMaskHigh] = LCDMenuMaskHigh(m_LCDMenuMask);

  SettingsArray[kElemFixedB] = kFixedElementValue;
  SettingsArray[kElemFixedA] = kFixedElementValue;
}
