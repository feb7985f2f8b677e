#include "ui/OrvantaAppDlg.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Globals.h"
#include "link/Communication.h"
#include "platform/PostedMessage.h"

namespace {

constexpr int IDCANCEL = 2;
const char* const kControlIdProperty = "controlId";

}  // namespace

COrvantaAppDlg::COrvantaAppDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Orvanta Interface Application V1.2"));
  auto* layout = new QVBoxLayout(this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  m_ExitButton = new QPushButton(QStringLiteral("Exit "), this);
  m_ExitButton->setProperty(kControlIdProperty, IDCANCEL);
  m_ExitButton->setAutoDefault(false);
  buttons->addWidget(m_ExitButton);
  layout->addLayout(buttons);
  connect(m_ExitButton, &QPushButton::clicked, this, &QDialog::reject);
}

COrvantaAppDlg::~COrvantaAppDlg() = default;

int COrvantaAppDlg::DoModal() {
  OnInitDialog();
  return exec();
}

void COrvantaAppDlg::OnInitDialog() {
  if (bProgramInit == 1) {
    m_FirmwareRevision = "None";
    m_BoardType = "Empty Board";
  } else {
    PostMessage(this, WM_USER_READ_BOARD);
  }
}

void COrvantaAppDlg::ReadFromBoard() {
  if (bTestInit == 1) {
    Pin_Test();
    return;
  }
}

QWidget* COrvantaAppDlg::GetDlgItem(int id) const {
  for (QWidget* child : findChildren<QWidget*>()) {
    if (child->property(kControlIdProperty).toInt() == id) return child;
  }
  return nullptr;
}

bool COrvantaAppDlg::event(QEvent* event) {
  if (event->type() == MessageEventType(WM_USER_READ_BOARD)) {
    ReadFromBoard();
    return true;
  }
  return QDialog::event(event);
}
