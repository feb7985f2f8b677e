// The completeness check that guards every upload and save, and the snapshot of the dialog that
// a settings file is written from.
#include <QComboBox>

#include "platform/Controls.h"
#include "ui/OrvantaAppDlg.h"

namespace {

bool IsChoice(int member, int lastChoice) {
  return member >= 0 && member <= lastChoice;
}

}  // namespace

// The first missing choice names the control the user is sent to. Radio choices are judged by
// their members, which the radio handlers keep current; selections and texts by the controls.
bool COrvantaAppDlg::PerformValidationCheck(int& offendingControl) const {
  const struct {
    bool complete;
    int control;
  } rules[] = {
      {IsChoice(m_OperationMode, 1), IDC_OM_STANDARD},
      {IsChoice(m_AEDelayMode, 2), IDC_AE_BYPASS_EYE},
      {IsChoice(m_KOVALMode, 1), IDC_KOVAL_A},
      {IsChoice(m_EyeTimingMode, 1), IDC_ET_DROP},
      {IsChoice(m_TimerMode, 1), IDC_TIMER_COUNTS_DOWN},
      {GetCurSel(m_FiringModeCombo) >= 0, IDC_FIRING_MODE_COMBO},
      {GetCurSel(m_ROFCombo) >= 0, IDC_ROF_COMBO},
      {GetCurSel(m_AEBypassROFCombo) >= 0, IDC_AE_BYPASS_ROF_COMBO},
      {GetCurSel(m_TimerInitCombo) >= 0, IDC_TIMER_INIT_COMBO},
      {!GetDlgItemText(IDC_TIMER_MINUTES_EDIT).isEmpty(), IDC_TIMER_MINUTES_EDIT},
      {!GetDlgItemText(IDC_TIMER_SECONDS_EDIT).isEmpty(), IDC_TIMER_SECONDS_EDIT},
      {GetCurSel(m_Section1Combo) >= 0, IDC_SECTION1_COMBO},
      {GetCurSel(m_Section1BCombo) >= 0, IDC_SECTION1B_COMBO},
      {GetCurSel(m_Section2Combo) >= 0, IDC_SECTION2_COMBO},
      {GetCurSel(m_Section2BCombo) >= 0, IDC_SECTION2B_COMBO},
      {!GetDlgItemText(IDC_DEBOUNCE_EDIT).isEmpty(), IDC_DEBOUNCE_EDIT},
      {!GetDlgItemText(IDC_DWELL_EDIT).isEmpty(), IDC_DWELL_EDIT},
      {!GetDlgItemText(IDC_AEDELAY_EDIT).isEmpty(), IDC_AEDELAY_EDIT},
  };
  for (const auto& rule : rules) {
    if (!rule.complete) {
      offendingControl = rule.control;
      return false;
    }
  }
  return true;
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
