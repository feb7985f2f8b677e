#include "platform/Controls.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVariant>

void SetControlId(QWidget* control, int id) {
  control->setProperty(kControlIdProperty, id);
}

int ControlId(const QWidget* control) {
  const QVariant id = control->property(kControlIdProperty);
  return id.isValid() ? id.toInt() : 0;
}

void AddComboItem(QComboBox* combo, std::string_view item) {
  combo->addItem(QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size())));
}

// The first item added to an empty combo box selects itself; the tool's lists start empty.
void ClearComboSelection(QComboBox* combo) {
  combo->setCurrentIndex(-1);
}

int GetCurSel(const QComboBox* combo) {
  return combo->currentIndex();
}

void SetCurSel(QComboBox* combo, int index) {
  combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

void MakeReadOnlyNumeric(QLineEdit* edit) {
  edit->setReadOnly(true);
  // Guards pastes and drops too; the program's own setText is not validated.
  edit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
}

QString GetWindowText(const QWidget* control) {
  if (const auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text();
  if (const auto* label = qobject_cast<const QLabel*>(control)) return label->text();
  if (const auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
  if (const auto* group = qobject_cast<const QGroupBox*>(control)) return group->title();
  if (const auto* combo = qobject_cast<const QComboBox*>(control)) return combo->currentText();
  return control->windowTitle();
}

void SetWindowText(QWidget* control, const QString& text) {
  if (auto* edit = qobject_cast<QLineEdit*>(control)) {
    edit->setText(text);
  } else if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setText(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    button->setText(text);
  } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
    group->setTitle(text);
  } else {
    control->setWindowTitle(text);
  }
}

QString PathToQt(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string PathFromQt(const QString& path) {
  return QFile::encodeName(path).toStdString();
}
