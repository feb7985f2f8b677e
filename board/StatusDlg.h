// The status window: runs exactly one board operation per showing, with a progress bar and a
// status line, stores the result in nCommResult and closes itself. The user cannot close it.
#pragma once

#include <QString>

#include "board/BoardOperations.h"
#include "platform/Dialog.h"

class QLabel;
class QProgressBar;

// The status window's controls.
enum StatusControlId : int {
  IDC_STATUS_TEXT = 1012,
  IDC_STATUS_PROGRESS = 1013,
  IDC_WARNING_TEXT = 1014,
};

// Posted by the status window to itself when its board run has ended: close.
constexpr int WM_USER_CLOSE_STATUS = 0x0400 + 20;
// The status window's own "run the operation" message.
constexpr int WM_USER_CONNECT = 0x0400 + 10;

inline constexpr const char* kStatusCaption = "Orvanta Communication In Progress...";
inline constexpr const char* kStatusWarningText =
    "Do not turn off the power or disconnect the programming cable.";

class CStatusDlg : public CDialog, public OperationView {
  Q_OBJECT

 public:
  // Operation codes.
  static constexpr int kDownload = 0;
  static constexpr int kUpload = 1;
  static constexpr int kFirmware = 3;

  explicit CStatusDlg(QWidget* parent = nullptr);
  ~CStatusDlg() override;

  // DoModal runs one board run: the window shows, runs m_Operation once it is on screen, and
  // returns the cancel result when it has closed itself.
  bool OnInitDialog() override;

  void Connect_To_Board();
  int Pull_From_Board();
  int Push_To_Board();
  int Firmware_To_Board();

  // OperationView
  void SetProgressRange(int upper) override;
  void SetProgressPos(int position) override;
  void ShowStatusText(const std::string& text) override;

  QProgressBar* m_Progress = nullptr;
  QString m_StatusText;
  QString m_ConnectText;
  QString m_WarningText;
  bool m_StartPending = false;
  int m_Operation = -1;
  QString m_FirmwareFile;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void StartBoardRun();
  // Writes the members to the controls and draws the lines at once: the operation holds the GUI
  // thread, and a label only schedules its repaint.
  void ShowMembers();
  void OnCancel();

  QLabel* m_StatusLabel = nullptr;
  QLabel* m_WarningLabel = nullptr;
  bool m_Closing = false;
};

// "Connecting to your board on port 0x378, please wait..." for `portBase`; the retry's text ends
// with one blank more. The port is shown in full, however many digits it has.
QString ConnectingText(uint32_t portBase, bool retry);
// The same for the cable in use: the parallel port at `base`, or with `bUsbCable` the USB cable
// ("Connecting to your board on the USB cable A50285BI, please wait...", without a serial number
// for the first one found).
QString CableConnectingText(bool retry);

// The one way every board command runs an operation: a status window for the port at `base`,
// and the same window once more if the first run failed. True when either run succeeded.
// `firmwareFile` is for the firmware operation only.
bool RunBoardOperation(int operation, const QString& firmwareFile = QString());
