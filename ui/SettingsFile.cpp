// "Save Configuration" and "Open Configuration": what the dialog shows to a settings file and
// back. The lines are the settings model's (settings/SettingsFile.h); here the dialog asks for
// the name, moves the bytes and applies the values.
#include <QComboBox>
#include <QSaveFile>

#include "platform/Controls.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/PlainFile.h"
#include "settings/SettingsFile.h"
#include "settings/ShownSettings.h"
#include "ui/OrvantaAppDlg.h"
#include "ui/SettingsText.h"

namespace {

FileDialogRequest SettingsFileRequest(FileDialogRequest::Mode mode) {
  FileDialogRequest request;
  request.mode = mode;
  request.filter = "Orvanta Config Files (*.osf)";
  request.defaultSuffix = "osf";
  if (mode == FileDialogRequest::Mode::Save) request.initialName = "MySettings.osf";
  return request;
}

QString FilePath(const std::string& path) {
  return PathToQt(path);
}

// The old file is replaced only once the whole new one is on disk, so a failed save never leaves
// the user with half a file. A folder that takes no new file gets the file written in place, as a
// plain write would.
bool WriteWholeFile(const QString& path, const std::string& text) {
  QSaveFile file(path);
  file.setDirectWriteFallback(true);
  if (!file.open(QIODevice::WriteOnly)) return false;
  const auto size = static_cast<qint64>(text.size());
  // The explicit flush: a commit after a write the disk refused only in part would still replace
  // the old file with the truncated new one.
  if (file.write(text.data(), size) != size || !file.flush()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

// A choice reaches its radio group through data exchange: the other members first take what the
// screen shows, so that writing them back changes nothing else.
void ApplyChoice(COrvantaAppDlg& dlg, int COrvantaAppDlg::*member, int value) {
  dlg.UpdateData(true);
  dlg.*member = value;
  dlg.UpdateData(false);
}

}  // namespace

void COrvantaAppDlg::SaveConfiguration() {
  ReadCurrentSettings();
  int offendingControl = 0;
  if (!PerformValidationCheck(offendingControl)) {
    ShowIncompleteSettings(offendingControl);
    return;
  }
  const std::optional<std::string> path =
      ShowFileDialog(SettingsFileRequest(FileDialogRequest::Mode::Save));
  if (!path) return;
  // The members ReadCurrentSettings filled hold what the controls still show.
  if (!WriteWholeFile(FilePath(*path), WriteSettingsFile(ShownSettings()))) {
    ShowMessageBox(kSaveSettingsFailedText, kSaveSettingsFailedTitle, MsgIcon::Stop);
  }
}

void COrvantaAppDlg::LoadConfiguration() {
  const std::optional<std::string> path =
      ShowFileDialog(SettingsFileRequest(FileDialogRequest::Mode::Open));
  if (!path) return;
  // A file that cannot be opened (a folder, a named pipe, a device too) is passed over in
  // silence.
  const std::optional<std::string> bytes = ReadPlainFile(*path, kSettingsFileBytesRead);
  if (!bytes) return;
  ApplySettingsFile(ReadSettingsFile(*bytes));
}

// In the order of the file's lines, as they are read; what each shows is the settings model's.
void COrvantaAppDlg::ApplySettingsFile(const SettingsFileContents& contents) {
  DialogSettings s = ShownSettings();
  ApplySettingsFileTo(s, contents);
  ApplyChoice(*this, &COrvantaAppDlg::m_OperationMode, s.operationMode);
  SetCurSel(m_FiringModeCombo, s.firingModeSel);
  SetCurSel(m_ROFCombo, s.rofSel);
  SetDlgItemText(IDC_DEBOUNCE_EDIT, ToDialogText(s.debounceText));
  SetDlgItemText(IDC_DWELL_EDIT, ToDialogText(s.dwellText));

  // The delay box is not exchanged: its text goes in between the two exchanges.
  UpdateData(true);
  m_AEDelayMode = s.aeDelayMode;
  m_AEDelayText = ToDialogText(s.aeDelayText);
  SetDlgItemText(IDC_AEDELAY_EDIT, m_AEDelayText);
  UpdateData(false);
  EnableAEDelayControls(AEDelayControlsEnabled(contents));

  ApplyChoice(*this, &COrvantaAppDlg::m_KOVALMode, s.kovalMode);
  ApplyChoice(*this, &COrvantaAppDlg::m_EyeTimingMode, s.eyeTimingMode);
  SetCurSel(m_TimerInitCombo, s.timerInitSel);
  SetDlgItemText(IDC_TIMER_MINUTES_EDIT, ToDialogText(s.timerMinutesText));
  SetDlgItemText(IDC_TIMER_SECONDS_EDIT, ToDialogText(s.timerSecondsText));
  ApplyChoice(*this, &COrvantaAppDlg::m_TimerMode, s.timerMode);
  SetCurSel(m_Section1Combo, s.sectionSel[kSection1]);
  SetCurSel(m_Section1BCombo, s.sectionSel[kSection1B]);
  SetCurSel(m_Section2Combo, s.sectionSel[kSection2]);
  SetCurSel(m_Section2BCombo, s.sectionSel[kSection2B]);
  SetCurSel(m_AEBypassROFCombo, s.aeBypassROFSel);
  m_LCDMenuMask = s.lcdMenuMask;
  LoadLCDMenuChoices();
}
