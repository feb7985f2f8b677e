#include "platform/QtMessageBox.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>

void ShowQtMessageBox(const MessageBoxRequest& request) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  switch (request.icon) {
    case MsgIcon::None:
      icon = QMessageBox::NoIcon;
      break;
    case MsgIcon::Warning:
      icon = QMessageBox::Warning;
      break;
    case MsgIcon::Stop:
      icon = QMessageBox::Critical;
      break;
  }
  QWidget* owner = QApplication::activeModalWidget();
  if (owner == nullptr) owner = QApplication::activeWindow();
  QMessageBox box(icon, QString::fromStdString(request.title), QString::fromStdString(request.text),
                  QMessageBox::Ok, owner);
  // The texts are the tool's own words and file paths, never markup.
  box.setTextFormat(Qt::PlainText);
  if (!request.informative.empty()) {
    box.setInformativeText(QString::fromStdString(request.informative));
    // Qt guesses the informative text's format; a reason may carry a path with '<' in it.
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"))) {
      label->setTextFormat(Qt::PlainText);
    }
  }
  box.exec();
}
