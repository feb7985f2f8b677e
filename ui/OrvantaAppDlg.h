// The main dialog: every setting of the board on screen, and the buttons behind which the board
// commands, the settings files and the connection settings stand. Declared here once; members
// that serve another concern are defined in that concern's file (ui/LCDMenuTree.cpp,
// ui/Presets.cpp, ui/Validation.cpp, ui/SettingsFile.cpp, ui/DialogConversions.cpp, ...), and
// what they know about settings lives in the settings model (settings/).
#pragma once

#include <QIcon>
#include <QPoint>
#include <QString>
#include <memory>

#include "platform/Dialog.h"

class CSpinButtonCtrl;
struct DialogSettings;
struct PresetValues;
struct SettingsFileContents;
class QButtonGroup;
class QComboBox;
class QContextMenuEvent;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace Ui {
class COrvantaAppDlg;
}

// Posted to the main dialog: download the settings from the board.
constexpr int WM_USER_READ_BOARD = 0x0400 + 10;

// Control IDs of the main dialog.
enum : int {
  IDC_DWELL_EDIT = 1001,
  IDC_DEBOUNCE_EDIT = 1002,
  IDC_AEDELAY_EDIT = 1003,
  IDC_TIMER_MINUTES_EDIT = 1004,
  IDC_BOARD_TYPE = 1005,
  IDC_FIRMWARE_REVISION = 1006,
  IDC_DOWNLOAD = 1007,
  IDC_UPLOAD = 1008,
  IDC_SAVE_CONFIG = 1009,
  IDC_CONNECTION = 1010,
  IDC_UPDATE_FIRMWARE = 1011,
  IDC_TIMER_SECONDS_EDIT = 1012,
  IDC_SECTION1_COMBO = 1021,
  IDC_SECTION1B_COMBO = 1022,
  IDC_SECTION2_COMBO = 1023,
  IDC_SECTION2B_COMBO = 1024,
  IDC_FIRING_MODE_COMBO = 1029,
  IDC_ROF_COMBO = 1030,
  IDC_TIMER_INIT_COMBO = 1031,
  IDC_AE_BYPASS_ROF_COMBO = 1032,
  IDC_DWELL_SPIN = 1036,
  IDC_DEBOUNCE_SPIN = 1037,
  IDC_AE_BYPASS_EYE = 1038,
  IDC_AE_DELAY = 1040,
  IDC_AEDELAY_SPIN = 1041,
  IDC_OM_STANDARD = 1042,
  IDC_OM_TEST = 1043,
  IDC_OPEN_CONFIG = 1044,
  IDC_AEDELAY_UNIT = 1045,
  IDC_KOVAL_A = 1046,
  IDC_KOVAL_B = 1047,
  IDC_TIMER_COUNTS_DOWN = 1048,
  IDC_TIMER_COUNTS_UP = 1049,
  IDC_ET_DROP = 1050,
  IDC_ET_FIRE = 1051,
  IDC_PRESET_CONSERVATIVE = 1052,
  IDC_PRESET_NORMAL = 1053,
  IDC_PRESET_FAST = 1054,
  IDC_PRESET_EXTREME = 1055,
  IDC_TIMER_MINUTES_SPIN = 1056,
  IDC_TIMER_SECONDS_SPIN = 1057,
  IDC_LCD_MENU_TREE = 1063,
  IDC_BANNER = 135,
};

class COrvantaAppDlg : public CDialog {
  Q_OBJECT

 public:
  explicit COrvantaAppDlg(QWidget* parent = nullptr);
  ~COrvantaAppDlg() override;

  bool OnInitDialog() override;

  // Settings block <-> controls (ui/DialogConversions.cpp).
  void PopulateDialog();
  void PopulateSettingArrayFromDialog();

  // Radio buttons and spin buttons (ui/DialogControls.cpp).
  void UpdateOMStandardValue();
  void UpdateOMTestValue();
  void UpdateKOVALAValue();
  void UpdateKOVALBValue();
  void UpdateETModeDropValue();
  void UpdateETModeFireValue();
  void UpdateTimerModeUpValue();
  void UpdateTimerModeDownValue();
  void UpdateAEDelayBypassValue();
  void UpdateAEDelayDelayValue();
  void OnVScroll(int nSBCode, int nPos, QWidget* pScrollBar);

