#include "board/StatusDlg.h"

#include <algorithm>
#include <optional>

#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <QWindow>

#include "board/BoardMessages.h"
#include "board/BoardSession.h"
#include "link/Communication.h"
#include "platform/Controls.h"
#include "platform/PostedMessage.h"

namespace {

// Posted to start the board run once the window has been painted, outside the paint handler.
constexpr int WM_USER_START_RUN = 0x0400 + 21;

QLabel* MakeLine(QWidget* parent, const char* text, int id) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  SetControlId(label, id);
  label->setTextFormat(Qt::PlainText);
  return label;
}

// The USB cable's connecting line, for the cable with `serial` (empty: the first one found).
QString UsbConnectingText(const std::string& serial, bool retry) {
  QString cable = QStringLiteral("the USB cable");
  if (!serial.empty()) cable += QLatin1Char(' ') + QString::fromStdString(serial);
  return QStringLiteral("Connecting to your board on ") + cable +
         (retry ? QStringLiteral(", please wait... ") : QStringLiteral(", please wait..."));
}

}  // namespace

QString ConnectingText(uint32_t portBase, bool retry) {
  return QStringLiteral("Connecting to your board on port 0x") +
         QString::number(portBase, 16).toUpper() +
         (retry ? QStringLiteral(", please wait... ") : QStringLiteral(", please wait..."));
}

QString CableConnectingText(bool retry) {
  return bUsbCable == 0 ? ConnectingText(base, retry) : UsbConnectingText(usbCableSerial, retry);
}

bool RunBoardOperation(int operation, const QString& firmwareFile) {
  CStatusDlg status;
  status.m_Operation = operation;
  status.m_FirmwareFile = firmwareFile;
  return RetryBoardRun([&status](bool retry) {
    status.m_ConnectText = CableConnectingText(retry);
    status.DoModal();
    return nCommResult != 0;
  });
}

CStatusDlg::CStatusDlg(QWidget* parent) : CDialog(parent) {
  // A caption and nothing else: no system menu, close box or minimise box.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setWindowTitle(QString::fromUtf8(kStatusCaption));

  m_StatusLabel =
      MakeLine(this, "Connecting to your Orvanta board, please wait...", IDC_STATUS_TEXT);
  auto* progress = new QProgressBar(this);
  SetControlId(progress, IDC_STATUS_PROGRESS);
  progress->setTextVisible(false);
  m_WarningLabel = MakeLine(this, kStatusWarningText, IDC_WARNING_TEXT);

  // The two lines have no accessible names of their own: a screen reader hears their texts, and
  // each change of a text is announced.
  progress->setAccessibleName(QStringLiteral("Progress"));
  m_Progress = progress;

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(11, 11, 11, 11);
  layout->setSpacing(8);
  layout->addWidget(m_StatusLabel);
  layout->addWidget(progress);
  layout->addWidget(m_WarningLabel);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  // The lines change while the window is up and a fixed-size window does not grow: make room for
  // the longest text they will hold.
  const QFontMetrics metrics(m_StatusLabel->font());
  int width = 0;
  for (const QString& text :
       {ConnectingText(0xFFFFFFFF, true), UsbConnectingText("WWWWWWWW", true),
        QString::fromUtf8(kDownloadingText), QString::fromUtf8(kUploadingFirmwareText),
        QString::fromUtf8(kStatusWarningText)}) {
    width = std::max(width, metrics.horizontalAdvance(text));
  }
  m_StatusLabel->setMinimumWidth(width);
  m_WarningLabel->setMinimumWidth(width);
}

CStatusDlg::~CStatusDlg() = default;

void CStatusDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, IDC_STATUS_PROGRESS, m_Progress);
  DDX_Text(pDX, IDC_STATUS_TEXT, m_StatusText);
  DDX_Text(pDX, IDC_WARNING_TEXT, m_WarningText);
}

bool CStatusDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_Progress->setValue(0);
  m_Closing = false;
  m_StartPending = true;
  return true;
}

void CStatusDlg::ShowMembers() {
  UpdateData(false);
  m_StatusLabel->repaint();
  m_WarningLabel->repaint();
}

void CStatusDlg::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  if (!m_StartPending) return;
  m_StartPending = false;
  // Start after this paint has reached the screen, not inside it.
  PostMessage(this, WM_USER_START_RUN);
}

void CStatusDlg::StartBoardRun() {
  const QWindow* window = windowHandle();
  if (window == nullptr || !window->isExposed()) {
    // Not on screen yet: the next paint starts the run.
    m_StartPending = true;
    update();
    return;
  }
  UpdateData(true);
  m_StatusText = m_ConnectText;
  m_WarningText = QString::fromUtf8(kStatusWarningText);
  ShowMembers();
  Connect_To_Board();
}

void CStatusDlg::Connect_To_Board() {
  std::optional<int> result;  // empty: the operation code names no operation
  if (m_Operation == kDownload) {
    result = Pull_From_Board();
  } else if (m_Operation == kUpload) {
    result = Push_To_Board();
  } else if (m_Operation == kFirmware) {
    result = Firmware_To_Board();
  }
  if (result) nCommResult = *result == 1 ? 1 : 0;
  PostMessage(this, WM_USER_CLOSE_STATUS);
}

int CStatusDlg::Pull_From_Board() {
  return PullSettingsFromBoard(*this);
}

int CStatusDlg::Push_To_Board() {
  return PushSettingsToBoard(*this);
}

int CStatusDlg::Firmware_To_Board() {
  return UploadFirmware(*this, PathFromQt(m_FirmwareFile));
}

void CStatusDlg::SetProgressRange(int upper) {
  m_Progress->setRange(0, upper);
}

void CStatusDlg::SetProgressPos(int position) {
  m_Progress->setValue(position);
  m_Progress->repaint();
}

void CStatusDlg::ShowStatusText(const std::string& text) {
  UpdateData(true);
  m_StatusText = QString::fromStdString(text);
  ShowMembers();
}

void CStatusDlg::OnCancel() {
  m_Closing = true;
  reject();
}

bool CStatusDlg::event(QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == MessageEventType(WM_USER_START_RUN)) {
    StartBoardRun();
    return true;
  }
  if (type == MessageEventType(WM_USER_CONNECT)) {
    Connect_To_Board();
    return true;
  }
  if (type == MessageEventType(WM_USER_CLOSE_STATUS)) {
    OnCancel();
    return true;
  }
  return CDialog::event(event);
}

void CStatusDlg::keyPressEvent(QKeyEvent* event) {
  // No key ends a board run, Escape included.
  event->accept();
}

void CStatusDlg::closeEvent(QCloseEvent* event) {
  if (m_Closing) {
    CDialog::closeEvent(event);
  } else {
    event->ignore();
  }
}
