// Our dialog base on QDialog, with what the tool's dialogs expect of their toolkit: controls found
// by dialog control ID, initialisation before the modal run, data exchange between controls and
// member variables, and the button and text helpers used by control ID.
#pragma once

#include <QDialog>
#include <QString>
#include <string>

class CDialog;

// The IDs of the standard buttons: OK (also Save) and Cancel (also Exit, Escape and the close box).
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// One data-exchange pass: towards the members (save and validate) or towards the controls.
class CDataExchange {
 public:
  CDataExchange(CDialog* dialog, bool saveAndValidate)
      : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
  const bool m_bSaveAndValidate;
  CDialog* const m_pDlgWnd;
};

// Binds `control` to the dialog's control `id` (of type T).
template <class T>
void DDX_Control(CDataExchange* pDX, int id, T*& control);
// Exchanges the text of an edit box or label.
void DDX_Text(CDataExchange* pDX, int id, QString& value);
void DDX_Text(CDataExchange* pDX, int id, std::string& value);
// Exchanges the number of the checked button of the radio group whose first button is `firstId`:
// -1 when none is checked; writing a number that matches no button clears the group.
void DDX_Radio(CDataExchange* pDX, int firstId, int& value);

class CDialog : public QDialog {
  Q_OBJECT

 public:
  explicit CDialog(QWidget* parent = nullptr);

  // Initialises the dialog and runs it modally; returns the dialog's result.
  int DoModal();
  // The toolkit's part of the initialisation: writes the members to the controls once. Returns
  // true when the toolkit should set the initial focus.
  virtual bool OnInitDialog();

  // Reads every exchanged control into its member (true) or writes the members to the controls
  // (false).
  bool UpdateData(bool saveAndValidate = true);

  // The control with dialog control ID `id`, or nullptr.
  QWidget* GetDlgItem(int id) const;
  template <class T>
  T* GetDlgItemAs(int id) const {
    return qobject_cast<T*>(GetDlgItem(id));
  }

  // Checks `checkId` and clears the other buttons with IDs from `firstId` to `lastId`.
  void CheckRadioButton(int firstId, int lastId, int checkId);
  bool IsDlgButtonChecked(int id) const;
  QString GetDlgItemText(int id) const;
  void SetDlgItemText(int id, const QString& text);
  void EnableDlgItem(int id, bool enable);
  // Moves the keyboard focus to `control`. Qt gives no focus to a disabled control: the focus then
  // stays where it is.
  void GotoDlgCtrl(QWidget* control);

 protected:
  virtual void DoDataExchange(CDataExchange* pDX);
};

template <class T>
void DDX_Control(CDataExchange* pDX, int id, T*& control) {
  if (control == nullptr) control = pDX->m_pDlgWnd->GetDlgItemAs<T>(id);
}
