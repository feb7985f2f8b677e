#include "platform/Dialog.h"

#include <QAbstractButton>
#include <QButtonGroup>

#include "platform/AccessibleControls.h"
#include "platform/Controls.h"
#include "platform/RadioGroup.h"

void DDX_Text(CDataExchange* pDX, int id, QString& value) {
  if (pDX->m_bSaveAndValidate) {
    value = pDX->m_pDlgWnd->GetDlgItemText(id);
  } else {
    pDX->m_pDlgWnd->SetDlgItemText(id, value);
  }
}

void DDX_Text(CDataExchange* pDX, int id, std::string& value) {
  QString text = QString::fromStdString(value);
  DDX_Text(pDX, id, text);
  if (pDX->m_bSaveAndValidate) value = text.toStdString();
}

void DDX_Radio(CDataExchange* pDX, int firstId, int& value) {
  auto* first = pDX->m_pDlgWnd->GetDlgItemAs<QAbstractButton>(firstId);
  QButtonGroup* group = first != nullptr ? first->group() : nullptr;
  if (group == nullptr) return;
  if (pDX->m_bSaveAndValidate) {
    value = GetCheckedIndex(*group);
  } else {
    SetCheckedIndex(*group, value);
  }
}

CDialog::CDialog(QWidget* parent) : QDialog(parent) {
  // Before any control of the dialog is asked for its accessible interface.
  InstallAccessibleControls();
}

int CDialog::DoModal() {
  OnInitDialog();
  return exec();
}

bool CDialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

bool CDialog::UpdateData(bool saveAndValidate) {
  CDataExchange dx(this, saveAndValidate);
  DoDataExchange(&dx);
  return true;
}

void CDialog::DoDataExchange(CDataExchange*) {}

QWidget* CDialog::GetDlgItem(int id) const {
  if (id == 0) return nullptr;
  for (QWidget* child : findChildren<QWidget*>()) {
    // A dialog open over this one (its child in Qt) has controls of its own with the same IDs.
    if (ControlId(child) == id && child->window() == this) return child;
  }
  return nullptr;
}

void CDialog::CheckRadioButton(int firstId, int lastId, int checkId) {
  for (int id = firstId; id <= lastId; ++id) {
    auto* button = GetDlgItemAs<QAbstractButton>(id);
    if (button == nullptr) continue;
    if (id == checkId) {
      button->setChecked(true);
    } else if (button->isChecked()) {
      // An exclusive group refuses to uncheck its checked button, so lift exclusivity for a
      // moment; the group's buttons outside the range stay as they are.
      QButtonGroup* group = button->group();
      const bool exclusive = group != nullptr && group->exclusive();
      if (exclusive) group->setExclusive(false);
      button->setChecked(false);
      if (exclusive) group->setExclusive(true);
    }
  }
}

bool CDialog::IsDlgButtonChecked(int id) const {
  const auto* button = GetDlgItemAs<QAbstractButton>(id);
  return button != nullptr && button->isChecked();
}

QString CDialog::GetDlgItemText(int id) const {
  const QWidget* control = GetDlgItem(id);
  return control != nullptr ? GetWindowText(control) : QString();
}

void CDialog::SetDlgItemText(int id, const QString& text) {
  if (QWidget* control = GetDlgItem(id)) SetWindowText(control, text);
}

void CDialog::EnableDlgItem(int id, bool enable) {
  if (QWidget* control = GetDlgItem(id)) control->setEnabled(enable);
}

void CDialog::GotoDlgCtrl(QWidget* control) {
  if (control != nullptr) control->setFocus(Qt::OtherFocusReason);
}
