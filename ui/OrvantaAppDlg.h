// The main dialog: every setting of the board on screen, and the buttons behind which the board
// commands, the settings files and the connection settings stand.
#pragma once

#include <QDialog>

class QPushButton;

// Posted to the main dialog: download the settings from the board.
constexpr int WM_USER_READ_BOARD = 0x0400 + 10;

class COrvantaAppDlg : public QDialog {
  Q_OBJECT

 public:
  explicit COrvantaAppDlg(QWidget* parent = nullptr);
  ~COrvantaAppDlg() override;

  // Initialises the dialog and runs it modally; returns QDialog::Rejected (the cancel result)
  // when "Exit ", Escape or the close box ends it.
  int DoModal();
  void OnInitDialog();

  // Board commands.
  void ReadFromBoard();

  // The control with dialog control ID `id`, or nullptr.
  QWidget* GetDlgItem(int id) const;

 protected:
  bool event(QEvent* event) override;
  // Enter never closes the dialog.
  void accept() override {}

 private:
  QPushButton* m_ExitButton = nullptr;
};
