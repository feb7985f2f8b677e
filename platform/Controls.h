// Small helpers that give Qt widgets the behaviour of the tool's dialog controls: control IDs,
// drop-down lists that may have no selection, and read-only numeric edit boxes.
#pragma once

#include <QString>
#include <string>
#include <string_view>

class QComboBox;
class QLineEdit;
class QWidget;

// Every control carries its dialog control ID in this property (set in the .ui forms or here).
inline constexpr const char* kControlIdProperty = "controlId";
void SetControlId(QWidget* control, int id);
// The control's ID, or 0 when it has none.
int ControlId(const QWidget* control);
// A new control that shows `text` (UTF-8) and carries `id`: a push button, a radio button, ...
template <class Control>
Control* MakeControl(const char* text, int id, QWidget* parent);

// Appends `items` in order and leaves the list without a selection.
template <class Items>
void FillComboBox(QComboBox* combo, const Items& items);
void AddComboItem(QComboBox* combo, std::string_view item);
void ClearComboSelection(QComboBox* combo);

// The selected index, -1 when none.
int GetCurSel(const QComboBox* combo);
// Selects `index`; an index outside the list leaves the combo box without a selection.
void SetCurSel(QComboBox* combo, int index);

// An edit box the user cannot type into (its spin button changes it) that holds digits only.
void MakeReadOnlyNumeric(QLineEdit* edit);

// File paths between the plain layers (the bytes the system names a file with) and Qt.
QString PathToQt(const std::string& path);
std::string PathFromQt(const QString& path);

// The text a control shows: an edit box's contents, a label's or button's text, a group's title.
QString GetWindowText(const QWidget* control);
void SetWindowText(QWidget* control, const QString& text);

template <class Items>
void FillComboBox(QComboBox* combo, const Items& items) {
  for (const std::string_view item : items) AddComboItem(combo, item);
  ClearComboSelection(combo);
}

template <class Control>
Control* MakeControl(const char* text, int id, QWidget* parent) {
  auto* control = new Control(QString::fromUtf8(text), parent);
  SetControlId(control, id);
  return control;
}
