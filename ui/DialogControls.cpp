// What the main dialog's radio buttons and spin buttons do beyond checking and stepping
// themselves.
#include <QLineEdit>

#include "platform/Controls.h"
#include "platform/SpinButton.h"
#include "settings/SettingsBlock.h"
#include "ui/OrvantaAppDlg.h"

void COrvantaAppDlg::UpdateOMStandardValue() {
  m_OperationMode = 0;
}
void COrvantaAppDlg::UpdateOMTestValue() {
  m_OperationMode = 1;
}
void COrvantaAppDlg::UpdateKOVALAValue() {
  m_KOVALMode = 0;
}
void COrvantaAppDlg::UpdateKOVALBValue() {
  m_KOVALMode = 1;
}
void COrvantaAppDlg::UpdateETModeDropValue() {
  m_EyeTimingMode = 0;
}
void COrvantaAppDlg::UpdateETModeFireValue() {
  m_EyeTimingMode = 1;
}
void COrvantaAppDlg::UpdateTimerModeUpValue() {
  m_TimerMode = 1;
}
void COrvantaAppDlg::UpdateTimerModeDownValue() {
  m_TimerMode = 0;
}

void COrvantaAppDlg::UpdateAEDelayBypassValue() {
  m_AEDelayMode = 0;
  EnableAEDelayControls(false);
}

void COrvantaAppDlg::UpdateAEDelayDelayValue() {
  m_AEDelayMode = 2;
  EnableAEDelayControls(true);
}

// The dwell, debounce and after-eye spins need nothing beyond the number they write themselves;
// the timer spins show minute values and two-digit seconds.
void COrvantaAppDlg::OnVScroll(int nSBCode, int nPos, QWidget* pScrollBar) {
  if (nSBCode != SB_THUMBPOSITION || pScrollBar == nullptr) return;
  const int id = ControlId(pScrollBar);
  if (id == IDC_TIMER_SECONDS_SPIN) {
    const std::string spinText = GetDlgItemText(IDC_TIMER_SECONDS_EDIT).toStdString();
    SetDlgItemText(IDC_TIMER_SECONDS_EDIT,
                   QString::fromStdString(TimerSecondsSpinText(nPos, spinText)));
  } else if (id == IDC_TIMER_MINUTES_SPIN) {
    const int minutes = SubstituteTimerMinute(nPos, m_LastMinuteJump);
    SetDlgItemText(IDC_TIMER_MINUTES_EDIT, QString::fromStdString(TwoDigitText(minutes)));
  }
}
