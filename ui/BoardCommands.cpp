// The board commands behind the main dialog's buttons: each runs its operation through
// RunBoardOperation (status window, one retry) and then tells the user, fills the dialog and sets
// what depends on the board.
#include <cstdio>
#include <optional>
#include <string>

#include "board/BoardMessages.h"
#include "board/BoardSession.h"
#include "board/StatusDlg.h"
#include "firmware/FileDecryption.h"
#include "link/Communication.h"
#include "platform/Controls.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/PortIo.h"
#include "platform/PostedMessage.h"
#include "settings/SettingsBlock.h"
#include "settings/ShownSettings.h"
#include "ui/OrvantaAppDlg.h"

namespace {

constexpr const char* kFirmwareCompleteTitle = "Firmware Upload Complete";
constexpr const char* kFirmwareCompleteText =
    "The board firmware and settings has been updated!\n\n";
constexpr const char* kSettingsNotRestoredText =
    "The board firmware has been updated, but the settings could not be restored.\n\nCheck the "
    "settings shown and press \"Upload Configuration\".";

constexpr int kLCDSectionCombos[] = {IDC_SECTION1_COMBO, IDC_SECTION1B_COMBO, IDC_SECTION2_COMBO,
                                     IDC_SECTION2B_COMBO};

// What the board type byte makes of the board-type label and the LCD controls.
struct BoardTypeView {
  const char* label;
  bool sectionsEnabled;
  bool menuTreeEnabled;
};

BoardTypeView ViewForBoardType(uint8_t boardType) {
  const bool sections = SectionsEditable(boardType);
  return {BoardTypeLabel(boardType), sections, sections && boardType == kBoardOrvanta};
}

// A connection failure's box, with the reason below its text when the port itself could not be
// opened: a user started from the menu never sees the line on standard error.
void ShowConnectionFailure(const char* text, const char* title) {
  ShowMessageBox(text, title, MsgIcon::Warning, PortOpenFailure());
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
  ShowConnectionFailure(kBoardReadFailedText, kBoardReadFailedTitle);
  dlg.LoadUpBlankSettings();
  ShowBoardLabels(dlg, kUnknownLabel, kUnknownLabel);
  EnableLCDControls(dlg, true, true);
}

// The labels and LCD controls for a board's identity, then the minimum-firmware check, which
// alone decides whether uploads are allowed.
void ShowBoardIdentity(COrvantaAppDlg& dlg, uint8_t major, uint8_t minor, uint8_t boardType) {
  const BoardTypeView view = ViewForBoardType(boardType);
  ShowBoardLabels(dlg, RevisionLabel(major, minor), view.label);
  EnableLCDControls(dlg, view.sectionsEnabled, view.menuTreeEnabled);

  const bool tooOld = FirmwareTooOld(major, minor);
  if (tooOld) {
    ShowMessageBox(TooOldText(BoardRevision(major, minor)), kNewFirmwareTitle, MsgIcon::Stop);
  }
  dlg.EnableDlgItem(IDC_UPLOAD, !tooOld);
}

// After an update whose settings could not be put back: the board's firmware copies the image's
// identity into its settings block as it starts, so the window shows what a download would. An
// image without one leaves the board unknown; uploads stay allowed, as nothing calls it too old.
void ShowFlashedBoard(COrvantaAppDlg& dlg, const std::optional<OfwIdentity>& identity) {
  if (!identity) {
    ShowBoardLabels(dlg, kUnknownLabel, kUnknownLabel);
    dlg.EnableDlgItem(IDC_UPLOAD, true);
    return;
  }
  ShowBoardIdentity(dlg, identity->major, identity->minor, identity->boardType);
}

std::optional<QString> AskForFirmwareFile() {
  FileDialogRequest request;
  request.mode = FileDialogRequest::Mode::Open;
  request.filter = "Orvanta Firmware Files (*.ofw)";
  request.defaultSuffix = "ofw";
  const std::optional<std::string> path = ShowFileDialog(request);
  if (!path) return std::nullopt;
  return PathToQt(*path);
}

// Checks the file and programs it into the board, with the one retry; says what went wrong. The
// image's summary when the board now runs the new firmware.
std::optional<ImageSummary> ProgramFirmware(const QString& path) {
  // Firmware_Validation_Check, keeping what the check learnt of the image.
  const OfwReport report = CheckFirmwareFile(PathFromQt(path), m_FWArray);
  if (!report.ok()) {
    ShowMessageBox(kBadFirmwareText, kBadFirmwareTitle, MsgIcon::Stop);
    return std::nullopt;
  }
  if (!RunBoardOperation(CStatusDlg::kFirmware, path)) {
    ShowConnectionFailure(kFirmwareFailedText, kFirmwareFailedTitle);
    return std::nullopt;
  }
  return report.summary;
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
    ShowBoardLabels(*this, kUnknownLabel, kUnknownLabel);
    return;
  }
  ShowBoardIdentity(*this, SettingsArray[kElemFirmwareMajor], SettingsArray[kElemFirmwareMinor],
                    SettingsArray[kElemBoardType]);
}

void COrvantaAppDlg::WriteToBoard() {
  UploadSettings();
}

bool COrvantaAppDlg::UploadSettings() {
  int offendingControl = 0;
  if (!PerformValidationCheck(offendingControl)) {
    ShowIncompleteSettings(offendingControl);
    return false;
  }
  PopulateSettingArrayFromDialog();
  if (!RunBoardOperation(CStatusDlg::kUpload)) {
    ShowConnectionFailure(kUploadFailedText, kUploadFailedTitle);
    return false;
  }
  return true;
}

void COrvantaAppDlg::UpdateFirmware() {
  if (bProgramInit == 1) {
    FirstFirmwareLoad();
    return;
  }
  const std::optional<QString> path = AskForFirmwareFile();
  if (!path) return;
  const std::optional<ImageSummary> image = ProgramFirmware(*path);
  if (!image) return;
  // The erased board now holds its firmware's default settings: put the user's back.
  if (!UploadSettings()) {
    // A download now would replace the settings the user still has on screen with those
    // defaults, so none is asked for, and the box does not claim the settings were restored.
    // The window follows the new firmware all the same, while the box is up, as after a download.
    QMetaObject::invokeMethod(
        this, [this, identity = image->identity] { ShowFlashedBoard(*this, identity); },
        Qt::QueuedConnection);
    ShowMessageBox(kSettingsNotRestoredText, kFirmwareCompleteTitle, MsgIcon::None);
    return;
  }
  // Runs while the completion box is up: its modal loop handles the posted request.
  PostMessage(this, WM_USER_READ_BOARD);
  ShowMessageBox(kFirmwareCompleteText, kFirmwareCompleteTitle, MsgIcon::None);
}

// Programming mode: bare boards one after another from the first file chosen, which is kept even
// when it turns out to be bad, so that every later press checks it again without asking.
void COrvantaAppDlg::FirstFirmwareLoad() {
  if (bFWLoadedOnce != 1) {
    const std::optional<QString> path = AskForFirmwareFile();
    if (!path) return;
    m_ProgrammingFile = *path;
    bFWLoadedOnce = 1;
  }
  ProgramFirmware(m_ProgrammingFile);
}