  // LCD menu tree (ui/LCDMenuTree.cpp).
  void PopulateLCDMenuTree();
  void LoadLCDMenuChoices();
  void DetermineSelectLCDMenus();
  QTreeWidgetItem* GetNextTreeItem(QTreeWidgetItem* item) const;

  // Presets and blank settings (ui/Presets.cpp).
  void LoadUpConservativeSettings();
  void LoadUpNormalSettings();
  void LoadUpFastSettings();
  void LoadUpExtremeSettings();
  void LoadUpBlankSettings();

  // Completeness check and the snapshot a settings file is written from (ui/Validation.cpp).
  bool PerformValidationCheck(int& offendingControl) const;
  void ReadCurrentSettings();
  // The "Incomplete Settings" message, then the focus to the control the check reported.
  void ShowIncompleteSettings(int offendingControl);

  // Settings files (ui/SettingsFile.cpp).
  void SaveConfiguration();
  void LoadConfiguration();

  // Board commands (ui/BoardCommands.cpp).
  void ReadFromBoard();
  void WriteToBoard();
  void UpdateFirmware();
  void FirstFirmwareLoad();

  // Application directory, connection settings, help and about box (app/MainDialogShell.cpp).
  void DisplaySettingsDialog();
  bool OnHelpInfo();
  void OnContextMenu(QWidget* pWnd, QPoint point);
  void OnSysCommand(unsigned nID, long lParam);

  // Dialog data: choice members hold the checked button's number, -1 for none.
  int m_OperationMode = -1;
  int m_FiringModeSel = -1;
  int m_ROFSel = -1;
  int m_AEBypassROFSel = -1;
  QString m_DebounceText;
  QString m_DwellText;
  QString m_AEDelayText;
  QString m_TimerMinutesText;
  QString m_TimerSecondsText;
  int m_AEDelayMode = -1;  // 0 "Bypass Eye", 2 "Delay" (1 when read back from the buttons)
  int m_KOVALMode = -1;
  int m_EyeTimingMode = -1;
  int m_TimerInitSel = -1;
  int m_TimerMode = -1;
  int m_Section1Sel = -1;
  int m_Section1BSel = -1;
  int m_Section2Sel = -1;
  int m_Section2BSel = -1;
  int m_LCDMenuMask = 0;
  QString m_ProgrammingFile;

  // Control objects, attached by data exchange.
  QLabel* m_AEDelayUnitLabel = nullptr;
  CSpinButtonCtrl* m_DebounceSpin = nullptr;
  QComboBox* m_FiringModeCombo = nullptr;
  QComboBox* m_ROFCombo = nullptr;
  QComboBox* m_AEBypassROFCombo = nullptr;
  QComboBox* m_TimerInitCombo = nullptr;
  QComboBox* m_Section1Combo = nullptr;
  QComboBox* m_Section1BCombo = nullptr;
  QComboBox* m_Section2Combo = nullptr;
  QComboBox* m_Section2BCombo = nullptr;
  QTreeWidget* m_LCDMenuTree = nullptr;

  int m_LastMinuteJump = 0;  // the minute value the minutes spin last substituted, 0 for none
  QIcon m_hIcon;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  bool event(QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  // Enter never closes the dialog.
  void accept() override {}

 private:
  void LoadUpPreset(const PresetValues& preset);
  // What the dialog shows, for the check and for a settings file.
  DialogSettings ShownSettings() const;
  void ApplySettingsFile(const SettingsFileContents& contents);
  void EnableAEDelayControls(bool enable);
  // WriteToBoard's work: true when the settings reached the board.
  bool UploadSettings();
  void SetupControls();
  void ConnectCommands();
  // Steps of the initialisation that come with the application shell (app/MainDialogShell.cpp).
  void GetAppDirectory();
  void ReadConnectionSettings();
  void AddAboutEntry();

  std::unique_ptr<Ui::COrvantaAppDlg> ui_;
  QButtonGroup* m_PresetGroup = nullptr;
};
