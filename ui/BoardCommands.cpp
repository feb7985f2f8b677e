// The board commands behind the main dialog's buttons: each runs its operation through
// RunBoardOperation (status window, one retry) and then tells the user, fills the dialog and sets
// what depends on the board.
#include <cstdio>
#include <string>

#include "app/Globals.h"
#include "board/StatusDlg.h"
#include "link/Communication.h"
#include "platform/MessageBox.h"
#include "settings/SettingsBlock.h"
#include "ui/OrvantaAppDlg.h"

namespace {

constexpr const char* kBoardReadFailedTitle = "Board Read Failed";
constexpr const char* kBoardReadFailedText =
    "Unable to read settings from board. Make sure the programming cable is plugged in, and the "
    "power is on.    \n\nWhen you have verified the connections, press the \"Download "
    "Configuration\" button to try to again.";

constexpr const char* kNewFirmwareTitle = "New Firmware Required";
constexpr const char* kNewFirmwareFormat =
    "You do not have the minimum required firmware version on your board to use this "
    "software.\n\nYou currently have %.02f, and %.02f is required. You must update your firmware "
    "before you can\nupload new settings to the board.";

constexpr const char* kUploadFailedTitle = "Settings Upload Failed";
constexpr const char* kUploadFailedText =
    "Unable to write settings to the board. Make sure the programming cable is plugged in, and "
    "the power is on.    \n\nWhen you have verified the connections, press the \"Upload "
    "Configuration\" button to try to again.";

constexpr const char* kUnknown = "Unknown";

// Compared in single precision on both sides: 2 + 11 / 100 comes out as 2.11f, but is less than
// the double 2.11, and a board with 2.11 must pass.
constexpr float kMinimumRevision = 2.11f;
constexpr double kMinimumRevisionShown = 2.11;
constexpr std::size_t kMessageBufferSize = 512;

constexpr int kLCDSectionCombos[] = {IDC_SECTION1_COMBO, IDC_SECTION1B_COMBO, IDC_SECTION2_COMBO,
                                     IDC_SECTION2B_COMBO};

// What the board type byte makes of the board-type label and the LCD controls.
struct BoardTypeView {
  const char* label;
  bool sectionsEnabled;
  bool menuTreeEnabled;
};

BoardTypeView ViewForBoardType(uint8_t boardType) {
  if (boardType == kBoardKalix) return {"Kalix", false, false};
  if (boardType == kBoardOrvanta) return {"Orvanta", true, true};
  return {kUnknown, true, false};
}

// "v2.5" for major 2 and minor 5: both numbers in plain decimal, so the label may read otherwise
// than the revision the check compares (2.05).
std::string RevisionLabel(uint8_t major, uint8_t minor) {
  return "v" + std::to_string(major) + "." + std::to_string(minor);
}

float BoardRevision(uint8_t major, uint8_t minor) {
  return static_cast<float>(major) + static_cast<float>(minor) / 100.0f;
}

std::string TooOldText(float revision) {
  char text[kMessageBufferSize];
  std::snprintf(text, sizeof text, kNewFirmwareFormat, static_cast<double>(revision),
                kMinimumRevisionShown);
  return text;
}

void EnableLCDControls(COrvantaAppDlg& dlg, bool sections, bool menuTree) {
  for (const int id : kLCDSectionCombos) dlg.EnableDlgItem(id, sections);
  dlg.EnableDlgItem(IDC_LCD_MENU_TREE, menuTree);
}

void ShowBoardLabels(COrvantaAppDlg& dlg, const std::string& revision, const std::string& type) {
  dlg.UpdateData(true);
  m_FirmwareRevision = revision;
  m_BoardType = type;
  dlg.UpdateData(false);
}

void OnDownloadFailed(COrvantaAppDlg& dlg) {
  ShowMessageBox(kBoardReadFailedText, kBoardReadFailedTitle, MsgIcon::Warning);
  dlg.LoadUpBlankSettings();
  ShowBoardLabels(dlg, kUnknown, kUnknown);
  EnableLCDControls(dlg, true, true);
}

// The labels and LCD controls for the downloaded block, then the minimum-firmware check, which
// alone decides whether uploads are allowed.
void ShowDownloadedBoard(COrvantaAppDlg& dlg) {
  const uint8_t major = SettingsArray[kElemFirmwareMajor];
  const uint8_t minor = SettingsArray[kElemFirmwareMinor];
  const BoardTypeView view = ViewForBoardType(SettingsArray[kElemBoardType]);
  ShowBoardLabels(dlg, RevisionLabel(major, minor), view.label);
  EnableLCDControls(dlg, view.sectionsEnabled, view.menuTreeEnabled);

  const float revision = BoardRevision(major, minor);
  const bool tooOld = revision < kMinimumRevision;
  if (tooOld) ShowMessageBox(TooOldText(revision), kNewFirmwareTitle, MsgIcon::Stop);
  dlg.EnableDlgItem(IDC_UPLOAD, !tooOld);
}

}  // namespace

void COrvantaAppDlg::ReadFromBoard() {
  if (bTestInit == 1) {
    Pin_Test();
    return;
  }
  if (!RunBoardOperation(CStatusDlg::kDownload)) {
    OnDownloadFailed(*this);
    return;
  }
  PopulateDialog();
  if (SettingsArray[kElemFirmwareMajor] == 0) {
    ShowBoardLabels(*this, kUnknown, kUnknown);
    return;
  }
  ShowDownloadedBoard(*this);
}

void COrvantaAppDlg::WriteToBoard() {
  int offendingControl = 0;
  if (!PerformValidationCheck(offendingControl)) {
    ShowIncompleteSettings(offendingControl);
    return;
  }
  PopulateSettingArrayFromDialog();
  if (!RunBoardOperation(CStatusDlg::kUpload)) {
    ShowMessageBox(kUploadFailedText, kUploadFailedTitle, MsgIcon::Warning);
  }
}
